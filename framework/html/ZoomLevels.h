// The ladder of page zoom levels that the zoom keys and Ctrl+wheel step along.
#pragma once

class ZoomLevels {
 public:
  static constexpr double kNormal = 1.0;
  // The next level above or below; the ends of the ladder stay where they are. A level between two
  // rungs (set some other way) steps to the nearer rung in that direction.
  static double Larger(double level);
  static double Smaller(double level);
};
