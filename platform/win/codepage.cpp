#include "platform/win/codepage.h"

#include <unicode/ucnv_cb.h>

#include <iterator>

#include "platform/win/codepage_icu.h"

namespace {

// Windows writes its default character for each UTF-16 unit it cannot map, so a character
// outside the BMP (a surrogate pair) gives "??".
void WriteDefaultCharacter(const void* /*context*/, UConverterFromUnicodeArgs* args,
                           const UChar* /*codeUnits*/, int32_t length, UChar32 /*codePoint*/,
                           UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close and clone carry no character
  *error = U_ZERO_ERROR;
  static constexpr char kMarks[] = "??";
  while (length > 0 && U_SUCCESS(*error)) {
    int32_t n = length < 2 ? length : 2;
    ucnv_cbFromUWriteBytes(args, kMarks, n, 0, error);
    length -= n;
  }
}

icu::LocalUConverterPointer OpenConverter(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  icu::LocalUConverterPointer converter(ucnv_open(name, &error));
  if (U_FAILURE(error)) converter.adoptInstead(nullptr);
  return converter;
}

// Runs `convert(buffer, capacity, error)` into `out`, sized first by the caller's estimate and
// once more to the measured size when the estimate was short; empty on a failed conversion.
template <typename Out, typename Convert>
Out ConvertGrowing(Out out, Convert convert) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t n = convert(out.data(), static_cast<int32_t>(out.size()), &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<size_t>(n));
      continue;
    }
    out.resize(U_FAILURE(error) ? 0 : static_cast<size_t>(n));
    break;
  }
  return out;
}

std::u16string Decode(UConverter& from, std::string_view bytes) {
  // Code page 936 and UTF-8 never give more UTF-16 units than bytes; measure if one ever does.
  return ConvertGrowing(
      std::u16string(bytes.size(), u'\0'), [&](char16_t* out, int32_t capacity, UErrorCode* error) {
        return ucnv_toUChars(&from, out, capacity, bytes.data(), static_cast<int32_t>(bytes.size()), error);
      });
}

std::string Encode(UConverter& to, std::u16string_view text) {
  std::string out(text.size() * static_cast<size_t>(ucnv_getMaxCharSize(&to)), '\0');
  return ConvertGrowing(std::move(out), [&](char* buffer, int32_t capacity, UErrorCode* error) {
    return ucnv_fromUChars(&to, buffer, capacity, text.data(), static_cast<int32_t>(text.size()), error);
  });
}

}  // namespace

void EncodeLikeWindows(UConverter& converter) {
  ucnv_setFallback(&converter, true);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setFromUCallBack(&converter, WriteDefaultCharacter, nullptr, nullptr, nullptr, &error);
}

icu::LocalUConverterPointer OpenAnsiConverter() {
  icu::LocalUConverterPointer converter = OpenConverter(kAnsiConverterName);
  if (converter.isValid()) EncodeLikeWindows(*converter);
  return converter;
}

std::string ConvertBytes(UConverter& to, UConverter& from, std::string_view bytes) {
  // Most conversions shrink or keep the size (UTF-8 to 936 always does); grow when they do not.
  std::string out(bytes.size() + bytes.size() / 4 + 16, '\0');
  UChar pivot[1024];
  UChar* pivotSource = pivot;
  UChar* pivotTarget = pivot;
  const char* source = bytes.data();
  const char* sourceLimit = source + bytes.size();
  size_t written = 0;
  bool reset = true;
  while (true) {
    char* target = out.data() + written;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_convertEx(&to, &from, &target, out.data() + out.size(), &source, sourceLimit, pivot, &pivotSource,
                   &pivotTarget, pivot + std::size(pivot), reset, true, &error);
    written = static_cast<size_t>(target - out.data());
    reset = false;
    if (error != U_BUFFER_OVERFLOW_ERROR) break;  // done, or an error that keeps what was made
    out.resize(out.size() * 2);
  }
  out.resize(written);
  return out;
}

std::string UnicodeToAnsi(std::u16string_view text) {
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  return ansi.isValid() ? Encode(*ansi, text) : std::string();
}

std::u16string AnsiToUnicode(std::string_view text) {
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  return ansi.isValid() ? Decode(*ansi, text) : std::u16string();
}

std::string Utf8ToAnsi(std::string_view utf8) {
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  icu::LocalUConverterPointer from = OpenConverter("UTF-8");
  return ansi.isValid() && from.isValid() ? ConvertBytes(*ansi, *from, utf8) : std::string();
}

std::string AnsiToUtf8(std::string_view text) {
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  icu::LocalUConverterPointer to = OpenConverter("UTF-8");
  return ansi.isValid() && to.isValid() ? ConvertBytes(*to, *ansi, text) : std::string();
}
