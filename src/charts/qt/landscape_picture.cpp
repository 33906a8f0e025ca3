#include "charts/qt/landscape_picture.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "analysis/landscape.h"
#include "analysis/number_format.h"
#include "charts/qt/picture_image.h"

namespace {

constexpr int kLeft = 50;
constexpr int kBottom = 36;
constexpr int kTop = 24;
constexpr int kScaleWidth = 110;

struct GainRange {
    double low = 0.0;
    double high = 0.0;
};

GainRange RangeOf(const CLandscapeMap& landscape) {
    GainRange range{INFINITY, -INFINITY};
    for (double gain : landscape.gains) {
        if (!std::isnan(gain)) {
            range.low = std::min(range.low, gain);
            range.high = std::max(range.high, gain);
        }
    }
    return range.low <= range.high ? range : GainRange{};
}

// Blue through white to red as `f` goes from 0 to 1.
QColor ColourAt(double f) {
    f = std::clamp(f, 0.0, 1.0);
    if (f < 0.5) {
        const int c = static_cast<int>(255 * f * 2);
        return QColor(c, c, 255);
    }
    const int c = static_cast<int>(255 * (1 - f) * 2);
    return QColor(255, c, c);
}

QColor GainColour(double gain, const GainRange& range) {
    if (std::isnan(gain)) {
        return QColor(160, 160, 160);
    }
    const double span = range.high - range.low;
    return ColourAt(span > 0 ? (gain - range.low) / span : 1.0);
}

QString GainText(double gain) {
    return QString::fromStdString(CutPercentText(gain)) + "%";
}

// The plot area and the cell size of the map inside the picture.
struct MapGeometry {
    QRectF plot;
    double cellWidth = 0.0;
    double cellHeight = 0.0;
    double CentreX(int64_t row) const { return plot.left() + (row + 0.5) * cellWidth; }
    double CentreY(int64_t column) const { return plot.bottom() - (column + 0.5) * cellHeight; }
};

void PaintCells(QPainter& painter, const CLandscapeMap& landscape, const MapGeometry& map,
                const GainRange& range) {
    const size_t levels = landscape.levels.size();
    for (int64_t row = 0; row < landscape.lengthCount; ++row) {
        for (size_t column = 0; column < levels; ++column) {
            const double gain = landscape.gains[static_cast<size_t>(row) * levels + column];
            const QRectF cell(map.plot.left() + row * map.cellWidth,
                              map.plot.bottom() - (column + 1.0) * map.cellHeight,
                              map.cellWidth + 0.5, map.cellHeight + 0.5);
            painter.fillRect(cell, GainColour(gain, range));
        }
    }
}

void PaintAxes(QPainter& painter, const CLandscapeMap& landscape, const MapGeometry& map) {
    painter.setPen(Qt::black);
    painter.drawRect(map.plot);
    const int64_t labelEvery = std::max<int64_t>(1, landscape.lengthCount / 10);
    for (int64_t row = 0; row < landscape.lengthCount; row += labelEvery) {
        const double x = map.CentreX(row);
        painter.drawText(QRectF(x - 20, map.plot.bottom() + 2, 40, 14), Qt::AlignCenter,
                         QString::number(landscape.lowLength + row));
    }
    const size_t levelEvery = std::max<size_t>(1, landscape.levels.size() / 10);
    for (size_t column = 0; column < landscape.levels.size(); column += levelEvery) {
        const double y = map.CentreY(static_cast<int64_t>(column));
        painter.drawText(QRectF(2, y - 7, kLeft - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(landscape.levels[column]));
    }
    painter.drawText(QRectF(map.plot.left(), map.plot.bottom() + 18, map.plot.width(), 14),
                     Qt::AlignCenter, "smoothing length (ML)");
    painter.drawText(QRectF(2, 4, 300, 16), Qt::AlignLeft, "flag level (BL)");
}

void PaintResults(QPainter& painter, const CLandscapeMap& landscape, const MapGeometry& map,
                  const std::vector<std::pair<int32_t, int32_t>>& results, int applied) {
    const double radius = std::clamp(std::min(map.cellWidth, map.cellHeight) * 0.6, 5.0, 14.0);
    for (size_t i = 0; i < results.size(); ++i) {
        const int64_t row = int64_t{results[i].first} - landscape.lowLength;
        const int32_t column = landscape.LevelIndex(results[i].second);
        if (row < 0 || row >= landscape.lengthCount || column < 0) {
            continue;
        }
        const QPointF centre(map.CentreX(row), map.CentreY(column));
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, 2.5, 2.5);
        painter.drawText(QRectF(centre.x() + 3, centre.y() - 14, 24, 12), Qt::AlignLeft,
                         QString::number(i + 1));
        if (static_cast<int>(i) == applied) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::black, 2));
            painter.drawEllipse(centre, radius, radius);
        }
    }
}

