// The outside driver of the player.
#include "player_driver.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "base/win_text.win.h"
#include "alarms/alarm_store.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "test_support.h"
#include "ui/window_classes.h"

namespace dctest {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) throw std::runtime_error(std::string(name) + " is not set");
  std::string s = v;
  if (s[0] == '/') s = "Z:" + s;  // Wine maps the Unix root to Z:
  for (char& c : s)
    if (c == '/') c = '\\';
  return dc::Utf8ToWide(s);
}

struct Search {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (pid == s->pid && IsWindowVisible(hwnd) && wcscmp(cls, s->className) == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
  wchar_t buf[2048] = {};
  GetWindowTextW(hwnd, buf, 2048);
  return buf;
}

std::filesystem::path InstallDemoWithAlarms(const TempDir& folder, const std::vector<dc::AlarmRecord>& alarms,
                                            bool timed) {
  Bytes package = ReadBytes(PictureClockPackage());
  package[dc::kPopupOffset + offsetof(dc::PopupSettings, Timed)] = timed ? 1 : 0;
  WriteBytes(folder / "demo.kvx", package);
  dc::AlarmStoreHeader header{};
  std::memcpy(header.Magic, "KVX", 3);
  header.Count = static_cast<std::uint16_t>(alarms.size());
  header.StayOnTop = 1;
  Bytes store = BytesOf(header);
  for (const dc::AlarmRecord& a : alarms) store = Concat({store, BytesOf(a)});
  WriteBytes(folder / "Alarm.sav", store);
  return InstallPlayer(folder.path(), L"DeskClock.exe", "demo.kvx");
}

std::multiset<std::wstring> VisiblePopupTexts(DWORD pid) {
  struct Found {
    DWORD pid;
    std::multiset<std::wstring> texts;
  } found{pid, {}};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<Found*>(lp);
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (p == f->pid && IsWindowVisible(h) && wcscmp(cls, dc::ui::kPopupClass) == 0) f->texts.insert(WindowText(h));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.texts;
}

std::filesystem::path BuiltPlayer() { return FromEnvironment("DC_PLAYER"); }
std::filesystem::path PictureClockPackage() { return FromEnvironment("DC_PICTURE_PACKAGE"); }

std::filesystem::path InstallPlayer(const std::filesystem::path& folder, const std::wstring& exeName,
                                    const std::string& package) {
  Bytes exe = ReadBytes(BuiltPlayer());
  if (exe.size() < 1024) throw std::runtime_error("the built player was not found");
  Bytes trailer = BytesOf(dc::MakeTrailer(package));
  exe.insert(exe.end(), trailer.begin(), trailer.end());
  WriteBytes(folder / exeName, exe);
  return folder / exeName;
}

namespace {

constexpr wchar_t kInternational[] = L"Control Panel\\International";

std::optional<std::wstring> ReadUserString(const wchar_t* key, const std::wstring& name) {
  wchar_t buf[256] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buf);
}

void WriteUserString(const wchar_t* key, const std::wstring& name, const std::optional<std::wstring>& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("the user's International key cannot be written");
  if (value) {
    RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
  } else {
    RegDeleteValueW(k, name.c_str());
  }
  RegCloseKey(k);
}

}  // namespace

