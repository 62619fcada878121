#ifndef ZELTSTREAM_H
#define ZELTSTREAM_H

// Live media streams: each runs on a library thread that fetches JPEG frames
// from the device over its own connection and hands them to the windows
// playing it.
#include "zeltsession.h"

#include "devtypes.h"

#include <memory>

namespace corvane::zelt {

// ZELT_MW_STREAM_SHARED: the session already runs that stream; its handle is
// returned and one more stop is needed. ZELT_MW_STREAM_NO_AUDIO: started, the
// device has no audio.
DWORD startStream(const std::shared_ptr<Session> &session, DWORD streamId, DWORD &handle);
DWORD stopStream(const char *userId, DWORD handle);
bool streamExists(DWORD handle);
// endResult: 0 while the stream still fetches frames, else the code that ended it.
DWORD streamState(DWORD handle, DWORD &endResult);
// Ends every stream of a session (logout).
void stopSessionStreams(const std::string &userId);

} // namespace corvane::zelt

#endif // ZELTSTREAM_H
