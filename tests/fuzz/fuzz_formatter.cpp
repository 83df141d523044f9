// libFuzzer target: the formatter on any bytes (up to 64 KiB; the first byte picks a piece size) writes '<', '>', '&'
// only as its marks or escapes, writes the same in pieces as in one go, heads the page with at most 33 characters
// of that text, cut before a mark or a split escape, and the ellipsis, and streams the page that one go would make.
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > (1 << 16)) return 0;
  const std::size_t piece = 1 + data[0] % 8;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const LineClass line_class_of_text = line_class(average_line_length(text));
  const std::string formatted = formatted_text(text, line_class_of_text);
  REQUIRE(markup_is_own(formatted));
  std::string in_pieces(text.size() * kLongestOutput, '\0');
  TextFormatter formatter(line_class_of_text);
  char* end = in_pieces.data();
  for (std::size_t at = 0; at < text.size(); at += piece) end = formatter.format(text.substr(at, piece), end);
  REQUIRE(in_pieces.substr(0, static_cast<std::size_t>(end - in_pieces.data())) == formatted);
  const std::string heading = heading_of(formatted);
  REQUIRE(!heading.empty() && heading.size() <= kHeadingChars + 1 && heading.back() == kEllipsis);
  const std::string_view heading_text(heading.data(), heading.size() - 1);
  REQUIRE(heading_text.find('<') == std::string_view::npos && markup_is_own(heading_text));
  REQUIRE(formatted.compare(0, heading_text.size(), heading_text) == 0);
  std::string streamed, in_one_go;
  const std::string whole = " " + std::string(page_header()) + " \n\n<h2> " + heading + " </h2><hr size=1>\n\n " +
                            formatted + " \n\n " + std::string(page_footer());
  REQUIRE(put_readable_page(text, [&](std::string_view p) { return streamed.append(p), true; }));
  REQUIRE(put_on_disk(whole, [&](std::string_view p) { return in_one_go.append(p), true; }) && streamed == in_one_go);
  return 0;
}
