// A toolbar bitmap cut into its button images, with its four system colours (black, dark grey,
// light grey, white) replaced by the theme's text, shadow, face and highlight colours.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gdkmm/rgba.h>

#include <vector>

struct ToolBarColors {
  Gdk::RGBA text, shadow, face, highlight;
};

std::vector<Glib::RefPtr<Gdk::Pixbuf>> CutToolBarImages(const Glib::RefPtr<Gdk::Pixbuf>& bitmap, int width,
                                                        int height, const ToolBarColors& colors);
