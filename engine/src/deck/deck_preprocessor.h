// PREPRO: the input deck (IUNIT(4)) becomes the cleaned deck TAPE7, one item
// per record, through the scratch copy TAPE8; afterwards IUNIT(4) = IUNIT(7).
#pragma once

#include <string>
#include <vector>

struct Run;

void PREPRO(Run& R);

// Pass 1 for one deck record: the pieces it writes to TAPE8 (codes as
// 4-column integers); `overflow` tells whether repeat expansion passed 500
// characters.
std::vector<std::string> PrepassPieces(const std::string& record, bool& overflow);
// Pass 2 for one TAPE8 record: the TAPE7 records it gives.
std::vector<std::string> SplitNumbers(const std::string& record);
