#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

// One day of the stitched out-of-sample run as the picture needs it.
struct CWalkPicturePoint {
    int32_t serial = 0;
    double net = 0.0;
    double hold = 0.0;
};

// The stitched out-of-sample Net line (blue) against buy and hold (grey), both divided by their
// first value so they start together at 1, with a faint vertical line at each serial of
// `boundaries`, years along the bottom, the value on the left and a legend. Points are expected
// in date order. An empty line gives a white picture with the legend only. Width and height
// are in device-independent pixels: the image holds `pixelRatio` times as many pixels each way
// and says so (QImage::devicePixelRatio), so that it is sharp on a screen of that ratio.
// REQUIRES: a QGuiApplication exists; width, height >= 1; pixelRatio > 0.
QImage PaintWalkForward(const std::vector<CWalkPicturePoint>& line,
                        const std::vector<int32_t>& boundaries, int width, int height,
                        double pixelRatio = 1.0);
