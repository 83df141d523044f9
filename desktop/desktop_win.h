// The desktop routines that every mode shares.
#pragma once

#include <cstdio>
#include <string>

// Shows a message box (information icon, OK) and returns when the user has
// dismissed it. A caption that is empty or starts with a blank shows the
// default caption; " " asks for it.
void info_box(const std::string& message, const std::string& caption = " ");

// Opens a file with the runtime's streams; on failure says "cannot open the
// file" with the file's name as caption and ends the process with code 0.
FILE* open_or_quit(const std::string& path, const char* mode);

// Asks the top-level window with this title to close and waits until it
// has handled the request; nothing happens when there is no such window.
void close_window_by_title(const char* title);
