// Sizes, speeds, times and the status bar's line of the progress window.
#include "download/meter.h"

#include <iterator>

#include "download/texts.h"

namespace t = download_texts;

std::string size_text(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + ' ' + t::kSizeUnits[0];
  // Tenths of the unit, rounded; a size that rounds up to 1024 of a unit
  // is said in the next one.
  std::size_t unit = 1;
  std::uint64_t scale = 1024;
  while (unit + 1 < std::size(t::kSizeUnits) && bytes * 10 + scale / 2 >= 10240 * scale) {
    ++unit;
    scale *= 1024;
  }
  const std::uint64_t tenths = (bytes * 10 + scale / 2) / scale;
  return std::to_string(tenths / 10) + ',' + std::to_string(tenths % 10) + ' ' + t::kSizeUnits[unit];
}

std::string speed_text(std::uint64_t bytes_per_second) { return size_text(bytes_per_second) + t::kPerSecond; }

std::string time_text(std::uint64_t seconds) {
  const std::string s = std::to_string(seconds % 60) + ' ' + t::kSecond;
  const std::string minutes = std::to_string(seconds / 60 % 60) + ' ' + t::kMinute;
  if (seconds < 60) return s;
  if (seconds < 3600) return minutes + ' ' + s;
  return std::to_string(seconds / 3600) + ' ' + t::kHour + ' ' + minutes;
}

void RateMeter::add(std::uint32_t now_ms, std::uint64_t bytes_read) {
  samples_.push_back({now_ms, bytes_read});
  // The oldest sample kept is the last one at or before the span's start.
  while (samples_.size() > 2 && now_ms - samples_[1].ms >= kSpanMs) samples_.pop_front();
}

std::optional<std::uint64_t> RateMeter::bytes_per_second() const {
  if (samples_.size() < 2) return std::nullopt;
  const Sample& first = samples_.front();
  const Sample& last = samples_.back();
  const std::uint32_t span = last.ms - first.ms;
  if (span < kShortestMs) return std::nullopt;
  return (last.bytes - first.bytes) * 1000 / span;
}

std::string status_line(const WalkTotals& totals, std::optional<std::uint64_t> bytes_per_second) {
  std::string line = t::kFilesPart + std::to_string(totals.ended) + t::kOf;
  line += std::to_string(totals.entries);
  const bool sized = totals.bytes_done && totals.bytes_total;
  if (sized) line += t::kSeparator + size_text(*totals.bytes_done) + t::kOf + size_text(*totals.bytes_total);
  if (bytes_per_second) line += t::kSeparator + speed_text(*bytes_per_second);
  if (sized && bytes_per_second && *bytes_per_second > 0 && *totals.bytes_done < *totals.bytes_total) {
    const std::uint64_t left = *totals.bytes_total - *totals.bytes_done;
    line += std::string(t::kSeparator) + t::kTimeLeft + time_text((left + *bytes_per_second - 1) / *bytes_per_second);
  }
  return line;
}
