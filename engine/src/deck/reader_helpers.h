// Small steps shared by the block readers: one field read with its status
// turned into a yes or no, a word read with its keyword index, a pushed-back
// record, loop counts kept inside their arrays, and the fatal-error message.
#pragma once

#include <string>

struct Run;

namespace deck_reading {

// A number read; false on a failed read or a value that is not finite.
bool ReadNumber(Run& R, float& v);

// Reads a word; `index` is its keyword index (KEYWRD reports unknown words
// when `report`, else the lookup is silent).  Returns the read status.
int ReadWord(Run& R, std::string& w, int& index, bool report = true);

// Steps back one record, so the keyword loop reads it again.
void PushBack(Run& R);

// A loop count: the REAL count rounded, kept within 0..cap.
int Count(float x, int cap);

bool Echo(const Run& R);

// `text` on its own line after two empty ones, then " PROGRAM WILL NOT
// EXECUTE"; sets the fatal flag.
void Fatal(Run& R, const std::string& text);

}  // namespace deck_reading
