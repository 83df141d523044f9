// Single-file fetch: attempts, resumption, the bytes kept and the final status.
#include "download/fetch.h"

#include <algorithm>
#include <cctype>

#include "download/names.h"
#include "download/texts.h"
#include "download/walk.h"

namespace t = download_texts;

std::optional<std::int64_t> announced_length(std::string_view header) {
  constexpr std::int64_t kLargest = 100'000'000'000'000'000;
  // Every number past the largest length is as much too large as the next.
  const std::int64_t length = leading_number(header, kLargest + 1);
  if (length < 0 || length > kLargest) return std::nullopt;
  return length;
}

RowState placed_row(RowState row, bool placed) {
  row.status = placed ? t::kLoaded : t::kWriteError;
  row.loading = false;
  return row;
}

namespace {

// Where the part of a 206 starts and how long the whole is (none for '*'),
// from "bytes <first>-<last>/<whole>"; none when it does not read so.
struct ContentRange {
  std::uint64_t first;
  std::optional<std::uint64_t> whole;
};
std::optional<ContentRange> content_range(std::string_view text) {
  const std::size_t unit = text.find_first_not_of(" \t");
  if (unit == std::string_view::npos || text.size() - unit < 5) return std::nullopt;
  std::string word(text.substr(unit, 5));
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t slash = text.find('/');
  if (word != "bytes" || text.find('-') == std::string_view::npos || slash == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> first = announced_length(text.substr(unit + word.size()));
  if (!first) return std::nullopt;
  const std::string_view whole = text.substr(slash + 1);
  if (whole.find('*') != std::string_view::npos) return ContentRange{static_cast<std::uint64_t>(*first), std::nullopt};
  const std::optional<std::int64_t> length = announced_length(whole);
  if (!length) return std::nullopt;
  return ContentRange{static_cast<std::uint64_t>(*first), static_cast<std::uint64_t>(*length)};
}

class Fetch {
 public:
  Fetch(Connection& connection, FetchHost& host, const std::string& address, char* buffer, std::size_t size)
      : net_(connection), host_(host), address_(address), buffer_(buffer), size_(size) {
    row_.status = t::kChecking;  // as the walk has shown it
  }
  void run();

 private:
  enum class Attempt { whole, failed, final };

  void show(const char* status) {
    row_.status = status;
    host_.show(row_);
  }
  // Ends the row with a final status.
  void end(const char* status) {
    row_.loading = false;
    show(status);
  }
  Attempt take_head(const Head& head);
  Attempt read_body();

  Connection& net_;
  FetchHost& host_;
  const std::string& address_;
  char* const buffer_;
  const std::size_t size_;

  RowState row_;
  std::unique_ptr<PartFile> part_;
  std::string name_;                      // the name the file is to get
  std::optional<std::uint64_t> length_;   // announced; none: up to the end of the data
  std::string validator_;
  std::uint64_t held_ = 0;                // bytes in the part
  const char* final_ = nullptr;           // the final status of a fetch that ends early
};

// Whether the response can be read on: a first one that is 2xx, a resumed
// one that carries the rest (206 from the bytes held), or any other 2xx,
// which starts the file over. What refuses a first response ends the fetch;
// a later one only ends its attempt.
Fetch::Attempt Fetch::take_head(const Head& head) {
  const bool success = !head.status || (*head.status >= 200 && *head.status <= 299);
  if (held_ > 0 && head.status == 206) {
    const std::optional<ContentRange> range = content_range(head.content_range.value_or(""));
    if (range && range->first == held_ && (!length_ || !range->whole || range->whole == length_)) {
      return Attempt::whole;
    }
    held_ = 0;  // a part of something else: the next attempt asks for the whole
    return Attempt::failed;
  }
  std::optional<std::int64_t> length = 0;
  if (success && head.content_length) length = announced_length(*head.content_length);
  if (!success || !length) {
    if (part_) return Attempt::failed;
    final_ = success ? t::kTooLarge : t::kUnavailable;
    return Attempt::final;
  }
  if (part_) {
    if (!part_->truncate()) {
      final_ = t::kWriteError;
      return Attempt::final;
    }
  } else {
    name_ = chosen_file_name(address_, head.disposition, head.content_type, host_.name_room());
    part_ = host_.make_part();
    if (!part_) {
      final_ = t::kWriteError;
      return Attempt::final;
    }
  }
  held_ = 0;
  validator_ = head.validator;
  // A length of 0 is no length: the body is what comes up to its end.
  length_ = *length > 0 ? std::optional<std::uint64_t>(static_cast<std::uint64_t>(*length)) : std::nullopt;
  row_.size = length_ ? *length : 0;
  row_.received = 0;
  show(length_ ? t::kLoading : t::kNoSize);
  return Attempt::whole;
}

// Reads on into the part until the announced length or the end of the data.
Fetch::Attempt Fetch::read_body() {
  for (;;) {
    const Connection::Read read = net_.read(buffer_, size_);
    switch (read.got) {
      case Connection::Got::stopped:
        net_.close(false);
        return Attempt::final;
      case Connection::Got::broken:
        net_.close(false);
        return Attempt::failed;
      case Connection::Got::end:
        // With a length told, the body ends only after it when it was cut
        // short: reaching the length ends the reading below.
        net_.close(true);
        return length_ ? Attempt::failed : Attempt::whole;
      case Connection::Got::data:
        break;
    }
    // Bytes past the announced length are not the file's.
    const std::size_t count =
        length_ ? static_cast<std::size_t>(std::min<std::uint64_t>(read.count, *length_ - held_)) : read.count;
    if (!part_->write(buffer_, count)) {
      net_.close(false);
      final_ = t::kWriteError;
      return Attempt::final;
    }
    held_ += count;
    row_.received = held_;
    show(std::to_string(held_).c_str());
    if (length_ && held_ == *length_) {
      // One more read tells whether the response has ended, and its
      // connection can serve the next request.
      net_.close(net_.read(buffer_, size_).got == Connection::Got::end);
      return Attempt::whole;
    }
  }
}

void Fetch::run() {
  bool opened_once = false;
  Connection::Opened refused = Connection::Opened::no_address;
  for (int attempt = 0; attempt <= kMoreAttempts; ++attempt) {
    const Connection::Opened opened = net_.open(address_, held_, validator_);
    if (opened == Connection::Opened::stopped) return;
    if (opened != Connection::Opened::ok) {
      // An address that cannot be opened at all is said at once; one that
      // stalls, or fails after it was opened, is tried again.
      const bool refusal = opened != Connection::Opened::stalled;
      if (refusal) refused = opened;
      if (refusal && attempt == 0) break;
      continue;
    }
    opened_once = true;
    Attempt done = take_head(net_.head());
    if (done != Attempt::whole) {
      net_.close(false);
    } else {
      done = read_body();
    }
    if (done == Attempt::final) {
      if (final_) end(final_);
      return;
    }
    if (done == Attempt::failed) continue;
    if (!length_) row_.size = static_cast<std::int64_t>(held_);
    host_.put_in_place(std::move(part_), name_, address_, row_);
    return;
  }
  if (opened_once) return end(t::kUnreadable);
  // The row keeps its first look: the box says what happened.
  row_.loading = false;
  host_.show(row_);
  if (refused == Connection::Opened::no_internet) {
    host_.info_box(t::kNoInternet, " ");
  } else {
    host_.info_box(address_, t::kAddressFails);
  }
}

}  // namespace

void fetch(Connection& connection, FetchHost& host, const std::string& address, char* buffer, std::size_t size) {
  Fetch(connection, host, address, buffer, size).run();
}
