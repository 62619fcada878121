#ifndef CORVANE_TGZ_H
#define CORVANE_TGZ_H

// Minimal writer of gzip-compressed ustar archives (.tgz), for the diagnostic
// exports of the simulated devices. Regular files only; names up to 100
// characters, '/' separating folders.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace corvane::wire {

class TgzWriter
{
public:
    // Returns false (and adds nothing) for an empty, absolute or too long
    // name, or one containing "..".
    bool addFile(const std::string &name, const std::vector<uint8_t> &data,
                 std::time_t mtime = std::time(nullptr), uint32_t mode = 0644);
    bool addFile(const std::string &name, const std::string &text,
                 std::time_t mtime = std::time(nullptr), uint32_t mode = 0644);
    // The finished archive: tar end blocks appended, then gzip-compressed.
    // Empty on a compression failure.
    std::vector<uint8_t> finish() const;

private:
    std::vector<uint8_t> m_tar;
};

} // namespace corvane::wire

#endif // CORVANE_TGZ_H
