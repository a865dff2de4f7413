#pragma once
#include <cstdint>

// A colour as red, green, blue; the status views hand these to the widgets unchanged.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

namespace StatusColour {
// The system's window text and window colours as the views assume them.
constexpr Rgb kWindowText{0, 0, 0};
constexpr Rgb kWindow{255, 255, 255};
constexpr Rgb kListBackground{225, 225, 225};
constexpr Rgb kDimText{210, 210, 210};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
}  // namespace StatusColour
