// The link list: how the clipboard text becomes the entries the walk
// fetches, and the walk's closing texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Internet Explorer's longest address: a longer line is no address.
inline constexpr std::size_t kLongestAddress = 2083;
inline constexpr char kDownloadFolder[] = "Tulvex_files";

struct ListEntry {
  std::string address;    // the line without its line end; at most its first 2083 characters
  bool too_long = false;  // the line is longer: it is not fetched
};

// The walk over the clipboard list, one entry at a time, without splitting
// the whole list in memory. Every line is an entry, read whole: a line feed
// ends it, and a carriage return before a line feed, or at the very end,
// ends it with it and is not part of it. Lines of blanks alone, or empty,
// are passed over; a line that is the same address as the line before it
// is skipped.
class ListReader {
 public:
  explicit ListReader(std::string_view text) : text_(text) {}
  // The next entry to fetch, or none at the end of the list.
  std::optional<ListEntry> next();

 private:
  std::optional<char> take();  // next character without a line end's '\r'; none at the end

  std::string_view text_;
  std::size_t at_ = 0;
  std::optional<std::string> previous_;  // the last line's address, when it was one
};

// "Загружено файлов: <saved> из <taken>     ".
std::string summary_text(int files_saved, int rows_taken);

// "Explorer.exe " + current directory + "\Tulvex_files", unquoted.
std::string explorer_command(std::string_view current_directory);
