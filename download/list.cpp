// Link list rules.
#include "download/list.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "download/texts.h"

namespace {

// The Unicode code points of the Windows-1251 bytes 0x80 to 0xFF; 0x98
// stands for none.
constexpr std::uint16_t kUpperHalf[] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
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

// The Windows-1251 byte of a code point from U+0080 on; none when the code
// page lacks it.
std::optional<char> windows_1251(std::uint32_t code_point) {
  const std::uint16_t* const found = std::find(std::begin(kUpperHalf), std::end(kUpperHalf), code_point);
  if (found == std::end(kUpperHalf)) return std::nullopt;
  return static_cast<char>(0x80 + (found - kUpperHalf));
}

// The byte of the "%XX" escape at `at`, or -1 when none starts there.
int escaped_byte(std::string_view text, std::size_t at) {
  constexpr std::string_view kHex = "0123456789ABCDEF0123456789abcdef";
  if (text.size() - at < 3 || text[at] != '%') return -1;
  const std::size_t high = kHex.find(text[at + 1]), low = kHex.find(text[at + 2]);
  if (high == std::string_view::npos || low == std::string_view::npos) return -1;
  return static_cast<int>(high % 16 * 16 + low % 16);
}

// The name with its escapes decoded (step 1 of saved_file_name), or none.
std::optional<std::string> decoded(std::string_view name) {
  std::string text;
  for (std::size_t at = 0; at < name.size();) {
    const int lead = escaped_byte(name, at);
    if (lead < 0) {
      text += name[at++];
      continue;
    }
    at += 3;
    if (lead < 0x80) {
      text += static_cast<char>(lead);
      continue;
    }
    // Two- and three-byte sequences only: the code page holds nothing
    // beyond U+FFFF.
    const bool three = (lead & 0xF0) == 0xE0;
    if ((lead & 0xE0) != 0xC0 && !three) return std::nullopt;
    std::uint32_t code_point = static_cast<std::uint32_t>(lead & (three ? 0x0F : 0x1F));
    for (int more = three ? 2 : 1; more > 0; --more, at += 3) {
      const int next = escaped_byte(name, at);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code_point = code_point << 6 | static_cast<std::uint32_t>(next & 0x3F);
    }
    // An overlong sequence is not a character.
    if (code_point < (three ? 0x800u : 0x80u)) return std::nullopt;
    const std::optional<char> byte = windows_1251(code_point);
    if (!byte) return std::nullopt;
    text += *byte;
  }
  return text;
}

// Whether Windows takes the part of a name before its first dot for a
// device: trailing blanks ignored, any case.
bool is_device(std::string_view base) {
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string word(base);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (word == "CON" || word == "PRN" || word == "AUX" || word == "NUL") return true;
  return word.size() == 4 && (word.compare(0, 3, "COM") == 0 || word.compare(0, 3, "LPT") == 0) &&
         word[3] >= '1' && word[3] <= '9';
}

}  // namespace

std::string file_name_from_address(std::string_view address) {
  const std::string_view rest = address.substr(std::min<std::size_t>(1, address.size()));
  const std::size_t separator = rest.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? rest : rest.substr(separator + 1));
}

std::string saved_file_name(std::string_view name) {
  std::string saved = decoded(name).value_or(std::string(name));
  for (char& c : saved) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c) != nullptr) c = '_';
  }
  for (auto it = saved.rbegin(); it != saved.rend() && (*it == '.' || *it == ' '); ++it) *it = '_';
  if (is_device(std::string_view(saved).substr(0, saved.find('.')))) saved.insert(0, 1, '_');
  return saved.empty() ? "_" : saved;
}

std::optional<char> ListReader::take() {
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (c == '\r' && (at_ == text_.size() || text_[at_] == '\n')) continue;
    return c;
  }
  return std::nullopt;
}

std::optional<std::string> ListReader::next_line() {
  std::string line;
  while (line.size() < kMaxLine) {
    const std::optional<char> c = take();
    if (!c) break;
    line += *c;
    if (*c == '\n') return line;
  }
  if (line.empty()) return std::nullopt;
  // A line of exactly 511 characters keeps its line feed: left over, it
  // would read as an empty line and end the walk.
  const std::size_t line_end = at_;
  if (line.size() == kMaxLine && take() != '\n') at_ = line_end;
  return line;
}

std::optional<ListEntry> ListReader::next() {
  while (!ended_) {
    std::optional<std::string> line = next_line();
    if (!line || line->size() < 5) break;
    if (line->back() == '\n') line->pop_back();
    std::string name = file_name_from_address(*line);
    if (name.size() < 4) break;
    const bool same = name == previous_name_;
    previous_name_ = std::move(name);
    if (!same) return ListEntry{std::move(*line), saved_file_name(previous_name_)};
  }
  ended_ = true;
  return std::nullopt;
}

std::string download_path(std::string_view name) {
  return std::string(kDownloadFolder) + '\\' + std::string(name);
}

std::string summary_text(int files_saved, int rows_taken) {
  char text[96];
  std::snprintf(text, sizeof text, download_texts::kSummary, files_saved, rows_taken);
  return text;
}

std::string explorer_command(std::string_view current_directory) {
  return "Explorer.exe " + std::string(current_directory) + '\\' + kDownloadFolder;
}
