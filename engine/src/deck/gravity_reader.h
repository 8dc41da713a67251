// RDGRAV: the GRAV keyword's value and the unit system it selects.
#pragma once

struct Run;

void RDGRAV(Run& R);
