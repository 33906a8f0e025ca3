#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <QImage>
#include <QPointF>

struct CLandscapeMap;

// A view of the landscape as a heat map of width x height pixels: smoothing length across, flag
// level up, each cell coloured by its gain from blue (lowest) through white to red (highest),
// grey where it has none; the result sets (ML, BL) marked with their numbers, the one `applied`
// (index into `results`, -1 for none) circled; a colour scale with the lowest and highest gain
// and what the gains are on the right. Width and height are in device-independent pixels, the
// image `pixelRatio` times as large in pixels (see PictureImage).
// REQUIRES: a QGuiApplication exists; width, height >= 1; pixelRatio > 0.
QImage PaintLandscape(const CLandscapeMap& landscape,
                      const std::vector<std::pair<int32_t, int32_t>>& results, int applied,
                      int width, int height, double pixelRatio = 1.0);

// The cell (ML, BL) under `position` in a picture PaintLandscape drew of `landscape` at width x
// height; none outside the map.
std::optional<std::pair<int64_t, int32_t>> LandscapeCellAt(const CLandscapeMap& landscape,
                                                           int width, int height, QPointF position);
