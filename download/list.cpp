// Link list rules.
#include "download/list.h"

#include <algorithm>
#include <cstdio>

#include "download/texts.h"

std::string file_name_from_address(std::string_view address) {
  const std::string_view rest = address.substr(std::min<std::size_t>(1, address.size()));
  const std::size_t separator = rest.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? rest : rest.substr(separator + 1));
}

std::optional<char> ListReader::take() {
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (c == '\r' && (at_ == text_.size() || text_[at_] == '\n')) continue;
    return c;
  }
  return std::nullopt;
}

std::optional<std::string> ListReader::next_line() {
  std::string line;
  while (line.size() < kMaxLine) {
    const std::optional<char> c = take();
    if (!c) break;
    line += *c;
    if (*c == '\n') return line;
  }
  if (line.empty()) return std::nullopt;
  // A line of exactly 511 characters keeps its line feed: left over, it
  // would read as an empty line and end the walk.
  const std::size_t line_end = at_;
  if (line.size() == kMaxLine && take() != '\n') at_ = line_end;
  return line;
}

std::optional<ListEntry> ListReader::next() {
  while (!ended_) {
    std::optional<std::string> line = next_line();
    if (!line || line->size() < 5) break;
    if (line->back() == '\n') line->pop_back();
    std::string name = file_name_from_address(*line);
    if (name.size() < 4) break;
    const bool same = name == previous_name_;
    previous_name_ = std::move(name);
    if (!same) return ListEntry{std::move(*line)};
  }
  ended_ = true;
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
