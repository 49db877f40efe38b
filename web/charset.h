// Re-encoding a page body from one charset to another through the GBK code page.
#pragma once

#include <optional>

#include "text/text.h"

// Decodes `data` with *fromCharset (empty or null: "UTF-8"), passes the text through code page
// 936 ("?" for what it cannot hold, cut at the first NUL) and encodes it with *toCharset (empty
// or null: "GBK"); given variables receive the defaults. `skipBytes` drops leading output bytes.
ByteSet ConvertCharset(const ByteSet& data, Text* fromCharset = nullptr,
                       Text* toCharset = nullptr, std::optional<int> skipBytes = {});
