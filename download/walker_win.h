// The save-all-links mode, as start-up calls it.
#pragma once

#include <windows.h>

#include <string>

// Fetches every address of the list text into "Tulvex_files", with a
// row for each in the progress list in the main window, shows the summary
// and opens the folder in Explorer when a file was saved. Then ends the
// process with exit code 0.
int save_all_links(HINSTANCE instance, HWND main_window, const std::string& list_text);
