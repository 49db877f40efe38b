// WideCharToMultiByte of kernel32, for the program's system ANSI code page, always 936 (GBK).
#pragma once

constexpr unsigned CP_ACP = 0;

// Converts `wideLength` UTF-16 units from `wide` (-1: up to and including its NUL) to code
// page 936. With `byteCapacity` 0 it writes nothing and returns the number of bytes needed;
// otherwise it writes into `bytes` and returns the number written, or 0 when they do not fit.
// The terminating NUL counts when the input includes it. Only CP_ACP and 936 are known, and
// flags, a default character and its report are not supported: the call fails (returns 0)
// when any is given. Unmappable characters become "?".
int WideCharToMultiByte(unsigned codePage, unsigned long flags, const char16_t* wide, int wideLength,
                        char* bytes, int byteCapacity, const char* defaultChar, int* usedDefaultChar);
