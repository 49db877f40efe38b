// Fonts added to the process from memory, in place of gdi32's AddFontMemResourceEx and
// RemoveFontMemResourceEx. A font added this way is private to the process.
#pragma once

#include <cstdint>

using FontHandle = std::uintptr_t;

// Adds the font file image `data` of `size` bytes; `reserved` must be null. Returns a handle,
// 0 on failure; `fontCount`, when given, receives the number of fonts added.
FontHandle AddFontMemResourceEx(const void* data, unsigned long size, void* reserved,
                                unsigned long* fontCount);
// Removes a font added by AddFontMemResourceEx; false when the handle is not such a font.
bool RemoveFontMemResourceEx(FontHandle font);
