// "Auto Run": the clock's value in the system's Run keys, reached through a
// seam so tests can refuse a key as a user without administrator rights
// would see it.
#pragma once

#include <string>

namespace dc {

enum class RunRoot { LocalMachine, CurrentUser };

// The Run key of one root. Each call opens the key, acts and closes it.
class RunKeys {
 public:
  virtual ~RunKeys() = default;
  // Whether the key holds a value of this name; false when it cannot be read.
  virtual bool Has(RunRoot root, const std::wstring& name) = 0;
  // Empty on success, else the platform's reason.
  virtual std::string Write(RunRoot root, const std::wstring& name, const std::wstring& data) = 0;
  virtual std::string Delete(RunRoot root, const std::wstring& name) = 0;
};

struct AutoRunOutcome {
  bool inEffect;      // whether the clock now starts with the system
  std::string error;  // what went wrong, for the error box; empty when all went well
};

// Turning it on writes nothing when either key already holds the name (the
// clock never starts twice); otherwise the local machine's key, and the
// current user's when that cannot be written. Turning it off deletes the
// name from every key that holds it. `exePath` is quoted when written.
AutoRunOutcome ApplyAutoRun(RunKeys& keys, bool on, const std::wstring& name, const std::wstring& exePath);

}  // namespace dc
