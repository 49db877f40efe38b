// The text operations shared by every subsystem. Positions are 1-based byte positions; a
// search that finds nothing gives -1. A byte of 0x80 or above starts a two-byte GBK character,
// and searches step over such characters as units, counted from the start position.
#pragma once

#include <string_view>

#include "text/text.h"

// Position of the first `what` in `text` at or after `start` (values below 1 mean 1), or -1.
// Case-insensitive folds only A-Z/a-z. An empty `what` is never found.
int FindText(std::string_view text, std::string_view what, int start = 1, bool caseSensitive = true);
inline bool ContainsText(std::string_view text, std::string_view what, bool caseSensitive = true) {
  return FindText(text, what, 1, caseSensitive) != -1;
}

// Blanks are the space (0x20) and the GBK ideographic space (0xA1 0xA1); tab, CR, LF are not.
Text TrimBlanks(std::string_view text);
Text TrimLeftBlanks(std::string_view text);
Text TrimRightBlanks(std::string_view text);
// Removes every blank anywhere in the text (two-byte characters stepped over as units).
Text RemoveBlanks(std::string_view text);
// TrimBlanks as a view into `text`, without a copy.
std::string_view TrimBlanksView(std::string_view text);

// Pieces between separators, in order: an empty piece before the first separator or between
// two separators is an element, an empty piece after the last is not; "" gives no elements.
TextArray SplitText(std::string_view text, std::string_view separator);

// The first / last n bytes: empty for n <= 0, the whole text for n beyond its length.
Text LeftPart(std::string_view text, int n);
Text RightPart(std::string_view text, int n);

// Only A-Z change.
Text LowerAscii(std::string_view text);

// The leading decimal digits read as a number; 0 when the text begins with no digit.
int IntegerValue(std::string_view text);

// Every occurrence of `what` (exact, stepping over two-byte characters) replaced by `with`.
Text ReplaceAll(std::string_view text, std::string_view what, std::string_view with);

// Bytes up to the first zero byte.
Text ToText(const ByteSet& bytes);
// The text's bytes, no terminator.
ByteSet ToByteSet(std::string_view text);
