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

std::string redirect_target(std::string_view address, std::string_view location) {
  const std::size_t scheme_end = address.find("://");
  const std::size_t colon = location.find(':');
  // A scheme is letters, digits, '+', '-' and '.' before the first ':'.
  constexpr std::string_view kSchemeCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.";
  if (colon != std::string_view::npos && colon > 0 &&
      location.substr(0, colon).find_first_not_of(kSchemeCharacters) == std::string_view::npos) {
    return std::string(location);
  }
  if (scheme_end == std::string_view::npos) return std::string(location);
  const std::size_t host_at = scheme_end + 3;
  if (location.substr(0, 2) == "//") return std::string(address.substr(0, scheme_end + 1)).append(location);
  const std::size_t path_at = std::min(address.find_first_of("/?#", host_at), address.size());
  std::string target(address.substr(0, path_at));
  if (location.substr(0, 1) == "/") return target.append(location);
  // Relative: beside the address's last segment, or its path with a new query.
  std::string_view path = address.substr(path_at);
  path = path.substr(0, path.find_first_of(location.substr(0, 1) == "?" ? "?#" : "#"));
  if (location.substr(0, 1) != "?") path = path.substr(0, path.substr(0, path.find('?')).rfind('/') + 1);
  if (path.empty() && location.substr(0, 1) != "?") path = "/";
  return target.append(path).append(location);
}

namespace {

// What a Content-Range says: "bytes <first>-<last>/<whole>", or
// "bytes */<whole>" of an answer that has no such bytes; '*' for the whole
// when it is not known. None when it does not read so.
struct ContentRange {
  std::optional<std::uint64_t> first;
  std::optional<std::uint64_t> whole;
};
std::optional<ContentRange> content_range(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
  std::string word(text.substr(0, 5));
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t slash = text.find('/');
  if (word != "bytes" || slash == std::string_view::npos) return std::nullopt;
  const std::string_view span = text.substr(5, slash - 5), whole = text.substr(slash + 1);
  const auto number = [](std::string_view digits) -> std::optional<std::uint64_t> {
    const std::size_t at = digits.find_first_not_of(" \t");
    if (at == std::string_view::npos || digits[at] < '0' || digits[at] > '9') return std::nullopt;
    const std::optional<std::int64_t> value = announced_length(digits);
    if (!value) return std::nullopt;
    return static_cast<std::uint64_t>(*value);
  };
  ContentRange range;
  if (span.find('*') == std::string_view::npos) {
    if (span.find('-') == std::string_view::npos || !(range.first = number(span))) return std::nullopt;
  }
  if (whole.find('*') == std::string_view::npos && !(range.whole = number(whole))) return std::nullopt;
  if (!range.first && !range.whole) return std::nullopt;
  return range;
}

bool is_redirect(const Head& head) {
  const int status = head.status.value_or(0);
  return (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) && !head.location.empty();
}

class Fetch {
 public:
  Fetch(Connection& connection, FetchHost& host, const std::string& address, char* buffer, std::size_t size)
      : net_(connection), host_(host), address_(address), buffer_(buffer), size_(size) {
    row_.status = t::kChecking;  // as the walk has shown it
  }
  void run();

 private:
  // whole: the body is to be read; held: the part is the whole file already.
  enum class Attempt { whole, held, failed, final };

  void show(const char* status) {
    row_.status = status;
    host_.show(row_);
  }
  // Ends the row with a final status.
  void end(const char* status) {
    row_.loading = false;
    show(status);
  }
  Connection::Opened open();
  Attempt take_head(const Head& head);
  Attempt take_resumed(const Head& head);
  void learn_length(std::uint64_t length) {
    length_ = length;
    row_.size = static_cast<std::int64_t>(length);
  }
  Attempt read_body();

  Connection& net_;
  FetchHost& host_;
  const std::string& address_;
  char* const buffer_;
  const std::size_t size_;

