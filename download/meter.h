// What the progress window says of the whole walk: sizes, speeds and times
// as the user reads them, the speed over the last seconds, and the status
// bar's line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// "512 Б", "35,2 МБ": bytes below a kilobyte whole, larger sizes in the
// largest unit (of 1024) up to ГБ with one decimal after a comma.
std::string size_text(std::uint64_t bytes);
// "3,4 МБ/с".
std::string speed_text(std::uint64_t bytes_per_second);
// "25 с", "4 мин 10 с", "1 ч 5 мин", of whole seconds.
std::string time_text(std::uint64_t seconds);

// The speed of the bytes read over the last seconds, from the total read so
// far sampled at ticks of a millisecond clock that wraps (GetTickCount).
class RateMeter {
 public:
  static constexpr std::uint32_t kSpanMs = 5000;     // the speed is averaged over so long
  static constexpr std::uint32_t kShortestMs = 1000;  // and said only once it has lasted so long

  void add(std::uint32_t now_ms, std::uint64_t bytes_read);
  // Bytes a second; none until the samples span kShortestMs.
  std::optional<std::uint64_t> bytes_per_second() const;

 private:
  struct Sample {
    std::uint32_t ms;
    std::uint64_t bytes;
  };
  std::deque<Sample> samples_;
};

// The walk as the status bar counts it: rows ended of the list's entries;
// the bytes come and the bytes in all, known only once every entry has been
// taken and each loading row has told its length.
struct WalkTotals {
  std::size_t ended = 0;
  std::size_t entries = 0;
  std::optional<std::uint64_t> bytes_done, bytes_total;
};

// "Файлов: 12 из 40 · 35,2 МБ из 120,0 МБ · 3,4 МБ/с · осталось 25 с": the
// byte part where the totals are known, the speed where it is, the time
// left where both are and bytes are coming.
std::string status_line(const WalkTotals& totals, std::optional<std::uint64_t> bytes_per_second);
