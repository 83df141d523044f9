// Page frame and result-file bytes.
#include "pages/page.h"

#include <algorithm>

namespace {
// The maker's web address: in the page title and twice in the footer.
#define TULVEX_HOST "www.morvalesoft.ru"
// The header from its third line on; its first two name the charset.
#define TULVEX_HEADER_REST                                                 \
  "<STYLE TYPE='text/css'>@import url('tulvex.css');</STYLE>\n"            \
  "<TITLE>Tulvex: " TULVEX_HOST "</TITLE></HEAD>\n"                        \
  "<BODY bgcolor='#a0b8a0' background='bg1.jpg'>\n"                        \
  "<center>\n"                                                             \
  "<table width=640 border=0 cellpadding=20><td bgcolor='#FFFFFF' background='bg_kvadrat_1.jpg'><p>"
constexpr char kHeader[] =
    "<HTML><HEAD>\n"
    "<meta http-equiv='Content-Type' content='text/html; Charset=Windows-1251'>\n" TULVEX_HEADER_REST;
constexpr char kUtf8Header[] =
    "<HTML><HEAD>\n"
    "<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>\n" TULVEX_HEADER_REST;
#undef TULVEX_HEADER_REST

constexpr char kFooter[] =
    "</center><br><br><hr size=1><center><font size=-1>Morvale Soft: "
    "программы для самообразования, новости науки (<a href='http://" TULVEX_HOST
    "' target=_blank>" TULVEX_HOST "</a>).</font></center></td></table></center></body></html>";
#undef TULVEX_HOST
}  // namespace

std::string_view page_header(Encoding encoding) { return encoding == Encoding::utf_8 ? kUtf8Header : kHeader; }

std::string_view page_footer(Encoding encoding) {
  if (encoding == Encoding::windows_1251) return kFooter;
  static const std::string utf8_footer = utf8_from_windows_1251(kFooter);
  return utf8_footer;
}

bool put_on_disk(std::string_view text, const ByteSink& sink) {
  constexpr std::size_t kPiece = 1 << 16;
  std::string piece;
  piece.reserve(kPiece);
  // Stretches without a line feed are copied whole, a piece at a time.
  while (!text.empty()) {
    const std::size_t room = kPiece - piece.size();
    const std::size_t lf = text.substr(0, room).find('\n');
    if (lf == std::string_view::npos) {
      piece.append(text.substr(0, room));
      text.remove_prefix(std::min(room, text.size()));
    } else if (lf + 2 <= room) {
      piece.append(text.substr(0, lf)).append("\r\n");
      text.remove_prefix(lf + 1);
    } else {
      piece.append(text.substr(0, lf));
      text.remove_prefix(lf);
      if (!sink(piece)) return false;
      piece.clear();
    }
    if (piece.size() == kPiece) {
      if (!sink(piece)) return false;
      piece.clear();
    }
  }
  return piece.empty() || sink(piece);
}

bool put_framed_page(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink) {
  return put_on_disk(page_header(encoding), sink) && put_on_disk(" \n\n ", sink) && put_on_disk(clipboard_text, sink) &&
         put_on_disk(" \n\n ", sink) && put_on_disk(page_footer(encoding), sink);
}

bool put_source_file(std::string_view clipboard_text, Encoding encoding, const ByteSink& sink) {
  return (encoding == Encoding::windows_1251 || sink("\xEF\xBB\xBF")) && put_on_disk(clipboard_text, sink);
}

std::string result_path(std::string_view install_folder, std::string_view name) {
  std::string path(install_folder);
  path.append(name);
  return path;
}

std::string browser_command(std::string_view path) {
  std::string command = "IExplore.exe ";
  command.append(path);
  return command;
}

std::string registered_browser_command(std::string_view registered_path, std::string_view argument) {
  std::string_view program = registered_path;
  if (program.size() >= 2 && program.front() == '"' && program.back() == '"') {
    program = program.substr(1, program.size() - 2);
  }
  std::string command = "\"";
  command.append(program).append("\" ").append(argument);
  return command;
}
