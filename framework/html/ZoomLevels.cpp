#include "html/ZoomLevels.h"

#include <iterator>

namespace {

constexpr double kLevels[] = {0.3, 0.5, 0.67, 0.8, 0.9, 1.0, 1.1, 1.2, 1.33, 1.5, 1.7, 2.0, 2.4, 3.0};
constexpr double kTolerance = 0.005;

}  // namespace

double ZoomLevels::Larger(double level) {
  for (double rung : kLevels)
    if (rung > level + kTolerance) return rung;
  const double top = kLevels[std::size(kLevels) - 1];
  return level > top ? level : top;
}

double ZoomLevels::Smaller(double level) {
  for (auto it = std::rbegin(kLevels); it != std::rend(kLevels); ++it)
    if (*it < level - kTolerance) return *it;
  return level < kLevels[0] ? level : kLevels[0];
}
