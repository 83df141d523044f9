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

template <std::size_t N>
char* put(char* out, const char (&mark)[N]) {
  std::memcpy(out, mark, N - 1);
  return out + (N - 1);
}

}  // namespace

int average_line_length(std::string_view text) {
  const std::size_t lines = 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
  return static_cast<int>(std::min<std::size_t>(text.size() / lines, INT_MAX));
}

LineClass line_class(int average_line_length) {
  if (average_line_length >= 131) return LineClass::long_lines;
  if (average_line_length >= 51) return LineClass::medium_lines;
  return LineClass::short_lines;
}

std::string formatted_text(std::string_view text, LineClass line_class) {
  // Room for the whole output up to the limit and the last character's
  // output beyond it; no input byte writes more than kLongestOutput.
  const std::size_t room =
      std::min(std::min(text.size(), kFormattedLimit) * kLongestOutput, kFormattedLimit + kLongestOutput - 1);
  std::string out(room, '\0');
  char* const begin = out.data();
  char* w = begin;
  const bool long_lines = line_class == LineClass::long_lines;
  const bool short_lines = line_class == LineClass::short_lines;
  unsigned char previous = ' ';
  unsigned char second_previous = ' ';
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == ' ' && previous == ' ') {
      // dropped
    } else if (previous == ' ' && ends_sentence(second_previous) && is_capital(c)) {
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
    second_previous = previous;
    previous = c;
    if (static_cast<std::size_t>(w - begin) >= kFormattedLimit) break;
  }
  out.resize(static_cast<std::size_t>(w - begin));
  return out;
}

std::string heading_of(std::string_view formatted) {
  std::string_view heading = formatted.substr(0, kHeadingChars);
  // Every '<' of the formatted text starts a mark of the pass, since the
  // page text's own are escaped.
  heading = heading.substr(0, heading.find('<'));
  // Every '&' starts an escape; only the last one can be cut short.
  const std::size_t amp = heading.rfind('&');
  if (amp != std::string_view::npos && heading.find(';', amp) == std::string_view::npos) {
    heading = heading.substr(0, amp);
  }
  std::string result(heading);
  result += kEllipsis;
  return result;
}

bool put_readable_page(std::string_view clipboard_text, const ByteSink& sink) {
  const std::string text = formatted_text(clipboard_text, line_class(average_line_length(clipboard_text)));
  std::string page;
  page.reserve(page_header().size() + page_footer().size() + kHeadingChars + text.size() + 48);
  page.append(" ").append(page_header()).append(" \n\n<h2> ").append(heading_of(text));
  page.append(" </h2><hr size=1>\n\n ").append(text).append(" \n\n ").append(page_footer());
  return put_on_disk(page, sink);
}
