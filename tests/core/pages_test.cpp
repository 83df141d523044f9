// Page bytes as stored: the frame, the readable-text formatter (classes,
// marks, escapes, limit, heading) and the result paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pages/formatter.h"
#include "pages/page.h"

namespace {

using std::string;
string format(const string& text) { return formatted_text(text, line_class(average_line_length(text))); }
const string kFooter(page_footer());

// The bytes a writer hands to disk, gathered; pieces never exceed 64 KiB.
string stored(bool (*put)(std::string_view, const ByteSink&), std::string_view text) {
  string bytes;
  EXPECT_TRUE(put(text, [&](std::string_view piece) {
    EXPECT_LE(piece.size(), 65536u);
    bytes.append(piece);
    return true;
  }));
  return bytes;
}
string on_disk(std::string_view text) { return stored(put_on_disk, text); }

TEST(Page, StoredBytesFrameAndPaths) {
  const string a = string(65535, 'a'), b = string(70000, 'b');  // line feeds astride a piece's end
  const std::pair<string, string> cases[] = {{"a\r\nb", "a\r\r\nb"}, {"\n\n", "\r\n\r\n"}, {"\r", "\r"},
                                             {"%s %d\t\xff\x98", "%s %d\t\xff\x98"},
                                             {a + "\n\n" + b + "\n", a + "\r\n\r\n" + b + "\r\n"}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(on_disk(text), bytes) << text.substr(0, 20);

  const string header(page_header());
  EXPECT_EQ(header.substr(0, 13) + header.substr(header.size() - 5), "<HTML><HEAD>\n'><p>");
  EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 6);
  EXPECT_NE(header.find("<TITLE>Tulvex: www.morvalesoft.ru</TITLE></HEAD>"), string::npos);
  EXPECT_EQ(kFooter.find('\n'), string::npos);
  EXPECT_EQ(kFooter.substr(kFooter.size() - 7), "</html>");
  EXPECT_EQ(stored(put_framed_page, "a\r\nb %s"), on_disk(header) + " \r\n\r\n a\r\r\nb %s \r\n\r\n " + kFooter);
  EXPECT_EQ(stored(put_source_file, "a\nb"), "a\r\nb");

  EXPECT_EQ(result_path("C:\\Tulvex", kResultPage), "C:\\Tulvex\\tulvex.htm");
  EXPECT_EQ(result_path("C:\\Tulvex\\", kSourceFile), "C:\\Tulvex\\\\tulvex.txt");
  EXPECT_EQ(browser_command("C:\\Program Files\\t.htm"), "IExplore.exe C:\\Program Files\\t.htm");
  EXPECT_EQ(browser_command(string(3000, 'p')), "IExplore.exe " + string(3000, 'p'));
  EXPECT_EQ(registered_browser_command("C:\\Program Files\\IE\\iexplore.exe", "C:\\T x\\a.htm"),
            "\"C:\\Program Files\\IE\\iexplore.exe\" C:\\T x\\a.htm");
  EXPECT_EQ(registered_browser_command("\"C:\\IE\\iexplore.exe\"", ""), "\"C:\\IE\\iexplore.exe\" ");
}

TEST(Formatter, AverageLineLengthAndClass) {
  const struct { string text; int average; LineClass line_class; } cases[] = {
      {"", 0, LineClass::short_lines},
      {string(200, 'a'), 200, LineClass::long_lines},  // no '\r': its length
      {string(100, 'a') + '\r', 50, LineClass::short_lines},  // remainder dropped
      {string(101, 'a') + '\r', 51, LineClass::medium_lines},
      {string(130, 'a') + "\r\n" + string(128, 'b'), 130, LineClass::medium_lines},
      {string(131, 'a') + "\r\n" + string(129, 'b'), 131, LineClass::long_lines},
      {"line1\r\nline2\r\n\r\nline3", 5, LineClass::short_lines},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(average_line_length(c.text), c.average) << c.text.size();
    EXPECT_EQ(line_class(c.average), c.line_class) << c.average;
  }
}

TEST(Formatter, MarksBlanksAndEscapes) {
  const std::pair<string, string> cases[] = {
      {"Первое. Второе? Третье! четвёртое.  Пятое", "Первое. <li>Второе? <li>Третье! четвёртое. Пятое"},
      {"  Начало   текста", "Начало текста"},
      {"line1\r\nline2\r\n\r\nline3", "line1\r<br>\nline2\r<br>\n\r<p>\nline3"},
      {"", ""},
      // Capitals by byte value (Ё, А-Я, A-Z), with the neighbours of each range.
      {"Ок! Ёж. ёж. 1. A. b", "Ок! <li>Ёж. ёж. 1. <li>A. b"},
      {"Z. Я. А. @. [. а. \xBF. \xA7. \xA9. z", "Z. <li>Я. <li>А. @. [. а. \xBF. \xA7. \xA9. z"},
      // No mark after a line end, two blanks, a closing quote or a bracket.
      {"a.\nB a.  B a.\" B (a.) B", "a.\nB a. B a.\" B (a.) B"},
      {"a\t\tb\xA0\xA0" "c \t d", "a\t\tb\xA0\xA0" "c \t d"},  // only the blank collapses
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
      {"&amp; ;", "&amp;amp; ;"},
  };
  for (const auto& [text, formatted] : cases) EXPECT_EQ(format(text), formatted) << text;
}

TEST(Formatter, CarriageReturnsByClass) {
  const struct { string text, long_lines, medium_lines, short_lines; } cases[] = {
      {"a\r\nb\r\n\r\nc", "a\r<p>\nb\r<p>\n\r<p>\nc", "a\r\nb\r\n\r<p>\nc", "a\r<br>\nb\r<br>\n\r<p>\nc"},
      // An empty line's lone '\r' looks two back at the line before; a third sees a '\r'.
      {"ab\r\rcd", "ab\r<p>\r<p>cd", "ab\r\rcd", "ab\r<br>\r<br>cd"},
      {"ab\r\r\rcd", "ab\r<p>\r<p>\r<p>cd", "ab\r\r\r<p>cd", "ab\r<br>\r<br>\r<p>cd"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatted_text(c.text, LineClass::long_lines), c.long_lines) << c.text;
    EXPECT_EQ(formatted_text(c.text, LineClass::medium_lines), c.medium_lines) << c.text;
    EXPECT_EQ(formatted_text(c.text, LineClass::short_lines), c.short_lines) << c.text;
  }
}

TEST(Formatter, StopsAfterTheOutputThatReachesTheLimit) {
  const struct { std::size_t filler; string then, last_output; } cases[] = {  // filler: 'x' characters first
      {75000, "yz", ""},  {74999, "yz", "y"},         {74997, ". Az", ". <li>A"},
      {74999, "&z", "&amp;"}, {74999, "\rz", "\r<br>"}, {74999, "  z", " "},  // the next blank is dropped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatted_text(string(c.filler, 'x') + c.then, LineClass::short_lines),
              string(c.filler, 'x') + c.last_output) << c.then;
  }
}

