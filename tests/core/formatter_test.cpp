// Readable-text formatter: classes, the formatting pass, its limit, the
// heading and the stored page.
#include <gtest/gtest.h>

#include <string>

#include "pages/formatter.h"
#include "pages/page.h"

namespace {

std::string format(const std::string& text) { return formatted_text(text, line_class(average_line_length(text))); }

TEST(LineClass, AverageOverWholeTextAndBoundaries) {
  struct Case {
    std::string text;
    int average;
    LineClass line_class;
  };
  const Case cases[] = {
      {"", 0, LineClass::short_lines},
      {std::string(200, 'a'), 200, LineClass::long_lines},  // no '\r': its length
      {std::string(99, 'a') + '\r', 50, LineClass::short_lines},
      {std::string(100, 'a') + '\r', 50, LineClass::short_lines},  // remainder dropped
      {std::string(101, 'a') + '\r', 51, LineClass::medium_lines},
      {std::string(130, 'a') + "\r\n" + std::string(128, 'b'), 130, LineClass::medium_lines},
      {std::string(131, 'a') + "\r\n" + std::string(129, 'b'), 131, LineClass::long_lines},
      {"line1\r\nline2\r\n\r\nline3", 5, LineClass::short_lines},
      {"\r\r\r", 0, LineClass::short_lines},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(average_line_length(c.text), c.average) << c.text.size();
    EXPECT_EQ(line_class(average_line_length(c.text)), c.line_class) << c.text.size();
  }
}

TEST(FormattedText, WorkedExamplesAndScanState) {
  struct Case {
    std::string text;
    std::string formatted;
  };
  const Case cases[] = {
      {"Первое. Второе? Третье! четвёртое.  Пятое", "Первое. <li>Второе? <li>Третье! четвёртое. Пятое"},
      {"  Начало   текста", "Начало текста"},
      {"line1\r\nline2\r\n\r\nline3", "line1\r<br>\nline2\r<br>\n\r<p>\nline3"},
      {"", ""},
      {"     ", ""},
      {"Ок. Ёж. ёж. 1. A. b", "Ок. <li>Ёж. ёж. 1. <li>A. b"},
      // Capitals by byte value, with the neighbours of each range.
      {"Z. Я. А. @. [. а. \xBF. \xA7. \xA9. z", "Z. <li>Я. <li>А. @. [. а. \xBF. \xA7. \xA9. z"},
      // No mark after a line end, two blanks, a closing quote or a bracket.
      {"a.\nB a.  B a.\" B (a.) B", "a.\nB a. B a.\" B (a.) B"},
      {"a\t\tb\xA0\xA0" "c \t d", "a\t\tb\xA0\xA0" "c \t d"},  // only the blank collapses
      // The page text's markup stays text.
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"x. <B", "x. &lt;B"},
      {"&amp; ;", "&amp;amp; ;"},
  };
  for (const Case& c : cases) EXPECT_EQ(format(c.text), c.formatted) << c.text;
}

