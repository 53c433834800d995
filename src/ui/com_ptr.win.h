// COM interfaces owned the way handles are, released once when the owner
// goes; and the OLE library initialised for a scope and balanced.
#pragma once

#include <ole2.h>

#include "ui/handles.win.h"

namespace dc::ui {

template <class T>
void ReleaseInterface(T* p) {
  p->Release();
}

template <class T>
using ComPtr = Unique<T*, ReleaseInterface<T>>;

// The out-parameter of QueryInterface and its kin.
template <class T>
void** PutVoid(ComPtr<T>& p) {
  return reinterpret_cast<void**>(p.put());
}

// OleInitialize for the scope's life; OleUninitialize only when it succeeded.
class OleScope {
 public:
  OleScope() : hr_(OleInitialize(nullptr)) {}
  ~OleScope() {
    if (SUCCEEDED(hr_)) OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;
  bool ok() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

}  // namespace dc::ui
