// The readable-text formatter: turns the plain text of a web page into a
// light HTML page. Line ends become paragraph or line breaks according to
// the text's average line length, runs of blanks collapse, a capital that
// starts a sentence gets a list-item mark, and the start of the result
// becomes the page's heading. The text is Windows-1251 or UTF-8; in UTF-8
// every rule counts characters, not bytes, and never splits one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "desktop/encoding.h"
#include "pages/page.h"

// One input byte writes at most this many bytes ("\r<br>", "<li>" and a
// one-byte capital, "&amp;"; in UTF-8 "<li>" and a capital of two or three
// bytes write less per byte).
inline constexpr std::size_t kLongestOutput = 5;
// The page is formatted this many input bytes at a time, so that a piece's
// output, '\n' stored as "\r\n" included, fits in 64 KiB.
inline constexpr std::size_t kFormatPiece = (std::size_t{1} << 16) / kLongestOutput;
// Bytes of an unfinished UTF-8 character that a piece may carry over to the
// next, which writes them with its own.
inline constexpr std::size_t kCarriedBytes = 3;
inline constexpr std::size_t kHeadingChars = 33;
inline constexpr char kEllipsis = '\x85';  // Windows-1251 U+2026

enum class LineClass { long_lines, medium_lines, short_lines };

// Length of the text in characters divided by its number of '\r' plus one,
// in integer arithmetic (0 for an empty text). In UTF-8 a character is a
// byte that does not continue a sequence.
int average_line_length(std::string_view text, Encoding encoding = Encoding::windows_1251);

// 131 or more: long lines; 51 to 130: medium lines; 50 or less: short lines.
LineClass line_class(int average_line_length);

// The formatting pass over a text, one input character at a time, the first
// rule that applies deciding:
//   1. a blank after a blank is dropped;
//   2. a capital after ". ", "? " or "! " gets "<li>" before it: in
//      Windows-1251 A-Z, А-Я and Ё; in UTF-8 every capital of the Latin and
//      Cyrillic alphabets;
//   3. '\r' becomes "\r<p>" in long-line text or when two places after a '\r';
//   4. '\r' becomes "\r<br>" in short-line text;
//   5. '<', '>' and '&' become "&lt;", "&gt;" and "&amp;", so that the page
//      text stays text; every other character is copied.
// The previous characters that rules 1 to 3 look at are input characters,
// both blanks before the first one. The text may come in pieces: the pass
// carries them over, a UTF-8 character cut between two pieces included, so
// that the outputs of the pieces joined are the whole text's.
class TextFormatter {
 public:
  explicit TextFormatter(LineClass line_class, Encoding encoding = Encoding::windows_1251)
      : line_class_(line_class), encoding_(encoding) {}
  // Writes the piece's output from out on, which has room for
  // kLongestOutput bytes per input byte and per carried byte; returns its
  // end.
  char* format(std::string_view piece, char* out);
  // Writes the bytes of a UTF-8 character that the text left unfinished,
  // as they are; returns the end.
  char* finish(char* out);

 private:
  char* format_utf8(std::string_view piece, char* out);

  LineClass line_class_;
  Encoding encoding_;
  unsigned char previous_ = ' ';
  unsigned char second_previous_ = ' ';
  char held_bytes_[4] = {};  // an unfinished UTF-8 character
  std::size_t held_ = 0;
};

// The whole text formatted in one go.
std::string formatted_text(std::string_view text, LineClass line_class, Encoding encoding = Encoding::windows_1251);

// At most the first 33 characters of the formatted text, cut before the
// first mark ("<li>", "<p>", "<br>") and before an escape that the 33
// characters would split, followed by the ellipsis: 34 characters at most.
std::string heading_of(std::string_view formatted, Encoding encoding = Encoding::windows_1251);

// "tulvex.htm" of the readable-text mode, as stored on disk: a blank, the
// page header, the heading line, the formatted text and the page footer,
// all in the text's encoding. The text is formatted and stored a piece at a
// time; the only copy of it is the clipboard text. False when the sink
// refused.
bool put_readable_page(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink);
