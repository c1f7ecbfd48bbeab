#include "runtime/date.h"

#include "platform/platform.h"

namespace {

bool IsLeapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Whole days from 1970-01-01 to the given day of the Gregorian calendar.
std::int64_t DaysSinceEpoch(std::int32_t year, std::int32_t month, std::int32_t day) {
  static const std::int32_t daysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  std::int64_t days = 0;
  for (std::int32_t y = 1970; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
  days += daysBeforeMonth[month - 1];
  if (month > 2 && IsLeapYear(year)) days += 1;
  return days + day - 1;
}

bool AfterLastRepresentableMoment(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                                  std::int32_t minute, std::int32_t second) {
  if (year != 2038) return false;
  if (month != 1) return month > 1;
  if (day != 19) return day > 19;
  if (hour != 3) return hour > 3;
  if (minute != 14) return minute > 14;
  return second > 7;
}

}  // namespace

std::int32_t DateFromFields(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                            std::int32_t minute, std::int32_t second) {
  if (year < 1970 || year > 2038) return -1;
  if (AfterLastRepresentableMoment(year, month, day, hour, minute, second)) return -1;
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return -1;
  if (month == 2 && (day > 29 || (day == 29 && !IsLeapYear(year)))) return -1;
  if (second < 0 || second > 59 || minute < 0 || minute > 59 || hour < 0 || hour > 23) return -1;
  if (day < 1 || day > 31 || month < 1 || month > 12) return -1;
  const std::int64_t seconds = ((DaysSinceEpoch(year, month, day) * 24 + hour) * 60 + minute) * 60 + second;
  return static_cast<std::int32_t>(seconds);
}

std::int32_t DateNow() {
  const PlatformWallClock now = PlatformLocalTime();
  return DateFromFields(now.year, now.month, now.day, now.hour, now.minute, now.second);
}
