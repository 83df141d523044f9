// The download rules without a network or a window: which list lines are fetched, the names files get, what a fetch
// keeps, shows and tries again for every way a server can answer, and what the walk's window shows.
#include <gtest/gtest.h>

#include "download/list.h"
#include "download/names.h"
#include "download/walk.h"
#include "tests/core/fake_net.h"

using std::string;
using A = Answer;
using Got = Connection::Got;
using Opened = Connection::Opened;

static string escaped(std::string_view bytes) {  // every byte as a percent escape, as in an address
  string text;
  for (const unsigned char c : bytes) text += {'%', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return text;
}

// Windows-1251 from 0x80 on, 0x98 left out: the build stores the plain literal so, the u8 one as UTF-8.
#define UPPER_HALF "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї" \
                   "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"

TEST(Names, SavedFileName) {
  const struct { const char* why; string name, saved; } changed[] = {
      {"UTF-8 escapes, hex in either case", "%D0%BE%d1%82%D1%87%d1%91%D1%82%202008.doc", "отчёт 2008.doc"},
      {"every character of the code page", escaped(u8"" UPPER_HALF), UPPER_HALF},
      {"bytes outside escapes kept, a stray % too", "от%20чёт%.doc%4", "от чёт%.doc%4"},
      {"forbidden characters", "a<b>c:d\"e|f?g*h\x01\x1f\x7f\xff.txt", "a_b_c_d_e_f_g_h__\x7f\xff.txt"},
      {"escaped separators, colon, line feed", "..%2F..%2Fa%5Cb%3Ac%0Ad", ".._.._a_b_c_d"},
      {"trailing dots and blanks", "a b.%20%2E", "a b___"},
      {"device in any case, before the first dot", "nUl.tar.gz", "_nUl.tar.gz"},
      {"device with a blank before the dot", "prn .txt", "_prn .txt"},
      {"an escaped zero byte", "a%00b", "a_b"},
      {"console devices", "conin$.txt", "_conin$.txt"},
      {"console output", "CONOUT$", "_CONOUT$"},
      {"numbered devices", "LPT9", "_LPT9"},
      {"decoded numbered device", "%43OM1", "_COM1"},
      {"trailing dot made safe first", "CON.", "CON_"},
      {"empty", "", "_"}};
  for (const auto& c : changed) EXPECT_EQ(saved_file_name(c.name), c.saved) << c.why;
  const std::pair<const char*, const char*> kept[] = {
      {"a character the code page lacks", "%C3%A9t%C3%A9%20.txt"},
      {"U+0098, no character", "%C2%98%20.txt"},
      {"U+0080, none in the code page", "%C2%80%20.txt"},
      {"four bytes", "%F0%9F%98%80%20.txt"},
      {"lone lead byte", "%D0%20.txt"},
      {"lone continuation", "%80%20.txt"},
      {"cut short at the end", "a%20.txt%E2%84"},
      {"overlong, two bytes", "%C1%81%20.txt"},
      {"overlong, three bytes", "%E0%82%A9%20.txt"},
      {"not a device: COM0", "com0.txt"},
      {"not a device: LPTX (a letter past the digits)", "lptx.txt"},
      {"not a device: longer", "console.txt"},
      {"not a device: COM10", "com10"},
      {"no base", ".htaccess"}};
  for (const auto& [why, name] : kept) EXPECT_EQ(saved_file_name(name), name) << why;
}

TEST(Names, FromTheServerOrTheAddressWithAnExtensionFitted) {
  const string a300(300, 'a');
  const struct { const char* why; string address, disposition, type; std::size_t room; string name; } cases[] = {
      {"last segment", "http://h/dir/file.zip", "", "text/html", 255, "file.zip"},
      {"query whole, '/' and all", "http://h/kh_esp?ref=cnet.com/_esp", "", "", 255, "kh_esp_ref=cnet.com__esp"},
      {"fragment left out", "http://h/a/page.htm#top/x", "", "", 255, "page.htm"},
      {"backslash separates", "http://h/a\\b.txt", "", "", 255, "b.txt"},
      {"no type: as it is", "http://h/wiki/New_Zealand", "", "", 255, "New_Zealand"},
      {"the type's extension", "http://h/wiki/New_Zealand", "", "text/html; charset=UTF-8", 255, "New_Zealand.htm"},
      {"type in any case, blanks round", "http://h/x1", "", " Image/JPEG ", 255, "x1.jpg"},
      {"unknown type", "http://h/default", "", "application/octet-stream", 255, "default"},
      {"an extension is kept", "http://h/index.php", "", "text/html", 255, "index.php"},
      {"a query is no extension", "http://h/get.php?id=5", "", "application/pdf", 255, "get.php_id=5.pdf"},
      {"digits alone are no extension", "http://h/v1.2", "", "text/plain", 255, "v1.2.txt"},
      {"eleven letters are no extension", "http://h/a.abcdefghijk", "", "text/plain", 255, "a.abcdefghijk.txt"},
      {"host alone: its dots are no extension", "http://ya.ru", "", "text/html", 255, "ya.ru.htm"},
      {"host without user and port", "ftp://u:p@ya.ru:21?x", "", "", 255, "ya.ru_x"},
      {"server's name", "http://h/get.php?id=5", "attachment; filename=\"report.pdf\"", "", 255, "report.pdf"},
      {"server's name, its path left out", "http://h/x.bin", "inline;filename=..\\..\\boot.ini", "", 255, "boot.ini"},
      {"filename* first", "http://h/x.bin", "attachment; filename=\"a.pdf\"; FileName*=UTF-8''%D0%BE%D1%82.pdf", "",
       255, "от.pdf"},
      {"filename* in ISO-8859-1", "http://h/x.bin", "attachment; filename*=iso-8859-1'en'%A9x.txt", "", 255, "©x.txt"},
      {"filename* with a zero byte", "http://h/x.bin", "a; filename*=UTF-8''a%00b.txt", "", 255, "a_b.txt"},
      {"filename* the code page lacks", "http://h/x.bin", "a; filename*=UTF-8''%C3%A9.txt; filename=p.txt", "", 255,
       "p.txt"},
      {"quotes keep ';' and escapes", "http://h/x.bin", "a; filename=\"a;b\\\"c.txt\"", "", 255, "a;b_c.txt"},
      {"no file name in the header", "http://h/x.bin", "inline; filename=\"\"", "", 255, "x.bin"},
      {"server's name made usable, typed", "http://h/x.bin", "a; filename=\"con\"", "text/plain", 255, "_con.txt"},
      {"fitted, the extension kept", "http://h/" + a300 + ".pdf", "", "", 255, string(251, 'a') + ".pdf"},
      {"fitted to a small room", "http://h/abcdefghij.html", "", "", 8, "abc.html"},
      {"an extension as long as the room", "http://h/abcdefghij.html", "", "", 5, "abcde"},
      {"a cut ending in a dot", "http://h/aaaa.%20bbb_b", "", "", 5, "aaaa_"}};
  for (const auto& c : cases) EXPECT_EQ(chosen_file_name(c.address, c.disposition, c.type, c.room), c.name) << c.why;
}

TEST(Names, NumbersCaseZoneMarkAndTemporaryFiles) {
  EXPECT_EQ(numbered_name("index.html", 2, 255) + "|" + numbered_name("README", 13, 255) + "|" +
                numbered_name("abcdefgh.txt", 2, 12) + "|" + numbered_name("abcdefgh.txt", 2, 8) + "|" +
                numbered_name("a.b.", 3, 255),
            "index (2).html|README (13)|abcd (2).txt|a (2).txt|a.b. (3)");
  EXPECT_EQ(name_key("Ёлка Ўў.Txt a"), name_key("ёЛКА ўЎ.tXT A"));
  EXPECT_NE(name_key("Ёлка"), name_key("Елка"));
  EXPECT_EQ(zone_identifier("http://h/a\r\nb"), "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=http://h/ab\r\n");
  EXPECT_EQ(temporary_file_name(7), "~tulvex7.tmp");
  for (const auto& [name, ours] : {std::pair<const char*, bool>{"~TULVEX12.TMP", true}, {"~tulvex.tmp", false},
                                   {"~tulvex1a.tmp", false}, {"x~tulvex1.tmp", false}, {"~tulvex1.tmpx", false}}) {
    EXPECT_EQ(is_temporary_file_name(name), ours) << name;
  }
}

TEST(List, EntriesByLineRules) {
  const string n600(600, 'n'), x509 = "h/" + string(509, 'x'), x508 = "h/" + string(508, 'x');
  const struct { const char* name; string text, entries; } cases[] = {  // entries: each address and ';'
      {"CRLF line ends", "h/f1.bin\r\nh/f2.bin\r\n", "h/f1.bin;h/f2.bin;"},
      {"CR at the very end", "h/f1.bin\r", "h/f1.bin;"},
      {"lone CR inside stays", "h/f\r1.bin\n", "h/f\r1.bin;"},
      {"same name in a row skipped", "a/1/s.zip\nb\\2\\s.zip\nc/o.zip", "a/1/s.zip;c/o.zip;"},
      {"same name again after another", "a/s.zip\nc/o.zip\nb/s.zip", "a/s.zip;c/o.zip;b/s.zip;"},
      {"the address's names compared", "h/a%20b.txt\nh/a b.txt\nh/a b.txt", "h/a%20b.txt;h/a b.txt;"},
      {"empty line ends the walk", "h/f1.bin\n\nh/f2.bin", "h/f1.bin;"},
      {"name of 3 ends the walk, 4 does not", "h/a.bc\nh/a.b\nh/f2.bin", "h/a.bc;"},
      {"no separator: the first character is no part of the name", "abcde\nxabcd\nxabc", "abcde;xabcd;"},
      {"address ending in / ends the walk", "h/dir/\nh/f2.bin", ""},
      {"last line of 5 without line feed", "h/f1.bin\nxabcd", "h/f1.bin;xabcd;"},
      {"line over 511 goes in pieces", "h/" + n600 + "\nh/f2.bin",
       "h/" + n600.substr(0, 509) + ";" + n600.substr(509) + ";h/f2.bin;"},
      {"line of 511 keeps its LF", x509 + "\nh/f2.bin", x509 + ";h/f2.bin;"},
      {"line of 512 leaves a short piece", x509 + "y\nh/f2.bin", x509 + ";"},
      {"CRLF not counted in the 511", x508 + "\r\nh/f2.bin", x508 + ";h/f2.bin;"}};
  for (const auto& c : cases) {
    string entries;
    ListReader list(c.text);
    while (std::optional<ListEntry> e = list.next()) entries += e->address + ";";
    EXPECT_EQ(entries, c.entries) << c.name;
    EXPECT_FALSE(list.next()) << c.name << ": an ended walk stays ended";
  }
  const string deep = "C:\\" + string(700, 'd');
  EXPECT_EQ(summary_text(2, 3) + "|" + explorer_command(deep),
            "Загружено файлов: 2 из 3     |Explorer.exe " + deep + "\\Tulvex_files");
}

TEST(Walk, RowsInOrderTitleRowInSightAndNames) {
  Walk walk("h/f1.bin\nh/f2.bin\nh/f2.bin\nh/f3.bin\n");
  string taken;
  while (const std::optional<Walk::Taken> t = walk.take()) taken += std::to_string(t->row) + t->address + ";";
  EXPECT_EQ(taken, "0h/f1.bin;1h/f2.bin;2h/f3.bin;");
  const auto look = [&walk] {  // "title|row in sight|changed rows as number,address,size,status;"
    const WalkView view = walk.view();
    string text = view.title + "|" + (view.in_sight ? std::to_string(*view.in_sight) : "-") + "|";
    for (const ShownRow& r : view.changed) text += r.number + "," + r.address + "," + r.size + "," + r.status + ";";
    return text;
  };
  EXPECT_EQ(look(), "Tulvex 1.15|0|1,h/f1.bin,0,Проверка;2,h/f2.bin,0,Проверка;3,h/f3.bin,0,Проверка;");
  walk.update(0, {2000, "1000", 1000, true});
  EXPECT_EQ(look(), "Tulvex: 1. + 16 %|0|1,h/f1.bin,2000,50 %;");
  walk.update(0, {2000, "Загружен", 2000, false});
  walk.update(2, {0, "Без размера", 5000, true});  // no length: counts nothing before it ends
  EXPECT_EQ(look(), "Tulvex: 2. + 33 %|1|1,h/f1.bin,2000,Загружен;3,h/f3.bin,0,Без размера;");
  walk.update(1, {1, "Недоступен", 0, false});
  walk.update(2, {5000, "Загружен", 5000, false});
  EXPECT_EQ(look(), "Tulvex 1.15|2|2,h/f2.bin,1,Недоступен;3,h/f3.bin,5000,Загружен;");
  EXPECT_EQ(Walk("").view().in_sight, std::nullopt);

  const auto alias = [](const string& name) { return name == "LONG~1.HTM"; };  // another file's short name
  string names;
  for (const char* wanted : {"index.html", "INDEX.html", "Index.HTML", "Ёлка", "ёЛКА", "LONG~1.HTM"}) {
    names += walk.claim_name(wanted, 255, alias).value_or("none") + ";";
  }
  EXPECT_EQ(names, "index.html;INDEX (2).html;Index (3).HTML;Ёлка;ёЛКА (2);LONG~1 (2).HTM;");
  EXPECT_EQ(walk.claim_name("x", 255, [](const string&) { return true; }), std::nullopt);

  const std::optional<std::uint32_t> values[] = {std::nullopt, 0u, 1u, 8u, 9u, 3600u, 3601u};
  string got;  // fetches at once, stall seconds
  for (const auto& v : values) got += std::to_string(fetches_at_once(v)) + "," + std::to_string(stall_seconds(v)) + ";";
  EXPECT_EQ(got, "4,30;4,30;1,1;8,8;4,9;4,3600;4,30;");
}

// One fetch of http://h/file.bin through the scripted attempts: the host and the network afterwards.
struct OneFetch {
  explicit OneFetch(std::vector<Answer> script, RecordingHost setup = {}) : net(std::move(script)), host(setup) {
    char buffer[16384];
    fetch(net, host, "http://h/file.bin", buffer, sizeof buffer);
    EXPECT_EQ(host.parts, 0) << "no part left behind";
  }
  ScriptedNet net;
  RecordingHost host;
};

TEST(Fetch, FinalStatusFileAndSize) {
  const A told = A().length("50000").body(50000);
  const string whole = A::content(50000);
  RecordingHost full_disk, no_part, no_place;
  full_disk.disk = 20000, no_part.can_make = false, no_place.can_place = false;
  const struct { const char* name; std::vector<Answer> script; string status, size; std::optional<string> file;
                 RecordingHost host = {};
  } cases[] = {  // the final status and size column; the file put in place under its name, none for no file
      {"length told", {told}, "Загружен", "50000", whole},
      {"more than told: the told bytes", {A().length("50000").body(60000)}, "Загружен", "50000", whole},
      {"no length: to the end", {A().body(300000)}, "Загружен", "300000", A::content(300000)},
      {"length 0 is no length", {A().length("0").body(10)}, "Загружен", "10", A::content(10)},
      {"an empty file", {A().length("0")}, "Загружен", "0", ""},
      {"not HTTP", {A(told).status(std::nullopt)}, "Загружен", "50000", whole},
      {"last success status", {A(told).status(299)}, "Загружен", "50000", whole},
      {"first status past success", {A(told).status(300)}, "Недоступен", "0", std::nullopt},
      {"a length that is no number of bytes", {A().length("-1").body(9)}, "Слишком большой", "0", std::nullopt},
      {"cut short every time", {A(told).cut(30000, Got::end)}, "Не читается", "50000", std::nullopt},
      {"broken every time", {A(told).cut(30000, Got::broken)}, "Не читается", "50000", std::nullopt},
      {"no length, broken every time", {A().body(900).cut(300, Got::broken)}, "Не читается", "0", std::nullopt},
      {"resumed", {A(told).cut(30000, Got::broken),
                   A().status(206).range("bytes 30000-49999/50000").body(20000, 30000)}, "Загружен", "50000", whole},
      {"resumed twice, no length", {A().body(900).cut(300, Got::broken),
                                    A().status(206).range("bytes 300-899/*").body(600, 300).cut(100, Got::broken),
                                    A().status(206).range("bytes 400-899/900").body(500, 400)},
       "Загружен", "900", A::content(900)},
      {"started over", {A(told).cut(30000, Got::broken), told}, "Загружен", "50000", whole},
      {"started over, a new length", {A(told).cut(30000, Got::end), A().body(700)}, "Загружен", "700", A::content(700)},
      {"a resumed answer unlike the first", {A(told).cut(30000, Got::broken), A(told).status(503)}, "Не читается",
       "50000", std::nullopt},
      {"stalled, then opened", {A().opens(Opened::stalled), told}, "Загружен", "50000", whole},
      {"refused after it was opened", {A(told).cut(30000, Got::broken), A().opens(Opened::no_address)}, "Не читается",
       "50000", std::nullopt},
      {"no part can be made", {told}, "Ош. записи", "0", std::nullopt, no_part},
      {"full disk", {told}, "Ош. записи", "50000", std::nullopt, full_disk},
      {"cannot be put in place", {told}, "Ош. записи", "50000", std::nullopt, no_place}};
  for (const auto& c : cases) {
    const OneFetch run(c.script, c.host);
    const RowState& row = run.host.last;
    EXPECT_EQ(row.status + "|" + std::to_string(row.size) + (row.loading ? "|loading" : ""), c.status + "|" + c.size)
        << c.name;
    using Files = std::map<string, string>;
    const Files files = c.file ? Files{{"file.bin", *c.file}} : Files{};
    EXPECT_EQ(run.host.files, files) << c.name;
  }
}

TEST(Fetch, WhatEachAttemptAsksShowsAndCloses) {
  const A told = A().length("50000").body(50000).tag("\"v1\"");
  const struct { const char* name; std::vector<Answer> script; string asked, closes, shown; } cases[] = {
      {"whole", {told}, "0/;", "whole;", "50000:Загружается;50000:#50000:Загружен."},
      {"resumed with the first one's validator", {A(told).cut(30000, Got::broken),
        A().status(206).range("bytes 30000-49999/50000").body(20000, 30000)}, "0/;30000/\"v1\";", "cut;whole;",
       "50000:Загружается;50000:#50000:Загружен."},
      {"a part of a longer whole: asked whole again", {A(told).cut(30000, Got::broken),
        A().status(206).range("bytes 30000-59999/60000").body(30000, 30000), told}, "0/;30000/\"v1\";0/\"v1\";",
       "cut;cut;whole;", "50000:Загружается;50000:#50000:Загружается;50000:#50000:Загружен."},
      {"a part of something else: asked whole again", {A(told).cut(30000, Got::broken),
        A().status(206).range("bytes 0-49999/60000").body(50000), told}, "0/;30000/\"v1\";0/\"v1\";",
       "cut;cut;whole;", "50000:Загружается;50000:#50000:Загружается;50000:#50000:Загружен."},
      {"no length", {A().body(10)}, "0/;", "whole;", "0:Без размера;0:#10:Загружен."},
      {"more than told: closed unread", {A().length("50000").body(60000)}, "0/;", "cut;",
       "50000:Загружается;50000:#50000:Загружен."},
      {"refused at once", {A().opens(Opened::no_address), told}, "0/;", "",
       "0:Проверка.Адрес не открывается.   |http://h/file.bin"},
      {"no Internet", {A().opens(Opened::no_internet)}, "0/;", "",
       "0:Проверка. |Не удалось подключиться к интернету.   "},
      {"stalled every time", {A().opens(Opened::stalled)}, "0/;0/;0/;", "",
       "0:Проверка.Адрес не открывается.   |http://h/file.bin"},
      {"refused after stalls", {A().opens(Opened::stalled), A().opens(Opened::no_internet)}, "0/;0/;0/;", "",
       "0:Проверка. |Не удалось подключиться к интернету.   "},
      {"not a success: closed unread", {A(told).status(404)}, "0/;", "cut;", "0:Недоступен."},
      {"stopped while reading", {A(told).cut(30000, Got::stopped)}, "0/;", "cut;", "50000:Загружается;50000:#"}};
  for (const auto& c : cases) {
    const OneFetch run(c.script);
    EXPECT_EQ(run.net.asked + "|" + run.net.closes + "|" + run.host.shown, c.asked + "|" + c.closes + "|" + c.shown)
        << c.name;
  }
}

TEST(AnnouncedLength, ValueOrNoNumberOfBytes) {
  const std::pair<std::string_view, std::optional<std::int64_t>> cases[] = {
      {"50000", 50000},
      {" \t\n\v\f\r42", 42},
      {"12abc", 12},
      {"", 0},
      {"-0", 0},
      {"-1", std::nullopt},
      {std::string_view("4096", 2), 40},  // the text ends where its view does
      {"3000000000", 3000000000},
      {"100000000000000000", 100000000000000000},
      {"100000000000000001", std::nullopt},
      {"99999999999999999999999", std::nullopt}};
  for (const auto& [header, length] : cases) EXPECT_EQ(announced_length(header), length) << header;
}
