// Result-file bytes, browser command, box texts and the Windows-1251 bytes
// of the messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "launcher/desktop.h"
#include "launcher/texts.h"
#include "pages/page.h"

namespace {

TEST(OnDisk, OnlyLineFeedsGrowACarriageReturn) {
  struct Case {
    std::string text, stored;
  };
  const Case cases[] = {
      {"", ""},
      {"\n", "\r\n"},
      {"a\r\nb", "a\r\r\nb"},
      {"\r", "\r"},
      {"\n\n", "\r\n\r\n"},
      {"%s %d\t\xff\x98", "%s %d\t\xff\x98"},
  };
  for (const Case& c : cases) EXPECT_EQ(on_disk(c.text), c.stored) << c.text;
}

TEST(FramedPage, HeaderBlanksTextFooterAsStored) {
  const std::string header = std::string(page_header());
  const std::string footer = std::string(page_footer());
  EXPECT_EQ(header.substr(0, 14), "<HTML><HEAD>\n<");
  EXPECT_EQ(header.substr(header.size() - 5), "'><p>");
  EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 6);
  EXPECT_EQ(footer.find('\n'), std::string::npos);
  EXPECT_EQ(footer.substr(footer.size() - 7), "</html>");
  EXPECT_NE(header.find("<TITLE>Tulvex: www.morvalesoft.ru</TITLE></HEAD>"), std::string::npos);

  EXPECT_EQ(framed_page_file(""), on_disk(header) + " \r\n\r\n  \r\n\r\n " + footer);
  EXPECT_EQ(framed_page_file("a\r\nb %s"), on_disk(header) + " \r\n\r\n a\r\r\nb %s \r\n\r\n " + footer);
  EXPECT_EQ(source_file("a\nb"), "a\r\nb");
}

TEST(Paths, NothingInsertedOrRemoved) {
  EXPECT_EQ(result_path("C:\\Tulvex", kResultPage), "C:\\Tulvex\\tulvex.htm");
  EXPECT_EQ(result_path("C:\\Tulvex\\", kSourceFile), "C:\\Tulvex\\\\tulvex.txt");
  EXPECT_EQ(browser_command("C:\\Program Files\\T\\tulvex.htm"), "IExplore.exe C:\\Program Files\\T\\tulvex.htm");
  EXPECT_EQ(browser_command(""), "IExplore.exe ");
  const std::string long_path(3000, 'p');
  EXPECT_EQ(browser_command(long_path).size(), 13 + long_path.size());
}

TEST(InfoBox, CaptionDefaultAndCuts) {
  struct Case {
    std::string caption, shown;
  };
  const Case cases[] = {
      {"", "Результат"},
      {" ", "Результат"},
      {" Tulvex", "Результат"},
      {"Tulvex", "Tulvex"},
      {"Адрес не открывается.   ", "Адрес не открывается.   "},
      {std::string(300, 'c'), std::string(255, 'c')},
  };
  for (const Case& c : cases) EXPECT_EQ(box_caption(c.caption), c.shown) << c.caption;
  EXPECT_EQ(box_message(std::string(1000, 'm')), std::string(255, 'm'));
  EXPECT_EQ(box_message("short \n"), "short \n");
}

TEST(OpenOrQuit, CaptionIsTheLastSeparatorAndAfter) {
  struct Case {
    std::string path, caption;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Tulvex\\tulvex.htm", "\\tulvex.htm"},
      {"C:/a/b\\tulvex.txt", "\\tulvex.txt"},
      {"C:\\a\\b/temp.txt", "/temp.txt"},
      {"temp.txt", "temp.txt"},
      {"C:\\dir\\", "\\"},
      {"C:\\" + std::string(200, 'n'), "\\" + std::string(126, 'n')},
  };
  for (const Case& c : cases) EXPECT_EQ(open_failure_caption(c.path), c.caption) << c.path;
}

// The build must store every Russian text as Windows-1251, one byte a letter.
TEST(Texts, AreWindows1251Bytes) {
  struct Case {
    const char* text;
    const char* bytes;
  };
  const Case cases[] = {
      {texts::kDefaultCaption, "\xD0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2"},
      {texts::kNoWindow,
       "\xCD\xE5 \xF3\xE4\xE0\xB8\xF2\xF1\xFF \xF1\xEE\xE7\xE4\xE0\xF2\xFC \xEE\xEA\xED\xEE "
       "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB.     "},
      {texts::kNoInstallFolder,
       "\xCF\xF3\xF2\xFC \xEA \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED. \n"
       "\xCF\xE5\xF0\xE5\xF3\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xE5 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xF3."},
      {texts::kCannotOpenFile, "\xCD\xE5 \xEC\xEE\xE3\xF3 \xEE\xF2\xEA\xF0\xFB\xF2\xFC \xF4\xE0\xE9\xEB."},
      {texts::kNameTooLong,
       "\xD1\xEB\xE8\xF8\xEA\xEE\xEC \xE4\xEB\xE8\xED\xED\xEE\xE5 \xE8\xEC\xFF \xF4\xE0\xE9\xEB\xE0!    "},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(c.text), std::string(c.bytes));
  const std::string footer(page_footer());
  EXPECT_NE(footer.find("\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB \xE4\xEB\xFF"), std::string::npos);
}

}  // namespace
