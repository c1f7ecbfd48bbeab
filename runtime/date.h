// Dates as 32-bit counts of seconds since 1970-01-01 00:00:00 of the local calendar,
// with no time zone applied; -1 is an invalid date. Network time limits are differences
// of DateNow values.
#pragma once

#include <cstdint>

std::int32_t DateFromFields(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                            std::int32_t minute, std::int32_t second);
std::int32_t DateNow();
