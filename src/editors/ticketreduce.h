#pragma once

#include <QByteArray>
#include <QImage>

namespace dm {

// The preview shows the printer's canvas at half size. The reduction is a JPEG round
// trip: the canvas compressed at quality 50, decoded at scale 1/2 into a palette of at
// most 256 colours without dithering. Failures of the codec throw FileError.
QByteArray EncodeTicketJpeg(const QImage& canvas, int quality = 50);
QImage DecodeTicketJpegHalf(const QByteArray& jpeg); // QImage::Format_Indexed8
QImage ReduceTicket(const QImage& canvas);

} // namespace dm
