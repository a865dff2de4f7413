#pragma once
#include <ctime>

// The calendar time of seconds in the local time zone (thread-safe on both systems), and the
// zone's offset from UTC at that moment in seconds east, summer time included. The offset comes
// from here because strftime's "%z" gives a zone name on Windows, not "+0900".
std::tm LocalTime(std::time_t seconds, long* utcOffsetSeconds = nullptr);
