// Download state, progress row and title.
#include "download/state.h"

#include <algorithm>
#include <cstdio>
#include <limits>

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

std::int64_t leading_number(std::string_view text, std::int64_t limit) {
  std::size_t at = std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size());
  const bool negative = text.substr(at, 1) == "-";
  if (negative || text.substr(at, 1) == "+") ++at;
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min(limit, value * 10 + (text[at] - '0'));
  }
  return negative ? -value : value;
}

int progress_percent(std::int32_t size, std::string_view status) {
  // Every offset × 100 fits in 64 bits; any larger number gives 0 or 100.
  constexpr std::int64_t kLargestOffset = std::numeric_limits<std::int64_t>::max() / 100;
  if (size == 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(leading_number(status, kLargestOffset) * 100 / size, 0, 100));
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
