#include "bars/ToolBarImages.h"

namespace {

struct Rgb {
  guint8 r, g, b;
};

Rgb ToRgb(const Gdk::RGBA& c) {
  return {guint8(c.get_red() * 255 + 0.5), guint8(c.get_green() * 255 + 0.5), guint8(c.get_blue() * 255 + 0.5)};
}

}  // namespace

std::vector<Glib::RefPtr<Gdk::Pixbuf>> CutToolBarImages(const Glib::RefPtr<Gdk::Pixbuf>& bitmap, int width,
                                                        int height, const ToolBarColors& colors) {
  auto mapped = bitmap->add_alpha(false, 0, 0, 0);
  const Rgb from[] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  const Rgb to[] = {ToRgb(colors.text), ToRgb(colors.shadow), ToRgb(colors.face), ToRgb(colors.highlight)};
  guint8* pixels = mapped->get_pixels();
  for (int y = 0; y < mapped->get_height(); ++y) {
    for (int x = 0; x < mapped->get_width(); ++x) {
      guint8* p = pixels + y * mapped->get_rowstride() + x * 4;
      for (int i = 0; i < 4; ++i) {
        if (p[0] == from[i].r && p[1] == from[i].g && p[2] == from[i].b) {
          p[0] = to[i].r;
          p[1] = to[i].g;
          p[2] = to[i].b;
          break;
        }
      }
    }
  }
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> images;
  for (int x = 0; x + width <= mapped->get_width(); x += width)
    images.push_back(Gdk::Pixbuf::create_subpixbuf(mapped, x, 0, width, height)->copy());
  return images;
}
