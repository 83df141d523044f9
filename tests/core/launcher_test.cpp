// Start-up rules and desktop texts: mode table, install folder, clipboard block, start-up boxes, box captions.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "desktop/desktop.h"
#include "launcher/launcher.h"

using std::string;
using namespace std::string_literals;

TEST(ModeFor, FirstKeywordInTableOrderWinsAnywhereCaseSensitive) {
  const std::pair<const char*, Mode> table[] = {
      {"(tulvex_loud_links)", Mode::save_all_links},
      {"(tulvex_showi)", Mode::reopen},
      {"(tulvex_img)", Mode::media},
      {"(tulvex_swf)", Mode::media},
      {"(tulvex_bit)", Mode::readable_text},
      {"(tulvex_html)", Mode::source},
      {"(tulvex_links)", Mode::links}};
  for (std::size_t i = 0; i < std::size(table); ++i) {
    // Found anywhere, after every later keyword of the table: the table decides, not the line.
    string line = "C:\\(x)\\tulvex.exe";
    for (std::size_t j = std::size(table); j-- > i;) line += table[j].first;
    EXPECT_EQ(mode_for(line), table[i].second) << line;
    // The page modes keep every character of a Unicode text; re-open and the downloads take Windows-1251.
    EXPECT_EQ(keeps_every_character(table[i].second), i > 1) << line;
  }
  for (const char* line : {"", "tulvex.exe (Tulvex_links)", "tulvex_links)", "(tulvex_links"}) {
    EXPECT_EQ(mode_for(line), Mode::help) << line;
  }
}

TEST(StartUpInputs, InstallFolderAndClipboardBlock) {
  const string long_path = "C:\\" + string(600, 'a');
  const std::pair<string, std::optional<string>> values[] = {
      {"C:\\T\0garbage\0"s, "C:\\T"},
      {"", std::nullopt},
      {"\0C:\\hidden"s, std::nullopt},
      {long_path + '\0', long_path.substr(0, 511)}};
  for (const auto& [raw, folder] : values) EXPECT_EQ(install_folder_from_value(raw), folder) << raw.size();

  const char terminated[] = "\xff\x98\r\nabc\0def", unterminated[4] = {'w', 'x', 'y', 'z'};
  EXPECT_EQ(text_from_clipboard_block(terminated, sizeof terminated), "\xff\x98\r\nabc");
  EXPECT_EQ(text_from_clipboard_block(unterminated, 4) + text_from_clipboard_block(unterminated, 2) +
                text_from_clipboard_block(nullptr, 10), "wxyzwx");
}

TEST(StartUpBox, MissingFolderBeforeABusyClipboard) {
  EXPECT_STREQ(startup_box(false, ClipboardRead::busy)->message,
               "Путь к программе не найден. \nПереустановите программу.");
  EXPECT_STREQ(startup_box(true, ClipboardRead::busy)->message,
               "Буфер обмена занят другой программой. Повторите команду.");
  EXPECT_FALSE(startup_box(true, ClipboardRead::text));
}

TEST(Desktop, BoxAndOpenFailureCaptions) {
  const std::pair<string, string> captions[] = {
      {"", "Результат"},
      {" Tulvex", "Результат"},
      {"Адрес не открывается.   ", "Адрес не открывается.   "},
      {string(300, 'c'), string(255, 'c')}};
  for (const auto& [caption, shown] : captions) EXPECT_EQ(box_caption(caption), shown) << caption;
  EXPECT_EQ(box_message(string(1000, 'm')) + box_message("short \n"), string(255, 'm') + "short \n");

  const std::pair<string, string> paths[] = {
      {"C:/a/b\\tulvex.txt", "\\tulvex.txt"},
      {"C:\\a\\b/temp.txt", "/temp.txt"},
      {"temp.txt", "temp.txt"},
      {"C:\\dir\\", "\\"},
      {"C:\\" + string(200, 'n'), "\\" + string(126, 'n')}};
  for (const auto& [path, caption] : paths) EXPECT_EQ(open_failure_caption(path), caption) << path;
}
