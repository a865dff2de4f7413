#include "platform/LocalTime.h"

std::tm LocalTime(std::time_t seconds, long* utcOffsetSeconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    if (utcOffsetSeconds) *utcOffsetSeconds = local.tm_gmtoff;
    return local;
}
