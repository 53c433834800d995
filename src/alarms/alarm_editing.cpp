// Editor transfers and list rows.
#include "alarms/alarm_editing.h"

#include "base/date_time.h"
#include "base/fixed_text.h"

namespace dc {

EditorValues NewAlarmValues(double today) {
  EditorValues v;
  v.time = today + 0.5;
  v.dateOnce = v.dateMonth = v.dateYear = today;
  return v;
}

namespace {

// The date picker a kind reads its date from: none for every day and every
// week (the weekday box serves the week).
double EditorValues::*DatePickerOf(std::uint8_t kind) {
  switch (static_cast<AlarmKind>(kind)) {
    case AlarmKind::Once: return &EditorValues::dateOnce;
    case AlarmKind::EveryMonth: return &EditorValues::dateMonth;
    case AlarmKind::EveryYear: return &EditorValues::dateYear;
    case AlarmKind::EveryDay:
    case AlarmKind::EveryWeek: break;
  }
  return nullptr;
}

}  // namespace

void LoadControls(const AlarmRecord& r, EditorValues& v) {
  v.kind = r.Kind;
  v.title = ReadFixedText(r.Title);
  v.todo = ReadFixedText(r.ToDo);
  v.time = r.Time;
  if (double EditorValues::*picker = DatePickerOf(r.Kind)) v.*picker = r.Date;
  if (r.Kind == static_cast<std::uint8_t>(AlarmKind::EveryWeek)) v.weekday = r.Weekday <= 6 ? r.Weekday : -1;
}

std::string_view CutToWholeCharacters(std::string_view text, std::size_t width, const LeadBytePredicate& isLead) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t len = isLead && isLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    if (at + len > width) break;
    at += len;
  }
  return text.substr(0, at);
}

void StoreControls(const EditorValues& v, AlarmRecord& r, const LeadBytePredicate& isLead) {
  WriteFixedText(r.Title, CutToWholeCharacters(v.title, sizeof r.Title, isLead));
  WriteFixedText(r.ToDo, CutToWholeCharacters(v.todo, sizeof r.ToDo, isLead));
  r.Time = v.time;
  r.Kind = static_cast<std::uint8_t>(v.kind);
  if (double EditorValues::*picker = DatePickerOf(r.Kind)) r.Date = v.*picker;
  // No day picked (-1) is stored as 65535.
  if (r.Kind == static_cast<std::uint8_t>(AlarmKind::EveryWeek)) r.Weekday = static_cast<std::uint16_t>(v.weekday);
}

AlarmRow RowOf(const AlarmRecord& r, const TimeFormat& format) {
  AlarmRow row{ReadFixedText(r.Title), "", ReadFixedText(r.ToDo)};
  if (std::optional<CivilDateTime> t = DecodeDateTime(r.Time))
    row.time = FormatLongTime(format, *t);
  return row;
}

}  // namespace dc
