// Stand-in for the solution driver until it is written.
#include "report_writer.h"
#include "run_state.h"
#include "solution_driver.h"

void ANALYS(Run& R) {
  WRITE(R, R.IUNIT[16], "(//' THE SOLUTION IS NOT AVAILABLE IN THIS VERSION')");
}
