// The page modes: each turns the clipboard text into something Internet
// Explorer shows. They take the install folder and return 1 when done.
#pragma once

#include <string>

// Starts "IExplore.exe " + path with WinExec; the result is not examined.
void open_in_browser(const std::string& path);

int links_page_writer(const std::string& install_folder);
int media_page_writer(const std::string& install_folder);
int source_page_writer(const std::string& install_folder);
int reopen_in_browser(const std::string& install_folder);
int readable_text_formatter(const std::string& install_folder);
