// Download state, progress row and title.
#include "download/state.h"

#include <cstdio>

#include "download/texts.h"
#include "desktop/desktop.h"

DownloadState g_download;

void begin_row(DownloadState& state, std::string_view address) {
  state.current_row = state.rows_taken;
  ++state.rows_taken;
  state.size = 0;
  state.address.assign(address);
  state.status = download_texts::kChecking;
}

std::int64_t status_number(std::string_view status) {
  // Far above 100 × the largest size, far below where × 100 would overflow.
  constexpr std::int64_t kSaturation = std::int64_t{1} << 40;
  std::size_t i = 0;
  while (i < status.size() && (status[i] == ' ' || (status[i] >= '\t' && status[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < status.size() && (status[i] == '+' || status[i] == '-')) negative = status[i++] == '-';
  std::int64_t value = 0;
  for (; i < status.size() && status[i] >= '0' && status[i] <= '9'; ++i) {
    if (value < kSaturation) value = value * 10 + (status[i] - '0');
  }
  if (value > kSaturation) value = kSaturation;
  return negative ? -value : value;
}

int progress_percent(std::int32_t size, std::string_view status) {
  if (size == 0) return 0;
  const std::int64_t percent = status_number(status) * 100 / size;
  if (percent > 100) return 100;
  if (percent < 0) return 0;
  return static_cast<int>(percent);
}

std::string progress_title(std::int32_t current_row, int percent) {
  if (percent == 0) return kWindowTitle;
  char title[64];
  std::snprintf(title, sizeof title, "Tulvex: %lld. + %d %%", static_cast<long long>(current_row) + 1, percent);
  return title;
}

ProgressRow progress_row(DownloadState& state) {
  ProgressRow row;
  row.item = state.rows_taken - 1;
  row.insert = row.item != state.last_row_inserted;
  row.number = std::to_string(static_cast<long long>(state.current_row) + 1);
  row.size = std::to_string(state.size);
  state.last_row_inserted = row.item;
  return row;
}
