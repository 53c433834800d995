// The minute check over a full store of 65535 alarms of every kind,
// some of them due.
#include <benchmark/benchmark.h>

#include <cstring>

#include "alarms/alarm_due.h"

namespace {

void MinuteCheck(benchmark::State& state) {
  dc::TAlarmDB store;
  store.ResetDefaults();
  for (int i = 0; i < dc::TAlarmDB::kMaxAlarms; ++i) {
    dc::TAlarmRecord r;
    std::memset(&r, 0, sizeof r);
    r.Kind = static_cast<std::uint8_t>((i / 7) % 5);
    r.Time = *dc::EncodeDateTime({2026, 12, 8, (i / 60) % 24, i % 60, 0});
    r.Date = *dc::EncodeDateTime({2026, 1 + i % 12, 1 + i % 28});
    r.Weekday = static_cast<std::uint16_t>(i % 7);
    store.AddAlarm(r);
  }
  std::size_t fired = 0;
  for (auto _ : state) {
    dc::RunMinuteCheck(store, {2026, 12, 8, 7, 30, 0}, [&](const dc::TAlarmRecord&) { ++fired; });
  }
  state.counters["fired/pass"] = static_cast<double>(fired) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(MinuteCheck)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
