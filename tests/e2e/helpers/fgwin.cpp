// A window for the re-open test to find in the foreground.
//   fgwin TITLE LOG QUIT_FILE
// Shows a window titled TITLE, brings it to the foreground and writes
// "ready". When asked to close (WM_SYSCOMMAND, SC_CLOSE) it records
// "closed" with its title at that moment and ends; it also ends, recording
// "left" with its title, when QUIT_FILE appears or after 60 seconds.
#include <windows.h>

#include <string>

#include "record.h"

namespace {
std::string g_log;

std::string title_of(HWND window) {
  char title[1024] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
    append_record(g_log, {"closed", title_of(window)});
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 1;
  g_log = argv[2];
  const std::string quit_file = argv[3];
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "TulvexTestForeground";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, window_class.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                300, 200, nullptr, nullptr, window_class.hInstance, nullptr);
  SetForegroundWindow(window);
  SetTimer(window, 1, 50, nullptr);
  append_record(g_log, {"ready", GetForegroundWindow() == window ? "foreground" : "background"});
  const DWORD start = GetTickCount();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER &&
        (GetFileAttributesA(quit_file.c_str()) != INVALID_FILE_ATTRIBUTES || GetTickCount() - start > 60000)) {
      append_record(g_log, {"left", title_of(window)});
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
