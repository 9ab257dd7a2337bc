// The skinned controls' and the launcher window's layout arithmetic on any rectangles, sizes, positions,
// button orders and captions: the progress bar stays in its control, centred parts stay centred, and no
// arithmetic overflows (the sanitizer's part). Coordinates stay within what a window can have. The SD and
// MTP buttons' command line never runs past its room.
#include "controls/geometry.h"
#include "fuzz_check.h"
#include "launcher/mode_switch_command.h"
#include "launcher/window_layout.h"

#include <cstring>

#include <string>

namespace {

constexpr LONG kFar = 1 << 20; // well beyond any screen, well within int

RECT ConsumeRect(FuzzedDataProvider& input) {
    LONG left = input.ConsumeIntegralInRange<LONG>(-kFar, kFar);
    LONG top = input.ConsumeIntegralInRange<LONG>(-kFar, kFar);
    return {left, top, left + input.ConsumeIntegralInRange<LONG>(0, kFar),
            top + input.ConsumeIntegralInRange<LONG>(0, kFar)};
}
SIZE ConsumeSize(FuzzedDataProvider& input) {
    return {input.ConsumeIntegralInRange<LONG>(0, kFar), input.ConsumeIntegralInRange<LONG>(0, kFar)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    RECT client = ConsumeRect(input);
    int range = input.ConsumeIntegral<int>();
    int position = input.ConsumeIntegral<int>();
    FUZZ_EXPECT(ProgressRange(range) > 0);
    int clamped = ProgressPosition(position, range);
    FUZZ_EXPECT(clamped >= 0 && clamped <= ProgressRange(range));
    int right = ProgressBarRight(client, position, range);
    if (client.right - client.left >= kProgressMinimumBar)
        FUZZ_EXPECT(right >= client.left && right <= client.right);
    RECT text = ProgressTextRect(client, right, input.ConsumeIntegralInRange<int>(0, kFar));
    FUZZ_EXPECT(text.left <= text.right);

    RECT item = ConsumeRect(input);
    SIZE image = ConsumeSize(input), caption = ConsumeSize(input);
    bool selected = input.ConsumeBool();
    ImageCaptionLayout layout = LayOutImageAndCaption(item, image, caption, selected);
    FUZZ_EXPECT(layout.image.right - layout.image.left == image.cx);
    FUZZ_EXPECT(layout.caption.top >= layout.image.bottom);

    TextFit fit = FitText(item, ConsumeSize(input));
    if (!fit.oneLine)
        FUZZ_EXPECT(fit.wrap.left >= item.left && fit.wrap.right <= item.right);
    TwoLinesFit(item, ConsumeSize(input), ConsumeSize(input));
    TwoLineBands(item);

    int sequence = input.ConsumeIntegral<int>();
    int gap = ButtonGap(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                        input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    FUZZ_EXPECT(gap >= -kFarthestCoordinate && gap <= kFarthestCoordinate);
    for (ButtonRole role : {ButtonRole::kSd, ButtonRole::kMtp, ButtonRole::kPalvio, ButtonRole::kDialup}) {
        int digit = SequenceDigit(sequence, role);
        if (role != ButtonRole::kSd)
            FUZZ_EXPECT(digit > -10 && digit < 10);
        int top = ButtonTop(digit, gap, input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
        FUZZ_EXPECT(top >= -kFarthestCoordinate && top <= kFarthestCoordinate);
    }
    int band = BandTop(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    FUZZ_EXPECT(band >= -kFarthestCoordinate && band <= kFarthestCoordinate);

    std::string folder = input.ConsumeRandomLengthString(400);
    std::string driverPath = input.ConsumeRandomLengthString(300);
    char tool[kPathRoom], parameters[kPathRoom];
    if (ComposeModeSwitchCommand(folder.c_str(), driverPath, "-close", tool, parameters))
        FUZZ_EXPECT(strlen(tool) < kPathRoom && strstr(parameters, "-close -cdrom:") == parameters);

    std::string words = input.ConsumeRemainingBytesAsString();
    CaptionLines lines = SplitCaption(words);
    if (lines.twoLines)
        FUZZ_EXPECT(!lines.first.empty() && words.find(lines.first) != std::string::npos &&
                    words.find(lines.second) != std::string::npos);
    else // a caption of blanks only is drawn as nothing
        FUZZ_EXPECT(lines.first == words ||
                    (lines.first.empty() && words.find_first_not_of(" \t\r\n") == std::string::npos));
    return 0;
}
