// The save-all-links mode: every usable address of the clipboard list is
// fetched into "Tulvex_files" with a row in the progress list; the summary
// follows, and the folder opens in Explorer when a file was saved.
#include "download/walker_win.h"

#include <memory>
#include <optional>
#include <string>

#include "desktop/desktop_win.h"
#include "download/fetch.h"
#include "download/list.h"
#include "download/progress_win.h"
#include "download/state.h"
#include "download/wininet_win.h"

namespace {

class WindowsFetchHost final : public FetchHost {
 public:
  // The walker has shown the row just before the fetch begins.
  void refresh() override {}
  void show() override { progress_show_row(); }
  void drain_and_wait() override { ::drain_and_wait(); }
  void pause(unsigned milliseconds) override { Sleep(milliseconds); }
  void info_box(const std::string& message, const std::string& caption) override {
    progress_flush();
    ::info_box(message, caption);
  }

  bool write_file(const std::string& path, const char* bytes, std::size_t count) override {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr);
    CloseHandle(file);
    return ok && written == count;
  }
};

std::string current_directory() {
  std::string directory;
  for (DWORD size = GetCurrentDirectoryA(0, nullptr); size != 0;) {
    directory.assign(size, '\0');
    const DWORD length = GetCurrentDirectoryA(size, &directory[0]);
    if (length < size) {
      directory.resize(length);
      break;
    }
    size = length;  // changed in between: try again with the new size
  }
  return directory;
}

}  // namespace

int save_all_links(HINSTANCE instance, HWND main_window, const std::string& list_text) {
  progress_start(instance, main_window);
  CreateDirectoryA(kDownloadFolder, nullptr);

  WindowsFetchHost host;
  ListReader list(list_text);
  while (const std::optional<ListEntry> entry = list.next()) {
    begin_row(g_download, entry->address);
    progress_show_row();
    const std::unique_ptr<Connection> connection = make_connection();
    fetch(*connection, host, g_download, entry->address, download_path(entry->name));
  }

  progress_flush();
  info_box(summary_text(g_download.files_saved, g_download.rows_taken));
  ShowWindow(main_window, SW_RESTORE);
  if (g_download.files_saved != 0) WinExec(explorer_command(current_directory()).c_str(), SW_SHOWDEFAULT);
  return 1;
}
