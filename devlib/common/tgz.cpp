#include "tgz.h"

#include <zlib.h>

#include <cstring>

namespace corvane::wire {

namespace {

constexpr std::size_t kBlock = 512;

void putOctal(uint8_t *field, std::size_t width, uint64_t value)
{
    // width - 1 octal digits and a terminating zero, as ustar readers expect;
    // callers keep value within that many digits.
    field[width - 1] = 0;
    for (std::size_t i = width - 1; i > 0; --i) {
        field[i - 1] = uint8_t('0' + (value & 7));
        value >>= 3;
    }
}

} // namespace

bool TgzWriter::addFile(const std::string &name, const std::vector<uint8_t> &data, std::time_t mtime,
                        uint32_t mode)
{
    if (name.empty() || name.size() > 100 || name.front() == '/'
        || name.find("..") != std::string::npos || data.size() > 077777777777ull)
        return false;
    uint8_t header[kBlock] = {};
    std::memcpy(header, name.data(), name.size());
    putOctal(header + 100, 8, mode & 07777);
    putOctal(header + 108, 8, 0);
    putOctal(header + 116, 8, 0);
    putOctal(header + 124, 12, data.size());
    putOctal(header + 136, 12, mtime < 0 ? 0 : uint64_t(mtime));
    header[156] = '0';
    std::memcpy(header + 257, "ustar", 6);
    std::memcpy(header + 263, "00", 2);
    std::memcpy(header + 265, "root", 4);
    std::memcpy(header + 297, "root", 4);
    // The checksum is computed with its own field read as spaces.
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (uint8_t b : header)
        sum += b;
    putOctal(header + 148, 7, sum);
    header[155] = ' ';

    m_tar.insert(m_tar.end(), header, header + kBlock);
    m_tar.insert(m_tar.end(), data.begin(), data.end());
    m_tar.resize(m_tar.size() + (kBlock - data.size() % kBlock) % kBlock, 0);
    return true;
}

bool TgzWriter::addFile(const std::string &name, const std::string &text, std::time_t mtime,
                        uint32_t mode)
{
    return addFile(name, std::vector<uint8_t>(text.begin(), text.end()), mtime, mode);
}

std::vector<uint8_t> TgzWriter::finish() const
{
    std::vector<uint8_t> tar = m_tar;
    tar.resize(tar.size() + 2 * kBlock, 0);

    z_stream stream {};
    // windowBits 15 + 16 selects the gzip wrapper.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::vector<uint8_t> out(deflateBound(&stream, uLong(tar.size())) + 64);
    stream.next_in = tar.data();
    stream.avail_in = uInt(tar.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return {};
    out.resize(produced);
    return out;
}

} // namespace corvane::wire
