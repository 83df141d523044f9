// Save-all-links rules without a network: which list lines are fetched
// under which names, the closing texts, and the progress row and title.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "download/list.h"
#include "download/state.h"

namespace {

using std::string;
using Entries = std::vector<std::pair<string, string>>;  // address, name

TEST(List, NameFromAddress) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://host/dir/file.zip", "file.zip"}, {"http://host/dir/", ""}, {"http://host\\dir\\a.b", "a.b"},
      {"file.zip", "ile.zip"},  // the first character is never part of the name
      {"x", ""}, {"", ""}};
  for (const auto& [address, name] : cases) EXPECT_EQ(file_name_from_address(address), name) << address;
}

TEST(List, EntriesByLineRules) {
  const string long_name(600, 'n'), long_line = "http://h/" + long_name;  // 609 characters
  const string x502 = "http://h/" + string(502, 'x'), x501 = "http://h/" + string(501, 'x');
  const struct { const char* name; string text; Entries entries; } cases[] = {
      {"LF line ends", "http://h/f1.bin\nhttp://h/f2.bin\n", {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CRLF line ends", "http://h/f1.bin\r\nhttp://h/f2.bin\r\n",
       {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CR at the very end", "http://h/f1.bin\r", {{"http://h/f1.bin", "f1.bin"}}},
      {"lone CR inside stays", "http://h/f\r1.bin\n", {{"http://h/f\r1.bin", "f\r1.bin"}}},
      {"same name in a row skipped", "http://a/x/same.zip\nhttp://b/y/same.zip\nhttp://c/other.zip",
       {{"http://a/x/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}}},
      {"same name again after another", "http://a/same.zip\nhttp://c/other.zip\nhttp://b/same.zip",
       {{"http://a/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}, {"http://b/same.zip", "same.zip"}}},
      {"empty line ends the walk", "http://h/f1.bin\n\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"name of 3 ends the walk", "http://h/f1.bin\nhttp://h/a.b\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"address ending in / ends the walk", "http://h/dir/\nhttp://h/f2.bin", {}},
      {"line over 511 goes in pieces", long_line + "\nhttp://h/f2.bin",
       {{long_line.substr(0, 511), long_name.substr(0, 502)}, {long_line.substr(511), long_name.substr(503)},
        {"http://h/f2.bin", "f2.bin"}}},
      {"line of 511 keeps its LF", x502 + "\nhttp://h/f2.bin", {{x502, string(502, 'x')}, {"http://h/f2.bin", "f2.bin"}}},
      {"line of 512 leaves a short piece", x502 + "y\nhttp://h/f2.bin", {{x502, string(502, 'x')}}},
      {"CRLF not counted in the 511", x501 + "\r\nhttp://h/f2.bin", {{x501, string(501, 'x')}, {"http://h/f2.bin", "f2.bin"}}},
  };
  for (const auto& c : cases) {
    Entries entries;
    ListReader list(c.text);
    while (std::optional<ListEntry> e = list.next()) entries.emplace_back(e->address, e->name);
    EXPECT_EQ(entries, c.entries) << c.name;
  }
}

TEST(List, PathSummaryAndExplorer) {
  EXPECT_EQ(download_path("file.zip"), "Tulvex_files\\file.zip");
  EXPECT_EQ(summary_text(2, 3), "Загружено файлов: 2 из 3     ");
  const string deep = "C:\\" + string(700, 'd');
  EXPECT_EQ(explorer_command(deep), "Explorer.exe " + deep + "\\Tulvex_files");
}

TEST(Progress, PercentTitleAndRow) {
  const struct { std::int32_t size; const char* status; int percent; } cases[] = {
      {50000, "22400", 44}, {0, "22400", 0}, {200000, "201600", 100}, {100, "Загружается", 0}, {100, " \t+50", 50},
      {100, "-50", 0}, {-100, "50", 0}, {1, "99999999999999999999999999", 100},
      {2147483647, "2147481600", 99},  // offset × 100 is far past 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(progress_percent(c.size, c.status), c.percent) << c.size << " " << c.status;
  EXPECT_EQ(progress_title(2, 44), "Tulvex: 3. + 44 %");
  EXPECT_EQ(progress_title(5, 0), "Tulvex 1.15");

  DownloadState state;
  auto row = [&state] {
    const ProgressRow r = progress_row(state);
    return std::to_string(r.item) + (r.insert ? " insert " : " ") + r.number + " " + r.size;
  };
  EXPECT_EQ(row(), "-1 1 0");  // no row taken yet, nothing inserted
  begin_row(state, "http://h/f1.bin");
  EXPECT_EQ(row(), "0 insert 1 0");
  state.size = 50000;
  EXPECT_EQ(row(), "0 1 50000");
  begin_row(state, "http://h/f2.bin");
  EXPECT_EQ(row(), "1 insert 2 0");
  EXPECT_EQ(state.address + " " + state.status, "http://h/f2.bin Проверка");
}

}  // namespace
