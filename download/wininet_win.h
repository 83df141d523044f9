// The fetch's connection over WinINet: one Internet session and one
// response per fetch, both closed on every path.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "download/fetch.h"

// Owns one WinINet handle and closes it exactly once.
class InternetHandle {
 public:
  InternetHandle() = default;
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { reset(); }

  void reset(HINTERNET handle = nullptr) {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = handle;
  }
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_ = nullptr;
};

class WinInetConnection final : public Connection {
 public:
  Opened open(const std::string& address) override;
  std::optional<int> status_code() override;
  std::optional<std::string> content_length() override;
  std::optional<std::uint32_t> data_available() override;
  std::int64_t set_position(std::uint32_t offset) override;
  Read read(char* buffer, std::uint32_t wanted) override;
  void close() override;

 private:
  // Declared in this order so that the response closes before the session.
  InternetHandle internet_;
  InternetHandle url_;
};
