// Names of saved files.
#include "download/names.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// The Unicode code points of the Windows-1251 bytes 0x80 to 0xFF; 0x98,
// which the code page leaves empty, stands for U+0098 as Windows reads it.
constexpr std::uint16_t kUpperHalf[] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // 0xF8
};
static_assert(std::size(kUpperHalf) == 128);

void append_utf8(std::uint32_t code_point, std::string& text) {
  if (code_point < 0x80) {
    text += static_cast<char>(code_point);
    return;
  }
  const int more = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
  text += static_cast<char>(kLead[more] | (code_point >> (6 * more)));
  for (int shift = 6 * (more - 1); shift >= 0; shift -= 6) {
    text += static_cast<char>(0x80 | ((code_point >> shift) & 0x3F));
  }
}

// UTF-8 of Windows-1251 bytes.
std::string utf8_of_1251(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    append_utf8(byte < 0x80 ? byte : kUpperHalf[byte - 0x80], text);
  }
  return text;
}

// The code points of UTF-8 text, or none when it is not UTF-8: a broken or
// overlong sequence, a surrogate, or a value past U+10FFFF.
std::optional<std::u32string> code_points(std::string_view bytes) {
  std::u32string text;
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at++]);
    const int more = lead < 0x80            ? 0
                     : (lead & 0xE0) == 0xC0 ? 1
                     : (lead & 0xF0) == 0xE0 ? 2
                     : (lead & 0xF8) == 0xF0 ? 3
                                             : -1;
    if (more < 0) return std::nullopt;
    std::uint32_t code_point = lead & (0x7Fu >> more);
    for (int i = 0; i < more; ++i, ++at) {
      if (at == bytes.size() || (bytes[at] & 0xC0) != 0x80) return std::nullopt;
      code_point = code_point << 6 | (static_cast<unsigned char>(bytes[at]) & 0x3Fu);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code_point < kSmallest[more] || (code_point >= 0xD800 && code_point <= 0xDFFF) || code_point > 0x10FFFF) {
      return std::nullopt;
    }
    text += code_point;
  }
  return text;
}

// The byte of the "%XX" escape at `at`, or -1 when none starts there.
int escaped_byte(std::string_view text, std::size_t at) {
  constexpr std::string_view kHex = "0123456789ABCDEF0123456789abcdef";
  if (text.size() - at < 3 || text[at] != '%') return -1;
  const std::size_t high = kHex.find(text[at + 1]), low = kHex.find(text[at + 2]);
  if (high == std::string_view::npos || low == std::string_view::npos) return -1;
  return static_cast<int>(high % 16 * 16 + low % 16);
}

// UTF-8 bytes as they stand, or none when they are not UTF-8.
std::optional<std::string> from_utf8(std::string_view bytes) {
  if (!code_points(bytes)) return std::nullopt;
  return std::string(bytes);
}

// The bytes of a text's percent escapes, every other byte as it is.
std::string unescaped(std::string_view text) {
  std::string bytes;
  for (std::size_t at = 0; at < text.size();) {
    const int byte = escaped_byte(text, at);
    bytes += byte < 0 ? text[at] : static_cast<char>(byte);
    at += byte < 0 ? 1 : 3;
  }
  return bytes;
}

// The name with its escapes decoded (step 1 of saved_file_name), or none.
std::optional<std::string> decoded(std::string_view name) {
  std::string text;
  for (std::size_t at = 0; at < name.size();) {
    std::size_t end = at;
    while (escaped_byte(name, end) >= 0) end += 3;
    if (end == at) {
      text += name[at++];
      continue;
    }
    const std::optional<std::string> run = from_utf8(unescaped(name.substr(at, end - at)));
    if (!run) return std::nullopt;
    text += *run;
    at = end;
  }
  return text;
}

// The capital of a small letter of the Latin, Greek and Cyrillic blocks, as
// Windows compares file names; any other character as it is.
std::uint32_t upper_case(std::uint32_t c) {
  const auto pairs = [c](std::uint32_t first, std::uint32_t last) {  // capital, small, capital, small...
    return c > first && c <= last && (c - first) % 2 == 1;
  };
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F)) {
    return c - 0x20;
  }
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // the final sigma
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (pairs(0x100, 0x137) || pairs(0x139, 0x148) || pairs(0x14A, 0x177) || pairs(0x179, 0x17E) ||
      pairs(0x460, 0x481) || pairs(0x48A, 0x4BF) || pairs(0x4C1, 0x4CE) || pairs(0x4D0, 0x52F)) {
    return c - 1;
  }
  return c;
}

std::string upper_ascii(std::string_view text) {
  std::string word(text);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word;
}

// Whether Windows takes the part of a name before its first dot for a
// device: trailing blanks ignored, any case.
bool is_device(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string word = upper_ascii(base);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (word == device) return true;
  }
  return word.size() == 4 && (word.compare(0, 3, "COM") == 0 || word.compare(0, 3, "LPT") == 0) &&
         word[3] >= '1' && word[3] <= '9';
}

