#ifndef ZELTPLAYER_H
#define ZELTPLAYER_H

// Rendering of a live stream into a window of the calling program. The
// window handle is the WId of a QWidget of this process; frames are decoded
// on the stream's thread, at the size the window shows them, and painted on
// the user-interface thread while the widget paints itself.
#include "devtypes.h"

#include <cstdint>
#include <vector>

namespace corvane::zelt {

DWORD startPlay(HWND hWnd, DWORD streamHandle);
DWORD stopPlay(HWND hWnd);
// Called on a stream's thread with each new frame; sentNs is the device's
// send time on the monotonic clock (0 when unknown).
void deliverFrame(DWORD streamHandle, const std::vector<uint8_t> &jpeg, uint64_t sentNs);

} // namespace corvane::zelt

#endif // ZELTPLAYER_H
