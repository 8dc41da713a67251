// The state of one engine run.
//
// Everything a run reads or writes lives in one Run object that the entry
// point creates when it is called and destroys before it returns, so a run
// never sees what an earlier run in the same process left behind.  Each
// data block is a plain struct in the header of the routines that own it;
// Run aggregates them.  No engine source keeps mutable data at namespace
// scope or in function-static variables.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "channels.h"
#include "stratum_model.h"
#include "foundation_readers.h"
#include "soil_readers.h"
#include "load_readers.h"
#include "mass_reader.h"
#include "pile_interaction.h"
#include "pile_group.h"
#include "pile_driver.h"
#include "solution_driver.h"

// Foundation type, from the FOUNDATION block (none until it is read).
enum class Foundation { kNone = 0, kPile = 1, kHalfSpace = 2, kStratum = 3, kMultilayer = 4 };
// Load type, from the LOAD block (none until it is read).
enum class Load { kNone = 0, kTransient = 1, kRandom = 2, kHarmonic = 3 };

// Run flags and codes shared by the readers, the driver and the report.
struct RunFlags {
  int IERFLG = 0;   // fatal input error
  int IECHO = 1;    // data echo on
  int IMATR = 0;    // MATR keyword seen: stiffness matrix wanted
  int ISTOP = 0;    // STOP keyword seen
  Foundation FNDTYP = Foundation::kNone;
  Load LODTYP = Load::kNone;
  int IQUAD = 0;    // 1 non-quadratic, 2 quadratic
  int IGEOM = 0;    // 1 circular, 2 rectangular
  int IGRAV = 0;    // GRAV keyword read
  int IUNITS = 0;   // 1 English, 2 SI
  float GCONST = 0.0f;
  // Option flags that INITIN resets before the keyword loop.
  int MEDIA = 0;    // soil media type: 1 layered, 2 parabolic (INITIN: 1)
  int IWEAK = 0;    // WEAK: weakened zone around the foundation
  int INTER = 0;    // INTE: pile-soil-pile interaction
  int IBATT = 0;    // BATT: battered piles
  int IEMBED = 0;   // EMBE: embedded footing / pile cap
  int ISDCAP = 0;   // SIDE: side-cap (weakened side layers)
  int IENDBR = 0;   // END-: end-bearing pile tips
};

// File names and texts of the run.
struct RunNames {
  std::string VERSN;   // 12 characters, from names.dat line 1
  std::string INFILE;  // input deck
  std::string OUTFIL;  // report
  std::string PLTFIL;  // plot-data file
  std::string MASFIL;  // mass data file (names.dat line 7)
  std::string TITLE;   // 80 characters
};

struct Run {
  ChannelTable ch;                 // numbered channels 2, 4, 6, 7, 8, 9, 16
  std::array<int, kReportChannel + 1> IUNIT{};  // IUNIT(k) is IUNIT[k]; slot 0 unused
  RunFlags flags;
  RunNames names;
  // The console of the file-name prompts (tests point these at files).
  std::FILE* conIn = stdin;
  std::FILE* conOut = stdout;
  // The 18 unit labels (index 1..18) printed after numbers; see UNITLB.
  std::array<std::string, 19> LABEL{"", "  ", "     ", "   ", "   ", "        ", "       ", "     ",
                                    "    ", "     ", "    ", "          ", "     ", "         ",
                                    "         ", "             ", "      ", "          ", "       "};
  // Data blocks of the readers, models and driver join here, one member
  // per block, each declared in the header of the routines that own it.
  LayerFrequencies layfrq;         // cut-off frequencies of the deposit
  FoundationData fnd;              // FOUNDATION block
  SoilData soil;                   // SOIL block
  LoadData load;                   // LOAD block
  MassData mass;                   // MASS constants
  PilePairTables pairs;            // pile-pair interaction tables
  PileGroupWork pgroup;            // pile-group working storage (PGROUP)
  PilePoints piles;                // pile impedances of the frequency points
  SolutionData sol;                // frequency loop and responses
};
