// Mode table, install-folder value and clipboard block rules.
#include <gtest/gtest.h>

#include <string>

#include "launcher/launcher.h"

namespace {

TEST(ModeFor, FirstKeywordInTableOrderWins) {
  struct Case {
    const char* command_line;
    Mode mode;
  };
  const Case cases[] = {
      {"C:\\tv\\tulvex.exe (tulvex_loud_links)", Mode::save_all_links},
      {"tulvex.exe (tulvex_showi)", Mode::reopen},
      {"tulvex.exe (tulvex_img)", Mode::media},
      {"tulvex.exe (tulvex_swf)", Mode::media},
      {"tulvex.exe (tulvex_bit)", Mode::readable_text},
      {"tulvex.exe (tulvex_html)", Mode::source},
      {"tulvex.exe (tulvex_links)", Mode::links},
      {"tulvex.exe", Mode::help},
      {"", Mode::help},
      // Precedence follows the table, not the order on the command line.
      {"tulvex.exe (tulvex_links) (tulvex_bit)", Mode::readable_text},
      {"tulvex.exe (tulvex_links)(tulvex_html)", Mode::source},
      {"tulvex.exe (tulvex_bit) (tulvex_swf)", Mode::media},
      {"tulvex.exe (tulvex_html) (tulvex_showi)", Mode::reopen},
      {"tulvex.exe (tulvex_showi) (tulvex_loud_links)", Mode::save_all_links},
      // Case-sensitive, whole keyword with its parentheses, anywhere.
      {"tulvex.exe (TULVEX_LINKS)", Mode::help},
      {"tulvex.exe (Tulvex_links)", Mode::help},
      {"tulvex.exe tulvex_links", Mode::help},
      {"tulvex.exe (tulvex_links", Mode::help},
      {"C:\\(tulvex_html)\\tulvex.exe", Mode::source},
      {"x(tulvex_links)y", Mode::links},
  };
  for (const Case& c : cases) EXPECT_EQ(mode_for(c.command_line), c.mode) << c.command_line;
}

TEST(InstallFolderFromValue, TextUpToZeroCutTo511EmptyIsMissing) {
  using namespace std::string_literals;
  struct Case {
    std::string raw;
    std::optional<std::string> folder;
  };
  const std::string long_path = "C:\\" + std::string(600, 'a');
  const Case cases[] = {
      {"C:\\Program Files\\Tulvex\0"s, "C:\\Program Files\\Tulvex"s},
      {"C:\\Tulvex"s, "C:\\Tulvex"s},  // no terminator
      {"C:\\T\0garbage\0"s, "C:\\T"s},
      {""s, std::nullopt},
      {"\0"s, std::nullopt},
      {"\0C:\\hidden"s, std::nullopt},
      {long_path + '\0', long_path.substr(0, 511)},
      {long_path, long_path.substr(0, 511)},
      {std::string(511, 'b'), std::string(511, 'b')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(install_folder_from_value(c.raw), c.folder) << c.raw.size();
  }
}

TEST(TextFromClipboardBlock, NeverPastTheBlock) {
  const char terminated[] = "abc\0def";
  EXPECT_EQ(text_from_clipboard_block(terminated, sizeof terminated), "abc");
  const char unterminated[4] = {'w', 'x', 'y', 'z'};
  EXPECT_EQ(text_from_clipboard_block(unterminated, 4), "wxyz");
  EXPECT_EQ(text_from_clipboard_block(unterminated, 2), "wx");
  EXPECT_EQ(text_from_clipboard_block(unterminated, 0), "");
  EXPECT_EQ(text_from_clipboard_block(nullptr, 10), "");
  const char bytes[] = "\x01\xff\x98\r\n";
  EXPECT_EQ(text_from_clipboard_block(bytes, sizeof bytes), std::string("\x01\xff\x98\r\n"));
}

}  // namespace
