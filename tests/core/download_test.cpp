// The download rules without a network or a window: which list lines are fetched under which names, what a
// fetch reads, writes and shows for every way a server can answer, and the progress row, title and summary.
#include <gtest/gtest.h>

#include "download/list.h"
#include "tests/core/fake_net.h"

using std::string;
using R = Response;

static string escaped(std::string_view bytes) {  // every byte as a percent escape, as in an address
  string text;
  for (const unsigned char c : bytes) text += {'%', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return text;
}

// Windows-1251 from 0x80 on, 0x98 left out: the build stores the plain literal so, the u8 one as UTF-8.
#define UPPER_HALF "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї" \
                   "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"

TEST(List, SavedFileName) {
  const struct { const char* why; string name, saved; } changed[] = {
      {"UTF-8 escapes, hex in either case", "%D0%BE%d1%82%D1%87%d1%91%D1%82%202008.doc", "отчёт 2008.doc"},
      {"every character of the code page", escaped(u8"" UPPER_HALF), UPPER_HALF},
      {"bytes outside escapes kept, a stray % too", "от%20чёт%.doc%4", "от чёт%.doc%4"},
      {"forbidden characters", "a<b>c:d\"e|f?g*h\x01\x1f\x7f\xff.txt", "a_b_c_d_e_f_g_h__\x7f\xff.txt"},
      {"escaped separators, colon, line feed", "..%2F..%2Fa%5Cb%3Ac%0Ad", ".._.._a_b_c_d"},
      {"trailing dots and blanks", "a b.%20%2E", "a b___"},
      {"device", "con.txt", "_con.txt"},
      {"device in any case", "nUl", "_nUl"},
      {"device before the first dot", "Aux.tar.gz", "_Aux.tar.gz"},
      {"device with blanks before the dot", "prn  .txt", "_prn  .txt"},
      {"numbered device", "com1.zip", "_com1.zip"},
      {"last numbered device", "LPT9", "_LPT9"},
      {"decoded device", "%43ON", "_CON"},
      {"trailing dot made safe first", "CON.", "CON_"},
      {"empty", "", "_"}};
  for (const auto& c : changed) EXPECT_EQ(saved_file_name(c.name), c.saved) << c.why;
  const std::pair<const char*, const char*> kept[] = {
      {"a character the code page lacks", "%C3%A9t%C3%A9%20.txt"},
      {"U+0098, no character", "%C2%98%20.txt"},
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

TEST(List, EntriesByLineRules) {
  const string n600(600, 'n'), n509(509, 'n'), x509 = "h/" + string(509, 'x'), x508 = "h/" + string(508, 'x');
  const struct { const char* name; string text, entries; } cases[] = {  // entries: "address>name;" each
      {"CRLF line ends", "h/f1.bin\r\nh/f2.bin\r\n", "h/f1.bin>f1.bin;h/f2.bin>f2.bin;"},
      {"CR at the very end", "h/f1.bin\r", "h/f1.bin>f1.bin;"},
      {"lone CR inside stays, made usable", "h/f\r1.bin\n", "h/f\r1.bin>f_1.bin;"},
      {"no separator: the first character goes", "file.zip", "file.zip>ile.zip;"},
      {"same name in a row skipped", "a/1/s.zip\nb\\2\\s.zip\nc/o.zip", "a/1/s.zip>s.zip;c/o.zip>o.zip;"},
      {"same name again after another", "a/s.zip\nc/o.zip\nb/s.zip", "a/s.zip>s.zip;c/o.zip>o.zip;b/s.zip>s.zip;"},
      {"the address's names compared", "h/a%20b.txt\nh/a b.txt\nh/a b.txt", "h/a%20b.txt>a b.txt;h/a b.txt>a b.txt;"},
      {"the address's name counted", "h/%D0%B0\nh/f2.bin", "h/%D0%B0>а;h/f2.bin>f2.bin;"},
      {"empty line ends the walk", "h/f1.bin\n\nh/f2.bin", "h/f1.bin>f1.bin;"},
      {"name of 3 ends the walk, 4 does not", "h/a.bc\nh/a.b\nh/f2.bin", "h/a.bc>a.bc;"},
      {"address ending in / ends the walk", "h/dir/\nh/f2.bin", ""},
      {"last line of 5 without line feed", "h/f1.bin\nxabcd", "h/f1.bin>f1.bin;xabcd>abcd;"},
      {"line over 511 goes in pieces", "h/" + n600 + "\nh/f2.bin",
       "h/" + n509 + ">" + n509 + ";" + n600.substr(509) + ">" + n600.substr(510) + ";h/f2.bin>f2.bin;"},
      {"line of 511 keeps its LF", x509 + "\nh/f2.bin", x509 + ">" + x509.substr(2) + ";h/f2.bin>f2.bin;"},
      {"line of 512 leaves a short piece", x509 + "y\nh/f2.bin", x509 + ">" + x509.substr(2) + ";"},
      {"CRLF not counted in the 511", x508 + "\r\nh/f2.bin", x508 + ">" + x508.substr(2) + ";h/f2.bin>f2.bin;"}};
  for (const auto& c : cases) {
    string entries;
    ListReader list(c.text);
    while (std::optional<ListEntry> e = list.next()) entries += e->address + ">" + e->name + ";";
    EXPECT_EQ(entries, c.entries) << c.name;
    EXPECT_FALSE(list.next()) << c.name << ": an ended walk stays ended";
  }
  EXPECT_EQ(file_name_from_address(""), "");
}

TEST(Progress, PercentTitleRowAndClosingTexts) {
  const struct { std::int32_t size; const char* status; int percent; } cases[] = {
      {50000, "22400", 44},
      {0, "22400", 0},
      {200000, "201600", 100},
      {100, "Загружается", 0},
      {100, " \t+50", 50},
      {100, "-50", 0},
      {1, "99999999999999999999999999", 100},
      {2147483647, "2147481600", 99}};  // offset × 100 is far past 32 bits
  for (const auto& c : cases) EXPECT_EQ(progress_percent(c.size, c.status), c.percent) << c.size << " " << c.status;
  EXPECT_EQ(progress_title(2, 44) + "|" + progress_title(5, 0), "Tulvex: 3. + 44 %|Tulvex 1.15");

  DownloadState state;
  string rows;  // "item number size;" at each update, '+' when the row is new
  for (const std::string_view address : {"", "h/f1.bin", "", "h/f2.bin"}) {  // none: the size changes instead
    if (address.empty()) state.size = 50000;
    else begin_row(state, address);
    const ProgressRow r = progress_row(state);
    rows += std::to_string(r.item) + (r.insert ? "+" : " ") + r.number + " " + r.size + ";";
  }
  EXPECT_EQ(rows + state.address + " " + state.status, "-1 1 50000;0+1 0;0 1 50000;1+2 0;h/f2.bin Проверка");
  const string deep = "C:\\" + string(700, 'd');
  EXPECT_EQ(download_path("file.zip") + "|" + summary_text(2, 3) + "|" + explorer_command(deep),
            "Tulvex_files\\file.zip|Загружено файлов: 2 из 3     |Explorer.exe " + deep + "\\Tulvex_files");
}

constexpr char kAddress[] = "http://127.0.0.1/file.bin";
constexpr char kPath[] = "Tulvex_files\\x?.bin";  // written as given, whatever the name

// One fetch on a row the walker has just handed over: the connection closed, a file written is one counted.
struct OneFetch {
  explicit OneFetch(Response net, bool write_ok = true) {
    begin_row(state, kAddress);
    host.write_ok = write_ok;
    const int saved = fetch(net, host, state, kAddress, kPath);
    EXPECT_EQ(std::make_tuple(net.is_open, saved, state.files_saved),
              std::make_tuple(false, int(host.files.size()), saved));
  }
  DownloadState state;
  RecordingHost host{state};
};

TEST(Fetch, FinalStatusFileAndSize) {
  const R told = R().length("50000").body(50000), chunked = R(told).positionable();
  const struct { const char* name; Response response; const char* status; long file; int size; bool write_fails = false;
  } cases[] = {  // file: bytes written, -1 for none; size: the size column at the end
      {"chunks", chunked, "Загружен", 50000, 50000},
      {"chunks: more than told", R().length("200000").body(210000).positionable(), "Частично загружен", 199360, 200000},
      {"chunks: all told", R().length("200000").body(200000).positionable(), "Загружен", 200000, 200000},
      {"chunks: less than told", R().length("50000").body(30000).positionable(), "Частично загружен", 30000, 50000},
      {"chunks: no length, the norm", R().body(96000).positionable(), "Больше нормы", -1, 96000},
      {"chunks: no length, past the norm", R().body(100000).positionable(), "Частично загружен", 94080, 94080},
      {"chunks: short reads", R(chunked).reads_at_most(1000), "Загружен", 50000, 50000},
      {"chunks: a read fails", R(chunked).fails_at(30000), "Не читается", -1, 50000},
      {"chunks: positioning refused later", R(chunked).then_positioned_at(-1), "Загружен", 50000, 50000},
      {"chunks: positioning lands elsewhere", R(chunked).then_positioned_at(5), "Не читается", -1, 50000},
      {"one go", told, "Загружен", 50000, 50000},
      {"one go: the norm told", R().length("96000").body(96000), "Загружен", 96000, 96000},
      {"one go: more than told", R().length("50000").body(60000), "Загружен", 50000, 50000},
      {"one go: less than told", R().length("50000").body(30000), "Частично загружен", 30000, 50000},
      {"one go: no length", R().body(50000), "Частично загружен", 50000, 50000},
      {"one go: no length, the norm", R().body(96000), "Больше нормы", -1, 96000},
      {"one go: short reads", R(told).reads_at_most(777), "Загружен", 50000, 50000},
      {"one go: a read fails", R(told).fails_at(30000), "Не читается", -1, 50000},
      {"length past 32 bits", R().length("4294967296").body(100), "Слишком большой", -1, 0},
      {"first status past success", R().body(9).status(300), "Недоступен", -1, 0},
      {"last success status", R(told).status(299), "Загружен", 50000, 50000},
      {"not HTTP", R(told).status(std::nullopt), "Загружен", 50000, 50000},
      {"nothing available", R().body(10).available(std::nullopt), "Недоступен", -1, 0},
      {"write fails", chunked, "Ош. записи", -1, 50000, true}};
  for (const auto& c : cases) {
    const OneFetch run(c.response, !c.write_fails);
    std::map<string, string> files;
    if (c.file >= 0) files[kPath] = c.response.bytes.substr(0, c.file);
    EXPECT_EQ(std::tie(run.state.status, run.state.size, run.host.files), std::tie(c.status, c.size, files)) << c.name;
  }
}

TEST(Fetch, RowAtEachStage) {
  const auto chunks = [](const string& size, int last) {
    string shown;
    for (int offset = 0; offset <= last; offset += kChunkSize) shown += size + ":" + std::to_string(offset) + ";";
    return shown;
  };
  string waiting;  // the size column held to 31 bits
  for (int pass = 0; pass < kWaitingPasses; ++pass) waiting += "2147483647:Загружается;wait 300;";
  const std::pair<Response, string> cases[] = {
      {R().body(95999).positionable().available(~0u),  // no length: waiting passes, then chunks
       waiting + "0:Загружается;0:Без размера;" + chunks("0", 94080) + "95999:94080;95999:Загружен;"},
      {R().length("none").body(10).positionable(), "0:Загружается;0:Без размера;0:0;10:0;10:Загружен;"},  // no digits
      {R().opens(Connection::Opened::no_internet), " |Не удалось подключиться к интернету.   "},  // the row untouched
      {R().opens(Connection::Opened::no_address), "Адрес не открывается.   |" + string(kAddress)}};
  for (const auto& [response, shown] : cases) EXPECT_EQ(OneFetch(response).host.shown, shown);
}

TEST(AnnouncedLength, ValueOrTooLarge) {
  const std::pair<std::string_view, std::optional<std::int32_t>> cases[] = {
      {"50000", 50000},
      {" \t\n\v\f\r42", 42},
      {"12abc", 12},
      {"", 0},
      {"-0", 0},
      {"-1", std::nullopt},
      {std::string_view("4096", 2), 40},  // the text ends where its view does
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"99999999999999999999999", std::nullopt}};
  for (const auto& [header, length] : cases) EXPECT_EQ(announced_length(header), length) << header;
}
