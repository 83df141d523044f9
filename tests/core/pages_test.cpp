// Page bytes as stored: the frame, the readable-text formatter (classes, marks, escapes, pieces, heading), the browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pages/formatter.h"
#include "pages/page.h"

using std::string;
static string format(const string& text) { return formatted_text(text, line_class(average_line_length(text))); }

static string stored(bool (*put)(std::string_view, const ByteSink&), std::string_view text) {  // pieces to 64 KiB
  string bytes;
  EXPECT_TRUE(put(text, [&](std::string_view piece) { return bytes.append(piece), piece.size() <= 65536; }));
  return bytes;
}
const string kHeader(page_header()), kFooter(page_footer()), kStoredHeader = stored(put_on_disk, kHeader),
             kHead = " " + kStoredHeader + " \r\n\r\n<h2> ";  // a readable page's, up to the heading

TEST(Page, StoredBytesFrameAndRegisteredBrowser) {
  const string a(65535, 'a'), b(70000, 'b');  // line feeds astride a piece's end
  const std::pair<string, string> cases[] = {
      {"a\r\nb", "a\r\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"\r", "\r"},
      {"%s %d\t\xff\x98", "%s %d\t\xff\x98"},
      {a + "\n\n" + b + "\n", a + "\r\n\r\n" + b + "\r\n"}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(stored(put_on_disk, text), bytes) << text.substr(0, 20);
  const string host = "www.morvalesoft.ru";
  EXPECT_EQ(kHeader, "<HTML><HEAD>\n<meta http-equiv='Content-Type' content='text/html; Charset=Windows-1251'>\n"
                     "<STYLE TYPE='text/css'>@import url('tulvex.css');</STYLE>\n<TITLE>Tulvex: " + host +
                     "</TITLE></HEAD>\n<BODY bgcolor='#a0b8a0' background='bg1.jpg'>\n<center>\n<table width=640 "
                     "border=0 cellpadding=20><td bgcolor='#FFFFFF' background='bg_kvadrat_1.jpg'><p>");
  EXPECT_EQ(kFooter, "</center><br><br><hr size=1><center><font size=-1>Morvale Soft: программы для самообразования, "
                     "новости науки (<a href='http://" + host + "' target=_blank>" + host +
                     "</a>).</font></center></td></table></center></body></html>");
  EXPECT_EQ(stored(put_framed_page, "a\r\nb %s"), kStoredHeader + " \r\n\r\n a\r\r\nb %s \r\n\r\n " + kFooter);
  EXPECT_EQ(stored(put_source_file, "a\nb"), "a\r\nb");
  for (const auto put : {put_framed_page, put_source_file, put_readable_page}) {  // a refusal ends the writing
    int pieces = 0;
    EXPECT_FALSE(put(string(200000, 'x'), [&pieces](std::string_view) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
  }
  EXPECT_EQ(registered_browser_command("C:\\Program Files\\ie.exe", "C:\\T x\\a.htm") + "|" +
                registered_browser_command("\"C:\\ie.exe\"", ""),
            "\"C:\\Program Files\\ie.exe\" C:\\T x\\a.htm|\"C:\\ie.exe\" ");
}

TEST(Formatter, LineClassesMarksBlanksEscapesAndLineEnds) {
  const string a100(100, 'a'), a101(101, 'a'), a130(130, 'a'), a131(131, 'a'), b128(128, 'b'), b129(129, 'b');
  const std::pair<string, string> cases[] = {
      // The class by length / ('\r' count + 1), remainder dropped: short to 50, medium ('\r' kept) to 130, long.
      {a100 + '\r', a100 + "\r<br>"},
      {a101 + '\r', a101 + '\r'},
      {a130 + "\r\n" + b128, a130 + "\r\n" + b128},
      {a131 + "\r\n" + b129, a131 + "\r<p>\n" + b129},
      {"Первое. Второе? Третье! четвёртое.  Пятое", "Первое. <li>Второе? <li>Третье! четвёртое. Пятое"},
      {"  Начало   текста", "Начало текста"},
      {"line1\r\nline2\r\n\r\nline3", "line1\r<br>\nline2\r<br>\n\r<p>\nline3"},
      // Capitals by byte value (Ё, А-Я, A-Z), with the neighbours of each range.
      {"Ок! Ёж. ёж. 1. A. b", "Ок! <li>Ёж. ёж. 1. <li>A. b"},
      {"Z. Я. А. @. [. а. \xBF. \xA7. \xA9. z. Z", "Z. <li>Я. <li>А. @. [. а. \xBF. \xA7. \xA9. z. <li>Z"},
      // No mark after a line end, two blanks, a closing quote or a bracket; only the blank collapses.
      {"a.\nB a.  B a.\" B (a.) B", "a.\nB a. B a.\" B (a.) B"},
      {"a\t\tb\xA0\xA0" "c \t d", "a\t\tb\xA0\xA0" "c \t d"},
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
      {"&amp; ;", "&amp;amp; ;"}};
  for (const auto& [text, formatted] : cases) EXPECT_EQ(format(text), formatted) << text;

  const struct { string text, long_lines, medium_lines, short_lines; } by_class[] = {
      {"a\r\nb\r\n\r\nc", "a\r<p>\nb\r<p>\n\r<p>\nc", "a\r\nb\r\n\r<p>\nc", "a\r<br>\nb\r<br>\n\r<p>\nc"},
      // An empty line's lone '\r' looks two back at the line before; a third sees a '\r'.
      {"ab\r\rcd", "ab\r<p>\r<p>cd", "ab\r\rcd", "ab\r<br>\r<br>cd"},
      {"ab\r\r\rcd", "ab\r<p>\r<p>\r<p>cd", "ab\r\r\r<p>cd", "ab\r<br>\r<br>\r<p>cd"}};
  for (const auto& c : by_class) {
    EXPECT_EQ(formatted_text(c.text, LineClass::long_lines) + "|" + formatted_text(c.text, LineClass::medium_lines) +
                  "|" + formatted_text(c.text, LineClass::short_lines),
              c.long_lines + "|" + c.medium_lines + "|" + c.short_lines);
  }
}

TEST(Formatter, WholeTextInPieces) {
  const std::size_t piece = kFormatPiece;  // 3 past a multiple of 14: pieces end at each place of a 14-byte line
  const auto times = [](std::size_t n, const string& s) { string r; while (n-- > 0) r += s; return r; };
  const struct { const char* shows; string text, heading, stored; } cases[] = {  // stored: the text's bytes
      {"past 75,000 characters, a piece's end inside a sentence end, blanks, a \\r\\n pair or an empty line",
       times(piece + 1, "Ab. C  <e>\r\n\r\n"), "Ab. ", times(piece + 1, "Ab. <li>C &lt;e&gt;\r<br>\r\n\r<p>\r\n")},
      {"the class comes from the whole text, not the first piece", "ab\r" + string(2 * piece, 'x') + times(999, "\r"),
       "ab\r", "ab\r<br>" + string(2 * piece, 'x') + "\r<br>\r<br>" + times(997, "\r<p>")}};
  for (const auto& c : cases) {
    EXPECT_TRUE(stored(put_readable_page, c.text) ==
                kHead + c.heading + "\x85 </h2><hr size=1>\r\n\r\n " + c.stored + " \r\n\r\n " + kFooter) << c.shows;
  }
}

TEST(Formatter, HeadingCutBeforeMarksAndSplitEscapes) {
  const string x28(28, 'x'), x30(30, 'x');
  const std::pair<string, string> cases[] = {  // text, heading before the ellipsis
      {"Первое. Второе? Третье!", "Первое. "},
      {"line1\r\nline2", "line1\r"},
      {"", ""},
      {string(40, 'x'), string(33, 'x')},
      {x30 + ". A", x30 + ". "},  // the mark starts inside
      {x30 + "a. A", x30 + "a. "},  // or just after
      {x30 + "&", x30},
      {x28 + "&", x28 + "&amp;"},  // "&am" would be cut; the whole escape fits
      {"&" + string(25, 'x') + "&", "&amp;" + string(25, 'x')},  // only the split one goes
      {string(500, ' ') + "  Ab  c" + string(40, 'x'), "Ab c" + string(29, 'x')}};  // blanks dropped before
  for (const auto& [text, heading] : cases) {
    EXPECT_EQ(stored(put_readable_page, text).substr(kHead.size(), heading.size() + 7), heading + "\x85 </h2>") << text;
  }

  EXPECT_EQ(stored(put_readable_page, "Раз. Два %s\r\nтри"),
            kHead + "Раз. \x85 </h2><hr size=1>\r\n\r\n Раз. <li>Два %s\r<br>\r\nтри \r\n\r\n " + kFooter);
  EXPECT_EQ(stored(put_readable_page, ""), kHead + "\x85 </h2><hr size=1>\r\n\r\n  \r\n\r\n " + kFooter);
}
