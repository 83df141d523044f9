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
      {"UTF-8 escapes, hex in either case", "%D0%be%d1%82%D1%87%d1%91%D1%82%202008.doc", u8"отчёт 2008.doc"},
      {"every character of the code page", escaped(u8"" UPPER_HALF), u8"" UPPER_HALF},
      {"beyond the code page", "%C3%A9t%C3%A9%20%CE%A9%E4%B8%AD%F0%9F%98%80.txt", u8"été Ω中😀.txt"},
      {"smallest of two, three and four bytes, the largest", "%C2%80%E0%A0%80%F0%90%80%80%F4%8F%BF%BF",
       u8"\u0080\u0800\U00010000\U0010FFFF"},
      {"bytes outside escapes kept, a stray % too", u8"от%20чёт%.doc%4", u8"от чёт%.doc%4"},
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
      {"a surrogate", "%ED%A0%80%20.txt"},
      {"the last surrogate", "%ED%BF%BF%20.txt"},
      {"past U+10FFFF", "%F4%90%80%80%20.txt"},
      {"overlong, four bytes", "%F0%8F%BF%BF%20.txt"},
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
      {"an extension of ten is kept", "http://h/index.abcdefghi1", "", "text/html", 255, "index.abcdefghi1"},
      {"a query is no extension", "http://h/get.php?id=5", "", "application/pdf", 255, "get.php_id=5.pdf"},
      {"digits alone are no extension", "http://h/v1.2", "", "text/plain", 255, "v1.2.txt"},
      {"eleven letters are no extension", "http://h/a.abcdefghijk", "", "text/plain", 255, "a.abcdefghijk.txt"},
      {"a folder: index with its type's extension", "http://h/d/", "", "text/html", 255, "index.htm"},
      {"a folder, no type", "http://h/", "", "", 255, "index"},
      {"host alone: its dots are no extension", "http://ya.ru", "", "text/html", 255, "ya.ru.htm"},
      {"host without user and port", "ftp://u:p@ya.ru:21?x", "", "", 255, "ya.ru_x"},
      {"server's name", "http://h/get.php?id=5", "attachment; filename=\"report.pdf\"", "", 255, "report.pdf"},
      {"server's name, its path left out", "http://h/x.bin", "inline;x=\\;filename=..\\..\\boot.ini", "", 255,
       "boot.ini"},
      {"filename* first", "http://h/x.bin", "attachment; filename=\"a.pdf\"; FileName*=UTF-8''%D0%BE%D1%82.pdf", "",
       255, u8"от.pdf"},
      {"filename* in ISO-8859-1", "http://h/x.bin", "attachment; filename*=iso-8859-1'en'%80%A9x.txt", "", 255,
       u8"\u0080©x.txt"},
      {"filename in Windows-1251", "http://h/x.bin", "a; filename=\"отчёт.pdf\"", "", 255, u8"отчёт.pdf"},
      {"an address in Windows-1251", "http://h/Ёлка", "", "", 255, u8"Ёлка"},
      {"filename* with a zero byte", "http://h/x.bin", "a; filename*=UTF-8''a%00b.txt", "", 255, "a_b.txt"},
      {"filename* beyond the code page", "http://h/x.bin", "a; filename*=UTF-8''%C3%A9.txt; filename=p.txt", "", 255,
       u8"é.txt"},
      {"filename* broken", "http://h/x.bin", "a; filename*=UTF-8''%C3.txt; filename=p.txt", "", 255, "p.txt"},
      {"quotes keep ';' and escapes", "http://h/x.bin", "a; filename=\"a;b\\\";c.txt\"", "", 255, "a;b_;c.txt"},
      {"an escape before an unclosed quote's last character", "http://h/x.bin", "a; filename=\"ab\\x", "", 255, "abx"},
      {"no file name in the header", "http://h/x.bin", "inline; filename=\"\"", "", 255, "x.bin"},
      {"server's name made usable, typed", "http://h/x.bin", "a; filename=\"con\"", "text/plain", 255, "_con.txt"},
      {"fitted, the extension kept", "http://h/" + a300 + ".pdf", "", "", 255, string(251, 'a') + ".pdf"},
      {"fitted to a small room", "http://h/abcdefghij.html", "", "", 8, "abc.html"},
      {"fitted in characters", "http://h/юю%D1%8E.txt", "", "", 6, u8"юю.txt"},
      {"a pair of UTF-16 units kept whole", "http://h/%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80", "", "", 5, u8"😀😀"},
      {"an extension as long as the room", "http://h/abcdefghij.html", "", "", 5, "abcde"},
      {"a cut ending in a dot and a blank", "http://h/aaa.%20bbb_b", "", "", 5, "aaa__"}};
  for (const auto& c : cases) EXPECT_EQ(chosen_file_name(c.address, c.disposition, c.type, c.room), c.name) << c.why;
}

