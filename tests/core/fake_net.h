// A scripted response and a recording host: the fetch without a network or
// a window.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "download/fetch.h"

struct FakeResponse {
  std::optional<std::string> length = std::nullopt;  // Content-Length text; none: the query fails
  std::size_t body_size = 0;
  bool positionable = true;
  std::uint32_t most_per_read = 0;                     // 0: no limit
  std::optional<std::size_t> fails_at = std::nullopt;  // a read at this offset fails
  std::optional<int> status = 200;
  std::optional<std::int64_t> later_positions = std::nullopt;  // answer to positioning after the first
  std::optional<std::uint32_t> available = 8192;
  Connection::Opened opened = Connection::Opened::ok;
};

// Bytes unlike their neighbours, so a misplaced chunk or a lost byte shows.
inline std::string body_of(std::size_t size) {
  std::string body(size, '\0');
  std::uint32_t x = 12345;
  for (char& c : body) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  return body;
}

class FakeConnection : public Connection {
 public:
  FakeConnection(const FakeResponse& response, const std::string& body) : r_(response), body_(body) {}

  Opened open(const std::string&) override { return (is_open = r_.opened == Opened::ok), r_.opened; }
  std::optional<int> status_code() override { return r_.status; }
  std::optional<std::string> content_length() override { return r_.length; }
  std::optional<std::uint32_t> data_available() override { return r_.available; }
  std::int64_t set_position(std::uint32_t offset) override {
    if (!r_.positionable) return -1;
    if (positioned_++ && r_.later_positions) return *r_.later_positions;
    position_ = std::min<std::size_t>(offset, body_.size());
    return offset;
  }
  Read read(char* buffer, std::uint32_t wanted) override {
    const std::size_t end = std::min(body_.size(), r_.fails_at.value_or(body_.size()));
    if (r_.fails_at && position_ >= end) return {false, 0};
    std::size_t count = std::min<std::size_t>(wanted, end - position_);
    if (r_.most_per_read) count = std::min<std::size_t>(count, r_.most_per_read);
    std::memcpy(buffer, body_.data() + position_, count);
    position_ += count;
    return {true, static_cast<std::uint32_t>(count)};
  }
  void close() override { is_open = false; }

  bool is_open = false;

 private:
  const FakeResponse& r_;
  const std::string& body_;
  std::size_t position_ = 0;
  int positioned_ = 0;
};

class RecordingHost : public FetchHost {
 public:
  explicit RecordingHost(DownloadState& state) : state_(state) {}

  void refresh() override {}
  void show() override { shown.push_back(std::to_string(state_.size) + ":" + state_.status); }
  void drain_and_wait() override { ++drains; }
  void pause(unsigned milliseconds) override { paused_ms += milliseconds; }
  void info_box(const std::string& message, const std::string& caption) override { boxes.push_back(caption + "|" + message); }
  bool write_file(const std::string& path, const char* bytes, std::size_t count) override {
    if (write_ok) files[path].assign(bytes, count);
    return write_ok;
  }

  bool write_ok = true;
  std::vector<std::string> shown;  // "size:status" at each show()
  int drains = 0;
  unsigned paused_ms = 0;
  std::vector<std::string> boxes;             // "caption|message"
  std::map<std::string, std::string> files;

 private:
  DownloadState& state_;
};
