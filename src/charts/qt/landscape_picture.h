#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QImage>

struct CLandscape;

// The landscape as a heat map of width x height pixels: smoothing length across, flag level
// up, each cell coloured by its gain from blue (lowest) through white to red (highest), grey
// where it has none; the result sets (ML, BL) marked with their numbers, the one `applied`
// (index into `results`, -1 for none) circled; a colour scale with the lowest and highest gain
// on the right. REQUIRES: a QGuiApplication exists; width, height >= 1.
QImage PaintLandscape(const CLandscape& landscape,
                      const std::vector<std::pair<int32_t, int32_t>>& results, int applied,
                      int width, int height);
