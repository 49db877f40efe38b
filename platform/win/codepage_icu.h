// The ICU side of the code page 936 stand-in, for platform code that converts in bulk (the
// text-stream object). Everything else uses the plain functions of codepage.h.
#pragma once

#include <unicode/ucnv.h>

#include <string>
#include <string_view>

// ICU's converter for code page 936 as Windows has it: GBK with the euro sign and the
// user-defined areas on the private-use area. ICU's "GB2312" is EUC-CN only and must not be used.
inline constexpr const char* kAnsiConverterName = "windows-936-2000";

// Makes `converter` encode as WideCharToMultiByte does without flags: best-fit mappings
// (U+00B2 gives "2"), and the default character "?" once per UTF-16 unit that has no mapping,
// default-ignorable code points (U+200B, U+FEFF) included, where ICU would drop them.
void EncodeLikeWindows(UConverter& converter);

// A fresh code page 936 converter set up by EncodeLikeWindows; null only without ICU data.
icu::LocalUConverterPointer OpenAnsiConverter();

// `bytes` decoded by `from` and encoded by `to`, in ICU's bulk loop (UTF-16 only in a small
// pivot buffer). Ill-formed input becomes `from`'s substitute character, one per ill-formed
// piece, which `to` then encodes (as "?" for the code page 936 converter).
std::string ConvertBytes(UConverter& to, UConverter& from, std::string_view bytes);
