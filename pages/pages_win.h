// The page modes: each turns the clipboard text into something Internet
// Explorer shows, and returns 1 when done, 0 when it gave up.
#pragma once

#include <string>
#include <string_view>

#include "desktop/encoding.h"
#include "pages/page.h"

// Starts "IExplore.exe " + path with WinExec; when Windows cannot find the
// browser that way, starts it by the full path the shell registers for it.
void open_in_browser(const std::string& path);

// Writes a result file's bytes, from the clipboard text, to a sink.
using PagePutter = bool (*)(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink);

// Writes a result file under the install folder (name with its leading
// backslash), closes it and opens it in the browser: 1. When the file
// cannot be written or closed whole, leaves it empty, says "cannot write
// the file" with the file's name as caption and starts no browser: 0. A
// failed open ends the process (open-or-quit); on std::bad_alloc the file
// is emptied before the exception leaves.
int write_and_open(const std::string& install_folder, const char* name, PagePutter put,
                   const EncodedText& clipboard_text);

// The page modes write the clipboard text in its own encoding.
int links_page_writer(const std::string& install_folder, const EncodedText& clipboard_text);
int media_page_writer(const std::string& install_folder, const EncodedText& clipboard_text);
int source_page_writer(const std::string& install_folder, const EncodedText& clipboard_text);
int readable_text_formatter(const std::string& install_folder, const EncodedText& clipboard_text);

// Closes the foreground window when it is Internet Explorer's and opens the
// address in a fresh browser window; an address of more than 511 characters
// is refused with a box before any window is touched: 0.
int reopen_in_browser(const std::string& address);
