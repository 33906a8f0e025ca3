#include "charts/qt/painter_surface.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLineF>
#include <QPalette>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/numeric.h"

namespace {

QColor ToQColor(CColour c) {
    return QColor(c.r, c.g, c.b);
}

CColour FromQColor(const QColor& c) {
    return CColour{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                   static_cast<uint8_t>(c.blue())};
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Clips the segment to `box` (Liang-Barsky); false when nothing of it lies inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const QRectF& box) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.left(), box.right() - x0, y0 - box.top(), box.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const double sx = x0;
    const double sy = y0;
    x0 = sx + t0 * dx;
    y0 = sy + t0 * dy;
    x1 = sx + t1 * dx;
    y1 = sy + t1 * dy;
    return true;
}

// n / d rounded to the nearest whole number, halves upward. REQUIRES: d > 0.
int64_t RoundDiv(int64_t n, int64_t d) {
    const int64_t twice = 2 * n + d;
    const int64_t q = twice / (2 * d);
    return (twice % (2 * d) != 0 && twice < 0) ? q - 1 : q;
}

// Coordinates this close to the origin are safe for any arithmetic below.
bool Near(int64_t v) {
    constexpr int64_t kNear = int64_t{1} << 20;
    return v > -kNear && v < kNear;
}

}  // namespace

QFont FontFor(const CFontSpec& font) {
    QString family = QString::fromStdString(font.face);
    bool bold = false;
    if (family.endsWith(QStringLiteral(" Bold"))) {
        family.chop(5);
        bold = true;
    }
    QFont qfont;
    if (!family.isEmpty()) {
        qfont.setFamilies({family});
    }
    // A face that is not installed falls back to the platform's sans-serif (fontconfig
    // substitutes metric-alike families where it knows them).
    qfont.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    qfont.setWeight(bold ? QFont::Bold : QFont::Normal);
    // Negative heights give the character height; a positive (cell) height is taken as the
    // same, which makes its text a little larger than a device context would.
    if (font.height != 0) {
        qfont.setPixelSize(std::abs(font.height));
    }
    return qfont;
}

CPainterSurface::CPainterSurface(QPainter& painter, const CRect& clipBox)
    : m_painter(painter), m_clip(clipBox) {
    m_painter.save();
    // No device is 2^20 pixels wide; held to that, the clip box's size fits an int.
    const auto held = [](int32_t v) { return std::clamp(v, -(1 << 20), 1 << 20); };
    const int left = held(clipBox.left);
    const int top = held(clipBox.top);
    m_painter.setClipRect(QRect(left, top, std::max(0, held(clipBox.right) - left),
                                std::max(0, held(clipBox.bottom) - top)),
                          Qt::IntersectClip);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_scaled = m_painter.combinedTransform().type() > QTransform::TxTranslate;
    m_painter.setPen(PainterPen());
    m_painter.setBrush(ToQColor(m_brush));
    m_qfont = m_painter.font();
    PrepareDirectPixels();
}

void CPainterSurface::PrepareDirectPixels() {
    auto* image = dynamic_cast<QImage*>(m_painter.device());
    if (image == nullptr) {
        return;
    }
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const QTransform transform = m_painter.combinedTransform();
    const double scale = transform.m11();
    // A scale below 1 would visit more pixels than the picture has; no caller draws so.
    if (transform.type() > QTransform::TxScale || transform.m22() != scale || scale < 1.0) {
        return;
    }
    // Without a scale only whole-pixel shifts keep each pixel on one physical pixel.
    if (scale == 1.0 && (transform.dx() != std::round(transform.dx()) ||
                         transform.dy() != std::round(transform.dy()))) {
        return;
    }
    // The painter's clip now includes the clip box; only a plain rectangle is followed here.
    const QRegion clip = m_painter.clipRegion();
    if (clip.rectCount() > 1) {
        return;
    }
    // No picture is 2^30 pixels from the origin; held to that, every position fits an int.
    const auto held = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    const double dx = transform.dx();
    const double dy = transform.dy();
    const QRect onImage(QPoint(held(std::floor(-dx / scale)), held(std::floor(-dy / scale))),
                        QPoint(held(std::ceil((image->width() - dx) / scale) - 1),
                               held(std::ceil((image->height() - dy) / scale) - 1)));
    m_pixelClip = clip.boundingRect() & onImage;
    m_scale = scale;
    m_offset = QPointF(dx, dy);
    m_shift = QPoint(held(dx), held(dy));
    const bool whole =
        scale == std::round(scale) && scale <= 64 && dx == m_shift.x() && dy == m_shift.y();
    m_wholeScale = whole ? static_cast<int>(scale) : 0;
    m_imageSize = image->size();
    m_bits = image->bits();
    m_stride = image->bytesPerLine();
}

