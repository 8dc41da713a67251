// The block readers that the keyword loop hands a block to.
//
// RDFOUN (FOUNDATION block), SOILKW (SOIL block) and LOADKW (LOAD block)
// are called by RDKEYS right after their keyword was read; each reads its
// block through READIT/KEYWRD, reports on R.IUNIT[16], sets R.flags.IERFLG
// on fatal errors and steps back one record (READIT mode 0) when it meets a
// word it does not own, then returns.  The readers they call in turn
// (RDGEOM, RDMASS, RDCONS, RDELEM, RDBATT, RDEMBE, RDLOAD, SOLCST, RDBELO)
// are declared in the deck readers' own headers; RDGRAV in gravity_reader.h.
#pragma once

struct Run;

void RDFOUN(Run& R);
void SOILKW(Run& R);
void LOADKW(Run& R);
