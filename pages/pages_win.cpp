// Page writers, the readable-text mode and re-open in browser: write the
// result file, then start the browser on it.
#include "pages/pages_win.h"

#include <windows.h>

#include <cstdio>
#include <optional>

#include "desktop/desktop.h"
#include "desktop/desktop_win.h"
#include "desktop/registry_win.h"
#include "pages/formatter.h"
#include "pages/page.h"
#include "pages/texts.h"

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

namespace {

// A result file being written: closed on every path, and emptied unless it
// was written and closed whole. Emptied, not removed: the installer makes
// the two result files and lets ordinary users write them, but not create
// files in the program's folder, so a removed one could not be made again.
class ResultFile {
 public:
  explicit ResultFile(const std::string& path) : path_(path), stream_(open_or_quit(path, "wb")) {}
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;
  ~ResultFile() {
    if (stream_) std::fclose(stream_);
    if (whole_) return;
    if (FILE* emptied = std::fopen(path_.c_str(), "wb")) std::fclose(emptied);
  }
  bool write(std::string_view bytes) { return std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size(); }
  // The buffered rest reaches the disk only here, so a full disk may show
  // first in the close.
  bool close() {
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    return closed;
  }
  void keep() { whole_ = true; }

 private:
  std::string path_;
  FILE* stream_;
  bool whole_ = false;
};

}  // namespace

int write_and_open(const std::string& install_folder, const char* name, PagePutter put,
                   const EncodedText& clipboard_text) {
  const std::string path = result_path(install_folder, name);
  {
    ResultFile file(path);
    const auto to_file = [&file](std::string_view bytes) { return file.write(bytes); };
    const bool written = put(clipboard_text.bytes, clipboard_text.encoding, to_file);
    if (!file.close() || !written) {
      info_box(page_texts::kCannotWriteFile, open_failure_caption(path));
      return 0;
    }
    file.keep();
  }
  open_in_browser(path);
  return 1;
}

int links_page_writer(const std::string& install_folder, const EncodedText& clipboard_text) {
  return write_and_open(install_folder, kResultPage, put_framed_page, clipboard_text);
}

int media_page_writer(const std::string& install_folder, const EncodedText& clipboard_text) {
  return links_page_writer(install_folder, clipboard_text);
}

int source_page_writer(const std::string& install_folder, const EncodedText& clipboard_text) {
  return write_and_open(install_folder, kSourceFile, put_source_file, clipboard_text);
}

int readable_text_formatter(const std::string& install_folder, const EncodedText& clipboard_text) {
  // No clipboard text at start is an empty text: the page then holds the
  // frame and the heading line with the ellipsis alone.
  return write_and_open(install_folder, kResultPage, put_readable_page, clipboard_text);
}

int reopen_in_browser(const std::string& address) {
  // The length is tested first, so that an address that will not be opened
  // leaves the user's windows alone.
  if (address.size() > kMaxAddress) {
    info_box(page_texts::kNameTooLong);
    return 0;
  }
  // Only the browser window the command came from is closed: by now the
  // user may have turned to another program. The window is closed by its
  // handle, without a new title: a title is set by a message that a window
  // that does not answer would never handle.
  close_foreground_window(kBrowserFrameClass);
  open_in_browser(address);
  return 1;
}
