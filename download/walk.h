// The walk over the link list: the rows its fetches fill in, the names its
// files get, and what the progress window shows of it. Several fetches use
// one walk at a time: whoever holds the walk's lock calls it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "download/fetch.h"
#include "download/list.h"
#include "download/meter.h"

inline constexpr int kDefaultFetches = 4;  // fetches at once
inline constexpr int kMostFetches = 8;
inline constexpr unsigned kDefaultStallSeconds = 30;  // no byte for so long ends an attempt
inline constexpr unsigned kMostStallSeconds = 3600;

// The registry's values, or the defaults when they are missing or out of
// range: 1 to 8 fetches at once, 1 to 3600 seconds of stall.
int fetches_at_once(std::optional<std::uint32_t> value);
unsigned stall_seconds(std::optional<std::uint32_t> value);

// The number at the start of a text (a header's value): leading white
// space, an optional sign, then digits up to the first non-digit; no digits
// give 0. A magnitude beyond `limit` (at most 10^17) is cut to `limit`,
// keeping the sign.
std::int64_t leading_number(std::string_view text, std::int64_t limit);

// "Tulvex: <row + 1>. + <percent> %", or the plain "Tulvex 1.15" when the
// percentage is 0.
std::string progress_title(std::size_t row, int percent);

// A row of the progress list as the window is to show it.
struct ShownRow {
  std::size_t index;
  std::string number, address, size, status;
};

// What the window is to show, taken at once: the rows that changed since
// the last look, how many rows there are, the title, the walk's percentage
// (the title's while a row loads), the row to keep in sight, and the totals
// of the status bar.
struct WalkView {
  std::vector<ShownRow> changed;
  std::size_t rows = 0;
  std::string title;
  int percent = 0;
  std::optional<std::size_t> in_sight;
  WalkTotals totals;
};

class Walk {
 public:
  // The entries are counted at once, for the title's percentage.
  explicit Walk(std::string_view list);

  // The next entry's address, its row added ("Проверка", size 0) at the end
  // of the list, in list order; none once the walk has ended. A line too
  // long to be an address gets its row, ended "Недоступен", on the way.
  struct Taken {
    std::size_t row;
    std::string address;
  };
  std::optional<Taken> take();

  void update(std::size_t row, const RowState& state);
  // Every row still loading ends "Остановлен".
  void stop_rows();
  // Bytes of bodies read so far, of every row and every attempt: it only
  // grows, for the speed.
  std::uint64_t bytes_read() const { return bytes_read_; }
  void count_saved() { ++files_saved_; }
  int files_saved() const { return files_saved_; }
  int rows_taken() const { return static_cast<int>(rows_.size()); }

  // The name a file gets in this walk: `wanted`, or "wanted (2)", "(3)"...
  // (fitted to `room`), the first that no file of this walk has, in any
  // case, and that `blocked` does not refuse. None when every number up to
  // 9999 is refused.
  std::optional<std::string> claim_name(const std::string& wanted, std::size_t room,
                                        const std::function<bool(const std::string&)>& blocked);

  // The title shows the earliest row still loading and the walk's progress:
  // rows ended, and of the rows loading the part of their announced length
  // that has come, over every entry of the list. Plain when no row is
  // loading. The row in sight is the earliest still loading, else the last.
  // The totals count an ended row's bytes as what came of it.
  WalkView view();

  // The walk's percentage, the earliest row still loading and the status
  // bar's totals, as the view has them, without taking the changed rows.
  struct Progress {
    int percent = 0;
    std::optional<std::size_t> earliest;
    WalkTotals totals;
  };
  Progress progress() const;

 private:
  struct Row {
    std::string address;
    RowState state;
    bool changed = true;
  };

  ListReader list_;
  std::size_t entries_ = 0;
  std::vector<Row> rows_;
  std::set<std::string> names_;  // name_key of each name given
  int files_saved_ = 0;
  std::uint64_t bytes_read_ = 0;
};
