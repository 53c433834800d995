// The per-folder mutex and the running clock's mark.
#include "app/single_instance.win.h"

#include <cwctype>
#include <string>

namespace dc {
namespace {

constexpr wchar_t kMark[] = L"DeskClock.Folder";

// A stable number for a folder, the same whatever its case.
std::uint32_t FolderKey(const std::filesystem::path& folder) {
  std::wstring text = folder.native();
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  std::uint32_t h = 2166136261u;
  for (wchar_t c : text) {
    h ^= static_cast<std::uint32_t>(c);
    h *= 16777619u;
  }
  return h ? h : 1;
}

struct Search {
  std::uint32_t key;
  HWND found;
};

BOOL CALLBACK FindMarked(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (reinterpret_cast<std::uintptr_t>(GetPropW(hwnd, kMark)) == s->key) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

UINT SingleInstance::ShowMessage() {
  static const UINT message = RegisterWindowMessageW(L"DeskClock.ShowRunningClock");
  return message;
}

void SingleInstance::MarkWindow(HWND clock, const std::filesystem::path& folder) {
  SetPropW(clock, kMark, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(FolderKey(folder))));
}

void SingleInstance::UnmarkWindow(HWND clock) { RemovePropW(clock, kMark); }

bool SingleInstance::Claim(const std::filesystem::path& folder) {
  const std::uint32_t key = FolderKey(folder);
  const std::wstring name = L"Local\\DeskClock-" + std::to_wstring(key);
  mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
  if (!mutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return true;  // without a mutex, run rather than refuse
  // Another clock runs here: it may still be starting, so look a little while.
  for (int tries = 0; tries < 50; ++tries) {
    Search s{key, nullptr};
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      AllowSetForegroundWindow(ASFW_ANY);
      PostMessageW(s.found, ShowMessage(), 0, 0);
      break;
    }
    Sleep(100);
  }
  return false;
}

}  // namespace dc
