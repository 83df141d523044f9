// Page writers and re-open in browser: write the result file, then start
// the browser on it.
#include "pages/pages_win.h"

#include <windows.h>

#include <optional>

#include "desktop/desktop_win.h"
#include "desktop/registry_win.h"
#include "launcher/state_win.h"
#include "pages/texts.h"
#include "pages/page.h"

void open_in_browser(const std::string& path) {
  // WinExec answers 31 or less when it could not start the program.
  if (WinExec(browser_command(path).c_str(), SW_SHOWDEFAULT) > 31) return;
  // Internet Explorer's own folder is not on the search path: start it by
  // the full path that the shell registers for it.
  const std::optional<std::string> registered = registry_value(HKEY_LOCAL_MACHINE, kBrowserAppPath, nullptr);
  if (!registered) return;
  char expanded[4096];
  const std::string program = registered->substr(0, registered->find('\0'));
  const DWORD length = ExpandEnvironmentStringsA(program.c_str(), expanded, sizeof expanded);
  const std::string full_path = length > 0 && length <= sizeof expanded ? std::string(expanded) : program;
  WinExec(registered_browser_command(full_path, path).c_str(), SW_SHOWDEFAULT);
}

int write_and_open(const std::string& install_folder, const char* name, const PagePutter& put) {
  const std::string path = result_path(install_folder, name);
  FILE* stream = open_or_quit(path, "wb");
  put(g_launcher.clipboard_text, [stream](std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  });
  std::fclose(stream);
  open_in_browser(path);
  return 1;
}

int links_page_writer(const std::string& install_folder) {
  return write_and_open(install_folder, kResultPage, put_framed_page);
}

int media_page_writer(const std::string& install_folder) { return links_page_writer(install_folder); }

int source_page_writer(const std::string& install_folder) {
  return write_and_open(install_folder, kSourceFile, put_source_file);
}

int reopen_in_browser(const std::string&) {
  const std::string& address = g_launcher.clipboard_text;
  // The length is tested first, so that an address that will not be opened
  // leaves the user's windows alone.
  if (address.size() > kMaxAddress) {
    info_box(page_texts::kNameTooLong);
    return 0;
  }
  if (HWND foreground = GetForegroundWindow()) {
    SetWindowTextA(foreground, "close_me");
    close_window_by_title("close_me");
  }
  open_in_browser(address);
  return 1;
}
