#include "web/header_value.h"

#include "text/text_ops.h"

Text HeaderValue(std::string_view line) {
  const int colon = FindText(line, ":");
  if (colon == -1) return {};
  return TrimBlanks(line.substr(static_cast<std::size_t>(colon)));
}
