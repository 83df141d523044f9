// WinMain: single-instance guard, hidden main window, capture of the
// start-up inputs, dispatch to one mode routine with what it uses.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "desktop/desktop.h"
#include "desktop/desktop_win.h"
#include "desktop/encoding.h"
#include "desktop/lazy_win.h"
#include "desktop/registry_win.h"
#include "download/walker_win.h"
#include "launcher/clipboard_win.h"
#include "launcher/launcher.h"
#include "launcher/texts.h"
#include "pages/pages_win.h"

namespace {

// What start-up captures once; the modes get the parts they use.
struct StartupInputs {
  HINSTANCE instance;
  HWND main_window;
  EncodedText clipboard_text;  // empty when there was none; Windows-1251 outside the page modes
  std::string command_line;    // GetCommandLineA, whole
  std::string install_folder;  // Tulvex_dir, at most 511 characters
};

// The single-instance mutex, owned from creation until the process ends.
class SingleInstance {
 public:
  // Creating the mutex and testing for its existence is one step, so two
  // copies started together cannot both go on.
  SingleInstance() : handle_(CreateMutexA(nullptr, TRUE, kMutexName)) {
    first_ = handle_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
  }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  ~SingleInstance() {
    if (first_) ReleaseMutex(handle_);
    if (handle_) CloseHandle(handle_);
  }
  bool first() const { return first_; }
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_;
  bool first_ = false;
};

// For the window procedure alone, which ends the process from inside a
// message and so never reaches the owner's destructor.
HANDLE g_quit_mutex = nullptr;

LRESULT CALLBACK main_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      // Closing the window ends the program at once, whatever it is doing.
      ReleaseMutex(g_quit_mutex);
      std::exit(0);
    case WM_TIMER:
      UpdateWindow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

// Tulvex_dir under HKEY_USERS\.DEFAULT\Software\MorvaleSoft, read with read
// access only.
std::optional<std::string> find_install_folder() {
  const std::optional<std::string> value = registry_value(HKEY_USERS, kRegistryKey, kRegistryValue);
  return value ? install_folder_from_value(*value) : std::nullopt;
}

void open_help(const std::string& install_folder) {
  const std::string path = install_folder + kHelpPage;
  if (const auto shell_execute = dll_function<decltype(ShellExecuteA)>("shell32.dll", "ShellExecuteA")) {
    shell_execute(nullptr, "Open", path.c_str(), "", "", SW_SHOWNORMAL);
  }
}

void run_mode(Mode mode, const StartupInputs& in) {
  switch (mode) {
    case Mode::save_all_links:
      save_all_links(in.instance, in.main_window, in.clipboard_text.bytes);
      break;
    case Mode::reopen:
      reopen_in_browser(in.clipboard_text.bytes);
      break;
    case Mode::media:
      media_page_writer(in.install_folder, in.clipboard_text);
      break;
    case Mode::readable_text:
      readable_text_formatter(in.install_folder, in.clipboard_text);
      break;
    case Mode::source:
      source_page_writer(in.install_folder, in.clipboard_text);
      break;
    case Mode::links:
      links_page_writer(in.install_folder, in.clipboard_text);
      break;
    case Mode::help:
      open_help(in.install_folder);
      break;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const SingleInstance mutex;
  if (!mutex.first()) return 0;
  g_quit_mutex = mutex.handle();

  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = main_window_procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, "TULVEX");
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kWindowClass;
  if (!RegisterClassA(&window_class)) return 0;

  // The main window lives as long as the process: destroying it is the
  // user's way to end the program (WM_DESTROY above).
  const HWND main_window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, 100, 100, 630, 200,
                                           nullptr, nullptr, instance, nullptr);
  if (main_window == nullptr) {
    info_box(launcher_texts::kNoWindow);
    return 0;
  }
  ShowWindow(main_window, SW_HIDE);
  UpdateWindow(main_window);

  const std::string command_line = GetCommandLineA();
  const Mode mode = mode_for(command_line);
  // The help uses no clipboard text, nor waits for a clipboard that another
  // program holds.
  ClipboardCapture clipboard =
      mode == Mode::help ? ClipboardCapture{} : capture_clipboard_text(keeps_every_character(mode));
  const std::optional<std::string> folder = find_install_folder();
  if (const std::optional<StartupBox> box = startup_box(folder.has_value(), clipboard.read)) {
    info_box(box->message, box->caption);
    return 0;
  }
  try {
    const StartupInputs inputs{instance, main_window, std::move(clipboard.text), command_line, *folder};
    run_mode(mode, inputs);
  } catch (const std::bad_alloc&) {
    // Whatever a mode had begun to write is gone by now: nothing half
    // written reaches the browser.
    info_box(launcher_texts::kTextTooLarge);
  }
  return 0;
}
