// A scripted response and a recording host for driving the fetch without
// a network or a window.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "download/fetch.h"

struct FakeResponse {
  Connection::Opened opened = Connection::Opened::ok;
  std::optional<int> status = 200;
  std::optional<std::string> length;           // Content-Length text; none: the query fails
  std::optional<std::uint32_t> available;      // none: the query fails
  bool positionable = true;
  std::optional<std::int64_t> later_positions;  // the answer to positioning after the first
  std::string body;
  std::uint32_t most_per_read = 0;             // 0: no limit
  std::optional<std::size_t> fails_at;         // a read at this offset fails
};

class FakeConnection : public Connection {
 public:
  explicit FakeConnection(const FakeResponse& response) : r_(response) {}

  Opened open(const std::string&) override {
    is_open = r_.opened == Opened::ok;
    return r_.opened;
  }
  std::optional<int> status_code() override { return r_.status; }
  std::optional<std::string> content_length() override { return r_.length; }
  std::optional<std::uint32_t> data_available() override { return r_.available; }
  std::int64_t set_position(std::uint32_t offset) override {
    if (!r_.positionable) return -1;
    if (positioned_++ && r_.later_positions) return *r_.later_positions;
    position_ = std::min<std::size_t>(offset, r_.body.size());
    return offset;
  }
  Read read(char* buffer, std::uint32_t wanted) override {
    std::size_t end = r_.body.size();
    if (r_.fails_at) {
      if (position_ >= *r_.fails_at) return {false, 0};
      end = std::min(end, *r_.fails_at);
    }
    std::size_t count = std::min<std::size_t>(wanted, end - position_);
    if (r_.most_per_read) count = std::min<std::size_t>(count, r_.most_per_read);
    std::memcpy(buffer, r_.body.data() + position_, count);
    position_ += count;
    return {true, static_cast<std::uint32_t>(count)};
  }
  void close() override { is_open = false; }

  bool is_open = false;

 private:
  const FakeResponse& r_;
  std::size_t position_ = 0;
  int positioned_ = 0;
};

class RecordingHost : public FetchHost {
 public:
  struct Shown {
    std::int32_t size;
    std::string status;
    bool operator==(const Shown& other) const { return size == other.size && status == other.status; }
    friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
      return out << '{' << s.size << ", " << s.status << '}';
    }
  };

  explicit RecordingHost(DownloadState& state) : state_(state) {}

  void refresh() override { ++refreshes; }
  void show() override { shown.push_back({state_.size, state_.status}); }
  void drain_and_wait() override { ++drains; }
  void pause(unsigned milliseconds) override { paused_ms += milliseconds; }
  void info_box(const std::string& message, const std::string& caption) override {
    boxes.push_back({message, caption});
  }
  Written write_file(const std::string& path, const char* bytes, std::size_t count) override {
    if (write_result == Written::ok) files[path].assign(bytes, count);
    if (write_result == Written::write_failed) files[path].clear();  // created, nothing reached it
    return write_result;
  }

  Written write_result = Written::ok;
  std::vector<Shown> shown;
  int refreshes = 0;
  int drains = 0;
  unsigned paused_ms = 0;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::map<std::string, std::string> files;

 private:
  DownloadState& state_;
};
