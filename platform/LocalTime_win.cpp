#include "platform/LocalTime.h"

std::tm LocalTime(std::time_t seconds, long* utcOffsetSeconds) {
    std::tm local{};
    localtime_s(&local, &seconds);
    if (utcOffsetSeconds) {
        // The local fields read as if they were UTC, less the moment itself.
        std::tm copy = local;
        *utcOffsetSeconds = static_cast<long>(_mkgmtime(&copy) - seconds);
    }
    return local;
}
