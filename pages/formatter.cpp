// The readable-text formatter.
#include "pages/formatter.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "pages/page.h"

namespace {

bool ends_sentence(unsigned char c) { return c == '.' || c == '?' || c == '!'; }

// Capitals by Windows-1251 byte value: Latin A-Z, Cyrillic А-Я (192-223)
// and Ё (168).
bool is_capital(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 223) || c == 168; }

bool is_latin_capital(unsigned char c) { return c >= 'A' && c <= 'Z'; }

// Capitals of the Latin and Cyrillic alphabets in Unicode beyond ASCII
// (A-Z are single bytes): each range holds every step-th character from its
// first.
struct CapitalRange {
  char32_t first, last, step;
};
constexpr CapitalRange kCapitals[] = {
    {0xC0, 0xD6, 1},      {0xD8, 0xDE, 1},                            // À-Ö, Ø-Þ
    {0x100, 0x136, 2},    {0x139, 0x147, 2},    {0x14A, 0x176, 2},    // Latin Extended-A: Ā, Ĺ, Ŋ ...
    {0x178, 0x179, 1},    {0x17B, 0x17D, 2},                          // Ÿ, Ź, Ż, Ž
    {0x400, 0x42F, 1},    {0x460, 0x480, 2},    {0x48A, 0x4BE, 2},    // Ѐ-Я, Ѡ ..., Ҋ ...
    {0x4C0, 0x4C1, 1},    {0x4C3, 0x4CD, 2},    {0x4D0, 0x52E, 2},    // Ӏ, Ӂ ..., Ӑ ... Ԯ
    {0x1E00, 0x1E94, 2},  {0x1E9E, 0x1EFE, 2},                        // Ḁ ..., ẞ Ạ ... Ỿ
};

bool is_capital_code_point(char32_t c) {
  for (const CapitalRange& range : kCapitals) {
    if (c >= range.first && c <= range.last) return (c - range.first) % range.step == 0;
  }
  return false;
}

// The code point of a whole UTF-8 sequence of two to four bytes.
char32_t code_point(const char* bytes, std::size_t size) {
  char32_t c = static_cast<unsigned char>(bytes[0]) & (0x7Fu >> size);
  for (std::size_t i = 1; i < size; ++i) c = (c << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3Fu);
  return c;
}

// What a character of more than one byte leaves as the previous character:
// none of the bytes the rules look for.
constexpr unsigned char kOtherCharacter = 0x80;

template <std::size_t N>
char* put(char* out, const char (&mark)[N]) {
  std::memcpy(out, mark, N - 1);
  return out + (N - 1);
}

// Rules 1 to 5 for a character of one byte; capital tells rule 2, which
// alone asks, whether a byte is a capital.
template <typename Capital>
inline char* put_byte(char ch, Capital capital, bool long_lines, bool short_lines, unsigned char previous,
                      unsigned char second_previous, char* w) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c == ' ' && previous == ' ') {
    // dropped
  } else if (previous == ' ' && ends_sentence(second_previous) && capital(c)) {
    w = put(w, "<li>");
    *w++ = ch;
  } else if (c == '\r' && (long_lines || second_previous == '\r')) {
    w = put(w, "\r<p>");
  } else if (c == '\r' && short_lines) {
    w = put(w, "\r<br>");
  } else if (c == '<') {
    w = put(w, "&lt;");
  } else if (c == '>') {
    w = put(w, "&gt;");
  } else if (c == '&') {
    w = put(w, "&amp;");
  } else {
    *w++ = ch;
  }
  return w;
}

std::size_t characters(std::string_view text, Encoding encoding) {
  if (encoding == Encoding::windows_1251) return text.size();
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !is_utf8_continuation(c); }));
}

// The formatted text up to the start of a character after its first
// kHeadingChars, so that the last of them is whole (in UTF-8, stray bytes
// that continue no character belong to the one before), formatted only as
// far as they need: a run of dropped blanks may stand in front of them, so
// the input goes kHeadingChars bytes at a time until they are there.
std::string formatted_start(std::string_view text, LineClass line_class, Encoding encoding) {
  std::string out;
  TextFormatter formatter(line_class, encoding);
  for (std::size_t have = 0; !text.empty() && have <= kHeadingChars; have = characters(out, encoding)) {
    const std::size_t step = std::min(text.size(), kHeadingChars), start = out.size();
    out.resize(start + (step + kCarriedBytes) * kLongestOutput);
    char* end = formatter.format(text.substr(0, step), out.data() + start);
    text.remove_prefix(step);
    if (text.empty()) end = formatter.finish(end);
    out.resize(static_cast<std::size_t>(end - out.data()));
  }
  return out;
}

}  // namespace

int average_line_length(std::string_view text, Encoding encoding) {
  const std::size_t lines = 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
  return static_cast<int>(std::min<std::size_t>(characters(text, encoding) / lines, INT_MAX));
}

LineClass line_class(int average_line_length) {
  if (average_line_length >= 131) return LineClass::long_lines;
  if (average_line_length >= 51) return LineClass::medium_lines;
  return LineClass::short_lines;
}

