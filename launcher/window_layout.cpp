#include "window_layout.h"

#include <algorithm>

namespace {

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -kFarthestCoordinate, kFarthestCoordinate));
}

} // namespace

int SequenceDigit(int sequence, ButtonRole role) {
    switch (role) {
    case ButtonRole::kSd:
        return sequence / 1000;
    case ButtonRole::kMtp:
        return sequence / 100 % 10;
    case ButtonRole::kPalvio:
        return sequence / 10 % 10;
    case ButtonRole::kDialup:
        break;
    }
    return sequence % 10;
}

int ButtonGap(int backgroundHeight, int count, int buttonHeight, int bandHeight) {
    long long room =
        static_cast<long long>(backgroundHeight) - static_cast<long long>(count) * buttonHeight - bandHeight;
    // A negative count (no caller has one) would divide by nothing at -1.
    long long gaps = std::max<long long>(static_cast<long long>(count) + 1, 1);
    return Clamped(room / gaps);
}

int ButtonTop(int digit, int gap, int buttonHeight, int bandHeight) {
    long long d = digit;
    return Clamped(d * gap + (d - 1) * buttonHeight + bandHeight);
}

int BandTop(int bandHeight, int imageHeight) {
    return Clamped((static_cast<long long>(bandHeight) - imageHeight) / 2);
}
