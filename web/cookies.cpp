#include "web/cookies.h"

#include "text/text_ops.h"
#include "web/cookie_items.h"

Text CookieName(std::string_view item) {
  int equals = FindText(item, "=");
  return TrimBlanks(equals == -1 ? item : item.substr(0, static_cast<size_t>(equals) - 1));
}

bool HasCookieName(const TextArray& items, std::string_view name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

int FindItem(const TextArray& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text DistinctItems(std::string_view text, std::string_view separator) {
  TextArray kept;
  for (Text& item : SplitText(text, separator)) {
    if (FindItem(kept, item) == -1) kept.push_back(std::move(item));
  }
  Text joined;
  for (const Text& item : kept) {
    joined += item;
    joined += separator;
  }
  return LeftPart(joined, static_cast<int>(joined.size()) - static_cast<int>(separator.size()));
}

Text MergeCookies(Text& cookies, Text& received) {
  cookies = RemoveBlanks(cookies);
  received = RemoveBlanks(received);
  TextArray oldItems = SplitText(cookies, ";");
  TextArray items = SplitText(received, ";");
  // The list grows as old items join it, so of several old items with one name the first stays.
  for (const Text& old : oldItems) {
    if (!HasCookieName(items, CookieName(old))) items.push_back(old);
  }
  cookies.clear();
  for (const Text& item : items) {
    if (RightPart(item, 8) == "=deleted") continue;  // the server removed this cookie
    cookies += item;
    cookies += "; ";
  }
  cookies = LeftPart(cookies, static_cast<int>(cookies.size()) - 2);
  cookies = DistinctItems(cookies, "; ");
  return cookies;
}