// The name's trailing dots and blanks made '_', and a device name given a
// '_' in front.
std::string made_safe(std::string name) {
  for (auto it = name.rbegin(); it != name.rend() && (*it == '.' || *it == ' '); ++it) *it = '_';
  if (is_device(name)) name.insert(0, 1, '_');
  return name.empty() ? "_" : name;
}

// The longest start of the name, whole characters, that holds at most
// `room` UTF-16 units.
std::string_view name_start(std::string_view name, std::size_t room) {
  std::size_t at = 0;
  for (std::size_t units = 0; at < name.size();) {
    const unsigned char lead = static_cast<unsigned char>(name[at]);
    const std::size_t width = lead >= 0xF0 ? 2 : 1;  // beyond U+FFFF: a surrogate pair
    if (units + width > room) break;
    units += width;
    while (++at < name.size() && (name[at] & 0xC0) == 0x80) {
    }
  }
  return name.substr(0, at);
}

// Where the name's extension starts (its dot), or the name's size.
std::size_t extension_at(std::string_view name) {
  return has_extension(name) ? name.rfind('.') : name.size();
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The value of a header parameter: a quoted string unquoted, or a token.
std::string parameter_value(std::string_view value) {
  value = trimmed(value);
  if (value.empty() || value.front() != '"') return std::string(value);
  std::string text;
  for (std::size_t at = 1; at < value.size() && value[at] != '"'; ++at) {
    if (value[at] == '\\' && at + 1 < value.size()) ++at;
    text += value[at];
  }
  return text;
}

// An extended value ("UTF-8'ru'%D0%BE...") in UTF-8, or none.
std::optional<std::string> extended_value(std::string_view value) {
  const std::size_t charset_end = value.find('\''), language_end = value.find('\'', charset_end + 1);
  if (language_end == std::string_view::npos) return std::nullopt;
  const std::string charset = upper_ascii(value.substr(0, charset_end));
  const std::string bytes = unescaped(value.substr(language_end + 1));
  if (charset == "UTF-8") return from_utf8(bytes);
  if (charset != "ISO-8859-1") return std::nullopt;
  std::string text;
  for (const char c : bytes) append_utf8(static_cast<unsigned char>(c), text);
  return text;
}

struct TypeRow {
  const char* type;
  const char* extension;
};
constexpr TypeRow kTypes[] = {
    {"text/html", ".htm"},
    {"application/xhtml+xml", ".htm"},
    {"text/plain", ".txt"},
    {"text/css", ".css"},
    {"text/xml", ".xml"},
    {"application/xml", ".xml"},
    {"application/json", ".json"},
    {"text/javascript", ".js"},
    {"application/javascript", ".js"},
    {"image/jpeg", ".jpg"},
    {"image/pjpeg", ".jpg"},
    {"image/png", ".png"},
    {"image/gif", ".gif"},
    {"image/bmp", ".bmp"},
    {"image/x-icon", ".ico"},
    {"image/svg+xml", ".svg"},
    {"image/webp", ".webp"},
    {"image/tiff", ".tif"},
    {"application/pdf", ".pdf"},
    {"application/rtf", ".rtf"},
    {"application/msword", ".doc"},
    {"application/vnd.ms-excel", ".xls"},
    {"application/vnd.ms-powerpoint", ".ppt"},
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", ".docx"},
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", ".xlsx"},
    {"application/zip", ".zip"},
    {"application/x-zip-compressed", ".zip"},
    {"application/x-rar-compressed", ".rar"},
    {"application/vnd.rar", ".rar"},
    {"application/x-7z-compressed", ".7z"},
    {"application/gzip", ".gz"},
    {"application/x-gzip", ".gz"},
    {"application/x-shockwave-flash", ".swf"},
    {"audio/mpeg", ".mp3"},
    {"audio/ogg", ".ogg"},
    {"audio/wav", ".wav"},
    {"audio/x-wav", ".wav"},
    {"video/mp4", ".mp4"},
    {"video/x-flv", ".flv"},
    {"video/x-msvideo", ".avi"},
    {"video/mpeg", ".mpg"},
    {"video/webm", ".webm"},
};

}  // namespace

AddressName address_file_name(std::string_view address) {
  address = address.substr(0, address.find('#'));
  const std::size_t query_at = std::min(address.find('?'), address.size());
  std::string_view path = address.substr(0, query_at);
  const std::string_view query = address.substr(query_at);
  if (const std::size_t scheme = path.find("://"); scheme != std::string_view::npos) {
    path.remove_prefix(scheme + 3);
    const std::size_t path_at = path.find_first_of("/\\");
    if (path_at == std::string_view::npos) {
      // Only the host (after any user name, before any port) names the file.
      path = path.substr(path.rfind('@') + 1);
      return {std::string(path.substr(0, path.find(':'))) + std::string(query), true};
    }
    path.remove_prefix(path_at);
  }
  const std::size_t separator = path.find_last_of("/\\");
  std::string name(separator == std::string_view::npos ? path : path.substr(separator + 1));
  return {name.append(query), false};
}