int64_t CPainterSurface::DeviceX(int64_t x) const {
    // Rounded as QPainter rounds the edges of the rectangles it fills, so lines and fills meet.
    return static_cast<int64_t>(std::floor(static_cast<double>(x) * m_scale + m_offset.x() + 0.5));
}

int64_t CPainterSurface::DeviceY(int64_t y) const {
    return static_cast<int64_t>(std::floor(static_cast<double>(y) * m_scale + m_offset.y() + 0.5));
}

QPen CPainterSurface::PainterPen() const {
    QPen qpen(ToQColor(m_pen.colour), std::max(1, m_pen.width));
    qpen.setCosmetic(m_pen.width <= 1 && !m_scaled);
    // A flat cap leaves out the end point of a line, as a raster device context does.
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    return qpen;
}

CPainterSurface::~CPainterSurface() {
    m_painter.restore();
}

void CPainterSurface::UsePenMode() {
    const auto mode = m_rasterOp == RasterOp::MergeNotPen
                          ? QPainter::RasterOp_NotSourceOrDestination
                          : QPainter::CompositionMode_SourceOver;
    if (m_painter.compositionMode() != mode) {
        m_painter.setCompositionMode(mode);
    }
}

void CPainterSurface::UseCopyMode() {
    if (m_painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void CPainterSurface::FillPixels(int64_t left, int64_t top, int64_t right, int64_t bottom,
                                 const QColor& colour) {
    left = std::max<int64_t>(left, m_clip.left);
    top = std::max<int64_t>(top, m_clip.top);
    right = std::min<int64_t>(right, m_clip.right);
    bottom = std::min<int64_t>(bottom, m_clip.bottom);
    if (right <= left || bottom <= top) {
        return;
    }
    m_painter.fillRect(QRect(static_cast<int>(left), static_cast<int>(top),
                             static_cast<int>(right - left), static_cast<int>(bottom - top)),
                       colour);
}

void CPainterSurface::FillSolidRect(const CRect& rect, CColour colour) {
    UseCopyMode();
    FillPixels(rect.left, rect.top, rect.right, rect.bottom, ToQColor(colour));
}

void CPainterSurface::FillRect(const CRect& rect, CColour brush) {
    FillSolidRect(rect, brush);
}

CPen CPainterSurface::SelectPen(const CPen& pen) {
    const CPen old = m_pen;
    m_pen = pen;
    m_painter.setPen(PainterPen());
    return old;
}

CColour CPainterSurface::SelectBrush(CColour brush) {
    const CColour old = m_brush;
    m_brush = brush;
    m_painter.setBrush(ToQColor(m_brush));
    return old;
}

CFontSpec CPainterSurface::SelectFont(const CFontSpec& font) {
    const CFontSpec old = m_font;
    m_font = font;
    m_qfont = FontFor(font);
    return old;
}

RasterOp CPainterSurface::SetRasterOp(RasterOp op) {
    return std::exchange(m_rasterOp, op);
}

CColour CPainterSurface::SetTextColour(CColour colour) {
    return std::exchange(m_textColour, colour);
}

CColour CPainterSurface::SetBackgroundColour(CColour colour) {
    return std::exchange(m_backgroundColour, colour);
}

BackgroundMode CPainterSurface::SetBackgroundMode(BackgroundMode mode) {
    return std::exchange(m_backgroundMode, mode);
}

TextAlign CPainterSurface::SetTextAlign(TextAlign align) {
    return std::exchange(m_textAlign, align);
}

void CPainterSurface::MoveTo(int32_t x, int32_t y) {
    m_x = x;
    m_y = y;
}

void CPainterSurface::LineTo(int32_t x, int32_t y) {
    DrawLine(m_x, m_y, x, y);
    m_x = x;
    m_y = y;
}

void CPainterSurface::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const int64_t width = std::max(1, m_pen.width);
    if (width == 1 && m_bits != nullptr) {
        if (Near(x0) && Near(y0) && Near(x1) && Near(y1)) {
            PlotThinLine(x0, y0, x1, y1);
            return;
        }
        // Far-off ends are cut back to a margin round the clip box, which keeps them out of
        // sight.
        double ax = x0, ay = y0, bx = x1, by = y1;
        const QRectF box = QRectF(m_clip.left, m_clip.top,
                                  static_cast<double>(int64_t{m_clip.right} - m_clip.left),
                                  static_cast<double>(int64_t{m_clip.bottom} - m_clip.top))
                               .adjusted(-8, -8, 8, 8);
        if (ClipSegment(ax, ay, bx, by, box)) {
            PlotThinLine(std::llround(ax), std::llround(ay), std::llround(bx), std::llround(by));
        }
        return;
    }
    UsePenMode();
    const int64_t offset = width / 2;
    // Level and upright lines are filled exactly: from the start up to, not including, the end.
    if (y0 == y1 || x0 == x1) {
        const bool level = y0 == y1;
        const int64_t from = level ? x0 : y0;
        const int64_t to = level ? x1 : y1;
        if (from == to) {
            return;
        }
        const int64_t first = from < to ? from : to + 1;
        const int64_t last = from < to ? to : from + 1;
        const int64_t across = (level ? y0 : x0) - offset;
        const QColor colour = ToQColor(m_pen.colour);
        if (level) {
            FillPixels(first, across, last, across + width, colour);
        } else {
            FillPixels(across, first, across + width, last, colour);
        }
        return;
    }
    double ax = x0, ay = y0, bx = x1, by = y1;
    // Far-off ends are cut back to a margin round the clip box, so that the rasteriser only
    // meets coordinates it can hold; the margin keeps the end points themselves out of sight.
    const double clipWidth = static_cast<double>(int64_t{m_clip.right} - m_clip.left);
    const double clipHeight = static_cast<double>(int64_t{m_clip.bottom} - m_clip.top);
    const QRectF box =
        QRectF(m_clip.left, m_clip.top, clipWidth, clipHeight).adjusted(-8, -8, 8, 8);
    if (!box.contains(ax, ay) || !box.contains(bx, by)) {
        if (!ClipSegment(ax, ay, bx, by, box)) {
            return;
        }
    }
    // Scaled, a pen of odd width is centred on the middle of its pixels, not on their edge.
    const double centre = m_scaled && width % 2 == 1 ? 0.5 : 0.0;
    m_painter.drawLine(QLineF(ax + centre, ay + centre, bx + centre, by + centre));
}

void CPainterSurface::PlotThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    if (dx == 0 && dy == 0) {
        return;
    }
    const uint32_t pen = qRgb(m_pen.colour.r, m_pen.colour.g, m_pen.colour.b);
    const uint32_t notPen = ~pen & 0x00ffffffu;
    const bool merge = m_rasterOp == RasterOp::MergeNotPen;
    const int64_t left = m_pixelClip.left();
    const int64_t top = m_pixelClip.top();
    const int64_t right = left + m_pixelClip.width();
    const int64_t bottom = top + m_pixelClip.height();
    // Steps along the longer axis from the start, leaving out the end; the other coordinate
    // is the nearest to the exact line. Only the steps inside the clip box are visited.
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
    const int64_t major0 = alongX ? x0 : y0;
    const int64_t minor0 = alongX ? y0 : x0;
    const int64_t minorDelta = alongX ? dy : dx;
    const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1;
    const int64_t low = alongX ? left : top;
    const int64_t high = alongX ? right : bottom;
    int64_t first = 0;
    int64_t last = steps;  // exclusive
    if (direction > 0) {
        first = std::max(first, low - major0);
        last = std::min(last, high - major0);
    } else {
        first = std::max(first, major0 - (high - 1));
        last = std::min(last, major0 - low + 1);
    }
    const auto walk = [&](auto set) {
        for (int64_t i = first; i < last; ++i) {
            const int64_t major = major0 + direction * i;
            const int64_t minor = minor0 + RoundDiv(i * minorDelta, steps);
            const int64_t x = alongX ? major : minor;
            const int64_t y = alongX ? minor : major;
            if (x < left || x >= right || y < top || y >= bottom) {
                continue;
            }
            set(x, y);
        }
    };
    // Unscaled, the clip lies on the picture and a pixel is one physical pixel: the common case
    // gets a loop without the arithmetic of blocks.
    const int64_t whole = m_wholeScale;
    const int64_t shiftX = m_shift.x();
    const int64_t shiftY = m_shift.y();
    if (whole == 1) {
        walk([&](int64_t x, int64_t y) {
            auto* pixel =
                reinterpret_cast<uint32_t*>(m_bits + (y + shiftY) * m_stride) + (x + shiftX);
            *pixel = merge ? (*pixel | notPen) : pen;
        });
    } else if (whole > 1) {
        walk([&](int64_t x, int64_t y) {
            const int64_t column = x * whole + shiftX;
            const int64_t row = y * whole + shiftY;
            SetBlock(column, row, column + whole, row + whole, pen, notPen, merge);
        });
    } else {
        walk([&](int64_t x, int64_t y) {
            SetBlock(DeviceX(x), DeviceY(y), DeviceX(x + 1), DeviceY(y + 1), pen, notPen, merge);
        });
    }
}

