// Asynchronous WinINet: each step of a response (open, every read) either
// ends at once or is waited for, and the wait ends when WinINet completes
// the step, when the stall time passes without it, or when the walk stops.
// A response given up is closed: under Wine that ends a pending step at
// once, while a response with unread data is drained first, which may take
// long; such a close runs on a thread of the system's pool.
#include "download/wininet_win.h"

#include <wininet.h>

#include <string>

#include "desktop/lazy_win.h"
#include "download/walk.h"

namespace {

constexpr char kAgent[] = "Microsoft Internet Explorer";
constexpr DWORD kHeaderBuffer = 512;
// Per server, well above the fetches at once: a response given up may still
// hold its connection while it is drained.
constexpr DWORD kConnectionsPerServer = 2 * kMostFetches;

// WinINet's entry points, looked up when the walk starts.
struct WinInet {
  template <typename Function>
  static Function* entry(const char* name) {
    return dll_function<Function>("wininet.dll", name);
  }
  decltype(InternetOpenA)* open = entry<decltype(InternetOpenA)>("InternetOpenA");
  decltype(InternetSetOptionA)* set_option = entry<decltype(InternetSetOptionA)>("InternetSetOptionA");
  decltype(InternetSetStatusCallbackA)* set_callback =
      entry<decltype(InternetSetStatusCallbackA)>("InternetSetStatusCallbackA");
  decltype(InternetOpenUrlA)* open_url = entry<decltype(InternetOpenUrlA)>("InternetOpenUrlA");
  decltype(HttpQueryInfoA)* query_info = entry<decltype(HttpQueryInfoA)>("HttpQueryInfoA");
  decltype(InternetReadFileExA)* read = entry<decltype(InternetReadFileExA)>("InternetReadFileExA");
  decltype(InternetCloseHandle)* close = entry<decltype(InternetCloseHandle)>("InternetCloseHandle");

  bool whole() const { return open && set_option && set_callback && open_url && query_info && read && close; }
};

const WinInet& wininet() {
  static const WinInet api;
  return api;
}

// What WinINet's calls back for one response. WinINet may still call back
// after the program has closed the response (it finishes its own work on
// its threads) and does not say when it is done, so a record, a few dozen
// bytes for each response opened, lasts as long as the process. The event
// it signals is its fetch thread's, which lasts as long too.
struct Request {
  HANDLE wake;
  volatile LONG completed = 0;
  DWORD_PTR result = 0;
  DWORD error = 0;
  HINTERNET volatile created = nullptr;
  INTERNET_BUFFERSA buffers = {};
};

void CALLBACK on_status(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD) {
  auto* const request = reinterpret_cast<Request*>(context);
  if (!request || !information) return;
  const auto* const answer = static_cast<const INTERNET_ASYNC_RESULT*>(information);
  if (status == INTERNET_STATUS_HANDLE_CREATED) {
    request->created = reinterpret_cast<HINTERNET>(answer->dwResult);
  } else if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
    request->result = answer->dwResult;
    request->error = answer->dwError;
    InterlockedExchange(&request->completed, 1);
    SetEvent(request->wake);
  }
}

DWORD WINAPI close_response(void* response) {
  wininet().close(static_cast<HINTERNET>(response));
  return 0;
}

class WinInetConnection final : public Connection {
 public:
  WinInetConnection(HINTERNET session, HANDLE stop, DWORD stall_ms)
      : session_(session), stop_(stop), stall_ms_(stall_ms), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~WinInetConnection() override { close(false); }

  Opened open(const std::string& address, std::uint64_t from, const std::string& validator) override;
  Head head() override;
  Read read(char* buffer, std::size_t size) override;
  void close(bool whole) override;

 private:
  enum class Waited { done, stalled, stopped };
  // Waits for the pending step of the current request.
  Waited wait();
  std::optional<std::string> header(DWORD level);

  HINTERNET session_;
  HANDLE stop_;
  DWORD stall_ms_;
  HANDLE wake_;  // signalled by WinINet's calls back; never closed, see Request
  Request* request_ = nullptr;
  HINTERNET response_ = nullptr;
};

WinInetConnection::Waited WinInetConnection::wait() {
  const HANDLE events[] = {stop_, wake_};
  const DWORD began = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return Waited::stopped;
    if (InterlockedCompareExchange(&request_->completed, 0, 0) != 0) return Waited::done;
    const DWORD waited = GetTickCount() - began;
    if (waited >= stall_ms_) return Waited::stalled;
    WaitForMultipleObjects(2, events, FALSE, stall_ms_ - waited);
  }
}

