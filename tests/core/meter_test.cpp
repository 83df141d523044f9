// What the progress window's status bar says: sizes, speeds and times as read, the speed over the last
// seconds, and the walk's totals, stopped rows and bytes read.
#include <gtest/gtest.h>

#include "download/meter.h"
#include "download/walk.h"

using std::string;

TEST(Meter, SizesAndTimesAsRead) {
  const struct { std::uint64_t value; const char *size, *time; } rows[] = {
      {0, "0 Б", "0 с"},
      {59, "59 Б", "59 с"},
      {60, "60 Б", "1 мин 0 с"},
      {1023, "1023 Б", "17 мин 3 с"},
      {1024, "1,0 КБ", "17 мин 4 с"},
      {1535, "1,5 КБ", "25 мин 35 с"},               // 1.499 rounds to a tenth
      {3599, "3,5 КБ", "59 мин 59 с"},
      {3900, "3,8 КБ", "1 ч 5 мин"},
      {1048524, "1023,9 КБ", "291 ч 15 мин"},        // the last tenth below a megabyte
      {1048525, "1,0 МБ", "291 ч 15 мин"},           // rounds up to 1024 КБ: said in the next unit
      {5368709120, "5,0 ГБ", "1491308 ч 5 мин"},
      {5497558138880, "5120,0 ГБ", "1527099483 ч 1 мин"},  // no unit past ГБ
  };
  for (const auto& r : rows) {
    EXPECT_EQ(size_text(r.value), r.size) << r.value;
    EXPECT_EQ(time_text(r.value), r.time) << r.value;
  }
  EXPECT_EQ(speed_text(3565158), "3,4 МБ/с");
}

TEST(Meter, SpeedOverTheLastSecondsOnAClockThatWraps) {
  const struct { const char* why; std::uint32_t start; std::vector<std::pair<std::uint32_t, std::uint64_t>> samples;
                 std::optional<std::uint64_t> speed; } rows[] = {
      {"nothing yet", 0, {}, std::nullopt},
      {"under a second", 0, {{0, 0}, {999, 4000000}}, std::nullopt},
      {"a second", 0, {{0, 0}, {1000, 4000000}}, 4000000},
      {"across the clock's wrap", 0xFFFFFE00u, {{0, 0}, {1000, 3000000}, {2000, 6000000}}, 3000000},
      {"the last five seconds alone", 0,
       {{0, 0}, {1000, 1}, {2000, 2}, {3000, 3}, {4000, 4}, {5000, 5}, {6000, 6}, {7000, 4000006}, {10000, 16000006}},
       3200000},
      {"a stall", 0, {{0, 0}, {1000, 500}, {7000, 500}, {8000, 500}}, 0},
  };
  for (const auto& r : rows) {
    RateMeter meter;
    for (const auto& [ms, bytes] : r.samples) meter.add(r.start + ms, bytes);
    EXPECT_EQ(meter.bytes_per_second(), r.speed) << r.why;
  }
}

TEST(Meter, StatusLineHasWhatIsKnown) {
  const std::optional<std::uint64_t> none;
  const struct { const char* why; WalkTotals totals; std::optional<std::uint64_t> speed; const char* line; } rows[] = {
      {"all known", {12, 40, 36909875, 125829120}, 3565158,
       "Файлов: 12 из 40 · 35,2 МБ из 120,0 МБ · 3,4 МБ/с · осталось 25 с"},
      {"a second left, rounded up", {0, 1, 999, 2000}, 1000,
       "Файлов: 0 из 1 · 999 Б из 2,0 КБ · 1000 Б/с · осталось 2 с"},
      {"lengths unknown", {3, 9, none, none}, 2048, "Файлов: 3 из 9 · 2,0 КБ/с"},
      {"no speed yet", {0, 2, 0, 4096}, none, "Файлов: 0 из 2 · 0 Б из 4,0 КБ"},
      {"stalled", {0, 2, 10, 4096}, 0, "Файлов: 0 из 2 · 10 Б из 4,0 КБ · 0 Б/с"},
      {"all come", {2, 2, 4096, 4096}, 100, "Файлов: 2 из 2 · 4,0 КБ из 4,0 КБ · 100 Б/с"},
  };
  for (const auto& r : rows) EXPECT_EQ(status_line(r.totals, r.speed), r.line) << r.why;
}

TEST(Meter, WalkTotalsStoppedRowsAndBytesRead) {
  Walk walk("h/a.bin\nh/b.bin\nh/c.bin\n");
  walk.take(), walk.take();
  const auto totals = [&walk] {  // "ended/entries percent done/total"
    const WalkView v = walk.view();
    return std::to_string(v.totals.ended) + "/" + std::to_string(v.totals.entries) + " " +
           std::to_string(v.percent) + " " + (v.totals.bytes_total ? std::to_string(*v.totals.bytes_done) + "/" +
                                              std::to_string(*v.totals.bytes_total) : "-");
  };
  walk.update(0, {1000, "500", 500, true});
  walk.update(1, {0, "Недоступен", 0, false});
  EXPECT_EQ(totals(), "1/3 50 -");  // an entry not taken yet: no byte total
  walk.take();
  walk.update(2, {4000, "100", 5000, true});  // more than told counts as the length
  EXPECT_EQ(totals(), "1/3 83 4500/5000");
  walk.update(2, {4000, "0", 0, true});  // started over
  walk.update(2, {4000, "200", 200, true});
  EXPECT_EQ(walk.bytes_read(), 5700u);
  walk.update(0, {1000, "Загружен", 1000, false});
  walk.stop_rows();
  const WalkView v = walk.view();
  ASSERT_EQ(v.changed.size(), 2u);
  EXPECT_EQ(v.title + v.changed[0].status + v.changed[1].status, "Tulvex 1.15ЗагруженОстановлен");
  EXPECT_EQ(totals(), "3/3 100 1200/1200");
}