char* TextFormatter::format(std::string_view piece, char* out) {
  if (encoding_ == Encoding::utf_8) return format_utf8(piece, out);
  // The state lives in locals while the pass runs, so that it stays in
  // registers rather than going back to memory after every character.
  const bool long_lines = line_class_ == LineClass::long_lines;
  const bool short_lines = line_class_ == LineClass::short_lines;
  unsigned char previous = previous_;
  unsigned char second_previous = second_previous_;
  char* w = out;
  for (const char ch : piece) {
    const unsigned char c = static_cast<unsigned char>(ch);
    w = put_byte(ch, is_capital, long_lines, short_lines, previous, second_previous, w);
    second_previous = previous;
    previous = c;
  }
  previous_ = previous;
  second_previous_ = second_previous;
  return w;
}

char* TextFormatter::format_utf8(std::string_view piece, char* out) {
  const bool long_lines = line_class_ == LineClass::long_lines;
  const bool short_lines = line_class_ == LineClass::short_lines;
  unsigned char previous = previous_;
  unsigned char second_previous = second_previous_;
  char* w = out;
  for (const char ch : piece) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (held_ > 0) {
      const bool continues = is_utf8_continuation(ch);
      if (continues) held_bytes_[held_++] = ch;
      if (continues && held_ < utf8_sequence_length(static_cast<unsigned char>(held_bytes_[0]))) continue;
      // A whole character, or the bytes of one cut short, which stand as
      // they are. Of the rules only the sentence start applies.
      const bool starts_sentence = previous == ' ' && ends_sentence(second_previous);
      if (continues && starts_sentence && is_capital_code_point(code_point(held_bytes_, held_))) w = put(w, "<li>");
      std::memcpy(w, held_bytes_, held_);
      w += held_;
      held_ = 0;
      second_previous = previous;
      previous = kOtherCharacter;
      if (continues) continue;
    }
    if (utf8_sequence_length(c) > 1) {
      held_bytes_[held_++] = ch;
      continue;
    }
    w = put_byte(ch, is_latin_capital, long_lines, short_lines, previous, second_previous, w);
    second_previous = previous;
    previous = c;
  }
  previous_ = previous;
  second_previous_ = second_previous;
  return w;
}

char* TextFormatter::finish(char* out) {
  std::memcpy(out, held_bytes_, held_);
  out += held_;
  if (held_ > 0) {
    second_previous_ = previous_;
    previous_ = kOtherCharacter;
  }
  held_ = 0;
  return out;
}

std::string formatted_text(std::string_view text, LineClass line_class, Encoding encoding) {
  std::string out((text.size() + kCarriedBytes) * kLongestOutput, '\0');
  TextFormatter formatter(line_class, encoding);
  out.resize(static_cast<std::size_t>(formatter.finish(formatter.format(text, out.data())) - out.data()));
  return out;
}

std::string heading_of(std::string_view formatted, Encoding encoding) {
  std::size_t end = 0;
  for (std::size_t count = 0; end < formatted.size(); ++end) {
    const bool starts = encoding == Encoding::windows_1251 || !is_utf8_continuation(formatted[end]);
    if (starts && ++count > kHeadingChars) break;
  }
  std::string_view heading = formatted.substr(0, end);
  // Every '<' of the formatted text starts a mark of the pass, since the
  // page text's own are escaped.
  heading = heading.substr(0, heading.find('<'));
  // Every '&' starts an escape; only the last one can be cut short.
  const std::size_t amp = heading.rfind('&');
  if (amp != std::string_view::npos && heading.find(';', amp) == std::string_view::npos) {
    heading = heading.substr(0, amp);
  }
  std::string result(heading);
  if (encoding == Encoding::utf_8) return result.append("\xE2\x80\xA6");  // U+2026
  result += kEllipsis;
  return result;
}

bool put_readable_page(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink) {
  const LineClass line_class_of_text = line_class(average_line_length(clipboard_text, encoding));
  std::string head(" ");
  head.append(page_header(encoding)).append(" \n\n<h2> ");
  head.append(heading_of(formatted_start(clipboard_text, line_class_of_text, encoding), encoding));
  head.append(" </h2><hr size=1>\n\n ");
  if (!put_on_disk(head, sink)) return false;
  TextFormatter formatter(line_class_of_text, encoding);
  std::string piece((kFormatPiece + kCarriedBytes) * kLongestOutput, '\0');
  for (std::string_view rest = clipboard_text; !rest.empty();) {
    const std::size_t step = std::min(rest.size(), kFormatPiece);
    char* end = formatter.format(rest.substr(0, step), piece.data());
    rest.remove_prefix(step);
    if (rest.empty()) end = formatter.finish(end);
    if (!put_on_disk(std::string_view(piece.data(), static_cast<std::size_t>(end - piece.data())), sink)) return false;
  }
  return put_on_disk(" \n\n ", sink) && put_on_disk(page_footer(encoding), sink);
}
