// The link list: how the clipboard text becomes the entries the walk
// fetches, and the walk's closing texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxLine = 511;  // longest piece of a list line
inline constexpr char kDownloadFolder[] = "Tulvex_files";

// The name an address gives for the walk's rules: the part after the last
// '/' or '\' (empty when the address ends in one); an address without
// separator loses its first character, which is never part of the name.
std::string file_name_from_address(std::string_view address);

struct ListEntry {
  std::string address;  // the line without its line end
};

// The walk over the clipboard list, one entry at a time, without splitting
// the whole list in memory. The list is read in lines of at most 511
// characters, line feed included (the rest of a longer line is a line of its
// own; a line of exactly 511 ends there, its line feed not left over); a
// carriage return before a line feed, or at the very end, ends the line
// with it and is not part of it. The walk ends at the first line shorter
// than 5 characters (line feed counted) and at the first name shorter than
// 4; a line whose name equals the previous line's name is skipped. These
// rules look at the name as this rule gives it, not at the name the file
// is saved under.
class ListReader {
 public:
  explicit ListReader(std::string_view text) : text_(text) {}
  // The next entry to fetch, or none when the walk has ended.
  std::optional<ListEntry> next();

 private:
  std::optional<char> take();  // next character without a line end's '\r'; none at the end
  std::optional<std::string> next_line();

  std::string_view text_;
  std::size_t at_ = 0;
  std::string previous_name_;
  bool ended_ = false;
};

// "Загружено файлов: <saved> из <taken>     ".
std::string summary_text(int files_saved, int rows_taken);

// "Explorer.exe " + current directory + "\Tulvex_files", unquoted.
std::string explorer_command(std::string_view current_directory);
