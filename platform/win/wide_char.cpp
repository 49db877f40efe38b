#include "platform/win/wide_char.h"

#include <cstring>
#include <string>
#include <string_view>

#include "platform/win/codepage.h"

int WideCharToMultiByte(unsigned codePage, unsigned long flags, const char16_t* wide, int wideLength,
                        char* bytes, int byteCapacity, const char* defaultChar, int* usedDefaultChar) {
  if ((codePage != CP_ACP && codePage != 936) || flags != 0 || defaultChar != nullptr ||
      usedDefaultChar != nullptr || wide == nullptr || wideLength == 0 || wideLength < -1 ||
      byteCapacity < 0 || (byteCapacity > 0 && bytes == nullptr)) {
    return 0;
  }
  bool withNul = wideLength == -1;
  std::u16string_view text =
      withNul ? std::u16string_view(wide) : std::u16string_view(wide, static_cast<size_t>(wideLength));
  // A NUL inside the given length converts like any character, so convert piecewise.
  std::string converted;
  for (size_t start = 0; start <= text.size();) {
    size_t nul = text.find(u'\0', start);
    converted += UnicodeToAnsi(
        text.substr(start, nul == std::u16string_view::npos ? std::u16string_view::npos : nul - start));
    if (nul == std::u16string_view::npos) break;
    converted += '\0';
    start = nul + 1;
  }
  if (withNul) converted += '\0';
  int needed = static_cast<int>(converted.size());
  if (byteCapacity == 0) return needed;
  if (needed > byteCapacity) return 0;
  std::memcpy(bytes, converted.data(), converted.size());
  return needed;
}
