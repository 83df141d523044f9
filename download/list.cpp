// Link list rules.
#include "download/list.h"

#include <cstdio>

#include "download/texts.h"

std::string file_name_from_address(std::string_view address) {
  if (address.size() <= 1) return {};
  const std::string_view rest = address.substr(1);
  const std::size_t separator = rest.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? rest : rest.substr(separator + 1));
}

std::vector<std::string> list_pieces(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
    lines += text[i];
  }
  std::vector<std::string> pieces;
  for (std::size_t start = 0; start < lines.size();) {
    std::size_t end = lines.find('\n', start);
    end = end == std::string::npos ? lines.size() : end + 1;
    std::size_t next = end;
    if (end - start > kMaxLine) {
      end = next = start + kMaxLine;
      // A line of exactly 511 characters keeps its line feed: left over, it
      // would read as an empty line and end the walk.
      if (next < lines.size() && lines[next] == '\n') ++next;
    }
    pieces.emplace_back(lines, start, end - start);
    start = next;
  }
  return pieces;
}

std::vector<ListEntry> list_entries(std::string_view text) {
  std::vector<ListEntry> entries;
  std::string previous;
  for (std::string& piece : list_pieces(text)) {
    if (piece.size() < 5) break;
    if (piece.back() == '\n') piece.pop_back();
    std::string name = file_name_from_address(piece);
    if (name.size() < 4) break;
    if (name != previous) entries.push_back({piece, name});
    previous = std::move(name);
  }
  return entries;
}

std::string download_path(std::string_view name) {
  return std::string(kDownloadFolder) + '\\' + std::string(name);
}

std::string summary_text(int files_saved, int rows_taken) {
  char text[96];
  std::snprintf(text, sizeof text, download_texts::kSummary, files_saved, rows_taken);
  return text;
}

std::string explorer_command(std::string_view current_directory) {
  return "Explorer.exe " + std::string(current_directory) + '\\' + kDownloadFolder;
}