Connection::Opened WinInetConnection::open(const std::string& address, std::uint64_t from,
                                           const std::string& validator) {
  close(false);
  if (!session_) return Opened::no_internet;
  if (!wake_) return Opened::no_address;
  request_ = new Request{wake_};  // lasts as long as the process, see Request
  std::string headers;
  if (from > 0) {
    headers = "Range: bytes=" + std::to_string(from) + "-\r\n";
    if (!validator.empty()) headers += "If-Range: " + validator + "\r\n";
  }
  // Redirects come back to the fetch, which counts them: WinINet's own
  // following has no limit under Wine.
  const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT |
                      (from > 0 ? INTERNET_FLAG_RELOAD : 0);
  response_ = wininet().open_url(session_, address.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                 static_cast<DWORD>(headers.size()), flags, reinterpret_cast<DWORD_PTR>(request_));
  if (response_) return Opened::ok;
  if (GetLastError() != ERROR_IO_PENDING) return Opened::no_address;
  switch (wait()) {
    case Waited::done:
      response_ = reinterpret_cast<HINTERNET>(request_->result);
      return response_ ? Opened::ok : Opened::no_address;
    case Waited::stalled:
    case Waited::stopped:
      // Closing the response that WinINet has made ends its pending open.
      if (const HINTERNET created = request_->created) wininet().close(created);
      return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0 ? Opened::stopped : Opened::stalled;
  }
  return Opened::no_address;
}

std::optional<std::string> WinInetConnection::header(DWORD level) {
  // A header longer than the usual buffer is read whole.
  std::string text(kHeaderBuffer, '\0');
  DWORD size = kHeaderBuffer;
  BOOL ok = wininet().query_info(response_, level, &text[0], &size, nullptr);
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    text.assign(size + 1, '\0');
    size = static_cast<DWORD>(text.size());
    ok = wininet().query_info(response_, level, &text[0], &size, nullptr);
  }
  if (!ok) return std::nullopt;
  if (size < text.size()) text.resize(size);
  return text.substr(0, text.find('\0'));
}

Head WinInetConnection::head() {
  Head head;
  DWORD code = 0;
  DWORD size = sizeof code;
  if (wininet().query_info(response_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
    head.status = static_cast<int>(code);  // none: not an HTTP response
  }
  head.content_length = header(HTTP_QUERY_CONTENT_LENGTH);
  head.content_range = header(HTTP_QUERY_CONTENT_RANGE);
  head.disposition = header(HTTP_QUERY_CONTENT_DISPOSITION).value_or("");
  head.content_type = header(HTTP_QUERY_CONTENT_TYPE).value_or("");
  head.location = header(HTTP_QUERY_LOCATION).value_or("");
  // A weak entity tag cannot name the bytes of a resumed request.
  const std::optional<std::string> tag = header(HTTP_QUERY_ETAG);
  head.validator = tag && tag->compare(0, 2, "W/") != 0 ? *tag : header(HTTP_QUERY_LAST_MODIFIED).value_or("");
  return head;
}

Connection::Read WinInetConnection::read(char* buffer, std::size_t size) {
  for (;;) {
    // A read that need not wait gives what has come; one that would wait
    // completes later without data, and the next read takes it.
    INTERNET_BUFFERSA& buffers = request_->buffers;
    buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.lpvBuffer = buffer;
    buffers.dwBufferLength = static_cast<DWORD>(size);
    InterlockedExchange(&request_->completed, 0);
    if (wininet().read(response_, &buffers, IRF_NO_WAIT, reinterpret_cast<DWORD_PTR>(request_))) {
      if (buffers.dwBufferLength == 0) return {Got::end, 0};
      return {Got::data, buffers.dwBufferLength};
    }
    if (GetLastError() != ERROR_IO_PENDING) return {Got::broken, 0};
    switch (wait()) {
      case Waited::done:
        if (!request_->result) return {Got::broken, 0};
        break;
      case Waited::stalled:
        return {Got::broken, 0};
      case Waited::stopped:
        return {Got::stopped, 0};
    }
  }
}

void WinInetConnection::close(bool whole) {
  if (!response_) return;
  // A response read to its end closes at once and leaves its connection to
  // the next request; any other is closed on the pool, so that draining it
  // holds up no fetch.
  if (whole || !QueueUserWorkItem(close_response, response_, WT_EXECUTELONGFUNCTION)) wininet().close(response_);
  response_ = nullptr;
}

}  // namespace

InternetSession::InternetSession() {
  if (!wininet().whole()) return;
  DWORD connections = kConnectionsPerServer;
  wininet().set_option(nullptr, INTERNET_OPTION_MAX_CONNS_PER_SERVER, &connections, sizeof connections);
  wininet().set_option(nullptr, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, &connections, sizeof connections);
  session_ = wininet().open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
  if (session_ && wininet().set_callback(session_, on_status) == INTERNET_INVALID_STATUS_CALLBACK) {
    wininet().close(session_);
    session_ = nullptr;
  }
}

InternetSession::~InternetSession() {
  if (session_) wininet().close(session_);
}

std::unique_ptr<Connection> InternetSession::connection(HANDLE stop, DWORD stall_ms) {
  return std::make_unique<WinInetConnection>(session_, stop, stall_ms);
}
