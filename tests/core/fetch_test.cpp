// The single-file fetch through a scripted response: what is read, what is
// written, and what the row shows, for every way a server can answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/fetch.h"
#include "tests/core/fake_net.h"

namespace {

using Shown = RecordingHost::Shown;

// Bytes that differ from their neighbours, so a chunk in the wrong place or
// a byte that never arrived shows.
std::string body_of(std::size_t size) {
  std::string body(size, '\0');
  std::uint32_t x = 12345;
  for (char& c : body) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  return body;
}

constexpr char kPath[] = "Tulvex_files\\file.bin";

struct FetchRun {
  int result;
  DownloadState state;
  RecordingHost host{state};
  bool left_open;
};

// Runs one fetch on a row that the walker has just handed over.
void run_fetch(const FakeResponse& response, FetchRun& run, const std::string& path = kPath) {
  begin_row(run.state, "http://127.0.0.1/file.bin");
  FakeConnection net(response);
  run.result = fetch(net, run.host, run.state, "http://127.0.0.1/file.bin", path);
  run.left_open = net.is_open;
}

FakeResponse response(std::optional<std::string> length, std::size_t body_size, bool positionable = true) {
  FakeResponse r;
  r.length = std::move(length);
  r.body = body_of(body_size);
  r.positionable = positionable;
  if (!r.length) r.available = 8192;
  return r;
}

TEST(Fetch, FinalStatusFileAndSize) {
  struct Case {
    const char* name;
    FakeResponse response;
    const char* status;
    long file_size;  // -1: no file
    std::int32_t size;
    int fetch_state;
  };
  FakeResponse short_reads = response("50000", 50000);
  short_reads.most_per_read = 1000;
  FakeResponse short_reads_one_go = response("50000", 50000, false);
  short_reads_one_go.most_per_read = 777;
  FakeResponse reset = response("50000", 50000);
  reset.fails_at = 30000;
  FakeResponse reset_one_go = response("50000", 50000, false);
  reset_one_go.fails_at = 30000;
  FakeResponse not_found = response("9", 9);
  not_found.status = 404;
  FakeResponse server_error = response(std::nullopt, 100);
  server_error.status = 500;
  FakeResponse no_content = response("0", 0);
  no_content.status = 204;
  FakeResponse no_status = response("10", 10);  // not HTTP
  no_status.status = std::nullopt;
  FakeResponse refuses_later = response("50000", 50000);
  refuses_later.later_positions = -1;  // reads go on where they are
  FakeResponse lands_elsewhere = response("50000", 50000);
  lands_elsewhere.later_positions = 5;
  FakeResponse nothing = response(std::nullopt, 10);
  nothing.available = std::nullopt;

  const Case cases[] = {
      {"known length, chunks", response("50000", 50000), "Загружен", 50000, 50000, 0},
      {"known length, server sends more", response("200000", 210000), "Частично загружен", 199360, 200000, 0},
      {"known length, server sends exactly", response("200000", 200000), "Загружен", 200000, 200000, 0},
      {"known length, chunks, server stops early", response("50000", 30000), "Частично загружен", 30000, 50000, 0},
      {"no length, 95999", response(std::nullopt, 95999), "Загружен", 95999, 95999, 2},
      {"no length, 96000", response(std::nullopt, 96000), "Больше нормы", -1, 96000, 2},
      {"no length, 100000", response(std::nullopt, 100000), "Частично загружен", 94080, 94080, 2},
      {"no length, empty", response(std::nullopt, 0), "Загружен", 0, 0, 2},
      {"one go, known length", response("50000", 50000, false), "Загружен", 50000, 50000, 1},
      {"one go, known length 96000", response("96000", 96000, false), "Больше нормы", -1, 96000, 1},
      {"one go, server sends more", response("50000", 60000, false), "Загружен", 50000, 50000, 1},
      {"one go, server stops early", response("50000", 30000, false), "Частично загружен", 30000, 50000, 1},
      {"one go, no length", response(std::nullopt, 50000, false), "Частично загружен", 50000, 50000, 3},
      {"one go, no length, 96000", response(std::nullopt, 96000, false), "Больше нормы", -1, 96000, 3},
      {"one go, no length, more", response(std::nullopt, 150000, false), "Больше нормы", -1, 96000, 3},
      {"length 3000000000", response("3000000000", 100), "Слишком большой", -1, 0, 0},
      {"length 4294967296", response("4294967296", 100), "Слишком большой", -1, 0, 0},
      {"length of 30 digits", response("100000000000000000000000000050", 50), "Слишком большой", -1, 0, 0},
      {"negative length", response("-5", 100), "Слишком большой", -1, 0, 0},
      {"length without digits", response("abc", 1000), "Загружен", 1000, 1000, 2},
      {"short reads, chunks", short_reads, "Загружен", 50000, 50000, 0},
      {"short reads, one go", short_reads_one_go, "Загружен", 50000, 50000, 1},
      {"reset mid-body, chunks", reset, "Не читается", -1, 50000, 0},
      {"reset mid-body, one go", reset_one_go, "Не читается", -1, 50000, 1},
      {"positioning refused mid-body", refuses_later, "Загружен", 50000, 50000, 0},
      {"positioning lands elsewhere", lands_elsewhere, "Не читается", -1, 50000, 0},
      {"404", not_found, "Недоступен", -1, 0, 0},
      {"500", server_error, "Недоступен", -1, 0, 0},
      {"204", no_content, "Загружен", 0, 0, 2},
      {"no HTTP status", no_status, "Загружен", 10, 10, 0},
      {"no length, nothing available", nothing, "Недоступен", -1, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchRun run;
    run_fetch(c.response, run);
    EXPECT_EQ(run.state.status, c.status);
    EXPECT_EQ(run.state.size, c.size);
    EXPECT_EQ(run.state.fetch_state, c.fetch_state);
    EXPECT_FALSE(run.left_open);
    EXPECT_TRUE(run.host.boxes.empty());
    EXPECT_EQ(run.result, c.file_size >= 0 ? 1 : 0);
    EXPECT_EQ(run.state.files_saved, run.result);
    if (c.file_size < 0) {
      EXPECT_TRUE(run.host.files.empty());
    } else {
      ASSERT_EQ(run.host.files.count(kPath), 1u);
      EXPECT_EQ(run.host.files[kPath], c.response.body.substr(0, c.file_size));
    }
  }
}

std::vector<Shown> offsets(std::int32_t size, std::uint32_t last) {
  std::vector<Shown> shown;
  for (std::uint32_t offset = 0; offset <= last; offset += kChunkSize) shown.push_back({size, std::to_string(offset)});
  return shown;
}

std::vector<Shown> concat(std::vector<std::vector<Shown>> parts) {
  std::vector<Shown> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(Fetch, RowAtEachStage) {
  struct Case {
    const char* name;
    FakeResponse response;
    std::vector<Shown> shown;
    int drains;
  };
  const std::vector<Shown> waiting(kWaitingPasses, Shown{8192, "Загружается"});
  const Case cases[] = {
      {"known length 50000: 23 chunks",
       response("50000", 50000),
       concat({{{50000, "Загружается"}}, offsets(50000, 49280), {{50000, "Загружен"}}}),
       0},
      {"no length, 95999: waiting passes, then chunks",
       response(std::nullopt, 95999),
       concat({waiting,
               {{0, "Загружается"}, {0, "Без размера"}},
               offsets(0, 94080),
               {{95999, "94080"}, {95999, "Загружен"}}}),
       kWaitingPasses},
      {"length without digits: no waiting",
       response("none", 10),
       {{0, "Загружается"}, {0, "Без размера"}, {0, "0"}, {10, "0"}, {10, "Загружен"}},
       0},
      {"one go, no length",
       response(std::nullopt, 700, false),
       concat({waiting, {{0, "Загружается"}, {0, "Без размера"}, {700, "Без размера"}, {700, "Частично загружен"}}}),
       kWaitingPasses},
      {"too large", response("3000000000", 1), {{0, "Слишком большой"}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchRun run;
    run_fetch(c.response, run);
    EXPECT_EQ(run.host.shown, c.shown);
    EXPECT_EQ(run.host.drains, c.drains);
    EXPECT_EQ(run.host.paused_ms, c.drains * kPassPauseMs);
    EXPECT_EQ(run.host.refreshes, 1);
  }
}

TEST(Fetch, ConnectionFailuresSpeakAndLeaveTheRow) {
  struct Case {
    Connection::Opened opened;
    std::pair<std::string, std::string> box;
  };
  const std::string address = "http://127.0.0.1/file.bin";
  const Case cases[] = {
      {Connection::Opened::no_internet, {"Не удалось подключиться к интернету.   ", " "}},
      {Connection::Opened::no_address, {address, "Адрес не открывается.   "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.opened));
    FakeResponse r = response("10", 10);
    r.opened = c.opened;
    FetchRun run;
    run_fetch(r, run);
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.host.boxes.size(), 1u);
    EXPECT_EQ(run.host.boxes[0], c.box);
    EXPECT_EQ(run.state.status, "Проверка");
    EXPECT_EQ(run.state.size, 0);
    EXPECT_TRUE(run.host.shown.empty());
  }
}

TEST(Fetch, NamesWindowsCannotHoldAndFailedWritesAreWriteErrors) {
  struct Case {
    std::string path;
    FetchHost::Written written;
    bool file_left;
  };
  const Case cases[] = {
      {"Tulvex_files\\con.txt", FetchHost::Written::ok, false},
      {"Tulvex_files\\get.php?id=5", FetchHost::Written::ok, false},
      {"Tulvex_files\\file.bin", FetchHost::Written::create_failed, false},
      {"Tulvex_files\\file.bin", FetchHost::Written::write_failed, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(static_cast<int>(c.written)));
    FetchRun run;
    run.host.write_result = c.written;
    run_fetch(response("100", 100), run, c.path);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.state.status, "Ош. записи");
    EXPECT_EQ(run.state.files_saved, 0);
    EXPECT_EQ(run.host.files.size(), c.file_left ? 1u : 0u);
    EXPECT_FALSE(run.left_open);
  }
}

TEST(Fetch, EveryFetchStartsAfresh) {
  FetchRun run;
  const FakeResponse first[] = {response(std::nullopt, 100, false), response(std::nullopt, 96000),
                                [] {
                                  FakeResponse r = response(std::nullopt, 1);
                                  r.available = std::nullopt;
                                  return r;
                                }()};
  for (const FakeResponse& before : first) {
    run_fetch(before, run);
    const int saved = run.state.files_saved;
    run.host.shown.clear();
    run_fetch(response("5000", 5000), run);
    EXPECT_EQ(run.state.fetch_state, 0);
    EXPECT_EQ(run.state.status, "Загружен");
    EXPECT_EQ(run.state.files_saved, saved + 1);
    EXPECT_EQ(run.host.shown.front(), (Shown{5000, "Загружается"}));
  }
  EXPECT_EQ(run.state.rows_taken, 6);
}

TEST(AnnouncedLength, ValueOrTooLarge) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"50000", 50000},         {"  \t42", 42},           {"+7", 7},
      {"12abc", 12},            {"", 0},                  {"abc", 0},
      {"-0", 0},                {"2147483647", 2147483647}, {"0002147483647", 2147483647},
      {"2147483648", std::nullopt}, {"3000000000", std::nullopt}, {"4294967296", std::nullopt},
      {"4294967297", std::nullopt}, {"-1", std::nullopt},   {"99999999999999999999999", std::nullopt},
  };
  for (const auto& [header, length] : cases) EXPECT_EQ(announced_length(header), length) << header;
}

TEST(UsableFileName, DevicesAndForbiddenCharacters) {
  const std::pair<const char*, bool> cases[] = {
      {"file.zip", true},   {"con.txt", false},  {"CON", false},     {"Aux.tar.gz", false},
      {"nul", false},       {"PRN.", false},     {"com1.zip", false}, {"LPT9", false},
      {"com0.zip", true},   {"com10", true},     {"lpt", true},       {"console.txt", true},
      {"con .txt", false},  {"a:b.txt", false},  {"x<y", false},      {"x>y", false},
      {"q\"t", false},      {"a|b", false},      {"what?", false},    {"st*r", false},
      {"tab\there", false}, {"\x7f.bin", true},  {"\xcf\xf0\xe8\xec\xe5\xf0.txt", true},
  };
  for (const auto& [name, usable] : cases) EXPECT_EQ(usable_file_name(name), usable) << name;
}

}  // namespace
