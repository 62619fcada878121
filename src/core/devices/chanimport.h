#ifndef CHANIMPORT_H
#define CHANIMPORT_H

#include "uichanbean.h"
#include "uidevicebean.h"

// Reading a logged-in device's main stream as a row of the capacity
// calculator.
namespace ChanImport {

// Fills oChan (one channel of oDev) from the device's main stream and returns
// the device's new status: imported, import failed (an NVR, an unreadable
// stream, or one without a bit rate), or not logged in; strReason says why an
// import failed. The row is named after the device's address. oChan's id is
// left as the caller set it.
int readMainStream(const CUIDeviceBean &oDev, CUIChanBean &oChan, QString &strReason);

} // namespace ChanImport

#endif // CHANIMPORT_H
