// READIT: the one field reader of every deck reader.
#pragma once

#include <string>

struct Run;

// mode 1 number, -1 word, 0 step back one record, >= 2 invalid (backspace
// assumed), <= -2 skip one record.  `word` is four characters.  status:
// 1 read, -1 not a number / record skip, 0 end of the cleaned deck.
void READIT(Run& R, int mode, float& value, std::string& word, int& status);

// Columns 1 to 20 of `record` read as a real number (see field_reader.cpp);
// false when they do not hold one.
bool ParseDeckNumber(const std::string& record, float& value);
