// Information box, open-or-quit and closing a window by title.
#include "desktop/desktop_win.h"

#include <windows.h>

#include <cstdlib>

#include "desktop/desktop.h"
#include "desktop/texts.h"

void info_box(const std::string& message, const std::string& caption) {
  MessageBoxA(nullptr, box_message(message).c_str(), box_caption(caption).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

FILE* open_or_quit(const std::string& path, const char* mode) {
  if (FILE* stream = std::fopen(path.c_str(), mode)) return stream;
  info_box(desktop_texts::kCannotOpenFile, open_failure_caption(path));
  std::exit(0);  // the system releases the mutex with the process
}

void close_window_by_title(const char* title) {
  if (HWND window = FindWindowA(nullptr, title)) SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

