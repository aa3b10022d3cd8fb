// Dates and times as day numbers: the whole part counts days since 30 December 1899, the
// fraction is the time of day.
#include <cmath>

#include "expr/sys_func_man.h"
#include "platform/error.h"

namespace novu {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1 March of year 0 of the proleptic Gregorian calendar, shifted so that
// 30 December 1899 is day 0.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 25569: days from 1899-12-30 to 1970-01-01
}

struct Civil {
  int32_t year, month, day;
};

Civil CivilFromDays(int64_t z) {
  z += 719468 - 25569;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  return {static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

bool IsLeap(int32_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

[[noreturn]] void ThrowBadDate() {
  throw NovuError::FromUtf8("日付が不正です");
}

long double EncodeDate(int32_t y, int32_t m, int32_t d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) ThrowBadDate();
  const int month_days = kDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
  if (d > month_days) ThrowBadDate();
  return static_cast<long double>(DaysFromCivil(y, m, d));
}

long double EncodeTime(int32_t h, int32_t m, int32_t s) {
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) ThrowBadDate();
  return static_cast<long double>(h * 3600 + m * 60 + s) / 86400;
}

// The day of a date value (its whole part); values outside years 1 to 9999 are refused.
int64_t DayOf(long double date) {
  if (!std::isfinite(date) || std::fabs(date) > 3.0e6L) ThrowBadDate();
  return static_cast<int64_t>(std::trunc(date));
}

Civil DecodeDate(long double date) {
  return CivilFromDays(DayOf(date));
}

struct Clock {
  int32_t hour, minute, second;
};

Clock DecodeTime(long double date) {
  DayOf(date);
  const long double fraction = std::fabs(date - std::trunc(date));
  int64_t ms = std::llround(fraction * kMsPerDay);
  if (ms >= kMsPerDay) ms = kMsPerDay - 1;
  return {static_cast<int32_t>(ms / 3600000), static_cast<int32_t>(ms / 60000 % 60),
          static_cast<int32_t>(ms / 1000 % 60)};
}

// 1 = Sunday to 7 = Saturday; day 0 (30 December 1899) was a Saturday.
int32_t WeekDay(long double date) {
  const int64_t day = DayOf(date);
  return static_cast<int32_t>(((day + 6) % 7 + 7) % 7 + 1);
}

void Store3(const FunctionCall& c, int32_t a, int32_t b, int32_t d) {
  c.Output(1)->SetAsInt(a);
  c.Output(2)->SetAsInt(b);
  c.Output(3)->SetAsInt(d);
}

}  // namespace

void RegisterDateFunctions(SysFuncMan& f) {
  f.Register(51, [](const FunctionCall& c) {
    c.result().SetAsFloat(EncodeDate(c.Int(0), c.Int(1), c.Int(2)));
  });
  f.Register(52, [](const FunctionCall& c) {
    c.result().SetAsFloat(EncodeTime(c.Int(0), c.Int(1), c.Int(2)));
  });
  f.Register(53, [](const FunctionCall& c) {
    const Civil d = DecodeDate(c.Float(0));
    Store3(c, d.year, d.month, d.day);
  });
  f.Register(54, [](const FunctionCall& c) {
    const Clock t = DecodeTime(c.Float(0));
    Store3(c, t.hour, t.minute, t.second);
  });
  f.Register(55, [](const FunctionCall& c) { c.result().SetAsInt(DecodeDate(c.Float(0)).year); });
  f.Register(56, [](const FunctionCall& c) { c.result().SetAsInt(DecodeDate(c.Float(0)).month); });
  f.Register(57, [](const FunctionCall& c) { c.result().SetAsInt(DecodeDate(c.Float(0)).day); });
  f.Register(58, [](const FunctionCall& c) { c.result().SetAsInt(DecodeTime(c.Float(0)).hour); });
  f.Register(59, [](const FunctionCall& c) { c.result().SetAsInt(DecodeTime(c.Float(0)).minute); });
  f.Register(60, [](const FunctionCall& c) { c.result().SetAsInt(DecodeTime(c.Float(0)).second); });
  f.Register(61, [](const FunctionCall& c) { c.result().SetAsInt(WeekDay(c.Float(0))); });
  f.Register(62, [](const FunctionCall& c) {
    static constexpr const char* kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    c.result().SetAsStr(kNames[WeekDay(c.Float(0)) - 1]);
  });
  f.Register(63, [](const FunctionCall& c) {
    static constexpr const char* kNames[] = {"日", "月", "火", "水", "木", "金", "土"};
    c.result().SetAsStr(Jp(kNames[WeekDay(c.Float(0)) - 1]));
  });
}

}  // namespace novu
