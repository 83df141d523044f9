// The save-all-links mode: up to eight fetch threads take the list's
// addresses in order and stream each into a temporary file in a folder of
// its own inside "Tulvex_files", put in place when whole; the window's
// thread only shows the walk. The summary follows, and the folder opens in
// Explorer when a file was saved. The stop button ends every fetch and the
// walk with it; closing the window stops every fetch and ends the program.
#include "download/walker_win.h"

#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>

#include "desktop/desktop_win.h"
#include "desktop/registry_win.h"
#include "download/fetch.h"
#include "download/list.h"
#include "download/names.h"
#include "download/progress_win.h"
#include "download/walk.h"
#include "download/wininet_win.h"

namespace {

constexpr UINT kWalkEnded = WM_APP + 1;
constexpr std::size_t kReadSize = 256 * 1024;
// A stopped walk's threads have this long to remove their files.
constexpr DWORD kStopWaitMs = 600;
constexpr DWORD kPaintShare = 20;
constexpr DWORD kTotalsMs = 500;
// The user's settings: fetches at once (1 to 8) and seconds without a byte
// that end an attempt.
constexpr char kSettingsKey[] = "Software\\MorvaleSoft";
constexpr char kFetchesValue[] = "Tulvex_downloads";
constexpr char kStallValue[] = "Tulvex_stall";

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CRITICAL_SECTION* get() { return &section_; }

 private:
  CRITICAL_SECTION section_;
};

class Locked {
 public:
  explicit Locked(CriticalSection& section) : section_(section.get()) { EnterCriticalSection(section_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() { LeaveCriticalSection(section_); }

 private:
  CRITICAL_SECTION* section_;
};

// What the walk's threads share.
struct Shared {
  explicit Shared(std::string_view list) : walk(list) {}

  CriticalSection lock;  // the walk
  Walk walk;
  CriticalSection parts_lock;   // held by a stopped walk to its end
  std::set<std::string> parts;  // temporary files being written
  CriticalSection box_lock;     // one box at a time
  // Set when the walk is stopped or the window closed, and when the walk's
  // last work is done.
  const Handle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  const Handle ended{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HWND main_window = nullptr;
  std::unique_ptr<InternetSession> session;
  int fetches = kDefaultFetches;
  volatile LONG busy = 0;  // fetch threads, and files being put in place
  DWORD stall_ms = kDefaultStallSeconds * 1000;
  std::string folder = std::string(kDownloadFolder) + '\\';
  std::string parts_folder = folder + kPartsFolder + '\\';
  std::size_t name_room = kMaxNameLength;
  bool marks = false;  // the file system holds the Zone.Identifier stream
};

Shared* g_shared = nullptr;  // for the window's close

// UTF-16 of a UTF-8 name or path, for the wide file functions: a name has
// the same characters whatever the system's code page.
std::wstring wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring converted(static_cast<std::size_t>(size), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &converted[0], size);
  return converted;
}

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &converted[0], size, nullptr, nullptr);
  converted.pop_back();
  return converted;
}