void CPainterSurface::SetBlock(int64_t left, int64_t top, int64_t right, int64_t bottom,
                               uint32_t pen, uint32_t notPen, bool merge) {
    left = std::max<int64_t>(left, 0);
    right = std::min<int64_t>(right, m_imageSize.width());
    top = std::max<int64_t>(top, 0);
    bottom = std::min<int64_t>(bottom, m_imageSize.height());
    for (int64_t row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(m_bits + row * m_stride);
        for (int64_t column = left; column < right; ++column) {
            line[column] = merge ? (line[column] | notPen) : pen;
        }
    }
}

void CPainterSurface::Ellipse(const CRect& box) {
    const int64_t width = int64_t{box.right} - box.left;
    const int64_t height = int64_t{box.bottom} - box.top;
    // The charts draw only small dots; a box reaching beyond the safe range is left out.
    if (width < 2 || height < 2 || box.right < m_clip.left || box.left > m_clip.right ||
        box.bottom < m_clip.top || box.top > m_clip.bottom || !Near(box.left) || !Near(box.top) ||
        !Near(box.right) || !Near(box.bottom)) {
        return;
    }
    UsePenMode();
    // The outline of a one-pixel pen adds a pixel to the rectangle's size; the box leaves
    // out its right and bottom edges.
    if (!m_scaled) {
        m_painter.drawEllipse(
            QRect(box.left, box.top, static_cast<int>(width - 1), static_cast<int>(height - 1)));
        return;
    }
    // Scaled, the unit-wide outline is centred on the middle of the edge pixels, so that the
    // dot covers the same pixels as unscaled.
    m_painter.drawEllipse(QRectF(box.left + 0.5, box.top + 0.5, static_cast<double>(width - 1),
                                 static_cast<double>(height - 1)));
}

