#include "numeric_helpers.h"

#include <climits>

int IROUND(float x) {
  if (std::isnan(x)) return 0;
  const float r = std::signbit(x) ? x - 0.5f : x + 0.5f;
  if (r >= 2147483520.0f) return INT_MAX;
  if (r <= -2147483520.0f) return INT_MIN;
  return static_cast<int>(r);  // truncation toward zero
}
