// The link list on any clipboard text: every piece holds at most 511
// characters, every entry's name comes from its address and never holds a
// separator, and no two entries in a row share a name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "download/fetch.h"
#include "download/list.h"

#define REQUIRE(condition) \
  do {                     \
    if (!(condition)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::size_t total = 0;
  for (const std::string& piece : list_pieces(text)) {
    REQUIRE(!piece.empty() && piece.size() <= kMaxLine);
    const std::size_t feed = piece.find('\n');
    REQUIRE(feed == std::string::npos || feed + 1 == piece.size());
    total += piece.size();
  }
  REQUIRE(total <= text.size());

  std::string previous;
  for (const ListEntry& entry : list_entries(text)) {
    REQUIRE(entry.address.size() <= kMaxLine && entry.address.find('\n') == std::string::npos);
    REQUIRE(entry.name == file_name_from_address(entry.address));
    REQUIRE(entry.name.size() >= 4 && entry.name.size() < entry.address.size());
    REQUIRE(entry.name.find_first_of("/\\") == std::string::npos);
    REQUIRE(entry.name != previous);
    REQUIRE(download_path(entry.name) == std::string(kDownloadFolder) + "\\" + entry.name);
    if (usable_file_name(entry.name)) REQUIRE(entry.name.find_first_of("<>:\"|?*") == std::string::npos);
    previous = entry.name;
  }

  REQUIRE(file_name_from_address(text).find_first_of("/\\") == std::string::npos);
  return 0;
}
