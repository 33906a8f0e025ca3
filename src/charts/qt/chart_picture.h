#pragma once

#include <optional>

#include <QImage>

class CProject;

// Height of the date strip between the two charts.
inline constexpr int kChartsDateStripHeight = 40;

// The charts column of the main window as one picture of width x height pixels: the
// investment history chart on top, the date strip, the data set chart, the two charts sharing
// the height equally (an odd row stays at the bottom in the button colour), each chart with
// its status line. With a cursor fraction the mouse is taken to be over both panels at that
// fraction of the plot width: the cursor points are chosen, the crosshairs drawn and the
// readouts filled as a mouse there would. Without one the panels show no readout.
// The picture holds `pixelRatio` physical pixels to each of those (see PictureImage), laid out
// alike; a ratio that is not positive is taken as 1.
// REQUIRES: a QGuiApplication exists; width >= 1; height >= kChartsDateStripHeight.
QImage PaintMainCharts(CProject& project, int width, int height,
                       const std::optional<double>& cursor, double pixelRatio = 1.0);
