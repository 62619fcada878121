#ifndef ZELTLOG_H
#define ZELTLOG_H

// The library's own log: one file in the folder given to ZELT_MW_SetLog,
// rotated when it reaches the size limit. Nothing is written before it is
// configured. Callers never pass a password.
#include <cstdint>
#include <string>

namespace corvane::zelt {

enum LogLevel : uint32_t { LogError = 1, LogInfo = 2, LogDebug = 3 };

constexpr int kLogBackups = 3;

// Level 0 switches logging off. Returns false when the folder cannot be made.
bool configureLog(uint32_t level, const std::string &folder, uint64_t maxSize);
void logLine(uint32_t level, const std::string &text);
std::string logFilePath();

} // namespace corvane::zelt

#endif // ZELTLOG_H
