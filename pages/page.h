// The page frame and the bytes of the result files, exactly as they reach
// the disk, plus the browser command line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "desktop/encoding.h"

inline constexpr char kResultPage[] = "\\tulvex.htm";
inline constexpr char kSourceFile[] = "\\tulvex.txt";

// Longest address that re-open in browser hands to the browser.
inline constexpr std::size_t kMaxAddress = 511;
// Window class of Internet Explorer's frame, the one window re-open closes.
inline constexpr char kBrowserFrameClass[] = "IEFrame";

// The fixed HTML around every generated page, in the page's encoding: the
// header's meta tag names it, and the footer's Russian text is in it. The
// header ends with the "<p>" that opens the content cell; the footer has no
// line feed at all.
std::string_view page_header(Encoding encoding = Encoding::windows_1251);
std::string_view page_footer(Encoding encoding = Encoding::windows_1251);

// Receives a result file's bytes in order, exactly as they go to disk, in
// pieces of at most 64 KiB; answers false when they could not be written,
// which ends the writing. No whole copy of a page is ever made.
using ByteSink = std::function<bool(std::string_view bytes)>;

// Text as a text-mode stream stores it: every '\n' becomes "\r\n"; all
// other bytes, lone '\r' included, are kept. False when the sink refused.
bool put_on_disk(std::string_view text, const ByteSink& sink);

// "tulvex.htm" of the links and media modes: frame, blanks and line breaks
// around the clipboard text, as stored on disk, in the text's encoding.
bool put_framed_page(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink);

// "tulvex.txt" of the source mode: the clipboard text alone, as stored; a
// UTF-8 text behind the byte-order mark by which browsers know UTF-8.
bool put_source_file(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink);

// A result file's path: the install folder followed directly by the name,
// which begins with its own backslash. Nothing is normalised.
std::string result_path(std::string_view install_folder, std::string_view name);

// The command line that starts Internet Explorer on a path or address:
// "IExplore.exe ", then the path unquoted and unchanged.
std::string browser_command(std::string_view path);

// Where the shell registers Internet Explorer (HKEY_LOCAL_MACHINE): the
// browser's own folder is not on the search path of current Windows.
inline constexpr char kBrowserAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";

// The command line that starts the browser by its registered full path: the
// path (without quotes of its own) in quotes, one blank, then the argument
// unquoted and unchanged, as the short command line has it.
std::string registered_browser_command(std::string_view registered_path, std::string_view argument);
