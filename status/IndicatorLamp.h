#pragma once
#include <string>

#include "status/StatusColour.h"

// A read-only lamp: a fixed label shown in one of three states.
enum class LampState { Off = 0, On = 1, Alarm = 2 };

struct IndicatorLamp {
    std::string label;
    LampState state = LampState::Off;
};

inline Rgb LampBackground(LampState state) {
    switch (state) {
        case LampState::On: return StatusColour::kBlue;
        case LampState::Alarm: return StatusColour::kRed;
        case LampState::Off: break;
    }
    return Rgb{213, 213, 213};
}

inline Rgb LampTextColour(LampState state) {
    return state == LampState::Off ? Rgb{120, 120, 120} : StatusColour::kWhite;
}

// The token a lamp's state is written as in copied CSV text.
inline const char* LampStateToken(LampState state) {
    switch (state) {
        case LampState::On: return "on";
        case LampState::Alarm: return "alarm";
        case LampState::Off: break;
    }
    return "off";
}
