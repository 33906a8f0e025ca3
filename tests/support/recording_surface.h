#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "charts/draw_surface.h"

// A drawing surface that keeps every primitive drawn on it, with the state it was drawn in,
// for tests of the chart drawing.

enum class OpKind { Fill, Line, Ellipse, Text, BoxText, Image };

struct CDrawOp {
    OpKind kind = OpKind::Fill;
    // Fill, Ellipse, BoxText: the rectangle. Line: (x0, y0) to (x1, y1) as (left, top) and
    // (right, bottom). Text: the reference point in left and top. Image: destination and size.
    CRect rect;
    CColour colour;  // Fill: its colour; Line, Ellipse: the pen's; Text, BoxText: the text's
    CColour brush;   // Ellipse: the brush
    int32_t penWidth = 1;
    RasterOp rasterOp = RasterOp::CopyPen;
    TextAlign align = TextAlign::LeftTop;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    CFontSpec font;
    std::string text;
    int32_t sourceX = 0;  // Image: the corner taken from the picture
    int32_t sourceY = 0;
    int32_t imageWidth = 0;  // Image: the picture's width, to tell the pictures apart
};

// The selected state of a surface, to check that drawing leaves it as it found it.
struct CSurfaceState {
    CPen pen;
    CColour brush{255, 255, 255};
    CFontSpec font{"System", 16};
    RasterOp rasterOp = RasterOp::CopyPen;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    bool operator==(const CSurfaceState&) const = default;
};

class CRecordingSurface : public CDrawSurface {
  public:
    explicit CRecordingSurface(CRect clip) : m_clip(clip) {}

    CRect GetClipBox() const override { return m_clip; }

    void FillSolidRect(const CRect& rect, CColour colour) override {
        CDrawOp op = Op(OpKind::Fill);
        op.rect = rect;
        op.colour = colour;
        ops.push_back(op);
    }
    void FillRect(const CRect& rect, CColour brush) override { FillSolidRect(rect, brush); }

    CPen SelectPen(const CPen& pen) override { return Swap(state.pen, pen); }
    CColour SelectBrush(CColour brush) override { return Swap(state.brush, brush); }
    CFontSpec SelectFont(const CFontSpec& font) override { return Swap(state.font, font); }
    RasterOp SetRasterOp(RasterOp op) override { return Swap(state.rasterOp, op); }
    CColour SetTextColour(CColour colour) override { return Swap(m_textColour, colour); }
    CColour SetBackgroundColour(CColour colour) override { return Swap(m_background, colour); }
    BackgroundMode SetBackgroundMode(BackgroundMode mode) override {
        return Swap(state.backgroundMode, mode);
    }
    TextAlign SetTextAlign(TextAlign align) override { return Swap(m_align, align); }

    void MoveTo(int32_t x, int32_t y) override {
        m_x = x;
        m_y = y;
    }
    void LineTo(int32_t x, int32_t y) override {
        CDrawOp op = Op(OpKind::Line);
        op.rect = CRect{m_x, m_y, x, y};
        op.colour = state.pen.colour;
        ops.push_back(op);
        m_x = x;
        m_y = y;
    }
    void Ellipse(const CRect& box) override {
        CDrawOp op = Op(OpKind::Ellipse);
        op.rect = box;
        op.colour = state.pen.colour;
        ops.push_back(op);
    }
    void TextOut(int32_t x, int32_t y, std::string_view text) override {
        CDrawOp op = Op(OpKind::Text);
        op.rect = CRect{x, y, x, y};
        op.colour = m_textColour;
        op.text = text;
        ops.push_back(op);
    }
    void DrawText(std::string_view text, const CRect& rect) override {
        CDrawOp op = Op(OpKind::BoxText);
        op.rect = rect;
        op.colour = m_textColour;
        op.text = text;
        ops.push_back(op);
    }

    CColour GetSystemColour(SystemColour which) const override {
        switch (which) {
            case SystemColour::ButtonText:
                return kButtonText;
            case SystemColour::ButtonFace:
                return kButtonFace;
            case SystemColour::ButtonShadow:
                return kButtonShadow;
        }
        return CColour{};
    }

    void CopyImage(int32_t x, int32_t y, int32_t width, int32_t height, const CPixelImage& image,
                   int32_t sourceX, int32_t sourceY) override {
        CDrawOp op = Op(OpKind::Image);
        op.rect = CRect{x, y, x + width, y + height};
        op.sourceX = sourceX;
        op.sourceY = sourceY;
        op.imageWidth = image.width;
        ops.push_back(op);
    }

    // The operations of one kind, in drawing order.
    std::vector<CDrawOp> Of(OpKind kind) const {
        std::vector<CDrawOp> found;
        for (const CDrawOp& op : ops) {
            if (op.kind == kind) {
                found.push_back(op);
            }
        }
        return found;
    }
    // The lines drawn with a pen of the colour.
    std::vector<CDrawOp> LinesOf(CColour colour) const {
        std::vector<CDrawOp> found;
        for (const CDrawOp& op : ops) {
            if (op.kind == OpKind::Line && op.colour == colour) {
                found.push_back(op);
            }
        }
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> found;
        for (const CDrawOp& op : ops) {
            if (op.kind == OpKind::Text || op.kind == OpKind::BoxText) {
                found.push_back(op.text);
            }
        }
        return found;
    }

    static constexpr CColour kButtonText{1, 2, 3};
    static constexpr CColour kButtonFace{201, 202, 203};
    static constexpr CColour kButtonShadow{101, 102, 103};

    std::vector<CDrawOp> ops;
    CSurfaceState state;

  private:
    template <typename T>
    static T Swap(T& field, const T& value) {
        T old = field;
        field = value;
        return old;
    }
    CDrawOp Op(OpKind kind) const {
        CDrawOp op;
        op.kind = kind;
        op.brush = state.brush;
        op.penWidth = state.pen.width;
        op.rasterOp = state.rasterOp;
        op.align = m_align;
        op.backgroundMode = state.backgroundMode;
        op.font = state.font;
        return op;
    }

    CRect m_clip;
    CColour m_textColour{0, 0, 0};
    CColour m_background{255, 255, 255};
    TextAlign m_align = TextAlign::LeftTop;
    int32_t m_x = 0;
    int32_t m_y = 0;
};
