// The text-stream object that charset conversion drives, in place of the Windows stream object:
// a byte buffer with a position, read and written either as bytes or as text in a charset.
// Text crosses this interface as the program holds it, in code page 936.
#pragma once

#include <unicode/ucnv.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "text/text.h"

class TextStream {
 public:
  static constexpr int kBinary = 1;  // the stream's Type values
  static constexpr int kText = 2;

  // Empties the stream and rewinds it; type and charset stay as they were set.
  void Open();
  void Close();
  bool IsOpen() const { return open_; }

  // Type and charset change only at position 0, as with the Windows object; false otherwise.
  bool SetType(int type);
  int Type() const { return type_; }
  // Windows' names for code page 936 ("GBK", "gb2312", ...) select code page 936 as Windows has
  // it; other names go to ICU. False for an empty name or one ICU does not know (no change).
  bool SetCharset(std::string_view name);

  // Any position from 0 on; reads from beyond the end give nothing. False for a negative one.
  bool SetPosition(long long position);
  std::size_t Position() const { return position_; }
  std::size_t Size() const { return bytes_.size(); }

  // Binary type: writes the bytes at the position (overwriting, extending), moving past them.
  bool Write(std::span<const unsigned char> bytes);
  // Binary type: the bytes from the position to the end; the position moves to the end.
  ByteSet Read();

  // Text type: the bytes from the position to the end decoded with the charset (a leading UTF-8
  // byte-order mark consumed), then held in code page 936: "?" for what it cannot hold, cut at
  // the first NUL. The position moves to the end.
  Text ReadText();
  // Text type: writes `text` (code page 936, as 936 conversions give it) encoded with the
  // charset at the position. In UTF-8 at position 0 a byte-order mark comes first.
  bool WriteText(std::string_view text);

 private:
  void Put(std::string_view bytes);

  std::string bytes_;
  std::size_t position_ = 0;
  int type_ = kBinary;
  bool open_ = false;
  icu::LocalUConverterPointer charset_;
  bool charsetIsUtf8_ = false;
  bool charsetIsAnsi_ = false;
};
