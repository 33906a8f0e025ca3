#pragma once

#include <QImage>

// A white image for a picture of width x height device-independent pixels on a screen of
// `pixelRatio` physical pixels to each of them: it holds the physical pixels and carries the
// ratio, so a QPainter on it draws in the device-independent units and a label shows it sharp.
QImage PictureImage(int width, int height, double pixelRatio);
