// Merging the cookies a server set into a caller's cookie text.
#pragma once

#include "text/text.h"

// Removes all blanks from both variables, then sets `cookies` to the received items (in the
// server's order, "=deleted" ones dropped) followed by old items of other names, joined by
// "; " without repeats. Returns a copy of the new `cookies`.
// Example: cookies "a=1; b=2", received "b=3; c=4" give "b=3; c=4; a=1".
Text MergeCookies(Text& cookies, Text& received);