int RunUnix(const std::string& commandLine, std::string* out) {
  static int calls = 0;
  const std::string marker =
      "/tmp/dctest-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++calls);
  const std::string shell = "/bin/sh -c \"" + commandLine + " > " + marker + ".out 2>&1; echo $? > " + marker +
                            ".tmp && mv " + marker + ".tmp " + marker + "\"";
  std::wstring cmd(shell.begin(), shell.end());
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("cannot start: " + commandLine);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  const std::filesystem::path done = "Z:" + marker, printed = "Z:" + marker + ".out";
  for (int waited = 0; !std::filesystem::exists(done); waited += 10) {
    if (waited > 20000) throw std::runtime_error("did not end: " + commandLine);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  int code = -1;
  std::ifstream(done) >> code;
  if (out) {
    std::ifstream in(printed);
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::error_code ec;
  std::filesystem::remove(done, ec);
  std::filesystem::remove(printed, ec);
  return code;
}

std::string UnixPathOf(const std::filesystem::path& windowsPath) {
  using GetUnixName = char*(CDECL*)(const wchar_t*);
  auto get = reinterpret_cast<GetUnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!get) throw std::runtime_error("not running under Wine");
  char* unix = get(windowsPath.c_str());
  if (!unix) throw std::runtime_error("no Unix path for " + dc::WideToUtf8(windowsPath.native()));
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

POINT TrayIconPoint() {
  HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  if (!tray) tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!tray) throw std::runtime_error("no notification area is shown");
  // The only icon sits first, at the tray's client top left.
  POINT p{GetSystemMetrics(SM_CXSMICON) / 2 + 2, GetSystemMetrics(SM_CYSMICON) / 2 + 2};
  ClientToScreen(tray, &p);
  return p;
}

ScopedTimeFormat::ScopedTimeFormat(const std::wstring& picture, const std::wstring& twentyFourHour,
                                   const std::wstring& leadingZero, const std::wstring& shortPicture) {
  for (const auto& [name, value] : {std::pair<std::wstring, std::wstring>{L"sTimeFormat", picture},
                                    {L"iTime", twentyFourHour},
                                    {L"iTLZero", leadingZero},
                                    {L"sShortTime", shortPicture}}) {
    saved_.push_back({name, ReadUserString(kInternational, name)});
    WriteUserString(kInternational, name, value);
  }
}

ScopedTimeFormat::~ScopedTimeFormat() {
  for (const auto& [name, value] : saved_) WriteUserString(kInternational, name, value);
}

PlayerProcess::PlayerProcess(const std::filesystem::path& exe, const std::wstring& params) {
  std::wstring cmd = L"\"" + exe.native() + L"\"" + (params.empty() ? L"" : L" " + params);
  STARTUPINFOW si{sizeof si};
  std::wstring dir = exe.parent_path().native();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
    throw std::runtime_error("cannot start " + dc::WideToUtf8(exe.native()));
}

PlayerProcess::~PlayerProcess() {
  if (pi_.hProcess) {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 99);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

HWND PlayerProcess::WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  do {
    Search s{pi_.dwProcessId, className, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

bool PlayerProcess::WaitForNoWindow(const wchar_t* className, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  do {
    Search s{pi_.dwProcessId, className, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    if (!s.found) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool PlayerProcess::AddAlarmThroughTheDialogs(HWND clock) {
  using namespace std::chrono_literals;
  PostMessageW(clock, WM_COMMAND, MAKEWPARAM(100, 0), 0);  // "&Alarms"
  HWND list = WaitForWindow(dc::ui::kAlarmListClass, 20s);
  if (!list) return false;
  PostMessageW(list, WM_COMMAND, MAKEWPARAM(302, BN_CLICKED), 0);  // "&Add"
  HWND editor = WaitForWindow(dc::ui::kAlarmEditorClass, 20s);
  if (!editor) return false;
  PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!WaitForNoWindow(dc::ui::kAlarmEditorClass, 10s)) return false;
  PostMessageW(list, WM_COMMAND, MAKEWPARAM(305, BN_CLICKED), 0);  // "&Exit"
  return WaitForNoWindow(dc::ui::kAlarmListClass, 10s);
}

MessageBoxSeen PlayerProcess::WaitForMessageBox(std::chrono::milliseconds timeout) {
  MessageBoxSeen box;
  box.hwnd = WaitForWindow(L"#32770", timeout);
  if (box.hwnd) {
    box.caption = WindowText(box.hwnd);
    box.text = WindowText(GetDlgItem(box.hwnd, 0xFFFF));  // the message box's text control
  }
  return box;
}

void PlayerProcess::Press(const MessageBoxSeen& box, int buttonId) {
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, buttonId)));
}

long PlayerProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<long>(code);
}

}  // namespace dctest
