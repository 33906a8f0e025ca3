#include "charts/qt/picture_image.h"

#include <QtMath>

QImage PictureImage(int width, int height, double pixelRatio) {
    const double ratio = pixelRatio > 0.0 ? pixelRatio : 1.0;
    QImage image(qCeil(width * ratio), qCeil(height * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}
