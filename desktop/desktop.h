// Rules of the shared desktop routines that need no Windows: what the
// information box shows and how open-or-quit names a file it cannot open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Longest message or caption an information box shows, and the longest
// caption open-or-quit builds from a path.
inline constexpr std::size_t kMaxBoxText = 255;
inline constexpr std::size_t kMaxOpenCaption = 127;

// The main window's plain title, which the progress window falls back to.
inline constexpr char kWindowTitle[] = "Tulvex 1.15";

// The message as shown: cut to 255 characters.
std::string box_message(std::string_view message);

// The caption as shown: "Результат" when the caption is empty or starts
// with a blank (callers pass " " for the default), else the caption cut to
// 255 characters.
std::string box_caption(std::string_view caption);

// Open-or-quit's caption for a path: its last '\' or '/' and all after it,
// or the whole path when it has no separator; cut to 127 characters.
std::string open_failure_caption(std::string_view path);
