#ifndef VIDEOFRAME_H
#define VIDEOFRAME_H

#include <QByteArray>
#include <QtGlobal>

// A decoded picture: rows of 32-bit pixels, 0xffRRGGBB in host order.
struct stVideoFrame
{
    QByteArray data;
    int iWidth = 0;
    int iHeight = 0;
    int iStride = 0;
    qint64 llDecodedMs = 0; // wall clock when it was decoded
};

#endif // VIDEOFRAME_H
