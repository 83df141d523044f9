// The readable-text mode: formats the page text and opens the page.
#include "launcher/state_win.h"
#include "pages/formatter.h"
#include "pages/page.h"
#include "pages/pages_win.h"

int readable_text_formatter(const std::string& install_folder) {
  // No clipboard text at start is an empty text: the page then holds the
  // frame and the heading line with the ellipsis alone.
  return write_and_open(install_folder, kResultPage, put_readable_page);
}
