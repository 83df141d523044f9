// WinMain: single-instance guard, hidden main window, capture of the
// clipboard text and the install folder, dispatch to one mode routine.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "desktop/desktop_win.h"
#include "download/walker_win.h"
#include "launcher/launcher.h"
#include "desktop/registry_win.h"
#include "launcher/state_win.h"
#include "desktop/desktop.h"
#include "launcher/texts.h"
#include "pages/pages_win.h"

LauncherState g_launcher;

namespace {

LRESULT CALLBACK main_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      // Closing the window ends the program at once, whatever it is doing.
      ReleaseMutex(g_launcher.mutex);
      std::exit(0);
    case WM_TIMER:
      UpdateWindow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

// CF_TEXT as it is at start, or an empty text when the clipboard holds
// none. Another program may hold the clipboard for a moment: retry briefly.
std::string capture_clipboard_text() {
  CloseClipboard();
  bool opened = false;
  for (int attempt = 0; attempt < 20 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(50);
  if (!opened) return {};
  std::string text;
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* block = static_cast<const char*>(GlobalLock(data))) {
        text = text_from_clipboard_block(block, GlobalSize(data));
        GlobalUnlock(data);
      }
    }
  }
  CloseClipboard();
  return text;
}

// Tulvex_dir under HKEY_USERS\.DEFAULT\Software\MorvaleSoft, read with read
// access only.
std::optional<std::string> find_install_folder() {
  const std::optional<std::string> value = registry_value(HKEY_USERS, kRegistryKey, kRegistryValue);
  return value ? install_folder_from_value(*value) : std::nullopt;
}

void release_mutex() {
  ReleaseMutex(g_launcher.mutex);
  CloseHandle(g_launcher.mutex);
}

void open_help(const std::string& install_folder) {
  const std::string path = install_folder + kHelpPage;
  ShellExecuteA(nullptr, "Open", path.c_str(), "", "", SW_SHOWNORMAL);
}

void run_mode(Mode mode) {
  const std::string& folder = g_launcher.install_folder;
  switch (mode) {
    case Mode::save_all_links:
      save_all_links(g_launcher.instance, g_launcher.main_window, g_launcher.clipboard_text);
      break;
    case Mode::reopen:
      reopen_in_browser(folder);
      break;
    case Mode::media:
      media_page_writer(folder);
      break;
    case Mode::readable_text:
      readable_text_formatter(folder);
      break;
    case Mode::source:
      source_page_writer(folder);
      break;
    case Mode::links:
      links_page_writer(folder);
      break;
    case Mode::help:
      open_help(folder);
      break;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_launcher.instance = instance;

  // Creating the mutex and testing for its existence is one step, so two
  // copies started together cannot both go on.
  g_launcher.mutex = CreateMutexA(nullptr, TRUE, kMutexName);
  if (g_launcher.mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
    if (g_launcher.mutex) CloseHandle(g_launcher.mutex);
    return 0;
  }

  InitCommonControls();

  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = main_window_procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, "TULVEX");
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kWindowClass;
  if (!RegisterClassA(&window_class)) {
    release_mutex();
    return 0;
  }

  g_launcher.main_window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, 100, 100, 630,
                                           200, nullptr, nullptr, instance, nullptr);
  if (g_launcher.main_window == nullptr) {
    info_box(launcher_texts::kNoWindow);
    release_mutex();
    return 0;
  }
  ShowWindow(g_launcher.main_window, SW_HIDE);
  UpdateWindow(g_launcher.main_window);

  g_launcher.clipboard_text = capture_clipboard_text();
  g_launcher.command_line = GetCommandLineA();

  std::optional<std::string> folder = find_install_folder();
  if (!folder) {
    info_box(launcher_texts::kNoInstallFolder, launcher_texts::kProgramCaption);
    release_mutex();
    return 0;
  }
  g_launcher.install_folder = *folder;

  const Mode mode = mode_for(g_launcher.command_line);
  run_mode(mode);

  release_mutex();
  return 0;
}
