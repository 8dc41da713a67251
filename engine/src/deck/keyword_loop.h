// The keyword table, its lookup KEYWRD, the run defaults INITIN and the
// top-level keyword loop RDKEYS.
#pragma once

#include <array>
#include <string>
#include <string_view>

struct Run;

// Number of entries of the keyword table.
inline constexpr int NKEY = 52;
// Index of a word that is not in the table.
inline constexpr int KNONE = 999;

// The keyword table; entry k (1..52) is KEYTAB[k - 1].
inline constexpr std::array<std::string_view, NKEY> KEYTAB = {
    "    ", "WIDE", "NARR", "ECHO", "NOEC", "PILE", "HALF", "STRA", "MULT", "LOAD", "HARM", "TRAN", "RAND",
    "PLOT", "CIRC", "RECT", "SOIL", "PARA", "LAYE", "GRAV", "DIME", "BELO", "ELEM", "FOUN", "WEAK", "BATT",
    "INTE", "RUN ", "STOP", "TITL", "MATR", "FIXE", "PINN", "FLOA", "END-", "CONS", "MASS", "EMBE", "SIDE",
    "HAMM", "LONG", "SHOR", "VELO", "PULS", "PAD ", "SPRI", "STAT", "DYNA", "    ", "    ", "QUAD", "NONQ"};

// Index (1..52) of the table entry spelled `entry` (four characters, as in
// KEYTAB), computed while compiling: a word that is not in the table does
// not compile.  The blank entries 49 and 50 are never found, as the lookup
// stops at entry 1.
consteval int KeywordNo(std::string_view entry) {
  for (int k = 0; k < NKEY; ++k)
    if (KEYTAB[k] == entry) return k + 1;
  throw "not an entry of the keyword table";
}

// Index of each keyword in the table.
inline constexpr int kBLANK = KeywordNo("    ");
inline constexpr int kWIDE = KeywordNo("WIDE");
inline constexpr int kNARR = KeywordNo("NARR");
inline constexpr int kECHO = KeywordNo("ECHO");
inline constexpr int kNOEC = KeywordNo("NOEC");
inline constexpr int kPILE = KeywordNo("PILE");
inline constexpr int kHALF = KeywordNo("HALF");
inline constexpr int kSTRA = KeywordNo("STRA");
inline constexpr int kMULT = KeywordNo("MULT");
inline constexpr int kLOAD = KeywordNo("LOAD");
inline constexpr int kHARM = KeywordNo("HARM");
inline constexpr int kTRAN = KeywordNo("TRAN");
inline constexpr int kRAND = KeywordNo("RAND");
inline constexpr int kPLOT = KeywordNo("PLOT");
inline constexpr int kCIRC = KeywordNo("CIRC");
inline constexpr int kRECT = KeywordNo("RECT");
inline constexpr int kSOIL = KeywordNo("SOIL");
inline constexpr int kPARA = KeywordNo("PARA");
inline constexpr int kLAYE = KeywordNo("LAYE");
inline constexpr int kGRAV = KeywordNo("GRAV");
inline constexpr int kDIME = KeywordNo("DIME");
inline constexpr int kBELO = KeywordNo("BELO");
inline constexpr int kELEM = KeywordNo("ELEM");
inline constexpr int kFOUN = KeywordNo("FOUN");
inline constexpr int kWEAK = KeywordNo("WEAK");
inline constexpr int kBATT = KeywordNo("BATT");
inline constexpr int kINTE = KeywordNo("INTE");
inline constexpr int kRUN = KeywordNo("RUN ");
inline constexpr int kSTOP = KeywordNo("STOP");
inline constexpr int kTITL = KeywordNo("TITL");
inline constexpr int kMATR = KeywordNo("MATR");
inline constexpr int kFIXE = KeywordNo("FIXE");
inline constexpr int kPINN = KeywordNo("PINN");
inline constexpr int kFLOA = KeywordNo("FLOA");
inline constexpr int kEND = KeywordNo("END-");
inline constexpr int kCONS = KeywordNo("CONS");
inline constexpr int kMASS = KeywordNo("MASS");
inline constexpr int kEMBE = KeywordNo("EMBE");
inline constexpr int kSIDE = KeywordNo("SIDE");
inline constexpr int kHAMM = KeywordNo("HAMM");
inline constexpr int kLONG = KeywordNo("LONG");
inline constexpr int kSHOR = KeywordNo("SHOR");
inline constexpr int kVELO = KeywordNo("VELO");
inline constexpr int kPULS = KeywordNo("PULS");
inline constexpr int kPAD = KeywordNo("PAD ");
inline constexpr int kSPRI = KeywordNo("SPRI");
inline constexpr int kSTAT = KeywordNo("STAT");
inline constexpr int kDYNA = KeywordNo("DYNA");
inline constexpr int kQUAD = KeywordNo("QUAD");
inline constexpr int kNONQ = KeywordNo("NONQ");

// Index (1..52) of the first table entry equal to the first four characters
// of `word` (blank-padded), or 999; writes nothing.
int KeywordIndex(std::string_view word);

// Lookup with the report line for an unknown word; status is always 1.
void KEYWRD(Run& R, const std::string& word, int& index, int& status);

// Defaults of every flag, code and the title; status = 1.
void INITIN(Run& R, int& status);

// The keyword loop: returns at RUN (stop unchanged), STOP or the end of the
// cleaned deck (stop = 1).
void RDKEYS(Run& R, int& status, int& stop);

// The default title (80 characters).
std::string DefaultTitle();
