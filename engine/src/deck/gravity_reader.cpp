// RDGRAV: the gravitational constant and the unit system it implies.
#include "gravity_reader.h"

#include "field_reader.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"

void RDGRAV(Run& R) {
  const int out = R.IUNIT[kReportChannel];
  float g = 0.0f;
  std::string word;
  int status = 1;
  READIT(R, 1, g, word, status);
  // A constant of zero or below cannot be a gravitational constant (the shear
  // moduli divide by it): it is refused like an unreadable value.
  if (status < 1 || !(g > 0.0f)) {
    R.flags.IGRAV = 0;
    WRITE(R, out, "(//' ERROR ENCOUNTERED WHILE READING GRAV. CONSTANT'/' PROGRAM WILL NOT EXECUTE')");
    R.flags.IERFLG = 1;
    return;
  }
  R.flags.GCONST = g;
  R.flags.IUNITS = g > 10.0f ? 1 : 2;
  UNITLB(R);
  if (R.flags.IECHO == 1 && R.flags.IERFLG == 0)
    WRITE(R, out, "(//' GRAVITATIONAL CONSTANT SET TO',F7.2,1X,A7/1X,44('*'))", {g, R.LABEL[LBL_ACCEL]});
}
