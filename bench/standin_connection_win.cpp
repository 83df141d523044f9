// Benchmark stand-in for the fetch's connection: a response that can be
// positioned, of N bytes served from memory, N read from an address of the
// form "http://standin/<N>/<name>". Linked in place of wininet_win.cpp so
// that the chunked path runs through the real window without a network.
// Where TULVEX_READING_TIMES names a file, each response appends to it the
// microseconds from its opening to its closing: the reading alone, without
// start-up, window set-up or the write.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "download/wininet_win.h"

namespace {

// The body repeats a pattern whose length is prime, so a chunk kept at the
// wrong offset shows when the file is compared. The benchmark script makes
// the same bytes.
constexpr std::uint32_t kPatternLength = 65521;

const std::vector<char>& pattern() {
  static const std::vector<char> bytes = [] {
    std::vector<char> made(kPatternLength);
    std::uint32_t x = 1;
    for (char& byte : made) {
      x = x * 1103515245u + 12345u;
      byte = static_cast<char>(x >> 24);
    }
    return made;
  }();
  return bytes;
}

class StandInConnection final : public Connection {
 public:
  Opened open(const std::string& address) override {
    const std::size_t host = address.find("//");
    if (host == std::string::npos) return Opened::no_address;
    const std::size_t slash = address.find('/', host + 2);
    if (slash == std::string::npos) return Opened::no_address;
    size_ = static_cast<std::uint32_t>(std::strtoul(address.c_str() + slash + 1, nullptr, 10));
    position_ = 0;
    QueryPerformanceCounter(&opened_);
    return Opened::ok;
  }
  std::optional<int> status_code() override { return 200; }
  std::optional<std::string> content_length() override { return std::to_string(size_); }
  std::optional<std::uint32_t> data_available() override { return size_ - position_; }
  std::int64_t set_position(std::uint32_t offset) override {
    position_ = offset < size_ ? offset : size_;
    return position_;
  }
  Read read(char* buffer, std::uint32_t wanted) override {
    const std::vector<char>& bytes = pattern();
    std::uint32_t count = size_ - position_ < wanted ? size_ - position_ : wanted;
    for (std::uint32_t done = 0; done < count;) {
      const std::uint32_t at = (position_ + done) % kPatternLength;
      const std::uint32_t piece = count - done < kPatternLength - at ? count - done : kPatternLength - at;
      std::memcpy(buffer + done, bytes.data() + at, piece);
      done += piece;
    }
    position_ += count;
    return {true, count};
  }
  void close() override {
    if (opened_.QuadPart == 0) return;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("TULVEX_READING_TIMES", path, MAX_PATH);
    if (length != 0 && length < MAX_PATH) {
      if (std::FILE* times = std::fopen(path, "a")) {
        std::fprintf(times, "%lld\n", (now.QuadPart - opened_.QuadPart) * 1000000 / frequency.QuadPart);
        std::fclose(times);
      }
    }
    opened_.QuadPart = 0;
  }

 private:
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
  LARGE_INTEGER opened_{};
};

}  // namespace

std::unique_ptr<Connection> make_connection() { return std::make_unique<StandInConnection>(); }
