#include "filebytes.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <filesystem>

namespace corvane::wire {

FileReadResult readFileBytes(const std::string &path, std::vector<uint8_t> &out, uint64_t maxSize)
{
    std::error_code ec;
    const std::filesystem::path p(path);
    if (!std::filesystem::is_regular_file(p, ec))
        return FileReadResult::Missing;
    const uint64_t size = std::filesystem::file_size(p, ec);
    if (ec)
        return FileReadResult::Error;
    if (size > maxSize)
        return FileReadResult::TooLarge;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return FileReadResult::Error;
    out.assign(size, 0);
    if (size && !in.read(reinterpret_cast<char *>(out.data()), std::streamsize(size)))
        return FileReadResult::Error;
    // The file may have grown between the size check and the read.
    if (in.peek() != std::ifstream::traits_type::eof())
        return FileReadResult::TooLarge;
    return FileReadResult::Ok;
}

bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &data)
{
    const std::filesystem::path target(path);
    std::filesystem::path temp = target;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        if (!data.empty())
            out.write(reinterpret_cast<const char *>(data.data()), std::streamsize(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return true;
}

} // namespace corvane::wire
