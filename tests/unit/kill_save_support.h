// The two stores a killed saver writes in turn: large enough that a kill
// lands in the middle of a save now and then.
#pragma once

#include <string>

#include "alarms/alarm_store.h"
#include "base/fixed_text.h"

namespace dctest {

inline dc::AlarmStore StoreOfTitles(const char* title, int count = 2000) {
  dc::AlarmStore store;
  store.ResetDefaults();
  for (int i = 0; i < count; ++i) {
    dc::AlarmRecord r{};
    r.Kind = static_cast<std::uint8_t>(i % 5);
    dc::WriteFixedText(r.Title, std::string(title) + std::to_string(i));
    store.AddAlarm(r);
  }
  return store;
}

}  // namespace dctest
