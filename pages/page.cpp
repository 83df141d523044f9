// Page frame and result-file bytes.
#include "pages/page.h"

namespace {
// The maker's web address: in the page title and twice in the footer.
#define TULVEX_HOST "www.morvalesoft.ru"
constexpr char kHeader[] =
    "<HTML><HEAD>\n"
    "<meta http-equiv='Content-Type' content='text/html; Charset=Windows-1251'>\n"
    "<STYLE TYPE='text/css'>@import url('tulvex.css');</STYLE>\n"
    "<TITLE>Tulvex: " TULVEX_HOST "</TITLE></HEAD>\n"
    "<BODY bgcolor='#a0b8a0' background='bg1.jpg'>\n"
    "<center>\n"
    "<table width=640 border=0 cellpadding=20><td bgcolor='#FFFFFF' background='bg_kvadrat_1.jpg'><p>";

constexpr char kFooter[] =
    "</center><br><br><hr size=1><center><font size=-1>Morvale Soft: "
    "программы для самообразования, новости науки (<a href='http://" TULVEX_HOST
    "' target=_blank>" TULVEX_HOST "</a>).</font></center></td></table></center></body></html>";
#undef TULVEX_HOST
}  // namespace

std::string_view page_header() { return kHeader; }
std::string_view page_footer() { return kFooter; }

std::string on_disk(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 16);
  std::size_t start = 0;
  for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', start)) {
    out.append(text.substr(start, lf - start));
    out.append("\r\n");
    start = lf + 1;
  }
  out.append(text.substr(start));
  return out;
}

std::string framed_page_file(std::string_view clipboard_text) {
  std::string page;
  page.reserve(sizeof kHeader + sizeof kFooter + clipboard_text.size() + 16);
  page.append(kHeader).append(" \n\n ");
  page.append(clipboard_text);
  page.append(" \n\n ").append(kFooter);
  return on_disk(page);
}

std::string source_file(std::string_view clipboard_text) { return on_disk(clipboard_text); }

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
