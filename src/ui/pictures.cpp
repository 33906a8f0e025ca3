#include "ui/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kNavSize = 16;

QPixmap BlankPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawBar(QPainter& p, const QColor& colour) {
    p.fillRect(2, 5, 12, 6, colour.darker(140));
    p.fillRect(3, 6, 10, 4, colour);
}

void DrawCross(QPainter& p, const QColor& edge, const QColor& centre) {
    p.fillRect(6, 2, 4, 12, edge);
    p.fillRect(2, 6, 12, 4, edge);
    p.fillRect(6, 6, 4, 4, centre);
}

void DrawLines(QPainter& p, const QColor& colour) {
    for (int y = 3; y <= 12; y += 3) {
        p.fillRect(3, y, y == 12 ? 7 : 10, 1, colour);
    }
}

// The chart of the window icon, scaled to `size`.
void DrawChartIcon(QPainter& p, int size) {
    const double s = size / 16.0;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawRoundedRect(QRectF(0.5 * s, 0.5 * s, 15 * s, 15 * s), 2 * s, 2 * s);
    p.fillRect(QRectF(5 * s, 3 * s, 4 * s, 11 * s), QColor(65, 65, 20));
    QPainterPath line;
    line.moveTo(2 * s, 12 * s);
    line.lineTo(5 * s, 9 * s);
    line.lineTo(8 * s, 10 * s);
    line.lineTo(11 * s, 5 * s);
    line.lineTo(14 * s, 3 * s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 100, 255), 1.6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 255, 0));
    p.drawEllipse(QPointF(5 * s, 9 * s), 1.3 * s, 1.3 * s);
    p.setBrush(QColor(255, 0, 0));
    p.drawEllipse(QPointF(14 * s, 3 * s), 1.3 * s, 1.3 * s);
}

// A ragged market line across a 24 x 16 picture.
void DrawRaggedLine(QPainter& p, const QColor& colour) {
    static constexpr int kY[] = {9, 6, 8, 4, 7, 5, 9, 7, 10, 6, 8, 5};
    p.setPen(colour);
    for (int i = 1; i < 12; ++i) {
        p.drawLine(2 * i - 1, kY[i - 1], 2 * i + 1, kY[i]);
    }
}

// A span from x0 to x1 along the bottom, with an end mark at each side.
void DrawSpan(QPainter& p, int x0, int x1) {
    const QColor blue(0, 90, 230);
    p.fillRect(x0, 13, x1 - x0 + 1, 1, blue);
    p.fillRect(x0, 11, 1, 5, blue);
    p.fillRect(x1, 11, 1, 5, blue);
}

}  // namespace

QPixmap SubRangePixmap(SubRangePicture which) {
    QPixmap pixmap(24, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (which) {
        case SUBRANGE_LOW:
            DrawRaggedLine(p, QColor(90, 90, 90));
            DrawSpan(p, 2, 9);
            break;
        case SUBRANGE_HIGH:
            DrawRaggedLine(p, QColor(90, 90, 90));
            DrawSpan(p, 2, 21);
            break;
        case SUBRANGE_SMOOTHING: {
            DrawRaggedLine(p, QColor(150, 150, 150));
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath curve;
            curve.moveTo(1, 8);
            curve.cubicTo(8, 5, 14, 9, 23, 7);
            p.setPen(QPen(QColor(0, 90, 230), 1.5));
            p.drawPath(curve);
            break;
        }
    }
    return pixmap;
}

QPixmap NavigationPicture(NavPicture which) {
    QPixmap pixmap = BlankPicture(kNavSize);
    QPainter p(&pixmap);
    switch (which) {
        case PIC_PRIMARY:
            DrawBar(p, QColor(0, 190, 0));
            break;
        case PIC_SECONDARY:
            DrawBar(p, QColor(0, 90, 230));
            break;
        case PIC_DATA_SET:
            DrawCross(p, QColor(60, 60, 60), QColor(255, 220, 0));
            break;
        case PIC_SELECTED_DATA_SET:
            DrawCross(p, QColor(60, 60, 60), QColor(230, 0, 0));
            break;
        case PIC_PAGE:
            DrawLines(p, QColor(150, 150, 150));
            break;
        case PIC_SELECTED_PAGE:
            DrawLines(p, QColor(0, 0, 0));
            break;
        case PIC_ROOT:
            p.fillRect(4, 4, 8, 8, Qt::black);
            break;
        case PIC_ANALYSIS:
            for (int y = 3; y < 14; y += 3) {
                for (int x = 3; x < 14; x += 3) {
                    p.fillRect(x, y, 2, 2, QColor(40, 40, 40));
                }
            }
            break;
        case PIC_DATA:
            p.fillRect(7, 2, 2, 12, QColor(140, 140, 140));
            p.fillRect(2, 7, 12, 2, QColor(140, 140, 140));
            break;
    }
    return pixmap;
}

QIcon NavigationIcon(NavPicture normal, NavPicture selected) {
    QIcon icon;
    icon.addPixmap(NavigationPicture(normal), QIcon::Normal);
    icon.addPixmap(NavigationPicture(selected), QIcon::Selected);
    return icon;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap = BlankPicture(size);
        QPainter p(&pixmap);
        DrawChartIcon(p, size);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap AboutPicture() {
    QPixmap pixmap = BlankPicture(64);
    QPainter p(&pixmap);
    DrawChartIcon(p, 64);
    return pixmap;
}
