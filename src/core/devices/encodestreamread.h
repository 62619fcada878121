#ifndef ENCODESTREAMREAD_H
#define ENCODESTREAMREAD_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "encodestreams.h"

#include <QByteArray>
#include <QList>

#include <array>

// Reading a logged-in IPC's video input and streams into the stream rules:
// the one sequence the encoding page and the batch dialog's encoding tab share.
namespace EncodeStreamRead {

// What kept the streams from being read completely; anything but ReadOk means
// the structures must not be written back (a failed read leaves zeros).
enum EResult { ReadOk, VideoInputFailed, NoMainResolution, EncoderFailed };

// Reads the encoder structure of stream ulStream (0: main); the library's
// result, 0 on success. cfg names ulStream whatever the device answered; on
// failure it holds nothing but the stream number.
DWORD readEncoder(const QByteArray &userId, DWORD ulStream, stEncoderCfg &cfg);

// Reads the video input and every stream the capability list offers, in the
// order the rules need, loads them into oLogic and keeps them in arrEncCfg.
EResult load(CEncodeStreamLogic &oLogic, const QByteArray &userId, const QList<stDevCapacityInfo> &listCap,
             std::array<stEncoderCfg, 3> &arrEncCfg);

} // namespace EncodeStreamRead

#endif // ENCODESTREAMREAD_H
