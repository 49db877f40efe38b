#include "text/text_ops.h"

#include <algorithm>
#include <cstring>

#include "text/find_marker.h"

namespace {

constexpr unsigned char kLeadByteMin = 0x80;  // a byte from here on starts a GBK pair

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

size_t CharWidth(unsigned char c) {
  return c >= kLeadByteMin ? 2 : 1;
}

// Length in bytes of the blank at `i` (0 when there is none).
size_t BlankAt(std::string_view text, size_t i) {
  if (text[i] == ' ') return 1;
  if (static_cast<unsigned char>(text[i]) == 0xA1 && i + 1 < text.size() &&
      static_cast<unsigned char>(text[i + 1]) == 0xA1)
    return 2;
  return 0;
}

std::string_view TrimLeftView(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t w = BlankAt(text, i);
    if (w == 0) break;
    i += w;
  }
  return text.substr(i);
}

std::string_view TrimRightView(std::string_view text) {
  // Every blank ends in a space or 0xA1; a text that ends in neither has nothing to trim.
  if (text.empty() || (text.back() != ' ' && static_cast<unsigned char>(text.back()) != 0xA1)) return text;
  // Walk forward by characters so that a second byte 0xA1 is never taken for half a blank.
  std::size_t end = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t w = BlankAt(text, i);
    if (w == 0) {
      i += CharWidth(static_cast<unsigned char>(text[i]));
      end = std::min(i, text.size());
    } else {
      i += w;
    }
  }
  return text.substr(0, end);
}

}  // namespace

int FindText(std::string_view text, std::string_view what, int start, bool caseSensitive) {
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  const std::size_t at = FindMarker(text, what, from, caseSensitive);
  return at == std::string_view::npos ? -1 : static_cast<int>(at) + 1;
}

Text TrimLeftBlanks(std::string_view text) {
  return Text(TrimLeftView(text));
}

Text TrimRightBlanks(std::string_view text) {
  return Text(TrimRightView(text));
}

std::string_view TrimBlanksView(std::string_view text) {
  return TrimRightView(TrimLeftView(text));
}

Text TrimBlanks(std::string_view text) {
  return Text(TrimBlanksView(text));
}

Text RemoveBlanks(std::string_view text) {
  Text out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t w = BlankAt(text, i);
    if (w != 0) {
      i += w;
      continue;
    }
    size_t n = std::min(CharWidth(static_cast<unsigned char>(text[i])), text.size() - i);
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

TextArray SplitText(std::string_view text, std::string_view separator) {
  TextArray pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  int from = 1;
  while (true) {
    int at = FindText(text, separator, from, true);
    if (at == -1) break;
    pieces.emplace_back(text.substr(static_cast<size_t>(from) - 1, static_cast<size_t>(at - from)));
    from = at + static_cast<int>(separator.size());
  }
  if (static_cast<size_t>(from) - 1 < text.size())
    pieces.emplace_back(text.substr(static_cast<size_t>(from) - 1));
  return pieces;
}

Text LeftPart(std::string_view text, int n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<size_t>(n)));
}

Text RightPart(std::string_view text, int n) {
  if (n <= 0) return {};
  if (static_cast<size_t>(n) >= text.size()) return Text(text);
  return Text(text.substr(text.size() - static_cast<size_t>(n)));
}

Text LowerAscii(std::string_view text) {
  // Steps over two-byte characters: a trail byte such as 'A' (0x41) in 0x81 0x41 is half of a
  // Chinese character, not a letter.
  Text out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 0x80) {
      ++i;
    } else {
      out[i] = static_cast<char>(FoldAscii(c));
    }
  }
  return out;
}

int IntegerValue(std::string_view text) {
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    // Saturate rather than overflow on absurdly long digit runs.
    if (value < 2147483647LL) value = value * 10 + (c - '0');
  }
  return value > 2147483647LL ? 2147483647 : static_cast<int>(value);
}

Text ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return Text(text);
  Text out;
  int from = 1;
  while (true) {
    int at = FindText(text, what, from, true);
    if (at == -1) break;
    out.append(text.substr(static_cast<size_t>(from) - 1, static_cast<size_t>(at - from)));
    out.append(with);
    from = at + static_cast<int>(what.size());
  }
  if (static_cast<size_t>(from) - 1 < text.size()) out.append(text.substr(static_cast<size_t>(from) - 1));
  return out;
}

Text ToText(const ByteSet& bytes) {
  if (bytes.empty()) return {};
  const auto* begin = reinterpret_cast<const char*>(bytes.data());
  return Text(begin, ::strnlen(begin, bytes.size()));
}

ByteSet ToByteSet(std::string_view text) {
  return ByteSet(text.begin(), text.end());
}
