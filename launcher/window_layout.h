// Where the launcher window puts its buttons: plain arithmetic on the skin's sizes, the band height and the
// configured order, so that it can be checked without a window.
#pragma once

// The four main buttons, by the digit of the order value that places each: SD the thousands (without a
// modulo, so an order of five or more digits puts it past position 9), MTP the hundreds, the Palvio
// application the tens, the dial-up application the units.
enum class ButtonRole { kSd, kMtp, kPalvio, kDialup };
int SequenceDigit(int sequence, ButtonRole role);

// The gap between the visible buttons (and above the first and below the last): what the background's
// height leaves after the band and the buttons, shared by count + 1 gaps. Divisions truncate toward zero.
int ButtonGap(int backgroundHeight, int count, int buttonHeight, int bandHeight);
// The top of the button at position `digit` (1 the first under the band). Nothing keeps it inside the
// window: the same digit twice overlaps, 0 puts a button over the band. Every result is a coordinate a
// window can take on every Windows (a ten-digit order would otherwise overflow).
int ButtonTop(int digit, int gap, int buttonHeight, int bandHeight);
// The top of an image centred in the band (the logo, the close button).
int BandTop(int bandHeight, int imageHeight);

// The far end of window coordinates: what 16-bit window positions can hold.
constexpr int kFarthestCoordinate = 32767;
