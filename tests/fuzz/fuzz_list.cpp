// libFuzzer target: the link list on any text yields lines of at most 2083 characters without a line feed, none
// blank, never the same address twice in a row; whatever the server says (the text as Content-Disposition and
// -Type), each is saved under a usable name (one Windows creates as it stands: not empty, no character below 32
// nor < > : " / \ | ? *, no trailing dot or blank, no device name before the first dot) that fits the folder's room.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "download/list.h"
#include "download/names.h"

#define REQUIRE(condition) if (!(condition)) __builtin_trap()

static void require_usable(const std::string& name) {
  REQUIRE(!name.empty() && name.back() != '.' && name.back() != ' ');
  for (const char c : name) REQUIRE(static_cast<unsigned char>(c) >= 32 && !std::strchr("<>:\"/\\|?*", c));
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const bool numbered = base.size() == 4 && base[3] >= '1' && base[3] <= '9';
  REQUIRE(base != "CON" && base != "PRN" && base != "AUX" && base != "NUL" && base != "CONIN$" && base != "CONOUT$");
  REQUIRE(!numbered || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t room = 1 + size % 300;
  std::string previous;
  ListReader list(text);
  while (const std::optional<ListEntry> entry = list.next()) {
    REQUIRE(entry->address.size() <= kLongestAddress && entry->address.find('\n') == std::string::npos);
    REQUIRE(entry->address.find_first_not_of(" \t") != std::string::npos && entry->address != previous);
    previous = entry->too_long ? std::string() : entry->address;
    const std::string saved = chosen_file_name(entry->address, text, text, room);
    require_usable(saved);
    REQUIRE(name_length(saved) <= room);
    const std::string second = numbered_name(saved, 2 + static_cast<int>(size % 20), room + 8);
    require_usable(second);
    REQUIRE(name_length(second) <= room + 8 && name_key(second) != name_key(saved));
  }
  require_usable(saved_file_name(text.substr(0, kLongestAddress)));  // the longest name an address gives
  return 0;
}
