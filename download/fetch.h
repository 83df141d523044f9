// The single-file fetch: one address streamed into a temporary file over at
// most three attempts (a stalled or broken one is resumed from the bytes
// held, or started over), then put in place under the name the server or
// the address gives it; the row follows every step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Attempts after the first one that stalled or broke off.
inline constexpr int kMoreAttempts = 2;
// Redirects a fetch follows, each one a request of its own.
inline constexpr int kMostRedirects = 10;

// What a response says before its body.
struct Head {
  std::optional<int> status;                  // HTTP status; none for other schemes
  std::optional<std::string> content_length;  // header text; none when missing
  std::optional<std::string> content_range;   // of a 206
  std::string disposition;                    // Content-Disposition
  std::string content_type;
  std::string validator;  // strong ETag or Last-Modified: what a resumed request names in If-Range
  std::string location;   // where a redirect leads
};

// One attempt's response, as the fetch sees the network. The Windows build
// speaks WinINet, with a deadline of its own for every wait; the tests
// script it.
class Connection {
 public:
  enum class Opened { ok, no_internet, no_address, stalled, stopped };
  // broken: the connection failed, or no byte came for the stall time.
  enum class Got { data, end, broken, stopped };
  struct Read {
    Got got;
    std::size_t count;
  };

  virtual ~Connection() = default;
  // Opens the address without following a redirect; with `from` above 0
  // asks for its bytes from there on, unless the resource is no longer the
  // one `validator` names.
  virtual Opened open(const std::string& address, std::uint64_t from, const std::string& validator) = 0;
  virtual Head head() = 0;
  // Up to `size` bytes of the body; a count of 0 only with `end`.
  virtual Read read(char* buffer, std::size_t size) = 0;
  // Ends the response; `whole`: its body was read to the end.
  virtual void close(bool whole) = 0;
};

// The file a fetch writes before it has its whole body: removed when it
// goes, unless it was put in place.
class PartFile {
 public:
  virtual ~PartFile() = default;
  virtual bool write(const char* bytes, std::size_t count) = 0;
  virtual bool truncate() = 0;  // for a fetch that starts over
};

// What one row shows, and how far its fetch has come.
struct RowState {
  std::int64_t size = 0;       // size column
  std::string status;          // status column
  std::uint64_t received = 0;  // bytes of the body so far
  bool loading = true;         // false once the fetch has ended
};

// What the fetch asks of the walk around it. Called from the fetch's own
// thread; the walk makes that safe.
class FetchHost {
 public:
  virtual ~FetchHost() = default;
  virtual void show(const RowState& row) = 0;
  virtual void info_box(const std::string& message, const std::string& caption) = 0;
  virtual std::unique_ptr<PartFile> make_part() = 0;  // none when it cannot be made
  virtual std::size_t name_room() = 0;                // longest name the folder takes
  // Takes the whole part, makes it safe on disk and puts it in place, at
  // once or while the next fetch goes on: under `name`, or under the name
  // the walk gives it instead when `name` is taken. Then shows the row as
  // placed_row() ends it, and counts the file saved when it was placed.
  virtual void put_in_place(std::unique_ptr<PartFile> part, const std::string& name, const std::string& address,
                            const RowState& row) = 0;
};

// A fetch's last row once its part has been put in place ("Загружен"), or
// could not be ("Ош. записи").
RowState placed_row(RowState row, bool placed);

// An announced length: the Content-Length text read as a decimal number
// (leading white space, an optional sign, digits up to the first non-digit;
// no digits give 0). A negative value, or one beyond 10^17, is no number of
// bytes: none.
std::optional<std::int64_t> announced_length(std::string_view header);

// The address a redirect's Location leads to from `address`: whole, or
// taken relative to the address (scheme, host, path).
std::string redirect_target(std::string_view address, std::string_view location);

// Fetches the address into the download folder, reading through `buffer`:
// the row ends with a final status, or, when the body came whole, the part
// goes to the host to be put in place.
void fetch(Connection& connection, FetchHost& host, const std::string& address, char* buffer, std::size_t size);
