// Capture of the clipboard text at start-up, as Windows-1251 bytes.
#pragma once

#include <optional>
#include <string>

// The clipboard's text, taken once: CF_UNICODETEXT converted to
// Windows-1251 by the program itself (characters Windows-1251 lacks become
// what Windows makes of them), or CF_TEXT as it stands when the clipboard
// offers no Unicode text; an empty text when it offers neither. None when
// the text is too large to be held (no memory for the block or the copy).
// The program keeps this one copy of the text and no other.
std::optional<std::string> capture_clipboard_text();
