#ifndef CORVANE_DISCOVERYLOG_H
#define CORVANE_DISCOVERYLOG_H

// The discovery library's log: lines appended to the file named by
// CORVANE_DISCOVERY_LOG (read at each line), nothing when it is unset.
// Never a password or a proof.

#include <string>

namespace corvane::discovery {

void logLine(const std::string &line);

} // namespace corvane::discovery

#endif // CORVANE_DISCOVERYLOG_H
