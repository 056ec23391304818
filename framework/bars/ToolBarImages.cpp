#include "bars/ToolBarImages.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgb {
  guint8 r, g, b;
};

Rgb ToRgb(const Gdk::RGBA& c) {
  return {guint8(c.get_red() * 255 + 0.5), guint8(c.get_green() * 255 + 0.5), guint8(c.get_blue() * 255 + 0.5)};
}

double Luminance(const Gdk::RGBA& c) {
  auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(c.get_red()) + 0.7152 * linear(c.get_green()) + 0.0722 * linear(c.get_blue());
}

Gdk::RGBA Mix(const Gdk::RGBA& a, const Gdk::RGBA& b, double t) {
  Gdk::RGBA c;
  c.set_rgba(a.get_red() + (b.get_red() - a.get_red()) * t, a.get_green() + (b.get_green() - a.get_green()) * t,
             a.get_blue() + (b.get_blue() - a.get_blue()) * t);
  return c;
}

// The shadow, or where it is too faint against the face, the colour nearest the face on the way
// to the text colour that keeps 3:1.
Gdk::RGBA ReadableShadow(const ToolBarColors& colors) {
  constexpr double kMinimum = 3.0;
  if (ContrastRatio(colors.shadow, colors.face) >= kMinimum) return colors.shadow;
  for (double t = 0.0; t < 1.0; t += 0.02) {
    Gdk::RGBA mixed = Mix(colors.text, colors.face, 1.0 - t);
    if (ContrastRatio(mixed, colors.face) >= kMinimum) return mixed;
  }
  return colors.text;
}

}  // namespace

double ContrastRatio(const Gdk::RGBA& a, const Gdk::RGBA& b) {
  double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<Glib::RefPtr<Gdk::Pixbuf>> CutToolBarImages(const Glib::RefPtr<Gdk::Pixbuf>& bitmap, int width, int height,
                                                        const ToolBarColors& colors) {
  auto mapped = bitmap->add_alpha(false, 0, 0, 0);
  const Rgb from[] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  const bool dark = Luminance(colors.text) > Luminance(colors.face);
  Gdk::RGBA white("#ffffff");
  const Rgb to[] = {ToRgb(colors.text), ToRgb(ReadableShadow(colors)), ToRgb(colors.face),
                    ToRgb(dark ? white : colors.highlight)};
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

Glib::RefPtr<Gdk::Pixbuf> DimToolBarImage(const Glib::RefPtr<Gdk::Pixbuf>& image) {
  auto dimmed = image->add_alpha(false, 0, 0, 0);
  guint8* pixels = dimmed->get_pixels();
  for (int y = 0; y < dimmed->get_height(); ++y)
    for (int x = 0; x < dimmed->get_width(); ++x) pixels[y * dimmed->get_rowstride() + x * 4 + 3] /= 2;
  return dimmed;
}
