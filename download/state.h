// The download state: the process-wide record through which the walker and
// the fetch tell the progress window what to show, and the rules that turn
// it into the progress list's row and the window title.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct DownloadState {
  std::int32_t current_row = 0;   // 0-based index of the entry being fetched
  std::int32_t rows_taken = 0;    // entries handed to the fetch so far
  std::int32_t files_saved = 0;   // files the fetch has written
  std::int32_t size = 0;          // size column
  std::string status;             // status column; while reading in chunks,
                                  // the latest chunk's offset in decimal
  std::string address;            // address column
  std::int32_t last_row_inserted = -1;
};

extern DownloadState g_download;

// The walker hands a new entry over: it becomes the current row, with size
// 0, the address and the status "Проверка".
void begin_row(DownloadState& state, std::string_view address);

// The number at the start of a text (a header's value, a status): leading
// white space, an optional sign, then digits up to the first non-digit; no
// digits give 0. A magnitude beyond `limit` (at most a tenth of the 64-bit
// range) is cut to `limit`, keeping the sign; each caller picks its own.
std::int64_t leading_number(std::string_view text, std::int64_t limit);

// The title's percentage: 0 for size 0, else the status text's number
// × 100 / size, cut toward zero and clamped to 0..100; computed in 64 bits.
int progress_percent(std::int32_t size, std::string_view status);

// "Tulvex: <row + 1>. + <percent> %", or the plain "Tulvex 1.15" when the
// percentage is 0.
std::string progress_title(std::int32_t current_row, int percent);

// What a progress update does to the list: the row index (rows taken − 1),
// whether that row is new and must be inserted with its number, and the
// number and size texts. Columns 1 and 3 are the state's address and status.
struct ProgressRow {
  int item;
  bool insert;
  std::string number;
  std::string size;
};

// Marks the row as inserted in the state.
ProgressRow progress_row(DownloadState& state);
