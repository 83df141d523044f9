// WinINet behind the fetch's connection: one Internet session and one
// response per fetch, both closed on every path.
#include "download/wininet_win.h"

#include <windows.h>
#include <wininet.h>

#include <string>

#include "desktop/lazy_win.h"

namespace {

constexpr char kAgent[] = "Microsoft Internet Explorer";
constexpr DWORD kHeaderBuffer = 512;

// WinINet's entry points, looked up when the walk makes its first connection.
struct WinInet {
  template <typename Function>
  static Function* entry(const char* name) {
    return dll_function<Function>("wininet.dll", name);
  }
  decltype(InternetOpenA)* open = entry<decltype(InternetOpenA)>("InternetOpenA");
  decltype(InternetOpenUrlA)* open_url = entry<decltype(InternetOpenUrlA)>("InternetOpenUrlA");
  decltype(HttpQueryInfoA)* query_info = entry<decltype(HttpQueryInfoA)>("HttpQueryInfoA");
  decltype(InternetQueryDataAvailable)* data_available =
      entry<decltype(InternetQueryDataAvailable)>("InternetQueryDataAvailable");
  decltype(InternetSetFilePointer)* set_file_pointer = entry<decltype(InternetSetFilePointer)>("InternetSetFilePointer");
  decltype(InternetReadFile)* read_file = entry<decltype(InternetReadFile)>("InternetReadFile");
  decltype(InternetCloseHandle)* close_handle = entry<decltype(InternetCloseHandle)>("InternetCloseHandle");

  bool whole() const {
    return open && open_url && query_info && data_available && set_file_pointer && read_file && close_handle;
  }
};

const WinInet& wininet() {
  static const WinInet api;
  return api;
}

// Owns one WinINet handle and closes it exactly once.
class InternetHandle {
 public:
  InternetHandle() = default;
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { reset(); }

  void reset(HINTERNET handle = nullptr) {
    if (handle_) wininet().close_handle(handle_);
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

Connection::Opened WinInetConnection::open(const std::string& address) {
  close();
  if (!wininet().whole()) return Opened::no_internet;
  internet_.reset(wininet().open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!internet_.get()) return Opened::no_internet;
  url_.reset(wininet().open_url(internet_.get(), address.c_str(), nullptr, 0, 0, 0));
  if (!url_.get()) {
    internet_.reset();
    return Opened::no_address;
  }
  return Opened::ok;
}

std::optional<int> WinInetConnection::status_code() {
  DWORD code = 0;
  DWORD size = sizeof code;
  if (!wininet().query_info(url_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
    return std::nullopt;  // not an HTTP response
  }
  return static_cast<int>(code);
}

std::optional<std::string> WinInetConnection::content_length() {
  // A header longer than the usual buffer is read whole, so that a long
  // digit string is never taken for a missing length.
  std::string text(kHeaderBuffer, '\0');
  DWORD size = kHeaderBuffer;
  BOOL ok = wininet().query_info(url_.get(), HTTP_QUERY_CONTENT_LENGTH, &text[0], &size, nullptr);
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    text.assign(size + 1, '\0');
    size = static_cast<DWORD>(text.size());
    ok = wininet().query_info(url_.get(), HTTP_QUERY_CONTENT_LENGTH, &text[0], &size, nullptr);
  }
  if (!ok) return std::nullopt;
  if (size < text.size()) text.resize(size);
  return text.substr(0, text.find('\0'));
}

std::optional<std::uint32_t> WinInetConnection::data_available() {
  DWORD available = 0;
  if (!wininet().data_available(url_.get(), &available, 0, 0)) return std::nullopt;
  return available;
}

std::int64_t WinInetConnection::set_position(std::uint32_t offset) {
  const DWORD position = wininet().set_file_pointer(url_.get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN, 0);
  return position == INVALID_SET_FILE_POINTER ? -1 : static_cast<std::int64_t>(position);
}

Connection::Read WinInetConnection::read(char* buffer, std::uint32_t wanted) {
  DWORD count = 0;
  const BOOL ok = wininet().read_file(url_.get(), buffer, wanted, &count);
  return {ok != FALSE, count};
}

void WinInetConnection::close() {
  url_.reset();
  internet_.reset();
}

}  // namespace

std::unique_ptr<Connection> make_connection() { return std::make_unique<WinInetConnection>(); }
