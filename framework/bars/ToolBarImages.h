// A toolbar bitmap cut into its button images, with its four system colours (black, dark grey,
// light grey, white) replaced by the theme's: black by the text colour, light grey by the bar's
// background, dark grey by the theme's shadow, made darker or lighter where needed so that it keeps
// 3:1 contrast against the background, and white by the base colour in light themes; dark themes
// keep white, as a page on a dark ground stays white paper.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gdkmm/rgba.h>

#include <vector>

struct ToolBarColors {
  Gdk::RGBA text, shadow, face, highlight;
};

std::vector<Glib::RefPtr<Gdk::Pixbuf>> CutToolBarImages(const Glib::RefPtr<Gdk::Pixbuf>& bitmap, int width, int height,
                                                        const ToolBarColors& colors);

// A picture as a disabled button shows it: at half its opacity, as the theme dims pictures that
// it draws itself.
Glib::RefPtr<Gdk::Pixbuf> DimToolBarImage(const Glib::RefPtr<Gdk::Pixbuf>& image);

// The contrast ratio of two colours (1 to 21), from their relative luminance.
double ContrastRatio(const Gdk::RGBA& a, const Gdk::RGBA& b);
