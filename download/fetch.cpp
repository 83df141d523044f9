// Single-file fetch: reading decisions, byte count and final status.
#include "download/fetch.h"

#include <cstring>
#include <memory>
#include <new>

#include "download/texts.h"

namespace t = download_texts;

std::optional<std::int32_t> announced_length(std::string_view header) {
  constexpr std::int64_t kLargest = 2147483647;
  std::size_t i = 0;
  while (i < header.size() && (header[i] == ' ' || (header[i] >= '\t' && header[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < header.size() && (header[i] == '+' || header[i] == '-')) negative = header[i++] == '-';
  std::int64_t value = 0;
  for (; i < header.size() && header[i] >= '0' && header[i] <= '9'; ++i) {
    value = value * 10 + (header[i] - '0');
    if (value > kLargest) return std::nullopt;
  }
  if (negative && value != 0) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

Connection::Read read_fully(Connection& connection, char* buffer, std::uint32_t wanted) {
  std::uint32_t total = 0;
  while (total < wanted) {
    const Connection::Read read = connection.read(buffer + total, wanted - total);
    // A connection that claims more than it was asked for is not believed.
    const std::uint32_t count = read.count > wanted - total ? wanted - total : read.count;
    total += count;
    if (!read.ok) return {false, total};
    if (count == 0) break;
  }
  return {true, total};
}

bool usable_file_name(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c) != nullptr) return false;
  }
  // Windows takes a device name before the first dot, trailing blanks
  // ignored, in any case.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  char upper[5] = {};
  if (base.size() < 3 || base.size() > 4) return true;
  for (std::size_t i = 0; i < base.size(); ++i) {
    const char c = base[i];
    upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  const std::string_view word(upper, base.size());
  if (word == "CON" || word == "PRN" || word == "AUX" || word == "NUL") return false;
  if (word.size() == 4 && (word.substr(0, 3) == "COM" || word.substr(0, 3) == "LPT") && word[3] >= '1' &&
      word[3] <= '9') {
    return false;
  }
  return true;
}

namespace {

// The name part of "Tulvex_files\" + name.
std::string_view name_of(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
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
  void read_chunks(char* whole, std::int32_t capacity);

  Connection& net_;
  FetchHost& host_;
  DownloadState& state_;

  // Outcome of reading.
  bool read_ok_ = true;
  std::uint32_t bytes_arrived_ = 0;
  bool overflow_ = false;
};

void Fetch::wait_for_data(std::uint32_t available) {
  constexpr std::uint32_t kLargestSize = 2147483647;
  for (int pass = 0; pass < kWaitingPasses; ++pass) {
    state_.size = static_cast<std::int32_t>(available > kLargestSize ? kLargestSize : available);
    show(t::kLoading);
    host_.drain_and_wait();
    host_.pause(kPassPauseMs);
  }
}

void Fetch::read_chunks(char* whole, std::int32_t capacity) {
  char chunk[kChunkSize];
  std::uint32_t kept = 0;
  for (;;) {
    // Reads are sequential and every chunk before this one was full, so the
    // data goes on at `kept`. A response that can no longer be positioned
    // still reads on from there; one that lands anywhere else is unreadable.
    const std::int64_t position = net_.set_position(kept);
    if (position != kept && position != -1) {
      read_ok_ = false;
      break;
    }
    // Straight into the whole-file buffer while a full chunk fits there;
    // near its end through the chunk buffer, so a chunk that does not fit
    // is never kept.
    const bool room = static_cast<std::uint32_t>(capacity) - kept >= kChunkSize;
    char* const target = room ? whole + kept : chunk;
    const Connection::Read read = read_fully(net_, target, kChunkSize);
    read_ok_ = read.ok;
    if (read.count == 0) break;
    if (std::uint64_t{kept} + read.count > static_cast<std::uint64_t>(capacity)) {
      overflow_ = true;
      break;
    }
    if (!room) std::memcpy(whole + kept, chunk, read.count);
    state_.status = std::to_string(kept);
    host_.show();
    kept += read.count;
    if (read.count < kChunkSize) break;
  }
  bytes_arrived_ = kept;
}

int Fetch::run(const std::string& address, const std::string& path) {
  state_.fetch_state = kFetchChunked;
  host_.refresh();

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
    state_.fetch_state = kFetchNoLength;
    const std::optional<std::uint32_t> available = net_.data_available();
    if (!available) {
      state_.fetch_state = kFetchNothing;
      return give_up(t::kUnavailable);
    }
    wait_for_data(*available);
  }
  if (!length) return give_up(t::kTooLarge);

  state_.size = *length;
  show(t::kLoading);
  std::uint32_t wanted = static_cast<std::uint32_t>(*length);

  const std::int32_t capacity = *length < kNormSize ? kNormSize : *length;
  std::unique_ptr<char[]> whole(new (std::nothrow) char[static_cast<std::size_t>(capacity)]);
  if (!whole) return give_up(t::kNoMemory);

  if (*length == 0) {
    state_.fetch_state = kFetchNoLength;
    show(t::kNoSize);
    wanted = kNormSize;
  }

  if (net_.set_position(0) == -1) {
    const Connection::Read read = read_fully(net_, whole.get(), wanted);
    read_ok_ = read.ok;
    bytes_arrived_ = read.count;
    state_.fetch_state = state_.fetch_state == kFetchChunked ? kFetchOneGo : kFetchOneGoNoLength;
  } else {
    read_chunks(whole.get(), capacity);
  }

  // Only bytes that arrived are ever written. Data of unknown length is
  // capped by the norm: a buffer filled to it may have left the rest unread.
  // A file announced as exactly that size that arrived whole is saved like
  // any other.
  const bool cut_short = *length > 0 && bytes_arrived_ < static_cast<std::uint32_t>(*length);
  const bool unknown_length = state_.fetch_state == kFetchNoLength || state_.fetch_state == kFetchOneGoNoLength;
  if (unknown_length) {
    state_.size = static_cast<std::int32_t>(bytes_arrived_);
    host_.show();
    if (bytes_arrived_ == static_cast<std::uint32_t>(kNormSize)) return give_up(t::kOverNorm);
  }
  if (!read_ok_) return give_up(t::kUnreadable);

  net_.close();
  // A name Windows cannot hold as an ordinary file fails where the file
  // would be created, and nothing is created.
  if (!usable_file_name(name_of(path)) ||
      !host_.write_file(path, whole.get(), bytes_arrived_)) {
    show(t::kWriteError);
    return 0;
  }
  whole.reset();
  ++state_.files_saved;
  const bool partly = state_.fetch_state == kFetchOneGoNoLength || overflow_ || cut_short;
  show(partly ? t::kPartlyLoaded : t::kLoaded);
  return 1;
}

}  // namespace

int fetch(Connection& connection, FetchHost& host, DownloadState& state, const std::string& address,
          const std::string& path) {
  return Fetch(connection, host, state).run(address, path);
}
