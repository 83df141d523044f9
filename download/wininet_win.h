// WinINet behind the fetch's connection: one asynchronous session for the
// walk, and for each fetch thread a connection whose every wait has a
// deadline of the program's own (WinINet's timeouts are not honoured
// everywhere) and ends at once when the walk is stopped.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "download/fetch.h"

class InternetSession {
 public:
  // Opens the session; when WinINet cannot be had, every connection's open
  // answers no_internet.
  InternetSession();
  InternetSession(const InternetSession&) = delete;
  InternetSession& operator=(const InternetSession&) = delete;
  ~InternetSession();

  // A connection for one fetch thread: it waits at most `stall_ms` for any
  // step of a response, and not at all once `stop` is set.
  std::unique_ptr<Connection> connection(HANDLE stop, DWORD stall_ms);

 private:
  HINTERNET session_ = nullptr;
};
