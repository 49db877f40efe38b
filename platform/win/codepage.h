// The program's "system ANSI code page", always 936 (GBK), in place of WideCharToMultiByte and
// MultiByteToWideChar. The user-defined areas map to the private-use area: U+E052 is AA F3.
#pragma once

#include <string>
#include <string_view>

// Unicode to code page 936 with no flags: best-fit mappings, "?" for everything else
// (default-ignorable code points included).
std::string UnicodeToAnsi(std::u16string_view text);
// Code page 936 to Unicode.
std::u16string AnsiToUnicode(std::string_view text);

// The same conversions for UTF-8 strings (the toolkit's other string form): UTF-8 to code page
// 936 as UnicodeToAnsi does it (ill-formed pieces give "?"), and code page 936 to UTF-8.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view text);
