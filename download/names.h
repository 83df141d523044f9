// The names saved files get: from the server's own name for the file or
// from the address, readable, usable by Windows, with an extension that
// opens them, short enough for the folder, and never the same twice in one
// walk. An address is Windows-1251 bytes, as the list holds it; the names
// are UTF-8, so that a file gets the same characters on every Windows, in
// whatever script the server or the address names it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Longest name of a file that Windows takes (one path component).
inline constexpr std::size_t kMaxNameLength = 255;

// The name that an address gives its file: the last segment of its path
// (after the last '/' or '\'), followed by its query whole ('/' and all);
// the fragment ("#...") is not part of it. An address without a path gives
// its host. `host_only` tells the caller that the name is a host's, whose
// dots mark no extension.
struct AddressName {
  std::string name;
  bool host_only = false;
};
AddressName address_file_name(std::string_view address);

// The file name of a Content-Disposition header, in UTF-8: filename*
// (UTF-8 or ISO-8859-1, percent-encoded) when it is sound, else filename
// (quoted or not, Windows-1251); only its last path component. None when
// the header names no file.
std::optional<std::string> disposition_file_name(std::string_view header);

// The extension (".htm", ".pdf", ...) of a Content-Type's media type, or ""
// when the type is not one of the table's.
std::string_view type_extension(std::string_view content_type);

// Whether the name ends in an extension: a dot and 1 to 10 Latin letters or
// digits, at least one of them a letter.
bool has_extension(std::string_view name);

// A name (UTF-8) made usable:
// 1. Readable: percent escapes ("%D0%B0", any case of hex digits) are
//    decoded when together they decode as UTF-8; otherwise (a broken or
//    overlong sequence, a surrogate) the name keeps every escape as it
//    stands. A '%' that starts no escape, and every byte outside an escape,
//    stay as they are.
// 2. Usable: every character Windows forbids in a file name (below 32,
//    < > : " / \ | ? *) becomes '_'; so do the name's trailing dots and
//    blanks, which Windows would drop, so that no name turns into another
//    one, the folder itself or its parent; a device name (CON, PRN, AUX,
//    NUL, CONIN$, CONOUT$, COM1-COM9, LPT1-LPT9 before the first dot,
//    blanks before the dot ignored, any case) gets a '_' in front; an empty
//    name becomes "_".
std::string saved_file_name(std::string_view name);

// The length of a name as Windows counts it: UTF-16 units.
std::size_t name_length(std::string_view name);

// The name cut to at most `room` characters (UTF-16 units, at least 1),
// whole characters only, keeping its
// extension when the extension leaves room for some of the name before it;
// a cut that ends the name in a dot or a blank ends it in '_' instead.
std::string fitted_name(std::string_view name, std::size_t room);

// The name a file of this address is saved under, before it is made unique
// in the walk: the name of the server's Content-Disposition when it gives
// one, else the address's ("index" when it ends in its folder); made usable; given the Content-Type's extension
// when it has none; fitted to `room`.
std::string chosen_file_name(std::string_view address, std::string_view disposition, std::string_view content_type,
                             std::size_t room);

// "name (n).ext" for the n-th file of one name in a walk (n >= 2), fitted
// to `room` by shortening the part before the number.
std::string numbered_name(std::string_view name, int n, std::size_t room);

// The name as Windows compares names, any case: every small letter of the
// Latin, Greek and Cyrillic blocks (all of Windows-1251's) made capital.
std::string name_key(std::string_view name);

// The text of a saved file's "Zone.Identifier" stream: from the Internet
// zone, and the address it came from.
std::string zone_identifier(std::string_view address);

// The folder inside the download folder that holds the files the walk
// writes before they are whole: no saved file takes its name.
inline constexpr char kPartsFolder[] = "~tulvex.parts";

// "~tulvex<n>.tmp": a file the walk writes before it is whole.
std::string temporary_file_name(std::uint64_t n);

// Whether a name is such a file's (in any case), as an earlier run that
// was ended in the middle of a write leaves it.
bool is_temporary_file_name(std::string_view name);
