// Conversions between the plain Picture of the services and a QImage.
#pragma once
#include <QImage>

#include "platform/core/Picture.h"

Picture pictureFromImage(const QImage& image);
QImage imageFromPicture(const Picture& picture);
