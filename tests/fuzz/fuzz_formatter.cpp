// libFuzzer target: the readable-text formatter and its heading on any
// bytes. Properties that must hold for every page text:
// - the formatted text stays within the limit plus one character's output;
// - every '<' in it begins one of the pass's own marks ("<li>", "<p>",
//   "<br>"), every '&' a whole escape, and no other '>' is left, so the
//   page text never becomes markup;
// - the heading is at most 34 characters, ends in the ellipsis and holds
//   no mark and no split escape;
// - the stored page ends with the formatted text's line and the footer.
// An input whose first byte ends in three set bits has the rest repeated
// past the limit, so that such a run ends at the limit, whatever the last
// character's output.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pages/formatter.h"
#include "pages/page.h"

namespace {

// The checks are not traced for coverage: only the formatter's own
// branches should steer the fuzzer, and the long repeated inputs stay fast.
#define UNTRACED __attribute__((no_sanitize("coverage")))

UNTRACED void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
  }
}

// The length of the mark or escape at `at`, 0 when there is none.
UNTRACED std::size_t own_markup_at(const char* at, const char* end) {
  static const char* const kOwn[] = {"<li>", "<p>", "<br>", "&lt;", "&gt;", "&amp;"};
  for (const char* word : kOwn) {
    std::size_t n = 0;
    while (word[n] != '\0' && at + n != end && at[n] == word[n]) ++n;
    if (word[n] == '\0') return n;
  }
  return 0;
}

// Every '<', '>' and '&' of the text belongs to a mark or an escape.
UNTRACED bool markup_is_own(std::string_view text) {
  const char* const end = text.data() + text.size();
  for (const char* at = text.data(); at != end; ++at) {
    if (*at == '<' || *at == '>' || *at == '&') {
      const std::size_t n = own_markup_at(at, end);
      if (n == 0) return false;
      at += n - 1;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string repeated;
  if (size > 1 && (data[0] & 7) == 7) {
    text.remove_prefix(1);
    repeated.reserve(kFormattedLimit + text.size());
    while (repeated.size() < kFormattedLimit) repeated.append(text);
    text = repeated;
  }
  const LineClass line_class_of_text = line_class(average_line_length(text));
  const std::string formatted = formatted_text(text, line_class_of_text);
  check(formatted.size() <= kFormattedLimit + kLongestOutput - 1, "formatted text longer than 75004");
  check(markup_is_own(formatted), "a '<', '>' or '&' that is not the pass's own");

  const std::string heading = heading_of(formatted);
  check(heading.size() <= kHeadingChars + 1, "heading longer than 34");
  check(!heading.empty() && heading.back() == kEllipsis, "heading does not end in the ellipsis");
  const std::string_view heading_text(heading.data(), heading.size() - 1);
  check(heading_text.find('<') == std::string_view::npos, "a mark in the heading");
  check(markup_is_own(heading_text), "a split escape in the heading");
  check(formatted.compare(0, heading_text.size(), heading_text) == 0, "heading not taken from the start");

  const std::string page = readable_page_file(text);
  const std::string tail = " \r\n\r\n " + std::string(page_footer());
  check(page.size() >= tail.size() && page.compare(page.size() - tail.size(), tail.size(), tail) == 0,
        "page does not end with the footer");
  return 0;
}
