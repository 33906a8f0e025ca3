#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "charts/draw_surface.h"

// A drawing surface that keeps every primitive drawn on it, with the state it was drawn in,
// for tests of the chart drawing.

enum class OpKind { Fill, Line, Ellipse, Text, Image };

struct CDrawOp {
    OpKind kind = OpKind::Fill;
    // Fill, Ellipse, Image: the rectangle. Line: (x0, y0) to (x1, y1) as (left, top) and
    // (right, bottom). Text: the reference point in left and top, or the box of DrawText.
    CRect rect;
    CColour colour;  // Fill: its colour; Line, Ellipse: the pen's; Text: the text's
    CColour brush;   // Ellipse: the brush
    CPen pen;
    RasterOp rasterOp = RasterOp::CopyPen;
    CFontSpec font;
    std::string text;
};

class CRecordingSurface : public CDrawSurface {
  public:
    explicit CRecordingSurface(CRect clip) : m_clip(clip) {}

    CRect GetClipBox() const override { return m_clip; }

    void FillSolidRect(const CRect& rect, CColour colour) override {
        Record(OpKind::Fill, rect, colour);
    }
    void FillRect(const CRect& rect, CColour brush) override { Record(OpKind::Fill, rect, brush); }

    CPen SelectPen(const CPen& pen) override { return std::exchange(m_pen, pen); }
    CColour SelectBrush(CColour brush) override { return std::exchange(m_brush, brush); }
    CFontSpec SelectFont(const CFontSpec& font) override { return std::exchange(m_font, font); }
    RasterOp SetRasterOp(RasterOp op) override { return std::exchange(m_rasterOp, op); }
    CColour SetTextColour(CColour colour) override { return std::exchange(m_textColour, colour); }
    // The background and the text alignment are not kept.
    CColour SetBackgroundColour(CColour colour) override { return colour; }
    BackgroundMode SetBackgroundMode(BackgroundMode mode) override { return mode; }
    TextAlign SetTextAlign(TextAlign align) override { return align; }

    void MoveTo(int32_t x, int32_t y) override {
        m_x = x;
        m_y = y;
    }
    void LineTo(int32_t x, int32_t y) override {
        Record(OpKind::Line, CRect{m_x, m_y, x, y}, m_pen.colour);
        MoveTo(x, y);
    }
    void Ellipse(const CRect& box) override { Record(OpKind::Ellipse, box, m_pen.colour); }
    void TextOut(int32_t x, int32_t y, std::string_view text) override {
        Record(OpKind::Text, CRect{x, y, x, y}, m_textColour, text);
    }
    void DrawText(std::string_view text, const CRect& rect) override {
        Record(OpKind::Text, rect, m_textColour, text);
    }

    CColour GetSystemColour(SystemColour which) const override {
        return which == SystemColour::ButtonText ? kButtonText : CColour{201, 202, 203};
    }

    void CopyImage(int32_t x, int32_t y, int32_t width, int32_t height, const CPixelImage&, int32_t,
                   int32_t) override {
        Record(OpKind::Image, CRect{x, y, x + width, y + height}, CColour{});
    }

    // The operations of one kind, in drawing order; with a colour, only those of that colour.
    std::vector<CDrawOp> Of(OpKind kind, std::optional<CColour> colour = std::nullopt) const {
        std::vector<CDrawOp> found;
        for (const CDrawOp& op : ops) {
            if (op.kind == kind && (!colour || op.colour == *colour)) {
                found.push_back(op);
            }
        }
        return found;
    }
    static constexpr CColour kButtonText{1, 2, 3};

    std::vector<CDrawOp> ops;

  private:
    void Record(OpKind kind, const CRect& rect, CColour colour, std::string_view text = {}) {
        ops.push_back(
            CDrawOp{kind, rect, colour, m_brush, m_pen, m_rasterOp, m_font, std::string(text)});
    }

    CRect m_clip;
    CPen m_pen;
    CColour m_brush{255, 255, 255};
    CFontSpec m_font{"System", 16};
    RasterOp m_rasterOp = RasterOp::CopyPen;
    CColour m_textColour{0, 0, 0};
    int32_t m_x = 0;
    int32_t m_y = 0;
};

// One field of each operation, in drawing order: Each(dc.Of(OpKind::Text), &CDrawOp::text).
template <typename T>
std::vector<T> Each(const std::vector<CDrawOp>& ops, T CDrawOp::*field) {
    std::vector<T> values;
    for (const CDrawOp& op : ops) {
        values.push_back(op.*field);
    }
    return values;
}
