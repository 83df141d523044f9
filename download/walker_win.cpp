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

// A fetched file's temporary: "~tulvex<n>.tmp" in the download folder, n the
// first number whose name is free. It is created only where no file is
// (CREATE_NEW), so it never overwrites a download or anything else, and
// lives only within one write, so no later download meets it; a crash
// leaves it behind under a name that says whose it is. Removed when it
// goes, unless it was put in place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder) {
    constexpr int kMostNames = 100;
    for (int n = 1; n <= kMostNames; ++n) {
      path_ = folder + "~tulvex" + std::to_string(n) + ".tmp";
      file_ = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
    }
    made_ = file_ != INVALID_HANDLE_VALUE;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (made_ && !placed_) DeleteFileA(path_.c_str());
  }

  bool created() const { return made_; }

  bool write(const char* bytes, std::size_t count) {
    DWORD written = 0;
    return WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
  }

  // Closes the file (a full disk may show only here), then puts it in place
  // of the target, replacing a file of that name.
  bool put_in_place(const std::string& target) {
    const BOOL closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    placed_ = closed && MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    return placed_;
  }

 private:
  std::string path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool made_ = false;
  bool placed_ = false;
};

class WindowsFetchHost final : public FetchHost {
 public:
  void show() override { progress_show_row(); }
  void drain_and_wait() override { ::drain_and_wait(); }
  void pause(unsigned milliseconds) override { Sleep(milliseconds); }
  void info_box(const std::string& message, const std::string& caption) override {
    progress_flush();
    ::info_box(message, caption);
  }

  // The bytes reach the target only whole: a failed write or close leaves
  // an older file of that name as it was, and frees the space it took.
  bool write_file(const std::string& path, const char* bytes, std::size_t count) override {
    TemporaryFile file(path.substr(0, path.find_last_of('\\') + 1));
    return file.created() && file.write(bytes, count) && file.put_in_place(path);
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
  // Shown since the start (minimised, perhaps); a benchmark host that draws
  // nothing leaves it hidden, and so it stays.
  if (IsWindowVisible(main_window)) ShowWindow(main_window, SW_RESTORE);
  if (g_download.files_saved != 0) WinExec(explorer_command(current_directory()).c_str(), SW_SHOWDEFAULT);
  return 1;
}
