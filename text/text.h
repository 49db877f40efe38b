// Shared text types of the program.
#pragma once

#include <string>
#include <vector>

// GBK bytes (code page 936), never holding a zero byte; absent and empty are the same value.
using Text = std::string;
// A byte array; converting to Text stops at the first zero byte (see ToText).
using ByteSet = std::vector<unsigned char>;
// 1-based in the program's terms: element i is index i-1.
using TextArray = std::vector<Text>;
