// The readable-text mode: formats the page text and opens the page.
#include "pages/formatter.h"
#include "pages/pages_win.h"

int readable_text_formatter(const std::string& install_folder, const std::string& clipboard_text) {
  // No clipboard text at start is an empty text: the page then holds the
  // frame and the heading line with the ellipsis alone.
  return write_and_open(install_folder, kResultPage, put_readable_page, clipboard_text);
}
