// Stand-ins for the pile and multilayer branches of the frequency loop
// until the pile models supply them; delete this file then.
#include "report_writer.h"
#include "run_state.h"
#include "solution_driver.h"

bool PileBeforeLoop(Run&) { return true; }

int PileImpedance(Run& R) {
  WRITE(R, 16,
        "(/,/,1X,'*** PILE AND MULTILAYER FOUNDATIONS ARE NOT AVAILABLE IN THIS VERSION ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')");
  return -1;
}
