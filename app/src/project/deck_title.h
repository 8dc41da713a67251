// What the deck's title line can carry. The engine takes the project title
// from the text after "TITLE=" as its pre-processor leaves it: the line is
// read to column 80, "$" starts a comment, "," "=" and "*" end an item, a
// digit before "(" repeats a group, T H F Q P S V (also after "-") standing
// alone as a word become numbers, and an item that starts like a number is
// split into numbers.
#pragma once

#include <QString>

namespace vortn {

// The longest title the line carries: 80 columns less "TITLE=", counted in
// the bytes the file holds (UTF-8).
constexpr int kDeckTitleBytes = 74;

// Empty when the engine reads `title` back exactly as typed; otherwise the
// message that names what the title line cannot carry.
QString TitleRefusal(const QString& title);

// The title as the writer puts it after "TITLE=": unchanged when
// TitleRefusal accepts it. Otherwise made readable for the engine: line
// breaks and other control characters, and "$" "," "=" "*", become blanks;
// a blank goes between a digit and "("; a title that starts like a number
// gets "Project " in front; the text is cut to kDeckTitleBytes; a lone
// code letter is written in lower case; a title with nothing left to read
// is written "Untitled" (or with "Untitled " in front of its blanks).
QString DeckTitle(const QString& title);

}  // namespace vortn
