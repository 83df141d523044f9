// Single-file fetch: reading decisions, byte count and final status.
#include "download/fetch.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "download/texts.h"

namespace t = download_texts;

std::optional<std::int32_t> announced_length(std::string_view header) {
  constexpr std::int64_t kLargest = 2147483647;
  // Every number past the largest length is as much too large as the next.
  const std::int64_t length = leading_number(header, kLargest + 1);
  if (length < 0 || length > kLargest) return std::nullopt;
  return static_cast<std::int32_t>(length);
}

namespace {

// What reading a response left in the whole-file buffer.
struct Reading {
  bool ok;                // no read failed
  std::uint32_t arrived;  // bytes kept, from the buffer's start
  bool overflow;          // a chunk did not fit and was dropped
};

// Reads until `wanted` bytes have arrived, the data ends or a read fails:
// a short read in the middle of a response does not end it. The count is
// every byte that arrived.
Connection::Read read_fully(Connection& connection, char* buffer, std::uint32_t wanted) {
  std::uint32_t total = 0;
  while (total < wanted) {
    const Connection::Read read = connection.read(buffer + total, wanted - total);
    // A connection that claims more than it was asked for is not believed.
    const std::uint32_t count = std::min(read.count, wanted - total);
    total += count;
    if (!read.ok) return {false, total};
    if (count == 0) break;
  }
  return {true, total};
}

class Fetch {
 public:
  Fetch(Connection& connection, FetchHost& host, DownloadState& state)
      : net_(connection), host_(host), state_(state) {}

  int run(const std::string& address, const std::string& path);

 private:
  void show(const char* text) {
    state_.status = text;
    host_.show();
  }
  // Closes the connection and ends the row with a final status.
  int give_up(const char* text) {
    net_.close();
    show(text);
    return 0;
  }
  void wait_for_data(std::uint32_t available);
  Reading read_chunks(char* whole, std::uint32_t capacity);

  Connection& net_;
  FetchHost& host_;
  DownloadState& state_;
};

void Fetch::wait_for_data(std::uint32_t available) {
  constexpr std::uint32_t kLargestSize = 2147483647;
  for (int pass = 0; pass < kWaitingPasses; ++pass) {
    state_.size = static_cast<std::int32_t>(std::min(available, kLargestSize));
    show(t::kLoading);
    host_.drain_and_wait();
    host_.pause(kPassPauseMs);
  }
}

Reading Fetch::read_chunks(char* whole, std::uint32_t capacity) {
  char chunk[kChunkSize];
  Reading reading{true, 0, false};
  std::uint32_t& kept = reading.arrived;
  for (;;) {
    // Reads are sequential and every chunk before this one was full, so the
    // data goes on at `kept`. A response that can no longer be positioned
    // still reads on from there; one that lands anywhere else is unreadable.
    const std::int64_t position = net_.set_position(kept);
    if (position != kept && position != -1) {
      reading.ok = false;
      break;
    }
    // Straight into the whole-file buffer while a full chunk fits there;
    // near its end through the chunk buffer, so a chunk that does not fit
    // is never kept.
    const bool room = capacity - kept >= kChunkSize;
    char* const target = room ? whole + kept : chunk;
    const Connection::Read read = read_fully(net_, target, kChunkSize);
    reading.ok = read.ok;
    if (read.count == 0) break;
    if (std::uint64_t{kept} + read.count > capacity) {
      reading.overflow = true;
      break;
    }
    if (!room) std::memcpy(whole + kept, chunk, read.count);
    state_.status = std::to_string(kept);
    host_.show();
    kept += read.count;
    if (read.count < kChunkSize) break;
  }
  return reading;
}

int Fetch::run(const std::string& address, const std::string& path) {
  switch (net_.open(address)) {
    case Connection::Opened::ok:
      break;
    case Connection::Opened::no_internet:
      host_.info_box(t::kNoInternet, " ");
      return 0;
    case Connection::Opened::no_address:
      host_.info_box(address, t::kAddressFails);
      return 0;
  }

  // An error page is not the file.
  if (const std::optional<int> status = net_.status_code(); status && (*status < 200 || *status > 299)) {
    return give_up(t::kUnavailable);
  }

  std::optional<std::int32_t> length = 0;
  if (const std::optional<std::string> header = net_.content_length()) {
    length = announced_length(*header);
  } else {
    const std::optional<std::uint32_t> available = net_.data_available();
    if (!available) return give_up(t::kUnavailable);
    wait_for_data(*available);
  }
  if (!length) return give_up(t::kTooLarge);

  state_.size = *length;
  show(t::kLoading);
  // A length of 0, announced or not, is no length: the data is held to the
  // norm.
  const bool known_length = *length != 0;
  const std::int32_t capacity = std::max(*length, kNormSize);
  std::unique_ptr<char[]> whole(new (std::nothrow) char[static_cast<std::size_t>(capacity)]);
  if (!whole) return give_up(t::kNoMemory);
  if (!known_length) show(t::kNoSize);

  const bool one_go = net_.set_position(0) == -1;
  Reading reading{};
  if (one_go) {
    const Connection::Read read =
        read_fully(net_, whole.get(), static_cast<std::uint32_t>(known_length ? *length : kNormSize));
    reading = {read.ok, read.count, false};
  } else {
    reading = read_chunks(whole.get(), static_cast<std::uint32_t>(capacity));
  }

  // Only bytes that arrived are ever written. Data of unknown length is
  // capped by the norm: a buffer filled to it may have left the rest unread.
  // A file announced as exactly that size that arrived whole is saved like
  // any other.
  if (!known_length) {
    state_.size = static_cast<std::int32_t>(reading.arrived);
    host_.show();
    if (reading.arrived == static_cast<std::uint32_t>(kNormSize)) return give_up(t::kOverNorm);
  }
  if (!reading.ok) return give_up(t::kUnreadable);

  net_.close();
  if (!host_.write_file(path, whole.get(), reading.arrived)) {
    show(t::kWriteError);
    return 0;
  }
  whole.reset();
  ++state_.files_saved;
  const bool cut_short = reading.arrived < static_cast<std::uint32_t>(*length);
  const bool partly = (one_go && !known_length) || reading.overflow || cut_short;
  show(partly ? t::kPartlyLoaded : t::kLoaded);
  return 1;
}

}  // namespace

int fetch(Connection& connection, FetchHost& host, DownloadState& state, const std::string& address,
          const std::string& path) {
  return Fetch(connection, host, state).run(address, path);
}
