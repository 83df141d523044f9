// The launcher state: handles and texts that start-up captures once and
// every mode reads for the rest of the run.
#pragma once

#include <windows.h>

#include <string>

struct LauncherState {
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;
  HANDLE mutex = nullptr;
  std::string clipboard_text;  // CF_TEXT at start; empty when there was none
  std::string command_line;    // GetCommandLineA, whole
  std::string install_folder;  // Tulvex_dir, at most 511 characters
};

extern LauncherState g_launcher;
