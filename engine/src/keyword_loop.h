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
extern const std::array<std::string_view, NKEY> KEYTAB;

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
