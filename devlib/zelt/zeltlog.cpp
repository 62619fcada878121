#include "zeltlog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace corvane::zelt {

namespace {

struct LogState
{
    std::mutex mutex;
    uint32_t level = 0;
    std::filesystem::path file;
    uint64_t maxSize = 0;
    std::ofstream out;
};

LogState &state()
{
    // Never destroyed: library threads may still log while the process exits.
    static LogState *s = new LogState;
    return *s;
}

std::string timestamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm {};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms));
    return buf;
}

void rotate(LogState &s)
{
    s.out.close();
    std::error_code ec;
    const std::string base = s.file.string();
    std::filesystem::remove(base + "." + std::to_string(kLogBackups), ec);
    for (int i = kLogBackups - 1; i >= 1; --i)
        std::filesystem::rename(base + "." + std::to_string(i), base + "." + std::to_string(i + 1), ec);
    std::filesystem::rename(s.file, base + ".1", ec);
    s.out.open(s.file, std::ios::app);
}

} // namespace

bool configureLog(uint32_t level, const std::string &folder, uint64_t maxSize)
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.out.close();
    s.level = 0;
    if (level == 0)
        return true;
    std::error_code ec;
    const std::filesystem::path dir = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    std::filesystem::create_directories(dir, ec);
    s.file = dir / "zelt_mw_sdk.log";
    s.out.open(s.file, std::ios::app);
    if (!s.out)
        return false;
    s.level = level;
    // Below a few lines rotation would only churn files.
    s.maxSize = maxSize < 4096 ? 4096 : maxSize;
    return true;
}

void logLine(uint32_t level, const std::string &text)
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (level == 0 || level > s.level || !s.out)
        return;
    static const char *const names[] = {"", "ERROR", "INFO", "DEBUG"};
    const std::string line = timestamp() + " " + names[level < 4 ? level : 3] + " " + text + "\n";
    std::error_code ec;
    const uint64_t size = std::filesystem::exists(s.file, ec) ? std::filesystem::file_size(s.file, ec) : 0;
    if (size + line.size() > s.maxSize)
        rotate(s);
    s.out << line;
    s.out.flush();
}

std::string logFilePath()
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.file.string();
}

} // namespace corvane::zelt
