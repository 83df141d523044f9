// An announced length read from any header text is either a value in
// 0..2147483647 that equals the text's number, or "too large".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "download/fetch.h"

#define REQUIRE(condition) \
  do {                     \
    if (!(condition)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view header(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> length = announced_length(header);

  // The number the text holds, as a digit string without leading zeros.
  std::size_t i = header.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string_view::npos) i = header.size();
  bool negative = false;
  if (i < header.size() && (header[i] == '+' || header[i] == '-')) negative = header[i++] == '-';
  std::string digits;
  for (; i < header.size() && header[i] >= '0' && header[i] <= '9'; ++i) {
    if (!(digits.empty() && header[i] == '0')) digits += header[i];
  }
  const bool fits = digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647");
  const bool too_large = !fits || (negative && !digits.empty());

  if (too_large) {
    REQUIRE(!length);
  } else {
    REQUIRE(length && *length >= 0);
    REQUIRE(std::to_string(*length) == (digits.empty() ? "0" : digits));
  }
  return 0;
}