std::optional<std::string> disposition_file_name(std::string_view header) {
  std::optional<std::string> plain, extended;
  // Parameters are separated by ';' outside quotes.
  for (std::size_t at = 0; at < header.size();) {
    std::size_t end = at;
    for (bool quoted = false; end < header.size() && (quoted || header[end] != ';'); ++end) {
      if (header[end] == '"') quoted = !quoted;
      if (header[end] == '\\' && quoted) ++end;
    }
    const std::string_view parameter = header.substr(at, end - at);
    at = end + 1;
    const std::size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = upper_ascii(trimmed(parameter.substr(0, equals)));
    const std::string_view value = trimmed(parameter.substr(equals + 1));
    if (name == "FILENAME*") extended = extended_value(value);
    if (name == "FILENAME") plain = utf8_of_1251(parameter_value(value));
  }
  std::optional<std::string> chosen = extended ? extended : plain;
  if (chosen) chosen->erase(0, chosen->find_last_of("/\\") + 1);
  if (!chosen || chosen->empty()) return std::nullopt;
  return chosen;
}

std::string_view type_extension(std::string_view content_type) {
  const std::string type = [&] {
    std::string lower(trimmed(content_type.substr(0, content_type.find(';'))));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }();
  for (const TypeRow& row : kTypes) {
    if (type == row.type) return row.extension;
  }
  return {};
}

bool has_extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  const auto alnum = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  const auto alpha = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
  return !extension.empty() && extension.size() <= 10 && std::all_of(extension.begin(), extension.end(), alnum) &&
         std::any_of(extension.begin(), extension.end(), alpha);
}

std::string saved_file_name(std::string_view name) {
  std::string saved = decoded(name).value_or(std::string(name));
  for (char& c : saved) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c) != nullptr) c = '_';
  }
  return made_safe(std::move(saved));
}

std::size_t name_length(std::string_view name) {
  std::size_t units = 0;
  for (const char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

std::string fitted_name(std::string_view name, std::size_t room) {
  room = std::max<std::size_t>(room, 1);
  if (name_length(name) <= room) return std::string(name);
  const std::size_t dot = extension_at(name);
  const std::string_view extension = name.substr(dot);  // Latin letters and digits
  std::string fitted(name_start(name, extension.size() < room ? room - extension.size() : room));
  if (extension.size() < room) fitted.append(extension);
  // A cut may end in a dot or a blank, or leave a device's name: made safe
  // without growing.
  for (auto it = fitted.rbegin(); it != fitted.rend() && (*it == '.' || *it == ' '); ++it) *it = '_';
  if (is_device(fitted)) fitted[0] = '_';
  return fitted.empty() ? "_" : fitted;
}

std::string chosen_file_name(std::string_view address, std::string_view disposition, std::string_view content_type,
                             std::size_t room) {
  const std::optional<std::string> server_name = disposition_file_name(disposition);
  AddressName given = server_name ? AddressName{*server_name, false} : address_file_name(address);
  if (!server_name) given.name = utf8_of_1251(given.name);
  // An address that ends in its folder names no file: "index", as wget has it.
  if (given.name.empty()) given.name = "index";
  std::string name = saved_file_name(given.name);
  if (given.host_only || !has_extension(name)) name += type_extension(content_type);
  return fitted_name(name, room);
}

std::string numbered_name(std::string_view name, int n, std::size_t room) {
  const std::size_t dot = extension_at(name);
  std::string tail = " (" + std::to_string(n) + ")";
  tail.append(name.substr(dot));
  const std::size_t base_room = room > tail.size() ? room - tail.size() : 1;
  return made_safe(std::string(name_start(name.substr(0, dot), base_room)) + tail);
}

std::string name_key(std::string_view name) {
  const std::optional<std::u32string> text = code_points(name);
  if (!text) return upper_ascii(name);
  std::string key;
  key.reserve(name.size());
  for (const char32_t c : *text) append_utf8(upper_case(c), key);
  return key;
}

std::string zone_identifier(std::string_view address) {
  std::string text = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=";
  for (const char c : address) {
    if (static_cast<unsigned char>(c) >= 32) text += c;
  }
  return text.append("\r\n");
}

std::string temporary_file_name(std::uint64_t n) { return "~tulvex" + std::to_string(n) + ".tmp"; }

bool is_temporary_file_name(std::string_view name) {
  const std::string key = name_key(name);
  constexpr std::string_view kStart = "~TULVEX", kEnd = ".TMP";
  if (key.size() <= kStart.size() + kEnd.size() || key.compare(0, kStart.size(), kStart) != 0 ||
      key.compare(key.size() - kEnd.size(), kEnd.size(), kEnd) != 0) {
    return false;
  }
  const std::string_view number = std::string_view(key).substr(kStart.size(), key.size() - kStart.size() - kEnd.size());
  return number.find_first_not_of("0123456789") == std::string_view::npos;
}
