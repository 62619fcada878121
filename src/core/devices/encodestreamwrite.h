#ifndef ENCODESTREAMWRITE_H
#define ENCODESTREAMWRITE_H

#include "devtypes.h"
#include "encodestreams.h"

#include <QByteArray>
#include <QList>

#include <array>

// Writing a save's streams to a logged-in IPC, and putting them back when a
// write is refused part way: a camera must not be left with a lower stream
// switched off (anything recording it stops) while the page shows it on.
namespace EncodeStreamWrite {

struct stResult
{
    DWORD ulError = 0;          // the first refused write's code; 0 when every write went through
    QList<int> listUnrestored;  // streams left different from what the device held before
};

// Writes listWrites in order (see CEncodeStreamLogic::saveSequence). After a
// refusal every stream the save touched is written back as arrHeld had it,
// lower streams off first so that no later stream is ever larger than an
// earlier one. arrHeld follows every write the device accepted, so it always
// says what the device holds.
stResult write(const QByteArray &userId, const QList<stEncoderCfg> &listWrites,
               std::array<stEncoderCfg, 3> &arrHeld);

} // namespace EncodeStreamWrite

#endif // ENCODESTREAMWRITE_H