void CPainterSurface::TextOut(int32_t x, int32_t y, std::string_view text) {
    if (text.empty() || !Near(x) || !Near(y)) {
        return;  // text that far off is out of sight
    }
    UseCopyMode();
    const QString s = ToQString(text);
    const QFontMetrics metrics(m_qfont);
    const int advance = metrics.horizontalAdvance(s);
    const int left = m_textAlign == TextAlign::RightTop ? x - advance : x;
    if (m_backgroundMode == BackgroundMode::Opaque) {
        m_painter.fillRect(QRect(left, y, advance, metrics.height()), ToQColor(m_backgroundColour));
    }
    m_painter.setFont(m_qfont);
    m_painter.setPen(ToQColor(m_textColour));
    m_painter.drawText(QPoint(left, y + metrics.ascent()), s);
    m_painter.setPen(PainterPen());
}

void CPainterSurface::DrawText(std::string_view text, const CRect& rect) {
    if (text.empty() || rect.right <= rect.left || rect.bottom <= rect.top || !Near(rect.left) ||
        !Near(rect.top) || !Near(rect.right) || !Near(rect.bottom)) {
        return;
    }
    m_painter.save();
    UseCopyMode();
    const QRect box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    m_painter.setClipRect(box, Qt::IntersectClip);
    const QString s = ToQString(text);
    const QFontMetrics metrics(m_qfont);
    if (m_backgroundMode == BackgroundMode::Opaque) {
        m_painter.fillRect(
            QRect(rect.left, rect.top, metrics.horizontalAdvance(s), metrics.height()),
            ToQColor(m_backgroundColour));
    }
    m_painter.setFont(m_qfont);
    m_painter.setPen(ToQColor(m_textColour));
    m_painter.drawText(QPoint(rect.left, rect.top + metrics.ascent()), s);
    m_painter.restore();
}

