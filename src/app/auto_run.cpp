// The Auto Run decision.
#include "app/auto_run.h"

namespace dc {

AutoRunOutcome ApplyAutoRun(RunKeys& keys, bool on, const std::wstring& name, const std::wstring& exePath) {
  const bool inMachine = keys.Has(RunRoot::LocalMachine, name);
  const bool inUser = keys.Has(RunRoot::CurrentUser, name);
  if (on) {
    if (inMachine || inUser) return {true, {}};
    const std::wstring data = L"\"" + exePath + L"\"";
    std::string machineError = keys.Write(RunRoot::LocalMachine, name, data);
    if (machineError.empty()) return {true, {}};
    std::string userError = keys.Write(RunRoot::CurrentUser, name, data);
    if (userError.empty()) return {true, {}};
    return {false, "The clock cannot be set to start with Windows: the Run key cannot be written (" + userError +
                       "). Auto Run stays off."};
  }
  std::string error;
  bool left = false;
  for (RunRoot root : {RunRoot::LocalMachine, RunRoot::CurrentUser}) {
    if (!(root == RunRoot::LocalMachine ? inMachine : inUser)) continue;
    std::string e = keys.Delete(root, name);
    if (!e.empty()) {
      left = true;
      error = e;
    }
  }
  if (left)
    return {true, "The clock cannot be kept from starting with Windows: its Run value cannot be deleted (" + error +
                      "). Auto Run stays on."};
  return {false, {}};
}

}  // namespace dc
