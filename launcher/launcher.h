// Start-up decisions that need no Windows: which mode a command line asks
// for, how the raw registry value and clipboard block become texts, and when
// start-up shows a box instead of running the mode.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class Mode {
  save_all_links,  // (tulvex_loud_links)
  reopen,          // (tulvex_showi)
  media,           // (tulvex_img), (tulvex_swf)
  readable_text,   // (tulvex_bit)
  source,          // (tulvex_html)
  links,           // (tulvex_links)
  help,            // no keyword
};

inline constexpr char kMutexName[] = "morvale_tulvex_1.0_exe";
inline constexpr char kWindowClass[] = "Tulvex";
inline constexpr char kRegistryKey[] = ".DEFAULT\\Software\\MorvaleSoft";
inline constexpr char kRegistryValue[] = "Tulvex_dir";
inline constexpr char kHelpPage[] = "\\help\\help_frames.htm";

// Longest install folder kept, in characters.
inline constexpr std::size_t kMaxInstallFolder = 511;

// Whether the mode keeps every character of a Unicode clipboard text (the
// page modes, which write UTF-8 where Windows-1251 falls short) or takes the
// text in Windows-1251 alone, as Windows converts it.
bool keeps_every_character(Mode mode);

// The first keyword of the mode table found anywhere in the command line
// (case-sensitive) decides the mode; none found means help.
Mode mode_for(std::string_view command_line);

// The install folder held by the registry value's raw bytes: the text up to
// the first zero byte (or the whole value when it has none), cut to 511
// characters. An empty text counts as missing.
std::optional<std::string> install_folder_from_value(std::string_view raw);

// The text of a CF_TEXT block of the given size: up to its first zero byte,
// never past the block's end.
std::string text_from_clipboard_block(const char* block, std::size_t size);

// How start-up found the clipboard: its text read (an empty one when it
// held no text), a text too large to hold, or the clipboard held open by
// another program all the while start-up tried to open it.
enum class ClipboardRead { text, too_large, busy };

// A message box that start-up shows instead of running the mode.
struct StartupBox {
  const char* message;
  const char* caption;  // " ": the default caption
};

// The box start-up shows instead of running the mode, if any: a missing
// install folder first, then a clipboard that could not be read.
std::optional<StartupBox> startup_box(bool install_folder_found, ClipboardRead clipboard);
