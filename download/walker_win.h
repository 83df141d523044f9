// The save-all-links mode, as start-up calls it.
#pragma once

#include <windows.h>

#include <string>

// Fetches every usable address of the list text into "Tulvex_files", with a
// row for each in the progress list in the main window, shows the summary
// and opens the folder in Explorer when a file was saved. Returns 1.
int save_all_links(HINSTANCE instance, HWND main_window, const std::string& list_text);
