// libFuzzer target: the formatter on any bytes (repeated past the limit when the first ends in 3 set bits) stays
// within 75004 characters, writes '<', '>', '&' only as its marks or escapes, and heads the page with at most
// 33 characters of that text, cut before a mark or a split escape, and the ellipsis.
#include <cstdint>
#include <string>

#include "pages/formatter.h"

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
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string repeated;
  while (size > 1 && (data[0] & 7) == 7 && repeated.size() < kFormattedLimit) repeated.append(text.substr(1));
  if (!repeated.empty()) text = repeated;
  const std::string formatted = formatted_text(text, line_class(average_line_length(text)));
  REQUIRE(formatted.size() <= kFormattedLimit + kLongestOutput - 1 && markup_is_own(formatted));
  const std::string heading = heading_of(formatted);
  REQUIRE(!heading.empty() && heading.size() <= kHeadingChars + 1 && heading.back() == kEllipsis);
  const std::string_view heading_text(heading.data(), heading.size() - 1);
  REQUIRE(heading_text.find('<') == std::string_view::npos && markup_is_own(heading_text));
  REQUIRE(formatted.compare(0, heading_text.size(), heading_text) == 0);
  return 0;
}
