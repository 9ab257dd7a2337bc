// CMyProgress: a flat progress bar painted by hand over a static control: a grey bar on a light box, with
// the position as a percentage just right of the bar's end.
#pragma once

#include "framework/controls.h"

#include <atomic>

class CMyProgress : public CStatic {
public:
    // A maximum of 0 or below becomes 100.
    void SetRange(int maximum);
    // Clamps the position to 0 .. range and repaints. Callable from a worker thread: it only stores the
    // value and invalidates; the painting stays on the window's thread.
    void SetPos(int position);
    int GetPos() const { return m_nPos; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();

    std::atomic<int> m_nRange{100};
    std::atomic<int> m_nPos{0};
    const COLORREF m_crBar = 0x858585;
    const COLORREF m_crBack = 0xCCCCCC;
    const COLORREF m_crBorder = 0x858585;
    const COLORREF m_crText = 0x000000;
};