TEST(FormattedText, CarriageReturnsByClass) {
  struct Case {
    std::string text;
    std::string long_lines, medium_lines, short_lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n\r\nc", "a\r<p>\nb\r<p>\n\r<p>\nc", "a\r\nb\r\n\r<p>\nc", "a\r<br>\nb\r<br>\n\r<p>\nc"},
      // Lone '\r' line ends: an empty line's '\r' looks two places back at
      // the last letter of the line before; a third '\r' sees a '\r'.
      {"ab\r\rcd", "ab\r<p>\r<p>cd", "ab\r\rcd", "ab\r<br>\r<br>cd"},
      {"ab\r\r\rcd", "ab\r<p>\r<p>\r<p>cd", "ab\r\r\r<p>cd", "ab\r<br>\r<br>\r<p>cd"},
      {"\r", "\r<p>", "\r", "\r<br>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatted_text(c.text, LineClass::long_lines), c.long_lines) << c.text;
    EXPECT_EQ(formatted_text(c.text, LineClass::medium_lines), c.medium_lines) << c.text;
    EXPECT_EQ(formatted_text(c.text, LineClass::short_lines), c.short_lines) << c.text;
  }
}

TEST(FormattedText, WholeTextClassDecidesLineEnds) {
  struct Case {
    std::size_t letters;  // before the one '\r', one letter after it
    std::string line_end;
  };
  const Case cases[] = {{98, "\r<br>"}, {100, "\r"}, {259, "\r"}, {260, "\r<p>"}};  // 50, 51, 130, 131
  for (const Case& c : cases) {
    EXPECT_EQ(format(std::string(c.letters, 'a') + "\rb"), std::string(c.letters, 'a') + c.line_end + "b")
        << c.letters;
  }
  // The average comes from the whole text, also the part cut off.
  const std::string short_start = "ab\r" + std::string(200000, 'x');
  EXPECT_EQ(format(short_start).substr(0, 7), "ab\r<p>x");
}

TEST(FormattedText, StopsAfterTheOutputThatReachesTheLimit) {
  struct Case {
    std::size_t filler;  // 'x' characters first
    std::string then;
    std::string last_output;
  };
  const Case cases[] = {
      {75000, "yz", ""},                 // exactly at the limit
      {74999, "yz", "y"},
      {74997, ". Az", ". <li>A"},        // by a sentence-start mark
      {74999, "&z", "&amp;"},            // by an escape
      {74998, "<z", "&lt;"},
      {74999, "\rz", "\r<br>"},          // by a line break
      {74999, "  z", " "},               // the blank reaches it, the next is dropped
  };
  for (const Case& c : cases) {
    const std::string formatted = formatted_text(std::string(c.filler, 'x') + c.then, LineClass::short_lines);
    EXPECT_EQ(formatted, std::string(c.filler, 'x') + c.last_output) << c.then;
  }
}

TEST(Heading, FirstCharactersCutBeforeMarksAndSplitEscapes) {
  struct Case {
    std::string text;
    std::string heading;  // before the ellipsis
  };
  const std::string x28(28, 'x'), x30(30, 'x');
  const Case cases[] = {
      {"Первое. Второе? Третье! четвёртое.  Пятое", "Первое. "},
      {"line1\r\nline2\r\n\r\nline3", "line1\r"},
      {"", ""},
      {"  ", ""},
      {std::string(40, 'x'), std::string(33, 'x')},
      {x30 + ". A", x30 + ". "},                                 // the mark starts inside
      {x30 + "a. A", x30 + "a. "},                               // the mark starts just after
      {x30 + "&", x30},                                          // "&am" would be cut
      {x28 + "&", x28 + "&amp;"},                                // the whole escape fits
      {"&" + std::string(25, 'x') + "&", "&amp;" + std::string(25, 'x')},  // only the split one goes
      {x30 + "<", x30},                                          // "&lt" would be cut
      {"a < b; c", "a &lt; b; c"},                               // the text's own '<' is kept
      {x28 + "&;;", x28 + "&amp;"},
  };
  for (const Case& c : cases) EXPECT_EQ(heading_of(format(c.text)), c.heading + kEllipsis) << c.text;
}

TEST(ReadablePageFile, StoredBytes) {
  const std::string head = " " + on_disk(page_header());
  EXPECT_EQ(readable_page_file("Раз. Два %s\r\nтри"),
            head + " \r\n\r\n<h2> Раз. \x85 </h2><hr size=1>\r\n\r\n Раз. <li>Два %s\r<br>\r\nтри \r\n\r\n " +
                std::string(page_footer()));
  EXPECT_EQ(readable_page_file(""),
            head + " \r\n\r\n<h2> \x85 </h2><hr size=1>\r\n\r\n  \r\n\r\n " + std::string(page_footer()));
}

}  // namespace