// A fetched file before it is whole: "~tulvex<n>.tmp" in the folder of
// parts, which no saved file can name (the walk takes no name that a
// folder holds), made only where no file is, so it never overwrites
// anything. Removed when it goes unless it was put in place; the walk
// knows it meanwhile, so that a stopped walk removes it too (it can be
// removed while open).
class TemporaryFile final : public PartFile {
 public:
  explicit TemporaryFile(Shared& shared) : shared_(shared) {
    static volatile LONG last_number = 0;
    // Entered in the walk's list before it is made, under the lock that a
    // stopped walk holds from its clean-up to its end: every part on the
    // disk is one that the clean-up sees.
    Locked locked(shared_.parts_lock);
    for (;;) {
      path_ = shared.parts_folder + temporary_file_name(static_cast<std::uint64_t>(InterlockedIncrement(&last_number)));
      shared_.parts.insert(path_);
      file_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ != INVALID_HANDLE_VALUE) break;
      const DWORD error = GetLastError();
      shared_.parts.erase(path_);
      if (error != ERROR_FILE_EXISTS) return;
    }
    made_ = true;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() override {
    if (!made_) return;
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!placed_) DeleteFileA(path_.c_str());
    Locked locked(shared_.parts_lock);
    shared_.parts.erase(path_);
  }

  bool made() const { return made_; }

  bool write(const char* bytes, std::size_t count) override {
    DWORD written = 0;
    return WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
  }

  bool truncate() override {
    return SetFilePointer(file_, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && SetEndOfFile(file_);
  }

  // On the disk, closed (a full disk may show only here), and marked as
  // downloaded from the address where the file system holds the mark.
  bool finish(const std::string& address) {
    const bool flushed = FlushFileBuffers(file_) != FALSE;
    const bool closed = CloseHandle(file_) != FALSE;
    file_ = INVALID_HANDLE_VALUE;
    if (flushed && closed && shared_.marks) mark(address);
    return flushed && closed;
  }

  bool move_to(const std::string& target) {
    placed_ = MoveFileExW(wide(path_).c_str(), wide(target).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    return placed_;
  }

 private:
  // The stream that makes Windows and Office treat the file as coming from
  // the Internet; a file saved without it is still saved.
  void mark(const std::string& address) {
    const HANDLE stream = CreateFileA((path_ + ":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (stream == INVALID_HANDLE_VALUE) return;
    const std::string text = zone_identifier(address);
    DWORD written = 0;
    WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(stream);
  }

  Shared& shared_;
  std::string path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool made_ = false;
  bool placed_ = false;
};

// Whether a name in the folder belongs to something else than a file of
// that name: a folder, or another file whose short (8.3) name it is.
bool taken_by_another(const std::string& path, const std::string& name) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(wide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name_key(utf8(found.cFileName)) != name_key(name);
}

class WalkHost final : public FetchHost {
 public:
  WalkHost(Shared& shared, std::size_t row) : shared_(shared), row_(row) {}

  void show(const RowState& row) override {
    Locked locked(shared_.lock);
    shared_.walk.update(row_, row);
  }

  void info_box(const std::string& message, const std::string& caption) override {
    Locked locked(shared_.box_lock);
    ::info_box(message, caption);
  }

  std::unique_ptr<PartFile> make_part() override {
    auto part = std::make_unique<TemporaryFile>(shared_);
    if (!part->made()) return nullptr;
    return part;
  }

  std::size_t name_room() override { return shared_.name_room; }

  void put_in_place(std::unique_ptr<PartFile> part, const std::string& name, const std::string& address,
                    const RowState& row) override;

 private:
  Shared& shared_;
  std::size_t row_;
};

// One more piece of work (a fetch thread, a file being put in place) that
// the walk's end waits for; the last one to leave ends the walk.
void leave_walk(Shared& shared) {
  if (InterlockedDecrement(&shared.busy) != 0) return;
  SetEvent(shared.ended.get());
  PostMessageA(shared.main_window, kWalkEnded, 0, 0);
}

// A whole part on its way into place. It goes there on a thread of the
// system's pool, so that its fetch thread meanwhile asks for the next
// address: flushing and moving a file would otherwise add to every wait
// for a server's answer.
struct Placing {
  Shared& shared;
  std::size_t row;
  std::unique_ptr<PartFile> part;
  std::string name, address;
  RowState state;
};

DWORD WINAPI place(void* context) {
  std::unique_ptr<Placing> placing(static_cast<Placing*>(context));
  Shared& shared = placing->shared;
  auto& file = static_cast<TemporaryFile&>(*placing->part);
  bool placed = file.finish(placing->address);
  {
    Locked locked(shared.lock);
    if (placed) {
      const auto blocked = [&shared](const std::string& name) { return taken_by_another(shared.folder + name, name); };
      const std::optional<std::string> claimed = shared.walk.claim_name(placing->name, shared.name_room, blocked);
      placed = claimed && file.move_to(shared.folder + *claimed);
    }
    shared.walk.update(placing->row, placed_row(placing->state, placed));
    if (placed) shared.walk.count_saved();
  }
  placing.reset();  // a part that was not placed goes before the walk ends
  leave_walk(shared);
  return 0;
}

void WalkHost::put_in_place(std::unique_ptr<PartFile> part, const std::string& name, const std::string& address,
                            const RowState& row) {
  auto* placing = new Placing{shared_, row_, std::move(part), name, address, row};
  InterlockedIncrement(&shared_.busy);
  if (!QueueUserWorkItem(place, placing, WT_EXECUTEDEFAULT)) place(placing);
}

DWORD WINAPI fetch_thread(void* context) {
  Shared& shared = *static_cast<Shared*>(context);
  try {
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    const std::unique_ptr<Connection> connection = shared.session->connection(shared.stop.get(), shared.stall_ms);
    while (WaitForSingleObject(shared.stop.get(), 0) == WAIT_TIMEOUT) {
      std::optional<Walk::Taken> taken;
      {
        Locked locked(shared.lock);
        taken = shared.walk.take();
      }
      if (!taken) break;
      WalkHost host(shared, taken->row);
      fetch(*connection, host, taken->address, buffer.get(), kReadSize);
    }
  } catch (const std::bad_alloc&) {
    // The other threads go on with the list.
  }
  leave_walk(shared);
  return 0;
}

// Opens the session off the window's thread, then runs the fetch threads,
// itself one of them.
DWORD WINAPI start_walk(void* context) {
  Shared& shared = *static_cast<Shared*>(context);
  shared.session = std::make_unique<InternetSession>();
  for (int i = 1; i < shared.fetches; ++i) {
    if (const HANDLE thread = CreateThread(nullptr, 0, fetch_thread, &shared, 0, nullptr)) {
      CloseHandle(thread);
    } else {
      InterlockedDecrement(&shared.busy);
    }
  }
  return fetch_thread(context);
}

// The window is closed: every fetch stops, the files being written go, and
// the program ends without a summary.
void stop_and_exit() {
  Shared& shared = *g_shared;
  SetEvent(shared.stop.get());
  WaitForSingleObject(shared.ended.get(), kStopWaitMs);
  // Held to the end: no part is made after this clean-up.
  Locked locked(shared.parts_lock);
  for (const std::string& path : shared.parts) DeleteFileA(path.c_str());
  RemoveDirectoryA(shared.parts_folder.c_str());
  // No clean-up is owed to anyone now, and WinINet's own would wait for
  // responses that are still coming in.
  TerminateProcess(GetCurrentProcess(), 0);
}

// The stop button: every fetch ends at once, removing its temporary file,
// and the walk then ends as it does after its last address.
void stop_walk() { SetEvent(g_shared->stop.get()); }

// Temporary files that an earlier run, ended in the middle of a write, left
// in the folder of parts; nothing else.
void remove_temporaries(const std::string& parts_folder) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((parts_folder + "~tulvex*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && is_temporary_file_name(found.cFileName)) {
      DeleteFileA((parts_folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// The longest name that keeps a file's whole path within MAX_PATH, and
// whether the folder's file system holds the Zone.Identifier stream.
void take_measure_of_folder(Shared& shared) {
  wchar_t full[MAX_PATH * 2] = {};
  const DWORD length = GetFullPathNameW(wide(shared.folder).c_str(), MAX_PATH * 2, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 2) return;
  shared.name_room = length + 1 < MAX_PATH ? std::min<std::size_t>(kMaxNameLength, MAX_PATH - 1 - length) : 1;
  wchar_t root[MAX_PATH * 2] = {};
  DWORD flags = 0;
  shared.marks = GetVolumePathNameW(full, root, MAX_PATH * 2) &&
                 GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
                 (flags & FILE_NAMED_STREAMS) != 0;
}

void show_totals(Shared& shared, const RateMeter& meter) {
  Walk::Progress progress;
  {
    Locked locked(shared.lock);
    progress = shared.walk.progress();
  }
  progress_show_totals(progress.percent, status_line(progress.totals, meter.bytes_per_second()));
}

void show_walk(Shared& shared, const RateMeter& meter) {
  WalkView view;
  {
    Locked locked(shared.lock);
    view = shared.walk.view();
  }
  progress_show(view, status_line(view.totals, meter.bytes_per_second()));
}

// The bytes read so far, at every tick, whether or not the window is
// painted then.
void sample(Shared& shared, RateMeter& meter) {
  std::uint64_t bytes = 0;
  {
    Locked locked(shared.lock);
    bytes = shared.walk.bytes_read();
  }
  meter.add(GetTickCount(), bytes);
}

std::string current_directory() {
  std::string directory;
  for (DWORD size = GetCurrentDirectoryA(0, nullptr); size != 0;) {
    directory.assign(size, '\0');
    const DWORD length = GetCurrentDirectoryA(size, &directory[0]);
    if (length < size) {
      directory.resize(length);
      break;
    }
    size = length;  // changed in between: try again with the new size
  }
  return directory;
}

// Starts Explorer without waiting for it to come up (as WinExec does, while
// the window would answer nothing).
void start_explorer(std::string command) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWDEFAULT;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace

int save_all_links(HINSTANCE instance, HWND main_window, const std::string& list_text) {
  Shared shared(list_text);
  g_shared = &shared;
  shared.main_window = main_window;
  shared.fetches = fetches_at_once(registry_dword(HKEY_CURRENT_USER, kSettingsKey, kFetchesValue));
  shared.stall_ms = stall_seconds(registry_dword(HKEY_CURRENT_USER, kSettingsKey, kStallValue)) * 1000;
  shared.busy = shared.fetches;
  CreateDirectoryA(kDownloadFolder, nullptr);
  CreateDirectoryA(shared.parts_folder.c_str(), nullptr);
  remove_temporaries(shared.parts_folder);
  take_measure_of_folder(shared);
  if (const HANDLE thread = CreateThread(nullptr, 0, start_walk, &shared, 0, nullptr)) {
    CloseHandle(thread);
  } else {
    PostMessageA(main_window, kWalkEnded, 0, 0);
  }

  progress_start(instance, main_window, stop_and_exit, stop_walk);
  RateMeter meter;
  MSG message;
  DWORD next_paint = GetTickCount();
  DWORD next_totals = next_paint;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == main_window && message.message == kWalkEnded) break;
    if (progress_tick(message)) {
      sample(shared, meter);
      // A paint takes at most a twentieth of the time, however slow it is
      // (under Wine's default theme a list that grows takes tens of
      // milliseconds): the fetches need the processor more. Between two
      // paints of the list the two bars alone follow the speed every half
      // second, their time counted in the same share.
      const DWORD began = GetTickCount();
      if (static_cast<LONG>(began - next_paint) >= 0) {
        show_walk(shared, meter);
        next_paint = began + kPaintShare * (GetTickCount() - began);
        next_totals = began + kTotalsMs;
      } else if (static_cast<LONG>(began - next_totals) >= 0) {
        show_totals(shared, meter);
        next_paint += kPaintShare * (GetTickCount() - began);
        next_totals = began + kTotalsMs;
      }
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (WaitForSingleObject(shared.stop.get(), 0) == WAIT_OBJECT_0) {
    Locked locked(shared.lock);
    shared.walk.stop_rows();
  }
  progress_end();
  show_walk(shared, meter);
  RemoveDirectoryA(shared.parts_folder.c_str());  // every part has gone

  info_box(summary_text(shared.walk.files_saved(), shared.walk.rows_taken()));
  ShowWindow(main_window, SW_RESTORE);
  if (shared.walk.files_saved() != 0) start_explorer(explorer_command(current_directory()));
  // The program ends here, with the window answering to the last: WinINet's
  // clean-up would wait for the responses given up (a stalled one is
  // drained), and nothing else is owed to anyone.
  TerminateProcess(GetCurrentProcess(), 0);
  return 1;
}