void PaintScale(QPainter& painter, const QRectF& area, const GainRange& range,
                const std::string& what) {
    const QRectF bar(area.left() + 10, area.top(), 18, area.height());
    for (int y = 0; y < static_cast<int>(bar.height()); ++y) {
        painter.fillRect(QRectF(bar.left(), bar.bottom() - y - 1, bar.width(), 1),
                         ColourAt(y / std::max(1.0, bar.height() - 1)));
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);
    painter.drawText(QRectF(bar.right() + 4, bar.top() - 2, 80, 14), Qt::AlignLeft,
                     GainText(range.high));
    painter.drawText(QRectF(bar.right() + 4, bar.bottom() - 12, 80, 14), Qt::AlignLeft,
                     GainText(range.low));
    painter.drawText(QRectF(bar.right() + 4, bar.center().y() - 28, area.width() - 32, 56),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     QString::fromStdString(what));
}

MapGeometry GeometryOf(const CLandscapeMap& landscape, int width, int height) {
    const double plotWidth = std::max(1, width - kLeft - kScaleWidth);
    const double plotHeight = std::max(1, height - kTop - kBottom);
    return MapGeometry{
        QRectF(kLeft, kTop, plotWidth, plotHeight), plotWidth / std::max(1, landscape.lengthCount),
        plotHeight / static_cast<double>(std::max<size_t>(1, landscape.levels.size()))};
}

}  // namespace

std::optional<std::pair<int64_t, int32_t>> LandscapeCellAt(const CLandscapeMap& landscape,
                                                           int width, int height,
                                                           QPointF position) {
    if (landscape.lengthCount < 1 || landscape.levels.empty()) {
        return std::nullopt;
    }
    const MapGeometry map = GeometryOf(landscape, width, height);
    if (!map.plot.contains(position)) {
        return std::nullopt;
    }
    const auto row = static_cast<int64_t>((position.x() - map.plot.left()) / map.cellWidth);
    const auto column = static_cast<int64_t>((map.plot.bottom() - position.y()) / map.cellHeight);
    if (row < 0 || row >= landscape.lengthCount || column < 0 ||
        column >= static_cast<int64_t>(landscape.levels.size())) {
        return std::nullopt;
    }
    return std::pair{int64_t{landscape.lowLength} + row,
                     landscape.levels[static_cast<size_t>(column)]};
}

QImage PaintLandscape(const CLandscapeMap& landscape,
                      const std::vector<std::pair<int32_t, int32_t>>& results, int applied,
                      int width, int height, double pixelRatio) {
    QImage image = PictureImage(width, height, pixelRatio);
    image.fill(Qt::white);
    if (landscape.gains.empty() || landscape.lengthCount < 1 || landscape.levels.empty()) {
        return image;
    }
    const MapGeometry map = GeometryOf(landscape, width, height);
    const double plotHeight = map.plot.height();
    const GainRange range = RangeOf(landscape);
    QPainter painter(&image);
    PaintCells(painter, landscape, map, range);
    PaintAxes(painter, landscape, map);
    PaintResults(painter, landscape, map, results, applied);
    PaintScale(painter, QRectF(map.plot.right() + 6, kTop, kScaleWidth - 6, plotHeight), range,
               landscape.what);
    painter.end();
    return image;
}