TEST(Names, NumbersCaseZoneMarkAndTemporaryFiles) {
  EXPECT_EQ(numbered_name("index.html", 2, 255) + "|" + numbered_name("README", 13, 255) + "|" +
                numbered_name("abcdefgh.txt", 2, 12) + "|" + numbered_name("abcdefgh.txt", 2, 8) + "|" +
                numbered_name("a.b.", 3, 255),
            "index (2).html|README (13)|abcd (2).txt|a (2).txt|a.b. (3)");
  // Every letter of Windows-1251 in both cases; every other character of its upper half as it is.
  const string capitals = u8"ЂЃЉЊЌЋЏЎЈҐЁЄЇІЅАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯABCXYZ",
               smalls = u8"ђѓљњќћџўјґёєїіѕабвгдежзийклмнопрстуфхцчшщъыьэюяabcxyz",
               others = u8"‚„…†‡€‰‹‘’“”•–—™›\u00A0¤¦§©«¬\u00AD®°±µ¶·№»\u0098\u0800\U00010000";
  EXPECT_EQ(name_key(smalls) + name_key(capitals) + name_key(others), capitals + capitals + others);
  const string beyond = u8"éω中žàϋ", beyond_key = u8"ÉΩ中ŽÀΫ";
  EXPECT_EQ(name_key(beyond), beyond_key);
  EXPECT_EQ(zone_identifier("http://h/a\r\nb"), "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=http://h/ab\r\n");
  EXPECT_EQ(temporary_file_name(7), "~tulvex7.tmp");
  for (const auto& [name, ours] : {std::pair<const char*, bool>{"~TULVEX12.TMP", true}, {"~tulvex.tmp", false},
                                   {"~tulvex1a.tmp", false}, {"x~tulvex1.tmp", false}, {"~tulvex1.tmpx", false}}) {
    EXPECT_EQ(is_temporary_file_name(name), ours) << name;
  }
}

TEST(List, EveryAddressLineOnce) {
  const string x2083 = "h/" + string(2081, 'x');
  const struct { const char* name; string text, entries; } cases[] = {  // entries: each address and ';', '!' too long
      {"CRLF line ends", "h/f1.bin\r\nh/f2.bin\r\n", "h/f1.bin;h/f2.bin;"},
      {"CR at the very end", "h/f1.bin\r", "h/f1.bin;"},
      {"lone CR inside stays", "h/f\r1.bin\n", "h/f\r1.bin;"},
      {"blank lines passed over", "\nh/a\n\n \t\r\nh/\n", "h/a;h/;"},
      {"short names and folders fetched", "http://h/\nh/go\nh/?to=http://e.org/\nx",
       "http://h/;h/go;h/?to=http://e.org/;x;"},
      {"same address in a row skipped", "h/a.txt\nh/a.txt\n\nh/a.txt\nh/b.txt\nh/a.txt", "h/a.txt;h/b.txt;h/a.txt;"},
      {"same name, another address", "h/a/s.txt\nh/b/s.txt", "h/a/s.txt;h/b/s.txt;"},
      {"2083 characters whole", x2083 + "\r\nh/a", x2083 + ";h/a;"},
      {"longer: one entry, not fetched", x2083 + "yz\n" + x2083 + "yz\nh/a", x2083 + "!" + x2083 + "!h/a;"}};
  for (const auto& c : cases) {
    string entries;
    ListReader list(c.text);
    while (std::optional<ListEntry> e = list.next()) entries += e->address + (e->too_long ? "!" : ";");
    EXPECT_EQ(entries, c.entries) << c.name;
    EXPECT_FALSE(list.next()) << c.name << ": an ended walk stays ended";
  }
  const string deep = "C:\\" + string(700, 'd');
  EXPECT_EQ(summary_text(2, 3) + "|" + explorer_command(deep),
            "Загружено файлов: 2 из 3     |Explorer.exe " + deep + "\\Tulvex_files");
}

