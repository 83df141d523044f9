// The readable-text mode: formats the page text and opens the page.
#include "launcher/desktop_win.h"
#include "launcher/state_win.h"
#include "pages/formatter.h"
#include "pages/page.h"
#include "pages/pages_win.h"

int readable_text_formatter(const std::string& install_folder) {
  const std::string path = result_path(install_folder, kResultPage);
  // No clipboard text at start is an empty text: the page then holds the
  // frame and the heading line with the ellipsis alone.
  write_file_or_quit(path, readable_page_file(g_launcher.clipboard_text));
  open_in_browser(path);
  return 1;
}
