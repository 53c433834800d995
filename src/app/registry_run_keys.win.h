// The Run keys of the system registry under the local machine and the
// current user. A test can have the local machine's key refused, as a user
// without administrator rights sees it.
#pragma once

#include <windows.h>

#include "app/auto_run.h"

namespace dc {

class RegistryRunKeys : public RunKeys {
 public:
  static constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

  explicit RegistryRunKeys(bool refuseLocalMachine = false) : refuseLocalMachine_(refuseLocalMachine) {}

  bool Has(RunRoot root, const std::wstring& name) override;
  std::string Write(RunRoot root, const std::wstring& name, const std::wstring& data) override;
  std::string Delete(RunRoot root, const std::wstring& name) override;

 private:
  // Opens (creating) the key; 0 or the error code.
  LONG Open(RunRoot root, REGSAM access, HKEY* key) const;
  bool refuseLocalMachine_;
};

}  // namespace dc
