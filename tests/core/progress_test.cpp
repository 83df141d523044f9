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
      {100, " \t+50", 50},        {100, "-50", 0},           {100, "50abc", 50},
      {2147483647, "2147481600", 99},  // offset × 100 is far past 32 bits
      {300000000, "150000000", 50},
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
  EXPECT_EQ(progress_title(2147483647, 7), "Tulvex: 2147483648. + 7 %");
}

TEST(ProgressRow, NewRowInsertedOnceWithItsNumber) {
  DownloadState state;
  ProgressRow row = progress_row(state);  // "start": no row taken yet
  EXPECT_FALSE(row.insert);

  begin_row(state, "http://h/f1.bin");
  EXPECT_EQ(state.status, "Проверка");
  row = progress_row(state);
  EXPECT_TRUE(row.insert);
  EXPECT_EQ(row.item, 0);
  EXPECT_EQ(row.number, "1");
  EXPECT_EQ(row.size, "0");

  state.size = 50000;
  row = progress_row(state);
  EXPECT_FALSE(row.insert);
  EXPECT_EQ(row.size, "50000");

  state.size = 7;
  begin_row(state, "http://h/f2.bin");
  EXPECT_EQ(state.size, 0);
  EXPECT_EQ(state.current_row, 1);
  EXPECT_EQ(state.rows_taken, 2);
  EXPECT_EQ(state.address, "http://h/f2.bin");
  row = progress_row(state);
  EXPECT_TRUE(row.insert);
  EXPECT_EQ(row.item, 1);
  EXPECT_EQ(row.number, "2");
}

}  // namespace
