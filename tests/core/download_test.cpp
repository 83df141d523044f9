// Save-all-links rules without a network: which list lines are fetched
// under which names, the closing texts, and the progress row and title.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "download/list.h"
#include "download/state.h"

namespace {

using std::string;
using Entries = std::vector<std::pair<string, string>>;  // address, name

// Every byte as a percent escape, as the browser half writes an address.
string escaped(std::string_view bytes) {
  string text;
  char escape[4];
  for (const unsigned char c : bytes) text.append(escape, std::snprintf(escape, sizeof escape, "%%%02X", c));
  return text;
}

// The code page's upper half in byte order (0x98 has no character); the
// build stores the plain literal in Windows-1251, the u8 one in UTF-8.
#define UPPER_HALF "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕїАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"\
                   "абвгдежзийклмнопрстуфхцчшщъыьэюя"

TEST(List, SavedFileName) {
  const struct { const char* why; string name, saved; } cases[] = {
      {"UTF-8 escapes", "%D0%BE%D1%82%D1%87%D1%91%D1%82%202008.doc", "отчёт 2008.doc"},
      {"every character of the code page", escaped(u8"" UPPER_HALF), UPPER_HALF},
      {"lower-case hex, three-byte sequence", "%e2%84%96%d0%b0.txt", "№а.txt"},
      {"bytes outside escapes kept, a stray % too", "от%20чёт%.doc%4", "от чёт%.doc%4"},
      {"a character the code page lacks", "%C3%A9t%C3%A9%20.txt", "%C3%A9t%C3%A9%20.txt"},
      {"U+0098, the byte without character", "%C2%98%20.txt", "%C2%98%20.txt"},
      {"four-byte sequence", "%F0%9F%98%80%20.txt", "%F0%9F%98%80%20.txt"},
      {"lone lead byte", "%D0%20.txt", "%D0%20.txt"},
      {"lone continuation byte", "%80%20.txt", "%80%20.txt"},
      {"continuation not an escape", "%D0B0%20.txt", "%D0B0%20.txt"},
      {"cut short at the end", "a%20.txt%E2%84", "a%20.txt%E2%84"},
      {"overlong two-byte", "%C1%81%20.txt", "%C1%81%20.txt"},
      {"overlong three-byte", "%E0%82%A9%20.txt", "%E0%82%A9%20.txt"},
      {"forbidden characters", "a<b>c:d\"e|f?g*h\x01\x1f\x7f\xff.txt", "a_b_c_d_e_f_g_h__\x7f\xff.txt"},
      {"query", "get.php?id=5", "get.php_id=5"},
      {"escaped separators", "..%2F..%2Fx.txt", ".._.._x.txt"},
      {"escaped backslash, colon, line feed", "a%5Cb%3Ac%0Ad", "a_b_c_d"},
      {"trailing dots and blanks", "a b.%20%2E", "a b___"},
      {"the parent folder", "%2E%2E", "__"},
      {"devices", "con.txt", "_con.txt"},
      {"devices in any case", "nUl", "_nUl"},
      {"devices before the first dot", "Aux.tar.gz", "_Aux.tar.gz"},
      {"devices, blanks before the dot", "prn  .txt", "_prn  .txt"},
      {"numbered devices", "com1.zip", "_com1.zip"},
      {"numbered devices, last", "LPT9", "_LPT9"},
      {"decoded devices", "%43ON", "_CON"},
      {"a trailing dot made safe first", "CON.", "CON_"},
      {"not a device: COM0", "com0.txt", "com0.txt"}, {"not a device: longer", "console.txt", "console.txt"},
      {"not a device: COM10", "com10", "com10"}, {"nothing before the first dot", ".htaccess", ".htaccess"},
      {"empty", "", "_"},
  };
  for (const auto& c : cases) EXPECT_EQ(saved_file_name(c.name), c.saved) << c.why;
}

TEST(List, EntriesByLineRules) {
  const string long_name(600, 'n'), long_line = "http://h/" + long_name;  // 609 characters
  const string x502 = "http://h/" + string(502, 'x'), x501 = "http://h/" + string(501, 'x');
  const struct { const char* name; string text; Entries entries; } cases[] = {
      {"LF line ends", "http://h/f1.bin\nhttp://h/f2.bin\n", {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CRLF line ends", "http://h/f1.bin\r\nhttp://h/f2.bin\r\n",
       {{"http://h/f1.bin", "f1.bin"}, {"http://h/f2.bin", "f2.bin"}}},
      {"CR at the very end", "http://h/f1.bin\r", {{"http://h/f1.bin", "f1.bin"}}},
      {"lone CR inside stays, made usable", "http://h/f\r1.bin\n", {{"http://h/f\r1.bin", "f_1.bin"}}},
      {"no separator: the first character goes", "file.zip", {{"file.zip", "ile.zip"}}},
      {"same name in a row skipped", "http://a/x/same.zip\nhttp://b\\y\\same.zip\nhttp://c/other.zip",
       {{"http://a/x/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}}},
      {"same name again after another", "http://a/same.zip\nhttp://c/other.zip\nhttp://b/same.zip",
       {{"http://a/same.zip", "same.zip"}, {"http://c/other.zip", "other.zip"}, {"http://b/same.zip", "same.zip"}}},
      {"the address's names compared, not the saved ones", "http://h/a%20b.txt\nhttp://h/a b.txt\nhttp://h/a b.txt",
       {{"http://h/a%20b.txt", "a b.txt"}, {"http://h/a b.txt", "a b.txt"}}},
      {"the address's name counted: escapes decoded to one byte", "http://h/%D0%B0\nhttp://h/f2.bin",
       {{"http://h/%D0%B0", "а"}, {"http://h/f2.bin", "f2.bin"}}},
      {"empty line ends the walk", "http://h/f1.bin\n\nhttp://h/f2.bin", {{"http://h/f1.bin", "f1.bin"}}},
      {"name of 3 ends the walk, 4 does not", "http://h/a.bc\nhttp://h/a.b\nhttp://h/f2.bin", {{"http://h/a.bc", "a.bc"}}},
      {"address ending in / ends the walk", "http://h/dir/\nhttp://h/f2.bin", {}},
      {"last line of 5 without line feed", "http://h/f1.bin\nxabcd", {{"http://h/f1.bin", "f1.bin"}, {"xabcd", "abcd"}}},
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
    EXPECT_FALSE(list.next()) << c.name << ": an ended walk stays ended";
  }
  EXPECT_EQ(file_name_from_address(""), "");
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
      {100, "-50", 0}, {-100, "50", 0}, {1, "99999999999999999999999999", 100}, {-1, "-99999999999999999999", 100},
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
