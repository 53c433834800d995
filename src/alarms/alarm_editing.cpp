// Editor transfers and list rows.
#include "alarms/alarm_editing.h"

#include "alarms/date_time.h"
#include "base/fixed_text.h"

namespace dc {

EditorValues NewAlarmValues(double today) {
  EditorValues v;
  v.time = today + 0.5;
  v.dateOnce = v.dateMonth = v.dateYear = today;
  return v;
}

void LoadControls(const TAlarmRecord& r, EditorValues& v) {
  v.kind = r.Kind;
  v.title = ReadFixedText(r.Title);
  v.todo = ReadFixedText(r.ToDo);
  v.time = r.Time;
  switch (static_cast<TAlarmKind>(r.Kind)) {
    case TAlarmKind::Once:
      v.dateOnce = r.Date;
      break;
    case TAlarmKind::EveryWeek:
      v.weekday = r.Weekday <= 6 ? r.Weekday : -1;
      break;
    case TAlarmKind::EveryMonth:
      v.dateMonth = r.Date;
      break;
    case TAlarmKind::EveryYear:
      v.dateYear = r.Date;
      break;
    case TAlarmKind::EveryDay:
      break;
  }
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

void StoreControls(const EditorValues& v, TAlarmRecord& r, const LeadBytePredicate& isLead) {
  WriteFixedText(r.Title, CutToWholeCharacters(v.title, sizeof r.Title, isLead));
  WriteFixedText(r.ToDo, CutToWholeCharacters(v.todo, sizeof r.ToDo, isLead));
  r.Time = v.time;
  r.Kind = static_cast<std::uint8_t>(v.kind);
  switch (static_cast<TAlarmKind>(v.kind)) {
    case TAlarmKind::Once:
      r.Date = v.dateOnce;
      break;
    case TAlarmKind::EveryWeek:
      r.Weekday = static_cast<std::uint16_t>(v.weekday);  // -1 is stored as 65535
      break;
    case TAlarmKind::EveryMonth:
      r.Date = v.dateMonth;
      break;
    case TAlarmKind::EveryYear:
      r.Date = v.dateYear;
      break;
    case TAlarmKind::EveryDay:
      break;
  }
}

AlarmRow RowOf(const TAlarmRecord& r, const TimeFormat& format) {
  AlarmRow row{ReadFixedText(r.Title), "", ReadFixedText(r.ToDo)};
  if (std::optional<CivilDateTime> t = DecodeDateTime(r.Time))
    row.time = FormatLongTime(format, {t->Year, t->Month, t->Day, t->Hour, t->Minute, t->Second});
  return row;
}

}  // namespace dc
