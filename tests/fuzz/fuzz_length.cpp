// libFuzzer target: an announced length read from any header text is the
// text's number when that lies in 0..2147483647, and "too large" otherwise.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "download/fetch.h"

#define REQUIRE(condition) \
  if (!(condition)) __builtin_trap()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view header(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> length = announced_length(header);

  // The text's number as digits without leading zeros: white space, a sign, digits.
  std::size_t i = std::min(header.find_first_not_of(" \t\n\v\f\r"), header.size());
  const bool negative = i < header.size() && header[i] == '-';
  if (i < header.size() && (header[i] == '+' || header[i] == '-')) ++i;
  std::string digits;
  for (; i < header.size() && header[i] >= '0' && header[i] <= '9'; ++i) {
    if (!digits.empty() || header[i] != '0') digits += header[i];
  }
  const bool fits = digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647");
  if (!fits || (negative && !digits.empty())) {
    REQUIRE(!length);
  } else {
    REQUIRE(length && *length >= 0 && std::to_string(*length) == (digits.empty() ? "0" : digits));
  }
  return 0;
}
