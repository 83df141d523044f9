// The encodings of the result files: Windows-1251 where it holds every
// character of the text, UTF-8 otherwise; the conversions into them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class Encoding { windows_1251, utf_8 };

// Bytes and the encoding they are in.
struct EncodedText {
  std::string bytes;
  Encoding encoding = Encoding::windows_1251;
};

// A UTF-16 text of at most `units` code units, up to its first zero unit,
// as the program keeps it: Windows-1251 when that code page holds every
// character exactly (no best fit: a character it lacks is never replaced by
// a look-alike), UTF-8 otherwise, with U+FFFD for a lone surrogate. Written
// straight into the string's own memory, measured first so that it is
// allocated once; std::bad_alloc when it cannot be held.
EncodedText text_from_utf16(const char16_t* text, std::size_t units);

// Windows-1251 bytes in UTF-8 (0x98, which the code page leaves unassigned,
// as U+FFFD).
std::string utf8_from_windows_1251(std::string_view text);

// Bytes of the UTF-8 sequence that this byte begins: 2 to 4 for a lead
// byte (0xC2 to 0xF4), 1 for any other byte.
std::size_t utf8_sequence_length(unsigned char lead);

// True for a byte that continues a UTF-8 sequence (0x80 to 0xBF).
inline bool is_utf8_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
