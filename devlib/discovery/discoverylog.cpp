#include "discoverylog.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace corvane::discovery {

void logLine(const std::string &line)
{
    static std::mutex mutex;
    const char *path = std::getenv("CORVANE_DISCOVERY_LOG");
    if (path == nullptr || *path == '\0')
        return;
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    std::lock_guard<std::mutex> lock(mutex);
    if (std::FILE *file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %s\n", stamp, line.c_str());
        std::fclose(file);
    }
}

} // namespace corvane::discovery
