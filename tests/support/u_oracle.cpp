// The u oracle (tests/support/u_oracle.h).
#include "tests/support/u_oracle.h"

#include <cmath>

double ExpectedU(double r, double D, double d, double H, double N) {
  return std::nearbyint(2500.0 * r * (D + d) / ((D - d) * H * N) + N);
}

std::ostream& operator<<(std::ostream& out, const TCoreLevels& c) {
  return out << c.D << " " << c.d << " " << c.H << " " << c.N << " " << c.Left << " " << c.Right;
}
