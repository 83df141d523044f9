// The page modes: each turns the clipboard text into something Internet
// Explorer shows. They take the install folder and return 1 when done.
#pragma once

#include <string>
#include <string_view>

#include "pages/page.h"

// Starts "IExplore.exe " + path with WinExec; when Windows cannot find the
// browser that way, starts it by the full path the shell registers for it.
void open_in_browser(const std::string& path);

// Writes a result file's bytes, from the clipboard text, to a sink.
using PagePutter = bool (*)(std::string_view clipboard_text, const ByteSink& sink);

// Writes a result file under the install folder (name with its leading
// backslash), closes it and opens it in the browser. Returns 1.
int write_and_open(const std::string& install_folder, const char* name, const PagePutter& put);

int links_page_writer(const std::string& install_folder);
int media_page_writer(const std::string& install_folder);
int source_page_writer(const std::string& install_folder);
int reopen_in_browser(const std::string& install_folder);
int readable_text_formatter(const std::string& install_folder);
