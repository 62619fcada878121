#ifndef ZELTUPGRADE_H
#define ZELTUPGRADE_H

// Firmware upgrades: the upload runs in the caller's thread; a library thread
// then follows the device until it reports the outcome and passes it to the
// event callback.
#include "zeltsession.h"

#include "zelt_mw_sdk.h"

#include <memory>
#include <string>

namespace corvane::zelt {

void setEventCallback(ZELT_MW_EVENT_CALLBACK callback);
DWORD startUpgrade(const std::shared_ptr<Session> &session, const std::string &path);

} // namespace corvane::zelt

#endif // ZELTUPGRADE_H
