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

// The formatted text up to its first kHeadingChars characters at least,
// formatted only as far as they need: a run of dropped blanks may stand in
// front of them, so the input goes in steps of the characters still
// missing.
std::string formatted_start(std::string_view text, LineClass line_class) {
  char out[kHeadingChars * kLongestOutput];
  char* w = out;
  TextFormatter formatter(line_class);
  while (!text.empty() && w < out + kHeadingChars) {
    const std::size_t step = std::min(text.size(), static_cast<std::size_t>(out + kHeadingChars - w));
    w = formatter.format(text.substr(0, step), w);
    text.remove_prefix(step);
  }
  return std::string(out, w);
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

char* TextFormatter::format(std::string_view piece, char* out) {
  // The state lives in locals while the pass runs, so that it stays in
  // registers rather than going back to memory after every character.
  const bool long_lines = line_class_ == LineClass::long_lines;
  const bool short_lines = line_class_ == LineClass::short_lines;
  unsigned char previous = previous_;
  unsigned char second_previous = second_previous_;
  char* w = out;
  for (const char ch : piece) {
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
  }
  previous_ = previous;
  second_previous_ = second_previous;
  return w;
}

std::string formatted_text(std::string_view text, LineClass line_class) {
  std::string out(text.size() * kLongestOutput, '\0');
  out.resize(static_cast<std::size_t>(TextFormatter(line_class).format(text, out.data()) - out.data()));
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
  const LineClass line_class_of_text = line_class(average_line_length(clipboard_text));
  std::string head(" ");
  head.append(page_header()).append(" \n\n<h2> ");
  head.append(heading_of(formatted_start(clipboard_text, line_class_of_text))).append(" </h2><hr size=1>\n\n ");
  if (!put_on_disk(head, sink)) return false;
  TextFormatter formatter(line_class_of_text);
  std::string piece(kFormatPiece * kLongestOutput, '\0');
  for (std::string_view rest = clipboard_text; !rest.empty();) {
    const std::size_t step = std::min(rest.size(), kFormatPiece);
    const char* const end = formatter.format(rest.substr(0, step), piece.data());
    if (!put_on_disk(std::string_view(piece.data(), static_cast<std::size_t>(end - piece.data())), sink)) return false;
    rest.remove_prefix(step);
  }
  return put_on_disk(" \n\n ", sink) && put_on_disk(page_footer(), sink);
}
