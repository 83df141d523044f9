// The link list: which lines the walk fetches, under which names, and the
// texts that close the walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/list.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // address, name

Entries entries_of(const std::string& text) {
  Entries entries;
  for (const ListEntry& e : list_entries(text)) entries.emplace_back(e.address, e.name);
  return entries;
}

TEST(FileNameFromAddress, PartAfterLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://host/dir/file.zip", "file.zip"},
      {"http://host/dir/", ""},
      {"http://host/get.php?id=5", "get.php?id=5"},
      {"http://host\\dir\\a.b", "a.b"},
      {"file.zip", "ile.zip"},
      {"/file.zip", "file.zip"},  // the first character is never looked at
      {"//file.zip", "file.zip"},
      {"x", ""},
      {"", ""},
  };
  for (const auto& [address, name] : cases) EXPECT_EQ(file_name_from_address(address), name) << address;
}

TEST(ListEntries, LineRules) {
  const std::string long_name(600, 'n');
  const std::string long_line = "http://h/" + long_name;  // 609 characters
  struct Case {
    const char* name;
    std::string text;
    Entries entries;
  };
  const Case cases[] = {
      {"empty list", "", {}},
      {"one line, no line feed", "http://h/a/file1.zip", {{"http://h/a/file1.zip", "file1.zip"}}},
      {"last line ends in a line feed", "http://h/f1.bin\nhttp://h/f2.bin\n",
       {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CRLF line ends", "http://h/f1.bin\r\nhttp://h/f2.bin\r\n",
       {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CR at the very end", "http://h/f1.bin\r", {{"http://h/f1.bin", "f1.bin"}}},
      {"lone CR inside stays", "http://h/f\r1.bin\n", {{"http://h/f\r1.bin", "f\r1.bin"}}},
      {"consecutive same names", "http://a/x/same.zip\nhttp://b/y/same.zip\nhttp://c/other.zip",
       {{"http://a/x/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}}},
      {"same name again after another", "http://a/same.zip\nhttp://c/other.zip\nhttp://b/same.zip",
       {{"http://a/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}, {"http://b/same.zip", "same.zip"}}},
      {"empty line in the middle ends the walk", "http://h/f1.bin\n\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"line of 4 characters ends the walk", "http://h/f1.bin\nabcd\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"short name ends the walk", "http://h/f1.bin\nhttp://h/a.b\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"address ending in / ends the walk", "http://h/dir/\nhttp://h/f2.bin", {}},
      {"no separator loses the first character", "file.zip\n", {{"file.zip", "ile.zip"}}},
      {"line longer than 511 goes in pieces", long_line + "\nhttp://h/f2.bin",
       {{long_line.substr(0, 511), long_name.substr(0, 502)}, {long_line.substr(511), long_name.substr(503)},
        {"http://h/f2.bin", "f2.bin"}}},
      {"line of exactly 511 leaves its line feed as a short line", std::string(511 - 9, 'x').insert(0, "http://h/") +
           "\nhttp://h/f2.bin",
       {{std::string(511 - 9, 'x').insert(0, "http://h/"), std::string(502, 'x')}}},
      {"CRLF does not count toward the 511", std::string(510 - 9, 'x').insert(0, "http://h/") + "\r\nhttp://h/f2.bin",
       {{std::string(510 - 9, 'x').insert(0, "http://h/"), std::string(501, 'x')}, {"http://h/f2.bin", "f2.bin"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(entries_of(c.text), c.entries) << c.name;
}

TEST(WalkTexts, PathSummaryAndExplorer) {
  EXPECT_EQ(download_path("file.zip"), "Tulvex_files\\file.zip");
  EXPECT_EQ(summary_text(2, 3), "Загружено файлов: 2 из 3     ");
  EXPECT_EQ(summary_text(0, 0), "Загружено файлов: 0 из 0     ");
  const std::string deep = "C:\\" + std::string(700, 'd');
  EXPECT_EQ(explorer_command("C:\\users\\me"), "Explorer.exe C:\\users\\me\\Tulvex_files");
  EXPECT_EQ(explorer_command(deep), "Explorer.exe " + deep + "\\Tulvex_files");
}

}  // namespace
