// Information box, open-or-quit and closing the foreground window.
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

void close_foreground_window(const char* window_class) {
  const HWND window = GetForegroundWindow();
  // Asking for a class name sends the window no message.
  char name[64] = {};
  if (window == nullptr || GetClassNameA(window, name, sizeof name) == 0 || lstrcmpiA(name, window_class) != 0) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 1000, &result);
}