  RowState row_;
  std::unique_ptr<PartFile> part_;
  std::string name_;                      // the name the file is to get
  std::optional<std::uint64_t> length_;   // the whole file's, once an answer told it
  std::string validator_;                 // of the answer that began the part
  std::uint64_t held_ = 0;                // bytes in the part
  int redirects_ = 0;
  Head head_;                             // of the answer opened last
  const char* final_ = nullptr;           // the final status of a fetch that ends early
};

// Opens the address and follows its redirects, each one a request; the
// head is then the last answer's. Past the redirects allowed the fetch ends
// "Недоступен" (final_ set, answered as stopped).
Connection::Opened Fetch::open() {
  std::string address = address_;
  for (;;) {
    const Connection::Opened opened = net_.open(address, held_, validator_);
    if (opened != Connection::Opened::ok) return opened;
    head_ = net_.head();
    if (!is_redirect(head_)) return opened;
    net_.close(false);
    if (++redirects_ > kMostRedirects) {
      final_ = t::kUnavailable;
      return Connection::Opened::stopped;
    }
    address = redirect_target(address, head_.location);
  }
}

// The answer to a request for the bytes past those held. Only the rest of
// the very version they came from is read on: a 206 from the bytes held
// that names the first answer's validator. A 416 says there is nothing
// past them: the file is whole when the server's size is theirs. Any other
// 206 or 416 starts the file over on the next attempt, and a 200 at once.
Fetch::Attempt Fetch::take_resumed(const Head& head) {
  const std::optional<ContentRange> range = content_range(head.content_range.value_or(""));
  if (head.status == 416) {
    if (range && range->whole == held_ && (!length_ || length_ == held_)) return Attempt::held;
  } else if (head.status == 206) {
    if (range && range->first == held_ && head.validator == validator_ && (!range->whole || range->whole > held_) &&
        (!length_ || !range->whole || range->whole == length_)) {
      const std::optional<std::int64_t> rest = announced_length(head.content_length.value_or(""));
      if (!length_ && range->whole) learn_length(*range->whole);
      if (!length_ && rest && *rest > 0) learn_length(held_ + static_cast<std::uint64_t>(*rest));
      return Attempt::whole;
    }
  } else {
    return take_head(head);
  }
  held_ = 0;
  return Attempt::failed;
}

// Whether the response can be read on: a 2xx begins the file, or begins it
// over. What refuses a first response ends the fetch; a later one only
// ends its attempt.
Fetch::Attempt Fetch::take_head(const Head& head) {
  const bool success = !head.status || (*head.status >= 200 && *head.status <= 299);
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
  // The file begins (again) here: its length and validator are this
  // answer's. A length of 0 is no length: the body is what comes up to its
  // end, unless a resumed answer tells the whole.
  held_ = 0;
  validator_ = head.validator;
  length_.reset();
  if (*length > 0) learn_length(static_cast<std::uint64_t>(*length));
  row_.size = length_ ? static_cast<std::int64_t>(*length_) : 0;
  row_.received = 0;
  show(length_ ? t::kLoading : t::kNoSize);
  return Attempt::whole;
}

// Reads on into the part until the whole length or the end of the data.
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
        // With a length known, the body ends only after it when it was cut
        // short: reaching the length ends the reading below.
        net_.close(true);
        return length_ ? Attempt::failed : Attempt::whole;
      case Connection::Got::data:
        break;
    }
    // Bytes past the length are not the file's.
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
    // Only a validator makes sure that the rest is of the same version:
    // without one, the file starts over.
    if (validator_.empty()) held_ = 0;
    const Connection::Opened opened = open();
    if (opened == Connection::Opened::stopped) {
      if (final_) end(final_);
      return;
    }
    if (opened != Connection::Opened::ok) {
      // An address that cannot be opened at all is said at once; one that
      // stalls, or fails after it was opened, is tried again.
      const bool refusal = opened != Connection::Opened::stalled;
      if (refusal) refused = opened;
      if (refusal && attempt == 0) break;
      continue;
    }
    opened_once = true;
    Attempt done = held_ > 0 ? take_resumed(head_) : take_head(head_);
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
    row_.size = static_cast<std::int64_t>(held_);
    row_.received = held_;
    host_.put_in_place(std::move(part_), name_, address_, row_);
    return;
  }
  if (opened_once) return end(t::kUnreadable);
  // An address that did not open: the row ends, and the box says why.
  end(t::kUnavailable);
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
