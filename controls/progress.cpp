#include "progress.h"

#include "geometry.h"
#include "common/handles.h"
#include "common/text.h"

#include <cstring>

void CMyProgress::SetRange(int maximum) {
    m_nRange = ProgressRange(maximum);
}

void CMyProgress::SetPos(int position) {
    m_nPos = ProgressPosition(position, m_nRange);
    if (m_hWnd)
        Invalidate(TRUE);
}

LRESULT CMyProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CMyProgress::Paint() {
    ScopedPaint paint(m_hWnd);
    HDC dc = paint.Get();
    if (!dc)
        return;
    RECT client = {};
    GetClientRect(&client);
    int position = m_nPos;
    int range = m_nRange;

    ScopedGdiObject pen(CreatePen(PS_SOLID, 2, m_crBorder));
    ScopedGdiObject back(CreateSolidBrush(m_crBack));
    ScopedGdiObject bar(CreateSolidBrush(m_crBar));
    if (!pen || !back || !bar)
        return;
    ScopedSelection penSelected(dc, pen.Get());
    {
        ScopedSelection brushSelected(dc, back.Get());
        Rectangle(dc, client.left, client.top, client.right, client.bottom);
    }
    int barRight = ProgressBarRight(client, position, range);
    {
        ScopedSelection brushSelected(dc, bar.Get());
        Rectangle(dc, client.left, client.top, barRight, client.bottom);
    }

    char text[16];
    FormatBounded(text, sizeof text, "%d%%", position);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
    RECT place = ProgressTextRect(client, barRight, extent.cx);
    COLORREF oldColor = SetTextColor(dc, m_crText);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
}