TEST(Walk, RowsInOrderTitleRowInSightAndNames) {
  const string list = "h/f1.bin\nh/f2.bin\nh/f2.bin\nh/f3.bin\n" + string(2084, 'x');  // read where it lies
  Walk walk(list);
  string taken;
  while (const std::optional<Walk::Taken> t = walk.take()) taken += std::to_string(t->row) + t->address + ";";
  EXPECT_EQ(taken, "0h/f1.bin;1h/f2.bin;2h/f3.bin;");
  const auto look = [&walk] {  // "title|row in sight|changed rows as number,address,size,status;"
    const WalkView view = walk.view();
    string text = view.title + "|" + (view.in_sight ? std::to_string(*view.in_sight) : "-") + "|";
    for (const ShownRow& r : view.changed) text += r.number + "," + r.address + "," + r.size + "," + r.status + ";";
    return text;
  };
  EXPECT_EQ(look(), "Tulvex: 1. + 25 %|0|1,h/f1.bin,0,Проверка;2,h/f2.bin,0,Проверка;3,h/f3.bin,0,Проверка;4," +
                        string(2083, 'x') + ",0,Недоступен;");  // a line too long: at once, not fetched
  walk.update(0, {2000, "1000", 1000, true});
  EXPECT_EQ(look(), "Tulvex: 1. + 37 %|0|1,h/f1.bin,2000,50 %;");
  walk.update(0, {2000, "Загружен", 2000, false});
  walk.update(2, {0, "Без размера", 5000, true});  // no length: counts nothing before it ends
  EXPECT_EQ(look(), "Tulvex: 2. + 50 %|1|1,h/f1.bin,2000,Загружен;3,h/f3.bin,0,Без размера;");
  walk.update(1, {1, "Недоступен", 0, false});
  walk.update(2, {5000, "Загружен", 5000, false});
  EXPECT_EQ(look(), "Tulvex 1.15|3|2,h/f2.bin,1,Недоступен;3,h/f3.bin,5000,Загружен;");
  EXPECT_EQ(Walk("").view().in_sight, std::nullopt);

  const auto alias = [](const string& name) { return name == "LONG~1.HTM"; };  // another file's short name
  string names;
  for (const char* wanted : {"index.html", "INDEX.html", "Index.HTML", u8"Ёлка", u8"ёЛКА", "LONG~1.HTM"}) {
    names += walk.claim_name(wanted, 255, alias).value_or("none") + ";";
  }
  EXPECT_EQ(names, u8"index.html;INDEX (2).html;Index (3).HTML;Ёлка;ёЛКА (2);LONG~1 (2).HTM;");
  EXPECT_EQ(walk.claim_name("x", 255, [](const string& n) { return n != "x (9999)"; }), "x (9999)");
  EXPECT_EQ(walk.claim_name("y", 255, [](const string& n) { return n != "y (10000)"; }), std::nullopt);

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
  const A told = A().length("50000").body(50000).tag("\"v1\"");
  const auto rest = [](std::size_t from, std::size_t whole, const string& range) {  // the same version's rest
    return A().status(206).range(range).tag("\"v1\"").body(whole - from, from);
  };
  const string whole = A::content(50000);
  std::vector<Answer> hops;  // every status that redirects; a Location alone does not
  for (const int status : {301, 302, 303, 307, 308, 301, 302, 303, 307, 308}) hops.push_back(A().to("/r").status(status));
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
      {"resumed", {A(told).cut(30000, Got::broken), rest(30000, 50000, "bytes 30000-49999/50000")}, "Загружен",
       "50000", whole},
      {"resumed twice, no length", {A().body(900).tag("\"v1\"").cut(300, Got::broken),
                                    rest(300, 900, "bytes 300-899/*").cut(100, Got::broken),
                                    rest(400, 900, "bytes 400-899/900")}, "Загружен", "900", A::content(900)},
      {"no length, a resumed part cut short: its whole holds", {A().body(900).tag("\"v1\"").cut(300, Got::broken),
        rest(300, 900, "bytes 300-899/900").cut(200, Got::end), rest(500, 900, "bytes 500-899/900")}, "Загружен",
       "900", A::content(900)},
      {"no length, a resumed part cut short: its own length holds", {A().body(900).tag("\"v1\"").cut(300, Got::broken),
        rest(300, 900, "bytes 300-899/*").length("600").cut(200, Got::end), rest(500, 900, "bytes 500-899/*")},
       "Загружен", "900", A::content(900)},
      {"416: every byte held", {A().body(901).tag("\"v1\"").cut(900, Got::broken),
                                A().status(416).range("bytes */900")}, "Загружен", "900", A::content(900)},
      {"416 of a shorter file: started over", {A().length("1000").body(1000).tag("\"v1\"").cut(900, Got::broken),
        A().status(416).range("bytes */900"), A().body(800)}, "Загружен", "800", A::content(800)},
      {"started over", {A(told).cut(30000, Got::broken), told}, "Загружен", "50000", whole},
      {"started over, no length now", {A(told).cut(30000, Got::end), A().body(700)}, "Загружен", "700",
       A::content(700)},
      {"a resumed answer unlike the first", {A(told).cut(30000, Got::broken), A(told).status(503)}, "Не читается",
       "50000", std::nullopt},
      {"stalled, then opened", {A().opens(Opened::stalled), told}, "Загружен", "50000", whole},
      {"refused after it was opened", {A(told).cut(30000, Got::broken), A().opens(Opened::no_address)}, "Не читается",
       "50000", std::nullopt},
      {"ten redirects followed", [&] { auto s = hops; s.push_back(A(told).to("/r").status(200)); return s; }(),
       "Загружен", "50000", whole},
      {"eleven redirects: none followed", [&] { auto s = hops; s.push_back(A().to("/r")); return s; }(),
       "Недоступен", "0", std::nullopt},
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
  const A cut = A(told).cut(30000, Got::broken);
  const auto rest = [](const string& tag, const string& range) {
    return A().status(206).range(range).tag(tag).body(20000, 30000);
  };
  const string again = "50000:Загружается;50000:#50000:Загружается;50000:#50000:Загружен.";
  const struct { const char* name; std::vector<Answer> script; string asked, closes, shown; } cases[] = {
      {"whole", {told}, "0/;", "whole;", "50000:Загружается;50000:#50000:Загружен."},
      {"resumed with the first one's validator", {cut, rest("\"v1\"", "bytes 30000-49999/50000")},
       "0/;30000/\"v1\";", "cut;whole;", "50000:Загружается;50000:#50000:Загружен."},
      {"no validator: asked whole again", {A(told).tag("").cut(30000, Got::broken), told}, "0/;0/;", "cut;whole;",
       again},
      {"another version's rest: asked whole again", {cut, rest("\"v2\"", "bytes 30000-49999/50000"), told},
       "0/;30000/\"v1\";0/\"v1\";", "cut;cut;whole;", again},
      {"a part of a longer whole: asked whole again", {cut, rest("\"v1\"", "bytes 30000-59999/60000"), told},
       "0/;30000/\"v1\";0/\"v1\";", "cut;cut;whole;", again},
      {"a part of something else: asked whole again", {cut, rest("\"v1\"", "bytes 0-49999/60000"), told},
       "0/;30000/\"v1\";0/\"v1\";", "cut;cut;whole;", again},
      {"a redirect followed from where it leads", {A().to("b/c?x"), A().to("/d"), told},
       "0/;http://h/b/c?x 0/;http://h/d 0/;", "cut;cut;whole;", "50000:Загружается;50000:#50000:Загружен."},
      {"no length", {A().body(10)}, "0/;", "whole;", "0:Без размера;0:#10:Загружен."},
      {"more than told: closed unread", {A().length("50000").body(60000)}, "0/;", "cut;",
       "50000:Загружается;50000:#50000:Загружен."},
      {"refused at once", {A().opens(Opened::no_address), told}, "0/;", "",
       "0:Недоступен.Адрес не открывается.   |http://h/file.bin"},
      {"no Internet", {A().opens(Opened::no_internet)}, "0/;", "",
       "0:Недоступен. |Не удалось подключиться к интернету.   "},
      {"stalled every time", {A().opens(Opened::stalled)}, "0/;0/;0/;", "",
       "0:Недоступен.Адрес не открывается.   |http://h/file.bin"},
      {"refused after stalls", {A().opens(Opened::stalled), A().opens(Opened::no_internet)}, "0/;0/;0/;", "",
       "0:Недоступен. |Не удалось подключиться к интернету.   "},
      {"not a success: closed unread", {A(told).status(404)}, "0/;", "cut;", "0:Недоступен."},
      {"stopped while reading", {A(told).cut(30000, Got::stopped)}, "0/;", "cut;", "50000:Загружается;50000:#"}};
  for (const auto& c : cases) {
    const OneFetch run(c.script);
    EXPECT_EQ(run.net.asked + "|" + run.net.closes + "|" + run.host.shown, c.asked + "|" + c.closes + "|" + c.shown)
        << c.name;
  }
}

TEST(Fetch, RedirectTargets) {
  string targets;
  for (const char* location : {"https://e.org/x", "//e.org/x", "/x?y", "c/d", "?z"}) {
    targets += redirect_target("http://h:8/a/b?q/r#f", location) + " " + redirect_target("http://h", location) + ";";
  }
  EXPECT_EQ(targets, "https://e.org/x https://e.org/x;http://e.org/x http://e.org/x;http://h:8/x?y http://h/x?y;"
                     "http://h:8/a/c/d http://h/c/d;http://h:8/a/b?z http://h?z;");
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
