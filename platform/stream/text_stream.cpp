#include "platform/stream/text_stream.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/win/codepage_icu.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Names under which Windows' MIME database gives code page 936. ICU reads several of them as
// EUC-CN (GB2312 proper), which lacks the GBK characters and the user-defined areas.
constexpr std::array<std::string_view, 12> kCodePage936Names = {
    "gb2312",   "gbk",        "cp936",      "windows-936", "x-gbk",     "ms936",
    "csgb2312", "csgb231280", "gb_2312-80", "gb231280",    "iso-ir-58", "chinese"};

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

bool IsCodePage936Name(std::string_view name) {
  return std::any_of(kCodePage936Names.begin(), kCodePage936Names.end(),
                     [name](std::string_view known) { return SameAsciiNoCase(name, known); });
}

}  // namespace

void TextStream::Open() {
  bytes_.clear();
  position_ = 0;
  open_ = true;
}

void TextStream::Close() {
  bytes_.clear();
  position_ = 0;
  open_ = false;
}

bool TextStream::SetType(int type) {
  if (position_ != 0 || (type != kBinary && type != kText)) return false;
  type_ = type;
  return true;
}

bool TextStream::SetCharset(std::string_view name) {
  if (position_ != 0 || name.empty()) return false;
  icu::LocalUConverterPointer converter;
  if (IsCodePage936Name(name)) {
    converter = OpenAnsiConverter();
  } else {
    UErrorCode error = U_ZERO_ERROR;
    converter.adoptInstead(ucnv_open(std::string(name).c_str(), &error));
    if (U_FAILURE(error)) return false;
    // Windows encodes into its other code pages the same way: best fit, else "?".
    EncodeLikeWindows(*converter);
  }
  if (converter.isNull()) return false;
  UErrorCode error = U_ZERO_ERROR;
  std::string_view canonical = ucnv_getName(converter.getAlias(), &error);
  charsetIsUtf8_ = canonical == "UTF-8";
  charsetIsAnsi_ = canonical == kAnsiConverterName;
  charset_ = std::move(converter);
  return true;
}

bool TextStream::SetPosition(long long position) {
  if (!open_ || position < 0) return false;
  position_ = static_cast<std::size_t>(position);
  return true;
}

void TextStream::Put(std::string_view bytes) {
  if (position_ > bytes_.size()) bytes_.resize(position_, '\0');
  size_t overlap = std::min(bytes.size(), bytes_.size() - position_);
  bytes_.replace(position_, overlap, bytes);
  position_ += bytes.size();
}

bool TextStream::Write(std::span<const unsigned char> bytes) {
  if (!open_ || type_ != kBinary) return false;
  Put(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

ByteSet TextStream::Read() {
  if (!open_ || type_ != kBinary || position_ >= bytes_.size()) return {};
  ByteSet out(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), bytes_.end());
  position_ = bytes_.size();
  return out;
}

Text TextStream::ReadText() {
  if (!open_ || type_ != kText || charset_.isNull() || position_ >= bytes_.size()) return {};
  std::string_view source(bytes_);
  source.remove_prefix(position_);
  position_ = bytes_.size();
  if (charsetIsUtf8_ && source.starts_with(kUtf8Bom)) source.remove_prefix(kUtf8Bom.size());
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  if (ansi.isNull()) return {};
  // One bulk pass from the charset straight into code page 936.
  Text text = ConvertBytes(*ansi, *charset_, source);
  if (size_t nul = text.find('\0'); nul != Text::npos) text.resize(nul);
  return text;
}

bool TextStream::WriteText(std::string_view text) {
  if (!open_ || type_ != kText || charset_.isNull()) return false;
  if (charsetIsUtf8_ && position_ == 0) Put(kUtf8Bom);
  if (charsetIsAnsi_) {
    // The text is already in this charset; decoding it and encoding it again gives the same
    // bytes for everything a 936 conversion produces.
    Put(text);
    return true;
  }
  icu::LocalUConverterPointer ansi = OpenAnsiConverter();
  if (ansi.isNull()) return false;
  Put(ConvertBytes(*charset_, *ansi, text));
  return true;
}
