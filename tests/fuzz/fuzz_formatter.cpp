// libFuzzer target: the readable-text formatter and its heading on any bytes.
// The formatted text stays within 75004 characters and every '<', '>' and
// '&' in it is part of a mark of the pass ("<li>", "<p>", "<br>") or an
// escape; the heading, at most 34 characters, ends in the ellipsis and holds
// the start of that text without a mark or a split escape. A first byte
// ending in three set bits repeats the rest past the limit.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pages/formatter.h"

namespace {

// Not traced for coverage: only the formatter's branches steer the fuzzer.
#define UNTRACED __attribute__((no_sanitize("coverage")))

UNTRACED void check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "property broken: %s\n", what), std::abort();
}

UNTRACED bool markup_is_own(std::string_view text) {
  static const char* const kOwn[] = {"<li>", "<p>", "<br>", "&lt;", "&gt;", "&amp;"};
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '<' && text[at] != '>' && text[at] != '&') continue;
    std::size_t n = 0;
    for (const char* own : kOwn) {
      for (n = 0; own[n] != '\0' && at + n < text.size() && text[at + n] == own[n];) ++n;
      if (own[n] == '\0') break;
      n = 0;
    }
    if (n == 0) return false;
    at += n - 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string repeated;
  if (size > 1 && (data[0] & 7) == 7) {
    text.remove_prefix(1);
    while (repeated.size() < kFormattedLimit) repeated.append(text);
    text = repeated;
  }
  const std::string formatted = formatted_text(text, line_class(average_line_length(text)));
  check(formatted.size() <= kFormattedLimit + kLongestOutput - 1, "formatted text longer than 75004");
  check(markup_is_own(formatted), "a '<', '>' or '&' that is not the pass's own");

  const std::string heading = heading_of(formatted);
  check(!heading.empty() && heading.size() <= kHeadingChars + 1 && heading.back() == kEllipsis,
        "heading over 34 or without ellipsis");
  const std::string_view heading_text(heading.data(), heading.size() - 1);
  check(heading_text.find('<') == std::string_view::npos && markup_is_own(heading_text), "mark or split escape");
  check(formatted.compare(0, heading_text.size(), heading_text) == 0, "heading not taken from the start");
  return 0;
}
