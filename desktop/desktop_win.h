// The desktop routines that every mode shares.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// A kernel handle (an event, a thread), closed with the scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (handle_) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Shows a message box (information icon, OK) and returns when the user has
// dismissed it. A caption that is empty or starts with a blank shows the
// default caption; " " asks for it.
void info_box(const std::string& message, const std::string& caption = " ");

// Opens a file with the runtime's streams; on failure says "cannot open the
// file" with the file's name as caption and ends the process with code 0.
FILE* open_or_quit(const std::string& path, const char* mode);

// Asks the foreground window to close when it is of this window class, and
// waits for it to handle the request for a second at most, so that a window
// that does not answer never holds the program (and its single-instance
// mutex) up. A foreground window of another class, or none, is left alone.
void close_foreground_window(const char* window_class);
