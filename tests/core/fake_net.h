// A scripted network and a recording walk: the fetch without a network, a disk or a window.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "download/fetch.h"

// What the server does on one attempt, built by name: Answer().length("50000").body(50000).cut(30000, broken).
// Unless told otherwise: opened, status 200, no Content-Length, an empty body that ends whole.
struct Answer {
  using Got = Connection::Got;
  Answer& opens(Connection::Opened how) { opened = how; return *this; }
  Answer& status(std::optional<int> code) { head.status = code; return *this; }
  Answer& length(const std::string& text) { head.content_length = text; return *this; }
  Answer& range(const std::string& text) { head.content_range = text; return *this; }
  Answer& tag(const std::string& text) { head.validator = text; return *this; }
  Answer& to(const std::string& where) { head.status = 302, head.location = where; return *this; }
  Answer& body(std::size_t size, std::size_t from = 0) { bytes = content(from + size).substr(from); return *this; }
  Answer& cut(std::size_t at, Got how) { cut_at = at, ends = how; return *this; }
  static std::string content(std::size_t size) {  // bytes unlike their neighbours: a misplaced one shows
    std::string text;
    for (std::uint32_t x = 12345; text.size() < size; x = x * 1103515245u + 12345u) text += char(x >> 24);
    return text;
  }

  Connection::Opened opened = Connection::Opened::ok;
  Head head = [] { Head h; h.status = 200; return h; }();
  std::string bytes;
  std::size_t cut_at = std::string::npos;
  Got ends = Got::end;
};

// Answers the attempts in turn (the last again and again); keeps what each open asked for ("from/validator;", after
// the address when it is not the fetch's own) and each close ("whole;" or "cut;").
struct ScriptedNet : Connection {
  explicit ScriptedNet(std::vector<Answer> script) : answers(std::move(script)) {}
  Opened open(const std::string& address, std::uint64_t from, const std::string& validator) override {
    now = answers[std::min(attempt++, answers.size() - 1)];
    at = 0;
    asked += (address == "http://h/file.bin" ? "" : address + " ") + std::to_string(from) + "/" + validator + ";";
    return now.opened;
  }
  Head head() override { return now.head; }
  Read read(char* buffer, std::size_t size) override {
    const std::size_t end = std::min(now.cut_at, now.bytes.size());
    if (at == end) return {end == now.bytes.size() ? Got::end : now.ends, 0};
    const std::size_t count = std::min({size, end - at, std::size_t{7000}});  // reads shorter than asked
    std::memcpy(buffer, now.bytes.data() + at, count);
    at += count;
    return {Got::data, count};
  }
  void close(bool whole) override { closes += whole ? "whole;" : "cut;"; }

  std::vector<Answer> answers;
  Answer now;
  std::size_t attempt = 0, at = 0;
  std::string asked, closes;
};

// Keeps each row shown ("size:status;", a final one ending in '.', a run of byte counts as "#") and the last one,
// the boxes ("caption|message"), the files put in place by name, and the parts still on disk.
struct RecordingHost : FetchHost {
  struct Part : PartFile {
    Part(RecordingHost& host) : host(host) { ++host.parts; }
    ~Part() override { --host.parts; }
    bool write(const char* data, std::size_t count) override {
      return bytes.size() + count <= host.disk && (bytes.append(data, count), true);
    }
    bool truncate() override { return bytes.clear(), true; }
    RecordingHost& host;
    std::string bytes;
  };

  void show(const RowState& row) override {
    last = row;
    const bool number = !row.status.empty() && row.status[0] >= '0' && row.status[0] <= '9';
    if (number && shown.size() > 0 && shown.back() == '#') return;  // one mark for a run of reads
    shown += std::to_string(row.size) + ":" + (number ? "#" : row.status + (row.loading ? ";" : "."));
  }
  void info_box(const std::string& message, const std::string& caption) override { shown += caption + "|" + message; }
  std::unique_ptr<PartFile> make_part() override { return can_make ? std::make_unique<Part>(*this) : nullptr; }
  std::size_t name_room() override { return 255; }
  void put_in_place(std::unique_ptr<PartFile> part, const std::string& name, const std::string&,
                    const RowState& row) override {
    if (can_place) files[name] = static_cast<Part&>(*part).bytes;
    part.reset(), show(placed_row(row, can_place));
  }

  std::string shown;
  RowState last;
  std::map<std::string, std::string> files;
  int parts = 0;
  std::size_t disk = std::string::npos;
  bool can_make = true, can_place = true;
};