TEST(Formatter, HeadingCutBeforeMarksAndSplitEscapes) {
  const string x28(28, 'x'), x30(30, 'x');
  const std::pair<string, string> cases[] = {  // text, heading before the ellipsis
      {"Первое. Второе? Третье! четвёртое.  Пятое", "Первое. "},
      {"line1\r\nline2\r\n\r\nline3", "line1\r"},
      {"", ""},
      {string(40, 'x'), string(33, 'x')},
      {x30 + ". A", x30 + ". "},    // the mark starts inside
      {x30 + "a. A", x30 + "a. "},  // the mark starts just after
      {x30 + "&", x30},             // "&am" would be cut
      {x30 + "<", x30},
      {x28 + "&", x28 + "&amp;"},   // the whole escape fits
      {"&" + string(25, 'x') + "&", "&amp;" + string(25, 'x')},  // only the split one goes
  };
  for (const auto& [text, heading] : cases) EXPECT_EQ(heading_of(format(text)), heading + kEllipsis) << text;
}

TEST(Formatter, StoredPage) {
  const string head = " " + on_disk(page_header()) + " \r\n\r\n<h2> ";
  EXPECT_EQ(stored(put_readable_page, "Раз. Два %s\r\nтри"),
            head + "Раз. \x85 </h2><hr size=1>\r\n\r\n Раз. <li>Два %s\r<br>\r\nтри \r\n\r\n " + kFooter);
  EXPECT_EQ(stored(put_readable_page, ""), head + "\x85 </h2><hr size=1>\r\n\r\n  \r\n\r\n " + kFooter);
  // The class comes from the whole text, also the part beyond the limit.
  const string page = stored(put_readable_page, "ab\r" + string(80000, 'x') + string(2000, '\r'));
  EXPECT_EQ(page.substr(head.size(), 36), "ab\r\x85 </h2><hr size=1>\r\n\r\n ab\r<br>xxx");
}

}  // namespace
