// The single-file fetch through a scripted response: what is read, what is
// written and what the row shows, for every way a server can answer.
#include <gtest/gtest.h>

#include <string>

#include "download/fetch.h"
#include "tests/core/fake_net.h"

namespace {

using std::nullopt;
using std::string;
constexpr char kAddress[] = "http://127.0.0.1/file.bin";
constexpr char kPath[] = "Tulvex_files\\file.bin";

struct FetchRun {
  // One fetch on a row that the walker has just handed over.
  FetchRun& fetch_one(const FakeResponse& response, const string& path = kPath) {
    begin_row(state, kAddress);
    body = body_of(response.body_size);
    FakeConnection net(response, body);
    result = fetch(net, host, state, kAddress, path);
    left_open = net.is_open;
    return *this;
  }
  string shown() const {
    string all;
    for (const string& s : host.shown) all += s + ";";
    return all;
  }
  DownloadState state;
  RecordingHost host{state};
  string body;
  int result = -1;
  bool left_open = false;
};

TEST(Fetch, FinalStatusFileAndSize) {
  // name, response, final status, file size (-1: no file), size column
  const struct { const char* name; FakeResponse response; const char* status; long file_size; std::int32_t size;
  } cases[] = {
      {"known length, chunks", {"50000", 50000}, "Загружен", 50000, 50000},
      {"server sends more", {"200000", 210000}, "Частично загружен", 199360, 200000},
      {"server sends exactly", {"200000", 200000}, "Загружен", 200000, 200000},
      {"chunks, server stops early", {"50000", 30000}, "Частично загружен", 30000, 50000},
      {"no length, 96000", {nullopt, 96000}, "Больше нормы", -1, 96000},
      {"no length, 100000", {nullopt, 100000}, "Частично загружен", 94080, 94080},
      {"one go", {"50000", 50000, false}, "Загружен", 50000, 50000},
      {"one go, 96000 announced", {"96000", 96000, false}, "Загружен", 96000, 96000},
      {"one go, server sends more", {"50000", 60000, false}, "Загружен", 50000, 50000},
      {"one go, server stops early", {"50000", 30000, false}, "Частично загружен", 30000, 50000},
      {"one go, no length", {nullopt, 50000, false}, "Частично загружен", 50000, 50000},
      {"one go, no length, 96000", {nullopt, 96000, false}, "Больше нормы", -1, 96000},
      {"length 4294967296", {"4294967296", 100}, "Слишком большой", -1, 0},
      {"short reads, chunks", {"50000", 50000, true, 1000}, "Загружен", 50000, 50000},
      {"short reads, one go", {"50000", 50000, false, 777}, "Загружен", 50000, 50000},
      {"reset mid-body, chunks", {"50000", 50000, true, 0, 30000}, "Не читается", -1, 50000},
      {"reset mid-body, one go", {"50000", 50000, false, 0, 30000}, "Не читается", -1, 50000},
      {"500 without length", {nullopt, 9, true, 0, nullopt, 500}, "Недоступен", -1, 0},
      {"302 not followed", {"5", 5, true, 0, nullopt, 302}, "Недоступен", -1, 0},
      {"204", {"0", 0, true, 0, nullopt, 204}, "Загружен", 0, 0},
      {"not HTTP", {"10", 10, true, 0, nullopt, nullopt}, "Загружен", 10, 10},
      {"positioning refused later", {"50000", 50000, true, 0, nullopt, 200, -1}, "Загружен", 50000, 50000},
      {"positioning lands elsewhere", {"50000", 50000, true, 0, nullopt, 200, 5}, "Не читается", -1, 50000},
      {"nothing available", {nullopt, 10, true, 0, nullopt, 200, nullopt, nullopt}, "Недоступен", -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FetchRun run;
    run.fetch_one(c.response);
    EXPECT_EQ(run.state.status, c.status);
    EXPECT_EQ(run.state.size, c.size);
    EXPECT_FALSE(run.left_open);
    EXPECT_EQ(run.result, c.file_size >= 0 ? 1 : 0);
    EXPECT_EQ(run.state.files_saved, run.result);
    std::map<string, string> files;
    if (c.file_size >= 0) files[kPath] = run.body.substr(0, c.file_size);
    EXPECT_EQ(run.host.files, files);
  }
}

TEST(Fetch, RowAtEachStage) {
  auto offsets = [](const string& size, std::uint32_t last) {
    string shown;
    for (std::uint32_t offset = 0; offset <= last; offset += kChunkSize) shown += size + ":" + std::to_string(offset) + ";";
    return shown;
  };
  string waiting;
  for (int pass = 0; pass < kWaitingPasses; ++pass) waiting += "8192:Загружается;";
  const struct { const char* name; FakeResponse response; string shown; int drains; } cases[] = {
      {"known length: 23 chunks", {"50000", 50000}, "50000:Загружается;" + offsets("50000", 49280) + "50000:Загружен;", 0},
      {"no length: waiting passes, then chunks", {nullopt, 95999},
       waiting + "0:Загружается;0:Без размера;" + offsets("0", 94080) + "95999:94080;95999:Загружен;", kWaitingPasses},
      {"length without digits: no waiting", {"none", 10}, "0:Загружается;0:Без размера;0:0;10:0;10:Загружен;", 0},
  };
  for (const auto& c : cases) {
    FetchRun run;
    EXPECT_EQ(run.fetch_one(c.response).shown(), c.shown) << c.name;
    EXPECT_EQ(run.host.drains, c.drains) << c.name;
    EXPECT_EQ(run.host.paused_ms, c.drains * kPassPauseMs) << c.name;
  }
}

TEST(Fetch, ConnectionFailuresSpeakAndLeaveTheRow) {
  const std::pair<Connection::Opened, string> cases[] = {
      {Connection::Opened::no_internet, " |Не удалось подключиться к интернету.   "},
      {Connection::Opened::no_address, "Адрес не открывается.   |" + string(kAddress)},
  };
  for (const auto& [opened, box] : cases) {
    FakeResponse response{"10", 10};
    response.opened = opened;
    FetchRun run;
    run.fetch_one(response);
    EXPECT_EQ(run.host.boxes, std::vector<string>{box});
    EXPECT_EQ(run.result, 0) << box;
    EXPECT_EQ(run.state.status, "Проверка") << box;
    EXPECT_EQ(run.shown(), "") << box;
  }
}

TEST(Fetch, AnyNameIsWrittenAndFailedWritesAreWriteErrors) {
  const struct { const char* path; bool write_ok; } cases[] = {
      {"Tulvex_files\\get.php?id=5", true},
      {kPath, false},
  };
  for (const auto& c : cases) {
    FetchRun run;
    run.host.write_ok = c.write_ok;
    run.fetch_one({"100", 100}, c.path);
    EXPECT_EQ(run.state.status, c.write_ok ? "Загружен" : "Ош. записи") << c.path;
    EXPECT_EQ(run.result + run.state.files_saved, c.write_ok ? 2 : 0) << c.path;
    EXPECT_EQ(run.host.files.size(), c.write_ok ? 1u : 0u) << c.path;
  }
}

TEST(Fetch, EveryFetchStartsAfresh) {
  for (const FakeResponse& before : {FakeResponse{nullopt, 100, false}, FakeResponse{nullopt, 1, true, 0, nullopt, 200,
                                                                                     nullopt, nullopt}}) {
    FetchRun run;
    run.fetch_one(before).host.shown.clear();
    EXPECT_EQ(run.fetch_one({"5000", 5000}).shown(), "5000:Загружается;" + string("5000:0;5000:2240;5000:4480;") +
                                                         "5000:Загружен;");
  }
}

TEST(AnnouncedLength, ValueOrTooLarge) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"50000", 50000}, {"  \t42", 42}, {"+7", 7}, {"12abc", 12}, {"", 0}, {"abc", 0}, {"-0", 0},
      {"2147483647", 2147483647}, {"0002147483647", 2147483647}, {"2147483648", nullopt}, {"4294967297", nullopt},
      {"-1", nullopt}, {"99999999999999999999999", nullopt},
  };
  for (const auto& [header, length] : cases) EXPECT_EQ(announced_length(header), length) << header;
}

}  // namespace
