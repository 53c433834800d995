// The long time text and locale time pictures.
#include "base/time_text.h"

namespace dc {
namespace {

std::string TwoDigits(int v) { return {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)}; }

int TwelveHour(int hour) {
  hour %= 12;
  return hour == 0 ? 12 : hour;
}

}  // namespace

std::string FormatLongTime(const TimeFormat& f, const CivilDateTime& t) {
  const int hour = f.twelveHour ? TwelveHour(t.Hour) : t.Hour;
  std::string text = f.leadingZero || hour >= 10 ? TwoDigits(hour) : std::string(1, static_cast<char>('0' + hour));
  text += f.separator + TwoDigits(t.Minute) + f.separator + TwoDigits(t.Second);
  if (!f.twelveHour) return text;
  const std::string& designator = t.Hour < 12 ? f.am : f.pm;
  return f.designatorFirst ? designator + " " + text : text + " " + designator;
}

std::string FormatTimePicture(std::string_view picture, const TimeFormat& f, const CivilDateTime& t) {
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    auto number = [&](int v) { out += run >= 2 ? TwoDigits(v) : std::to_string(v); };
    switch (c) {
      case 'h': number(TwelveHour(t.Hour)); break;
      case 'H': number(t.Hour); break;
      case 'm': number(t.Minute); break;
      case 's': number(t.Second); break;
      case 't': {
        const std::string& designator = t.Hour < 12 ? f.am : f.pm;
        out += run >= 2 ? designator : designator.substr(0, 1);
        break;
      }
      case '\'': {
        const std::size_t end = picture.find('\'', i + 1);
        out += picture.substr(i + 1, (end == std::string_view::npos ? picture.size() : end) - i - 1);
        i = end == std::string_view::npos ? picture.size() : end + 1;
        continue;
      }
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

}  // namespace dc
