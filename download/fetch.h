// The single-file fetch: one address read into memory over one connection
// and written to one file in a single write, with its row kept up to date
// through the download state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "download/state.h"

inline constexpr std::int32_t kNormSize = 96000;  // whole-file buffer without a (large) length
inline constexpr std::uint32_t kChunkSize = 2240;  // every positioned read
inline constexpr int kWaitingPasses = 20;          // when the length header is missing
inline constexpr unsigned kPassPauseMs = 300;

// One response, as the fetch sees the network. The Windows build speaks
// WinINet; the tests script it.
class Connection {
 public:
  enum class Opened { ok, no_internet, no_address };
  struct Read {
    bool ok;
    std::uint32_t count;
  };

  virtual ~Connection() = default;
  // Makes the Internet session, then opens the address in it. On failure
  // nothing stays open.
  virtual Opened open(const std::string& address) = 0;
  // The HTTP status of the response; none for other schemes.
  virtual std::optional<int> status_code() = 0;
  // The Content-Length header as text; none when the query fails.
  virtual std::optional<std::string> content_length() = 0;
  // Bytes available now; none when the query fails.
  virtual std::optional<std::uint32_t> data_available() = 0;
  // Positions the response at an offset from its start: the new position,
  // or -1 when the response cannot be positioned.
  virtual std::int64_t set_position(std::uint32_t offset) = 0;
  // One read of at most `wanted` bytes; a count of 0 means the data ended.
  virtual Read read(char* buffer, std::uint32_t wanted) = 0;
  // Closes the response, then the session; nothing happens the second time.
  virtual void close() = 0;
};

// What the fetch asks of the program around it.
class FetchHost {
 public:
  virtual ~FetchHost() = default;
  virtual void show() = 0;            // the row and the title follow the state
  virtual void drain_and_wait() = 0;  // once in each waiting pass
  virtual void pause(unsigned milliseconds) = 0;
  virtual void info_box(const std::string& message, const std::string& caption) = 0;
  // Puts the bytes into the file (replacing one of the same name); false
  // when they could not all be written.
  virtual bool write_file(const std::string& path, const char* bytes, std::size_t count) = 0;
};

// An announced length: the Content-Length text read as a decimal number
// (leading white space, an optional sign, digits up to the first non-digit;
// no digits gives 0). Any value above 2147483647, or below 0, however many
// digits it has, is too large: none.
std::optional<std::int32_t> announced_length(std::string_view header);

// Fetches the address into the file at `path` ("Tulvex_files\" + name),
// whatever the name: one that Windows cannot create fails as a write.
// Returns 1 when the file was written (and counted in files saved), else 0.
int fetch(Connection& connection, FetchHost& host, DownloadState& state, const std::string& address,
          const std::string& path);
