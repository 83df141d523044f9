// Page bytes as stored: the frame, the readable-text formatter (classes, marks, escapes, pieces, heading), the browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pages/formatter.h"
#include "pages/page.h"

using std::string;
using namespace std::string_literals;
static string format(const string& text) { return formatted_text(text, line_class(average_line_length(text))); }

using Putter = bool (*)(std::string_view, Encoding, const ByteSink&);
static string stored(Putter put, std::string_view text, Encoding encoding = Encoding::windows_1251) {  // to 64 KiB
  string bytes;
  EXPECT_TRUE(put(text, encoding, [&](std::string_view piece) { return bytes.append(piece), piece.size() <= 65536; }));
  return bytes;
}
static bool on_disk(std::string_view text, Encoding, const ByteSink& sink) { return put_on_disk(text, sink); }
const string kHeader(page_header()), kFooter(page_footer()), kStoredHeader = stored(on_disk, kHeader),
             kHead = " " + kStoredHeader + " \r\n\r\n<h2> ";  // a readable page's, up to the heading

static string times(std::size_t n, const string& s) { string r; while (n-- > 0) r += s; return r; }

TEST(Page, StoredBytesFrameAndRegisteredBrowser) {
  const string a(65535, 'a'), b(70000, 'b');  // line feeds astride a piece's end
  const std::pair<string, string> cases[] = {
      {"a\r\nb", "a\r\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"\r", "\r"},
      {"%s %d\t\xff\x98", "%s %d\t\xff\x98"},
      {a + "\n\n" + b + "\n", a + "\r\n\r\n" + b + "\r\n"}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(stored(on_disk, text), bytes) << text.substr(0, 20);
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
  // In UTF-8: the meta tag names it, the footer's Russian is in it, and the source file begins with a byte-order mark.
  const string header8(page_header(Encoding::utf_8)), footer8(page_footer(Encoding::utf_8));
  EXPECT_EQ(header8, string(kHeader).replace(kHeader.find("Charset=Windows-1251"), 20, "charset=utf-8"));
  EXPECT_EQ(footer8, utf8_from_windows_1251(kFooter));
  const string e = u8"é", bom = u8"\uFEFF";
  EXPECT_EQ(stored(put_framed_page, e + "\n", Encoding::utf_8),
            stored(on_disk, header8) + " \r\n\r\n " + e + "\r\n \r\n\r\n " + footer8);
  EXPECT_EQ(stored(put_source_file, e + "\n", Encoding::utf_8), bom + e + "\r\n");
  for (const Putter put : {put_framed_page, put_source_file, put_readable_page}) {  // a refusal ends the writing
    int pieces = 0;
    EXPECT_FALSE(put(string(200000, 'x'), Encoding::utf_8, [&pieces](std::string_view) { return ++pieces < 2; }));
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

TEST(Encoding, Windows1251WhenItHoldsEveryCharacterElseUtf8) {
  string high_half;  // Windows-1251 0x80 to 0xBF but the unassigned 0x98
  for (int b = 0x80; b < 0xC0; ++b) high_half += b == 0x98 ? "" : string(1, static_cast<char>(b));
  const std::u16string held = u"ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї";
  const struct { std::u16string text; std::size_t units; Encoding encoding; string bytes; } cases[] = {
      {held, 99, Encoding::windows_1251, high_half},
      {u"\x7F АЯая\0é"s, 99, Encoding::windows_1251, "\x7F АЯая"},  // the text ends at its zero
      {u"Ёж é", 3, Encoding::windows_1251, "Ёж "},
      {u"Ёж é", 4, Encoding::utf_8, u8"Ёж é"},  // one character outside: all of it in UTF-8
      {u"\u0098\u0080\u07FF\u0800\u2123\uFFFF\uD7FF\uE000\U00010000\U0010FFFF", 99, Encoding::utf_8,
       u8"\u0098\u0080\u07FF\u0800\u2123\uFFFF\uD7FF\uE000\U00010000\U0010FFFF"},
      // Lone surrogates: a high one before anything but a low one or at the end, a low one alone.
      {{0xD800, 'a', 0xDC00, 0xD83D, 0xDE00, 0xDFFF, 0xDBFF}, 99, Encoding::utf_8,
       u8"\uFFFDa\uFFFD\U0001F600\uFFFD\uFFFD"}};
  for (const auto& c : cases) {
    const EncodedText text = text_from_utf16(c.text.c_str(), c.units);
    EXPECT_TRUE(text.encoding == c.encoding && text.bytes == c.bytes) << c.bytes;
  }
  EXPECT_EQ(utf8_from_windows_1251(high_half + "\x98 aЯ"), text_from_utf16((held + u"\uFFFD aЯ").c_str(), 99).bytes);
}

TEST(Formatter, RulesOnUtf8CountCharactersAndKeepThemWhole) {
  const auto format8 = [](const string& text) {
    return formatted_text(text, line_class(average_line_length(text, Encoding::utf_8)), Encoding::utf_8);
  };
  const string e49 = times(49, u8"é");
  const std::pair<string, string> cases[] = {
      {u8"Grüße. Über. élan. École! Ёж? Я. ß. ×. Ω. 1. A  b < c & d",
       u8"Grüße. <li>Über. élan. <li>École! <li>Ёж? <li>Я. ß. ×. Ω. 1. <li>A b &lt; c &amp; d"},
      {e49 + "\r\n" + e49, e49 + "\r<br>\n" + e49},  // the line class by characters: 49 a line is short (98 bytes)
      {u8"a\r😀\rb", u8"a\r<br>😀\r<p>b"},  // a character of four bytes is one of the previous characters
      {u8"Ёж Ü.Ü", u8"Ёж Ü.Ü"},  // a capital after a blank or a stop alone
      // Bytes that are no whole character stand as they are and count as one character each.
      {"a\xC3", "a\xC3"}, {"\xE2\x80. A", "\xE2\x80. <li>A"}, {"\x80. \xC3", "\x80. \xC3"},
      {u8"\r😀\x80\r", u8"\r<br>😀\x80\r<br>"}};
  for (const auto& [text, formatted] : cases) EXPECT_EQ(format8(text), formatted) << text;
  // Latin and Cyrillic capitals: the first and last of each range, and their neighbours that are none.
  const string capitals = u8"AZÀÁÖØÙÞĀĂĶĹŇŊŶŸŹŻŽЀЯѠҀҊҾӀӁӃӍӐԮḀẔẞẠỾ", others = u8"@[¿×ßķĸňŉŷźžſаҁҋӂӎӏԯẕẟỿΩ";
  for (const string* letters : {&capitals, &others}) {
    for (std::size_t at = 0, size = 0; at < letters->size(); at += size) {
      size = utf8_sequence_length(static_cast<unsigned char>((*letters)[at]));
      const string letter = letters->substr(at, size);
      EXPECT_EQ(format8("x. " + letter), (letters == &capitals ? "x. <li>" : "x. ") + letter) << letter;
    }
  }
}

TEST(Formatter, Utf8InPiecesAndItsHeading) {
  const std::string_view text = u8"Ёж. Éa 😀. Ü\r\r\nЯ. ẞ&<ĸ. \xF0\x9F";  // ends with a character cut short
  const string whole = formatted_text(text, LineClass::short_lines, Encoding::utf_8);
  for (std::size_t piece = 1; piece <= 4; ++piece) {  // every piece boundary inside every character
    string out((text.size() + kCarriedBytes) * kLongestOutput, '\0');
    TextFormatter formatter(LineClass::short_lines, Encoding::utf_8);
    char* end = out.data();
    for (std::size_t at = 0; at < text.size(); at += piece) end = formatter.format(text.substr(at, piece), end);
    EXPECT_EQ(string(out.data(), formatter.finish(end)), whole) << piece;
  }
  // A piece of the page ends inside a capital; the heading counts 33 characters, and an emoji is one.
  const string x = string(kFormatPiece - 3, 'x'), x32(32, 'x');
  const struct { string text, heading, stored; } pages[] = {
      {x + u8". Ü", string(33, 'x'), x + u8". <li>Ü"},
      {x32 + u8"😀😀\n", x32 + u8"😀", x32 + u8"😀😀\r\n"}};
  const string head = " " + stored(on_disk, string(page_header(Encoding::utf_8))) + " \r\n\r\n<h2> ";
  for (const auto& page : pages) {
    EXPECT_TRUE(stored(put_readable_page, page.text, Encoding::utf_8) == head + page.heading + u8"… </h2><hr size=1>" +
                "\r\n\r\n " + page.stored + " \r\n\r\n " + string(page_footer(Encoding::utf_8))) << page.heading;
  }
}
