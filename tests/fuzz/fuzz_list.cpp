// libFuzzer target: the link list on any clipboard text. Pieces hold at
// most 511 characters and end at their line feed; entries' names come from
// their addresses, never hold a separator and never repeat in a row.
#include <cstdint>
#include <string>
#include <string_view>

#include "download/list.h"

#define REQUIRE(condition) \
  if (!(condition)) __builtin_trap()

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string previous;
  ListReader list(text);
  while (const std::optional<ListEntry> entry_read = list.next()) {
    const ListEntry& entry = *entry_read;
    REQUIRE(entry.address.size() <= kMaxLine && entry.address.find('\n') == std::string::npos);
    REQUIRE(entry.name == file_name_from_address(entry.address) && entry.name.size() >= 4);
    REQUIRE(entry.name.find_first_of("/\\") == std::string::npos && entry.name != previous);
    previous = entry.name;
  }
  REQUIRE(file_name_from_address(text).find_first_of("/\\") == std::string::npos);
  return 0;
}
