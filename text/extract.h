// Cutting texts out of a page between a left and a right marker.
#pragma once

#include <string_view>

#include "text/text.h"

// Returns the bytes between the first `left` at or after 1-based `start` and the next `right`
// after it; the empty text when either is missing. "#引号" in a marker stands for a double quote.
// Example: ExtractBetween("User-Agent: X\r\n", "user-agent:", "\r\n") == " X".
Text ExtractBetween(std::string_view source, std::string_view left, std::string_view right,
                    int start = 0, bool caseSensitive = false);

// Empties `result`, then appends every text between `left` and the following `right`, trimmed
// of blanks, in page order; a blank-only or over-long (`maxLength` > 0) match ends the
// collection. Markers are literal. Returns the number of elements of `result`.
int ExtractAllBetween(std::string_view source, std::string_view left, std::string_view right,
                      TextArray& result, bool caseSensitive = false, int maxLength = 0,
                      std::string_view prefix = {}, std::string_view suffix = {},
                      bool keepLeft = false, bool keepRight = false, int start = 0);
