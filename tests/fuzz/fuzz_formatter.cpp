// libFuzzer target: the formatter on any bytes (up to 64 KiB; the first byte picks a piece size and the encoding)
// writes '<', '>', '&' only as its marks or escapes, writes the same in pieces as in one go, heads the page with at
// most 33 characters of that text, cut before a mark or a split escape, and the ellipsis, and streams the page that
// one go would make. On whole UTF-8 sequences it writes whole sequences alone.
#include <cstdint>
#include <string>

#include "pages/formatter.h"
#include "pages/page.h"

#define REQUIRE(condition) if (!(condition)) __builtin_trap()

// Not traced for coverage: only the formatter's branches steer the fuzzer.
static __attribute__((no_sanitize("coverage"))) bool markup_is_own(std::string_view text) {
  for (std::size_t at = text.find_first_of("<>&"); at != std::string_view::npos; at = text.find_first_of("<>&", at)) {
    const std::size_t before = at;
    for (const std::string_view own : {"<li>", "<p>", "<br>", "&lt;", "&gt;", "&amp;"}) {
      if (text.substr(at, own.size()) == own) at += own.size();
    }
    if (at == before) return false;
  }
  return true;
}

// Whole UTF-8 sequences alone: each lead byte followed by the continuation bytes it announces, and no other.
static __attribute__((no_sanitize("coverage"))) bool valid_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t size = utf8_sequence_length(static_cast<unsigned char>(text[at]));
    if ((size == 1 && text[at] & 0x80) || at + size > text.size()) return false;
    while (--size > 0) if (!is_utf8_continuation(text[++at])) return false;
    ++at;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > (1 << 16)) return 0;
  const std::size_t piece = 1 + data[0] % 8;
  const Encoding encoding = data[0] & 8 ? Encoding::utf_8 : Encoding::windows_1251;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool valid = encoding == Encoding::utf_8 && valid_utf8(text);
  const LineClass line_class_of_text = line_class(average_line_length(text, encoding));
  const std::string formatted = formatted_text(text, line_class_of_text, encoding);
  REQUIRE(markup_is_own(formatted) && (!valid || valid_utf8(formatted)));
  std::string in_pieces((text.size() + kCarriedBytes) * kLongestOutput, '\0');
  TextFormatter formatter(line_class_of_text, encoding);
  char* end = in_pieces.data();
  for (std::size_t at = 0; at < text.size(); at += piece) end = formatter.format(text.substr(at, piece), end);
  end = formatter.finish(end);
  REQUIRE(in_pieces.substr(0, static_cast<std::size_t>(end - in_pieces.data())) == formatted);
  const std::string heading = heading_of(formatted, encoding);
  const std::string ellipsis = heading_of("", encoding);
  REQUIRE(heading.size() >= ellipsis.size() && heading.substr(heading.size() - ellipsis.size()) == ellipsis);
  const std::string_view heading_text(heading.data(), heading.size() - ellipsis.size());
  std::size_t heading_length = 0;
  for (const char c : heading_text) heading_length += encoding == Encoding::windows_1251 || !is_utf8_continuation(c);
  REQUIRE(heading_length <= kHeadingChars && (!valid || valid_utf8(heading_text)));
  REQUIRE(heading_text.find('<') == std::string_view::npos && markup_is_own(heading_text));
  REQUIRE(formatted.compare(0, heading_text.size(), heading_text) == 0);
  std::string streamed, in_one_go;
  const std::string whole = " " + std::string(page_header(encoding)) + " \n\n<h2> " + heading +
                            " </h2><hr size=1>\n\n " + formatted + " \n\n " + std::string(page_footer(encoding));
  REQUIRE(put_readable_page(text, encoding, [&](std::string_view p) { return streamed.append(p), true; }));
  REQUIRE(put_on_disk(whole, [&](std::string_view p) { return in_one_go.append(p), true; }) && streamed == in_one_go);
  return 0;
}
