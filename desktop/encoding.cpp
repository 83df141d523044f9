// Windows-1251 and UTF-8 from UTF-16, and UTF-8 from Windows-1251.
#include "desktop/encoding.h"

namespace {

// Windows-1251 bytes 0x80 to 0xFF as Unicode; 0 for the unassigned 0x98.
constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The highest character that Windows-1251 holds (U+2122, the trade mark).
constexpr char16_t kLastHeld = 0x2122;

// Windows-1251 byte by character, for every character up to kLastHeld; 0
// where the code page has none (the zero character never gets here: a text
// ends before it).
struct ByteByCharacter {
  unsigned char byte[kLastHeld + 1] = {};
};

constexpr ByteByCharacter make_byte_by_character() {
  ByteByCharacter table;
  for (unsigned b = 0; b < 0x80; ++b) table.byte[b] = static_cast<unsigned char>(b);
  for (unsigned i = 0; i < 0x80; ++i) {
    if (kHighHalf[i] != 0) table.byte[kHighHalf[i]] = static_cast<unsigned char>(0x80 + i);
  }
  return table;
}
constexpr ByteByCharacter kByteByCharacter = make_byte_by_character();

unsigned char windows_1251_byte(char16_t unit) { return unit <= kLastHeld ? kByteByCharacter.byte[unit] : 0; }

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point that starts at text[at] and the units it takes; U+FFFD
// for a lone surrogate.
char32_t code_point_at(std::u16string_view text, std::size_t at, std::size_t& units) {
  const char16_t unit = text[at];
  units = 1;
  if (is_high_surrogate(unit) && at + 1 < text.size() && is_low_surrogate(text[at + 1])) {
    units = 2;
    return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[at + 1] - 0xDC00);
  }
  return is_high_surrogate(unit) || is_low_surrogate(unit) ? 0xFFFD : unit;
}

std::size_t utf8_size(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

char* put_utf8(char32_t c, char* out) {
  const std::size_t size = utf8_size(c);
  if (size == 1) {
    *out++ = static_cast<char>(c);
    return out;
  }
  constexpr unsigned char kLeadMarks[5] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (std::size_t i = size; i-- > 1;) {
    out[i] = static_cast<char>(0x80 | (c & 0x3F));
    c >>= 6;
  }
  out[0] = static_cast<char>(kLeadMarks[size] | c);
  return out + size;
}

}  // namespace

EncodedText text_from_utf16(const char16_t* text, std::size_t units) {
  std::u16string_view wide(text, units);
  wide = wide.substr(0, wide.find(u'\0'));
  bool held = true;
  std::size_t size = 0, step = 0;
  for (std::size_t at = 0; at < wide.size(); at += step) {
    held = held && windows_1251_byte(wide[at]) != 0;
    size += utf8_size(code_point_at(wide, at, step));
  }
  EncodedText result;
  if (held) {
    result.bytes.resize(wide.size());
    for (std::size_t at = 0; at < wide.size(); ++at) result.bytes[at] = static_cast<char>(windows_1251_byte(wide[at]));
    return result;
  }
  result.encoding = Encoding::utf_8;
  result.bytes.resize(size);
  char* out = result.bytes.data();
  for (std::size_t at = 0; at < wide.size(); at += step) out = put_utf8(code_point_at(wide, at, step), out);
  return result;
}

std::string utf8_from_windows_1251(std::string_view text) {
  std::string result;
  char out[3];
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const char32_t character = c < 0x80 ? c : kHighHalf[c - 0x80] != 0 ? kHighHalf[c - 0x80] : 0xFFFD;
    result.append(out, put_utf8(character, out));
  }
  return result;
}

std::size_t utf8_sequence_length(unsigned char lead) {
  if (lead < 0xC2 || lead > 0xF4) return 1;
  return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}
