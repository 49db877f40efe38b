// The item operations under MergeCookies. An item is one piece of a cookie text split at ";".
#pragma once

#include <string_view>

#include "text/text.h"

// The text before the item's first "=" (the whole item without one), trimmed of blanks.
// Example: CookieName(" sid = 7") == "sid".
Text CookieName(std::string_view item);

// True when some item of `items` has the cookie name `name` (exact comparison).
bool HasCookieName(const TextArray& items, std::string_view name);

// The items of `text` split at `separator`, repeats left out, joined by `separator` again.
// Example: DistinctItems("a=1; b=2; a=1", "; ") == "a=1; b=2".
Text DistinctItems(std::string_view text, std::string_view separator);

// The 1-based index of the first item equal to `text`, or -1.
int FindItem(const TextArray& items, std::string_view text);