CColour CPainterSurface::GetSystemColour(SystemColour which) const {
    if (QGuiApplication::instance() == nullptr) {
        // Without an application there is no palette; the classic defaults stand in.
        switch (which) {
            case SystemColour::ButtonText:
                return CColour{0, 0, 0};
            case SystemColour::ButtonFace:
                return CColour{240, 240, 240};
            case SystemColour::ButtonShadow:
                return CColour{160, 160, 160};
        }
    }
    const QPalette palette = QGuiApplication::palette();
    switch (which) {
        case SystemColour::ButtonText:
            return FromQColor(palette.color(QPalette::ButtonText));
        case SystemColour::ButtonFace:
            return FromQColor(palette.color(QPalette::Button));
        case SystemColour::ButtonShadow:
            return FromQColor(palette.color(QPalette::Dark));
    }
    return CColour{};
}

void CPainterSurface::CopyImage(int32_t x, int32_t y, int32_t width, int32_t height,
                                const CPixelImage& image, int32_t sourceX, int32_t sourceY) {
    // Only the part of the source rectangle that lies on the picture is copied.
    const int64_t left = std::max<int64_t>(sourceX, 0);
    const int64_t top = std::max<int64_t>(sourceY, 0);
    const int64_t right = std::min<int64_t>(int64_t{sourceX} + width, image.width);
    const int64_t bottom = std::min<int64_t>(int64_t{sourceY} + height, image.height);
    if (right <= left || bottom <= top ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
        return;
    }
    QImage part(static_cast<int>(right - left), static_cast<int>(bottom - top),
                QImage::Format_RGB32);
    for (int64_t row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(static_cast<int>(row - top)));
        for (int64_t column = left; column < right; ++column) {
            const CColour c = image.At(static_cast<int32_t>(column), static_cast<int32_t>(row));
            line[column - left] = qRgb(c.r, c.g, c.b);
        }
    }
    UseCopyMode();
    m_painter.drawImage(QPoint(SaturateToInt32(int64_t{x} + (left - sourceX)),
                               SaturateToInt32(int64_t{y} + (top - sourceY))),
                        part);
}
