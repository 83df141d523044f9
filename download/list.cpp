// Link list rules.
#include "download/list.h"

#include <algorithm>
#include <cstdio>

#include "download/texts.h"

std::optional<char> ListReader::take() {
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (c == '\r' && (at_ == text_.size() || text_[at_] == '\n')) continue;
    return c;
  }
  return std::nullopt;
}

std::optional<ListEntry> ListReader::next() {
  while (at_ < text_.size()) {
    ListEntry entry;
    // Only the start of a line too long to be an address is kept.
    for (std::optional<char> c; (c = take()) && *c != '\n';) {
      if (entry.address.size() < kLongestAddress) {
        entry.address += *c;
      } else {
        entry.too_long = true;
      }
    }
    if (entry.address.find_first_not_of(" \t") == std::string::npos) continue;
    const bool same = !entry.too_long && previous_ == entry.address;
    previous_ = entry.too_long ? std::nullopt : std::optional<std::string>(entry.address);
    if (!same) return entry;
  }
  return std::nullopt;
}

std::string summary_text(int files_saved, int rows_taken) {
  char text[96];
  std::snprintf(text, sizeof text, download_texts::kSummary, files_saved, rows_taken);
  return text;
}

std::string explorer_command(std::string_view current_directory) {
  return "Explorer.exe " + std::string(current_directory) + '\\' + kDownloadFolder;
}
