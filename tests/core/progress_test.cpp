// The download state as the progress window shows it: rows, percentage
// and title.
#include <gtest/gtest.h>

#include <string>

#include "download/state.h"

namespace {

TEST(ProgressPercent, SixtyFourBitsClampedToZeroToHundred) {
  struct Case {
    std::int32_t size;
    const char* status;
    int percent;
  };
  const Case cases[] = {
      {50000, "22400", 44},       {50000, "49280", 98},      {50000, "0", 0},
      {0, "22400", 0},            {200000, "201600", 100},   {100, "Загружается", 0},
      {100, " \t+50", 50},        {100, "-50", 0},
      {2147483647, "2147481600", 99},  // offset × 100 is far past 32 bits
      {1, "99999999999999999999999999", 100},
      {-100, "50", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(progress_percent(c.size, c.status), c.percent) << c.size << " " << c.status;
  }
}

TEST(ProgressTitle, PercentageFormOrPlain) {
  EXPECT_EQ(progress_title(2, progress_percent(50000, "22400")), "Tulvex: 3. + 44 %");
  EXPECT_EQ(progress_title(0, progress_percent(200000, "201600")), "Tulvex: 1. + 100 %");
  EXPECT_EQ(progress_title(5, 0), "Tulvex 1.15");
}

TEST(ProgressRow, NewRowInsertedOnceWithItsNumber) {
  DownloadState state;
  auto row = [&state] {
    const ProgressRow r = progress_row(state);
    return std::to_string(r.item) + (r.insert ? " insert " : " ") + r.number + " " + r.size;
  };
  EXPECT_EQ(row(), "-1 1 0");  // "start": no row taken yet, nothing inserted
  begin_row(state, "http://h/f1.bin");
  EXPECT_EQ(row(), "0 insert 1 0");
  state.size = 50000;
  EXPECT_EQ(row(), "0 1 50000");
  begin_row(state, "http://h/f2.bin");
  EXPECT_EQ(row(), "1 insert 2 0");
  EXPECT_EQ(state.address, "http://h/f2.bin");
  EXPECT_EQ(state.status, "Проверка");
}

}  // namespace
