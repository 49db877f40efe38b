// The stream steps under ConvertCharset.
#pragma once

#include <optional>
#include <string_view>

#include "text/text.h"

// Writes `data` into a text stream, reads it back as text in `fromCharset` (held in code page
// 936), writes that text in `toCharset` and returns the bytes from position `skipBytes` on (all
// of them without it). A charset the stream does not know, or empty data, gives `data` itself.
ByteSet RecodeBytes(const ByteSet& data, std::string_view fromCharset, std::string_view toCharset,
                    std::optional<int> skipBytes = {});
