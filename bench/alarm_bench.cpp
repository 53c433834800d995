// The minute check over a full store of 65535 alarms of every kind, some of
// them due: one minute, and a 24-hour gap after a sleep (each alarm tested
// once against the gap's dates, not once a minute).
#include <benchmark/benchmark.h>

#include <cstring>

#include "alarms/alarm_due.h"

namespace {

dc::AlarmStore FullStore() {
  dc::AlarmStore store;
  store.ResetDefaults();
  for (int i = 0; i < dc::AlarmStore::kMaxAlarms; ++i) {
    dc::AlarmRecord r;
    std::memset(&r, 0, sizeof r);
    r.Kind = static_cast<std::uint8_t>((i / 7) % 5);
    r.Time = *dc::EncodeDateTime({2026, 12, 8, (i / 60) % 24, i % 60, 0});
    r.Date = *dc::EncodeDateTime({2026, 1 + i % 12, 1 + i % 28});
    r.Weekday = static_cast<std::uint16_t>(i % 7);
    store.AddAlarm(r);
  }
  return store;
}

void Check(benchmark::State& state, std::int64_t minutes) {
  const dc::AlarmStore store = FullStore();
  const std::int64_t now = dc::MinuteNumber({2026, 12, 8, 7, 30, 0});
  std::size_t fired = 0;
  for (auto _ : state) fired += dc::FindDueAlarms(store, {now - minutes + 1, now}).size();
  state.counters["fired/pass"] = static_cast<double>(fired) / static_cast<double>(state.iterations());
}

void MinuteCheck(benchmark::State& state) { Check(state, 1); }
void DayGapCheck(benchmark::State& state) { Check(state, 24 * 60 + 1); }

}  // namespace

BENCHMARK(MinuteCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(DayGapCheck)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
