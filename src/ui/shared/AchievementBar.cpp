#include "ui/shared/AchievementBar.h"

#include "core/ResourceString.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace rw {

namespace {

void DrawWithImages(HDC dc, const RECT& rect, bool enable, float score, bool rising,
                    const AchievementBarImages& images) {
    // The images are drawn for 96 DPI; the dialogs around them grow with the DPI, so do they.
    const nsHalden::CImagePlus& empty = *images.empty;
    // A window's DC: that window's DPI (another monitor's, perhaps); a memory DC: its own.
    HWND window = WindowFromDC(dc);
    const int dpi = window ? WindowDpi(window) : GetDeviceCaps(dc, LOGPIXELSX);
    const int sw = empty.Width();
    const int sh = empty.Height();
    const int w = MulDiv(sw, dpi, 96);
    const int h = MulDiv(sh, dpi, 96);
    const int x = rect.left + (rect.right - rect.left - w) / 2;
    const int y = rect.top + (rect.bottom - rect.top - h) / 2;
    if (!enable) {
        empty.Draw(dc, x, y, w, h, 0, 0, sw, sh);
        return;
    }
    const int filled = static_cast<int>(score * static_cast<float>(sw) / 100.0f);  // in image pixels
    const int filledOut = MulDiv(filled, dpi, 96);
    const nsHalden::CImagePlus* full = rising ? images.rising : images.falling;
    if (filled > 0 && full && !full->IsNull()) full->Draw(dc, x, y, filledOut, h, 0, 0, filled, sh);
    if (filled < sw) empty.Draw(dc, x + filledOut, y, w - filledOut, h, filled, 0, sw - filled, sh);
}

// IDS_RATING_PERCENT ("%d %%") with the number: only "%d" and "%%" are understood, so a text
// from the table can never read arguments that are not there.
std::wstring PercentText(const std::wstring& format, int percent) {
    std::wstring text;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && (format[i + 1] == L'd' || format[i + 1] == L'%')) {
            text += format[++i] == L'd' ? std::to_wstring(percent) : L"%";
        } else {
            text += format[i];
        }
    }
    return text;
}

void DrawWithoutImages(HDC dc, const RECT& rect, float score, HFONT boldFont) {
    const int inner = rect.right - rect.left - 2;
    const int fillEnd = rect.left + 1 + static_cast<int>(score * static_cast<float>(inner) / 100.0f);
    rw::BrushOwner orange(CreateSolidBrush(RGB(248, 175, 0)));
    rw::BrushOwner grey(CreateSolidBrush(RGB(221, 221, 221)));
    const RECT done{rect.left + 1, rect.top + 1, fillEnd, rect.bottom - 1};
    const RECT rest{fillEnd, rect.top + 1, rect.right, rect.bottom - 1};
    FillRect(dc, &done, orange.get());
    FillRect(dc, &rest, grey.get());
    {
        rw::SelectionGuard pen(dc, GetStockObject(BLACK_PEN));
        rw::SelectionGuard brush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }

    int percent = static_cast<int>(score);
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    const std::wstring text = PercentText(rw::ResourceText(IDS_RATING_PERCENT), percent);
    rw::SelectionGuard font(dc, boldFont);
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

}  // namespace

void DrawAchievementBar(HDC dc, const RECT& rect, bool enable, float score, bool rising,
                        const AchievementBarImages& images, HFONT boldFont) {
    if (images.empty && !images.empty->IsNull()) {
        DrawWithImages(dc, rect, enable, score, rising, images);
    } else if (enable) {
        DrawWithoutImages(dc, rect, score, boldFont);
    }
}

}  // namespace rw
