#include "charts/qt/walk_picture.h"

#include <algorithm>
#include <cmath>

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include "charts/qt/picture_image.h"
#include "model/data_point.h"

namespace {

constexpr int kLeft = 60;
constexpr int kRight = 16;
constexpr int kTop = 16;
constexpr int kBottom = 30;

const QColor kNetColour(30, 80, 200);
const QColor kHoldColour(130, 130, 130);
const QColor kBoundaryColour(200, 200, 200);
const QColor kGridColour(235, 235, 235);

// Maps serials and values to pixels of the plot.
struct Frame {
    QRectF plot;
    double firstSerial = 0.0;
    double lastSerial = 1.0;
    double low = 0.0;
    double high = 1.0;
    double X(double serial) const {
        return plot.left() + (serial - firstSerial) / (lastSerial - firstSerial) * plot.width();
    }
    double Y(double value) const {
        return plot.bottom() - (value - low) / (high - low) * plot.height();
    }
};

// A value scaled by its line's first value; a line that starts at zero or below cannot be
// scaled, so it is drawn as it is.
double Scaled(double value, double first) {
    return first > 0.0 ? value / first : value;
}

// A round step (1, 2 or 5 times a power of ten) that gives about `count` ticks over `span`.
double NiceStep(double span, int count) {
    const double raw = span / std::max(1, count);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power) {
            return m * power;
        }
    }
    return 10.0 * power;
}

int32_t SerialOfNewYear(int32_t year) {
    CDataPoint p;
    p.SetDate(1, 1, year);
    return p.m_serial;
}

void PaintValueAxis(QPainter& painter, const Frame& frame) {
    const double step = NiceStep(frame.high - frame.low, 6);
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    for (double v = std::ceil(frame.low / step) * step; v <= frame.high + step * 1e-9; v += step) {
        const double y = frame.Y(v);
        painter.setPen(kGridColour);
        painter.drawLine(QPointF(frame.plot.left(), y), QPointF(frame.plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(2, y - 7, kLeft - 8, 14), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(v, 'f', decimals));
    }
}

void PaintDateAxis(QPainter& painter, const Frame& frame) {
    CDataPoint first;
    first.SetSerial(static_cast<int32_t>(frame.firstSerial));
    CDataPoint last;
    last.SetSerial(static_cast<int32_t>(frame.lastSerial));
    const int32_t years = last.m_year - first.m_year + 1;
    // About one label per 70 pixels keeps four-digit years apart.
    const int32_t fit = std::max(1, static_cast<int32_t>(frame.plot.width() / 70));
    int32_t every = 1;
    for (int32_t candidate : {1, 2, 5, 10, 20, 50}) {
        every = candidate;
        if (years / candidate <= fit) {
            break;
        }
    }
    painter.setPen(Qt::black);
    for (int32_t year = first.m_year + 1; year <= last.m_year; ++year) {
        if (year % every != 0) {
            continue;
        }
        const double x = frame.X(SerialOfNewYear(year));
        painter.drawLine(QPointF(x, frame.plot.bottom()), QPointF(x, frame.plot.bottom() + 4));
        painter.drawText(QRectF(x - 30, frame.plot.bottom() + 6, 60, 14), Qt::AlignCenter,
                         QString::number(year));
    }
}

void PaintLine(QPainter& painter, const Frame& frame, const std::vector<CWalkPicturePoint>& line,
               bool net, const QColor& colour) {
    const double first = net ? line.front().net : line.front().hold;
    QPainterPath path;
    for (size_t i = 0; i < line.size(); ++i) {
        const QPointF at(frame.X(line[i].serial),
                         frame.Y(Scaled(net ? line[i].net : line[i].hold, first)));
        if (i == 0) {
            path.moveTo(at);
        } else {
            path.lineTo(at);
        }
    }
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void PaintLegend(QPainter& painter, const QRectF& plot) {
    const QRectF box(plot.left() + 8, plot.top() + 6, 130, 40);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    const struct {
        const char* text;
        QColor colour;
    } entries[] = {{"Out of sample", kNetColour}, {"Buy and hold", kHoldColour}};
    double y = box.top() + 12;
    for (const auto& entry : entries) {
        painter.setPen(QPen(entry.colour, 2));
        painter.drawLine(QPointF(box.left() + 6, y), QPointF(box.left() + 26, y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.left() + 32, y - 7, box.width() - 36, 14),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        y += 16;
    }
}

}  // namespace

QImage PaintWalkForward(const std::vector<CWalkPicturePoint>& line,
                        const std::vector<int32_t>& boundaries, int width, int height,
                        double pixelRatio) {
    QImage image = PictureImage(width, height, pixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF plot(kLeft, kTop, std::max(1, width - kLeft - kRight),
                      std::max(1, height - kTop - kBottom));
    if (!line.empty()) {
        Frame frame{plot, static_cast<double>(line.front().serial),
                    static_cast<double>(line.back().serial), INFINITY, -INFINITY};
        if (frame.lastSerial <= frame.firstSerial) {
            frame.lastSerial = frame.firstSerial + 1.0;
        }
        for (const CWalkPicturePoint& p : line) {
            for (double v : {Scaled(p.net, line.front().net), Scaled(p.hold, line.front().hold)}) {
                if (std::isfinite(v)) {
                    frame.low = std::min(frame.low, v);
                    frame.high = std::max(frame.high, v);
                }
            }
        }
        if (!(frame.low < frame.high)) {
            const double centre = std::isfinite(frame.low) ? frame.low : 1.0;
            frame.low = centre - 0.5;
            frame.high = centre + 0.5;
        }
        const double margin = (frame.high - frame.low) * 0.05;
        frame.low -= margin;
        frame.high += margin;
        PaintValueAxis(painter, frame);
        painter.setPen(kBoundaryColour);
        for (int32_t serial : boundaries) {
            const double x = frame.X(serial);
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        painter.setClipRect(plot);
        PaintLine(painter, frame, line, false, kHoldColour);
        PaintLine(painter, frame, line, true, kNetColour);
        painter.setClipping(false);
        PaintDateAxis(painter, frame);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    PaintLegend(painter, plot);
    painter.end();
    return image;
}
