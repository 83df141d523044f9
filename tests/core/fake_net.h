// A scripted response and a recording host: the fetch without a network or a window.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "download/fetch.h"

// What the server does, built by name: Response().length("50000").body(50000).positionable(). Unless told
// otherwise: status 200, no Content-Length (its query fails), 8192 bytes available, an empty body that
// cannot be positioned, every read as large as asked.
struct Response : Connection {
  Response& length(const std::string& text) { length_text = text; return *this; }
  Response& body(std::size_t size) {  // bytes unlike their neighbours: a misplaced or lost byte shows
    for (std::uint32_t x = 12345; bytes.size() < size; x = x * 1103515245u + 12345u) bytes += char(x >> 24);
    return *this;
  }
  Response& positionable() { can_position = true; return *this; }
  Response& then_positioned_at(std::int64_t answer) { later_position = answer; return *this; }
  Response& reads_at_most(std::uint32_t count) { most_per_read = count; return *this; }
  Response& fails_at(std::size_t offset) { failure_at = offset; return *this; }
  Response& status(std::optional<int> code) { http_status = code; return *this; }
  Response& available(std::optional<std::uint32_t> count) { bytes_available = count; return *this; }
  Response& opens(Opened how) { opened = how; return *this; }

  Opened open(const std::string&) override { is_open = opened == Opened::ok; return opened; }
  std::optional<int> status_code() override { return http_status; }
  std::optional<std::string> content_length() override { return length_text; }
  std::optional<std::uint32_t> data_available() override { return bytes_available; }
  std::int64_t set_position(std::uint32_t offset) override {
    if (!can_position) return -1;
    if (positioned++ && later_position) return *later_position;
    at = std::min<std::size_t>(offset, bytes.size());
    return offset;
  }
  Read read(char* buffer, std::uint32_t wanted) override {
    if (at >= failure_at) return {false, 0};
    const std::size_t count = std::min<std::size_t>({wanted, std::min(bytes.size(), failure_at) - at, most_per_read});
    std::memcpy(buffer, bytes.data() + at, count);
    at += count;
    return {true, static_cast<std::uint32_t>(count)};
  }
  void close() override { is_open = false; }

  std::optional<std::string> length_text;
  std::string bytes;
  bool can_position = false, is_open = false;
  std::optional<std::int64_t> later_position;  // the answer to every positioning after the first
  std::uint32_t most_per_read = ~0u;
  std::size_t failure_at = ~std::size_t{0}, at = 0;  // reads from failure_at on fail
  std::optional<int> http_status = 200;
  std::optional<std::uint32_t> bytes_available = 8192;
  Opened opened = Opened::ok;
  int positioned = 0;
};

// Keeps the row at each show ("size:status;"), the waits ("wait 300;"), the boxes ("caption|message") and files.
struct RecordingHost : FetchHost {
  explicit RecordingHost(const DownloadState& state) : state(state) {}
  void show() override { shown += std::to_string(state.size) + ":" + state.status + ";"; }
  void drain_and_wait() override { shown += "wait "; }
  void pause(unsigned milliseconds) override { shown += std::to_string(milliseconds) + ";"; }
  void info_box(const std::string& message, const std::string& caption) override { shown += caption + "|" + message; }
  bool write_file(const std::string& path, const char* bytes, std::size_t count) override {
    if (write_ok) files[path].assign(bytes, count);
    return write_ok;
  }
  const DownloadState& state;
  bool write_ok = true;
  std::string shown;
  std::map<std::string, std::string> files;
};
