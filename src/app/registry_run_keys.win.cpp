// The Run keys through the registry API.
#include "app/registry_run_keys.win.h"

#include "base/win_text.win.h"
#include "ui/handles.win.h"

namespace dc {

LONG RegistryRunKeys::Open(RunRoot root, REGSAM access, HKEY* key) const {
  if (root == RunRoot::LocalMachine && refuseLocalMachine_ && (access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  HKEY base = root == RunRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  if (!(access & KEY_SET_VALUE)) return RegOpenKeyExW(base, kRunKey, 0, access, key);
  return RegCreateKeyExW(base, kRunKey, 0, nullptr, 0, access, nullptr, key, nullptr);
}

bool RegistryRunKeys::Has(RunRoot root, const std::wstring& name) {
  HKEY raw = nullptr;
  if (Open(root, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
  ui::UniqueKey key(raw);
  return RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string RegistryRunKeys::Write(RunRoot root, const std::wstring& name, const std::wstring& data) {
  HKEY raw = nullptr;
  LONG rc = Open(root, KEY_SET_VALUE, &raw);
  if (rc != ERROR_SUCCESS) return SystemErrorText(static_cast<unsigned long>(rc));
  ui::UniqueKey key(raw);
  rc = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                      static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  return rc == ERROR_SUCCESS ? std::string() : SystemErrorText(static_cast<unsigned long>(rc));
}

std::string RegistryRunKeys::Delete(RunRoot root, const std::wstring& name) {
  HKEY raw = nullptr;
  LONG rc = Open(root, KEY_SET_VALUE, &raw);
  if (rc != ERROR_SUCCESS) return SystemErrorText(static_cast<unsigned long>(rc));
  ui::UniqueKey key(raw);
  rc = RegDeleteValueW(key.get(), name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? std::string()
                                                           : SystemErrorText(static_cast<unsigned long>(rc));
}

}  // namespace dc
