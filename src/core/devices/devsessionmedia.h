#ifndef DEVSESSIONMEDIA_H
#define DEVSESSIONMEDIA_H

#include "mediaaccess.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// What the command line reads from any camera, native or not; the
// protocol branches in DevSession as every device call's do.
namespace DevSession {

// The streams of a logged-in camera (names, sizes, rates); empty text on
// success, else the reason.
QString readStreams(const CUIDeviceBean &oDev, QVector<stStreamEncoding> &vecStreams);
// A JPEG of a logged-in camera's current picture; empty text on success,
// else the reason ("not supported" for a camera that hands no picture back).
QString snapshot(const CUIDeviceBean &oDev, QByteArray &jpeg);

} // namespace DevSession

#endif // DEVSESSIONMEDIA_H
