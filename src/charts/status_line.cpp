#include "charts/status_line.h"

#include <cstdio>
#include <cstdlib>

#include "analysis/number_format.h"

namespace {

constexpr int32_t kLineHeight = 14;
constexpr CColour kStatusText{50, 50, 50};

CPixelImage MakeImage(int32_t width, int32_t height, CColour (*shade)(int32_t, int32_t)) {
    CPixelImage image;
    image.width = width;
    image.height = height;
    image.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image.pixels.push_back(shade(x, y));
        }
    }
    return image;
}

// Bright green, lit from above, with fine diagonal ridges.
CColour ActiveShade(int32_t x, int32_t y) {
    const int ridge = (x + y) % 4 == 0 ? 30 : 0;
    const int green = 255 - 6 * std::abs(y - 5);
    return CColour{static_cast<uint8_t>(30 + ridge), static_cast<uint8_t>(green),
                   static_cast<uint8_t>(30 + ridge)};
}

// Light grey in a 2-pixel checker.
CColour IdleShade(int32_t x, int32_t y) {
    const uint8_t grey = ((x / 2 + y / 2) % 2 == 0) ? 214 : 196;
    return CColour{grey, grey, grey};
}

}  // namespace

void DrawStatusLine(CDrawSurface& dc, CStatusLine& line, const CPixelImage& indicator,
                    bool mouseInside) {
    const CRect clip = dc.GetClipBox();
    const int32_t top = clip.bottom - kLineHeight;
    const CRect status{clip.left, top, clip.right, clip.bottom};
    dc.FillSolidRect(status, CColour{255, 255, 255});

    const CPen oldPen = dc.SelectPen(CPen{1, CColour{255, 255, 255}});
    dc.MoveTo(clip.right, top);
    dc.LineTo(clip.left, top);
    dc.LineTo(clip.left, clip.bottom - 1);

    // The slice runs 6 rows past the bottom, where the clip box cuts it off.
    dc.CopyImage(14, top, 30, indicator.height, indicator, 10, 0);

    dc.SelectPen(CPen{1, dc.GetSystemColour(SystemColour::ButtonShadow)});
    dc.MoveTo(44, top);
    dc.LineTo(44, clip.bottom);
    dc.MoveTo(14, top);
    dc.LineTo(14, clip.bottom);
    dc.MoveTo(clip.left, clip.bottom - 1);
    dc.LineTo(clip.right - 1, clip.bottom - 1);
    dc.LineTo(clip.right - 1, top);

    dc.SetTextColour(kStatusText);
    const BackgroundMode oldMode = dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.SetTextAlign(TextAlign::LeftTop);
    const CFontSpec oldFont = dc.SelectFont(CFontSpec{"Arial Bold", -10});
    if (!mouseInside) {
        line.readout.clear();
    }
    CRect textBox = status;
    textBox.left += 58;
    dc.DrawText(line.title + line.dataSetName + line.readout, textBox);
    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
    dc.SetBackgroundMode(oldMode);
}

std::string FormatReadout(const CDataPoint& point, int slot) {
    char date[64];
    std::snprintf(date, sizeof date, "      %i.%i.%i      ", point.m_month, point.m_day,
                  point.m_year);
    return date + FormatNumber(point.GetValue(slot));
}

const CPixelImage& ActiveIndicator() {
    static const CPixelImage image = MakeImage(200, 20, ActiveShade);
    return image;
}

const CPixelImage& IdleIndicator() {
    static const CPixelImage image = MakeImage(40, 20, IdleShade);
    return image;
}
