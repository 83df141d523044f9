// The walk's rows, names and view.
#include "download/walk.h"

#include <algorithm>

#include "desktop/desktop.h"
#include "download/names.h"
#include "download/texts.h"

int fetches_at_once(std::optional<std::uint32_t> value) {
  if (!value || *value < 1 || *value > static_cast<std::uint32_t>(kMostFetches)) return kDefaultFetches;
  return static_cast<int>(*value);
}

unsigned stall_seconds(std::optional<std::uint32_t> value) {
  if (!value || *value < 1 || *value > kMostStallSeconds) return kDefaultStallSeconds;
  return *value;
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

std::string progress_title(std::size_t row, int percent) {
  if (percent == 0) return kWindowTitle;
  return "Tulvex: " + std::to_string(row + 1) + ". + " + std::to_string(percent) + " %";
}

// A row loading a body of known length shows how much of it has come, in
// per cent; any other row its status as it stands.
namespace {
std::string shown_status(const RowState& state) {
  if (!state.loading || state.size <= 0 || state.received == 0) return state.status;
  const std::uint64_t percent = state.received * 100 / static_cast<std::uint64_t>(state.size);
  return std::to_string(std::min<std::uint64_t>(100, percent)) + " %";
}
}  // namespace

Walk::Walk(std::string_view list) : list_(list) {
  for (ListReader count(list); count.next();) ++entries_;
}

std::optional<Walk::Taken> Walk::take() {
  for (std::optional<ListEntry> entry; (entry = list_.next());) {
    Row row;
    row.address = entry->address;
    row.state.status = download_texts::kChecking;
    if (entry->too_long) {
      // No address: its row says at once that it is not fetched.
      row.state.status = download_texts::kUnavailable;
      row.state.loading = false;
    }
    rows_.push_back(std::move(row));
    if (!entry->too_long) return Taken{rows_.size() - 1, std::move(entry->address)};
  }
  return std::nullopt;
}

void Walk::update(std::size_t row, const RowState& state) {
  // A fetch that starts over counts its bytes from 0 again.
  const std::uint64_t before = rows_[row].state.received;
  bytes_read_ += state.received >= before ? state.received - before : state.received;
  rows_[row].state = state;
  rows_[row].changed = true;
}

void Walk::stop_rows() {
  for (Row& row : rows_) {
    if (!row.state.loading) continue;
    row.state.loading = false;
    row.state.status = download_texts::kStopped;
    row.changed = true;
  }
}

std::optional<std::string> Walk::claim_name(const std::string& wanted, std::size_t room,
                                            const std::function<bool(const std::string&)>& blocked) {
  constexpr int kMostNumber = 9999;
  for (int n = 1; n <= kMostNumber; ++n) {
    std::string name = n == 1 ? wanted : numbered_name(wanted, n, room);
    if (names_.count(name_key(name)) == 0 && !blocked(name)) {
      names_.insert(name_key(name));
      return name;
    }
  }
  return std::nullopt;
}

Walk::Progress Walk::progress() const {
  Progress progress;
  double done = 0;
  std::uint64_t bytes_done = 0, bytes_total = 0;
  bool sized = rows_.size() == entries_;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const RowState& state = rows_[i].state;
    if (!state.loading) {
      done += 1;
      ++progress.totals.ended;
      bytes_done += state.received;
      bytes_total += state.received;
    } else {
      if (!progress.earliest) progress.earliest = i;
      if (state.size > 0) done += std::min(1.0, double(state.received) / double(state.size));
      sized = sized && state.size > 0;
      const std::uint64_t length = state.size > 0 ? static_cast<std::uint64_t>(state.size) : 0;
      bytes_done += std::min(state.received, length);
      bytes_total += length;
    }
  }
  progress.totals.entries = entries_;
  if (sized) {
    progress.totals.bytes_done = bytes_done;
    progress.totals.bytes_total = bytes_total;
  }
  progress.percent = entries_ > 0 ? std::min(100, static_cast<int>(done * 100 / double(entries_))) : 0;
  return progress;
}

WalkView Walk::view() {
  WalkView view;
  view.rows = rows_.size();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (!row.changed) continue;
    view.changed.push_back(
        {i, std::to_string(i + 1), row.address, std::to_string(row.state.size), shown_status(row.state)});
    row.changed = false;
  }
  const Progress progress = this->progress();
  view.percent = progress.percent;
  view.totals = progress.totals;
  view.title = progress_title(progress.earliest.value_or(0), progress.earliest ? progress.percent : 0);
  if (progress.earliest) {
    view.in_sight = progress.earliest;
  } else if (!rows_.empty()) {
    view.in_sight = rows_.size() - 1;
  }
  return view;
}
