// Reading the value of one HTTP header line.
#pragma once

#include <string_view>

#include "text/text.h"

// The text after the line's first ":", trimmed of blanks; the empty text for a line without
// ":". Example: HeaderValue("Location:  /next ") == "/next".
Text HeaderValue(std::string_view line);
