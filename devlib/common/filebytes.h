#ifndef CORVANE_FILEBYTES_H
#define CORVANE_FILEBYTES_H

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::wire {

enum class FileReadResult { Ok, Missing, TooLarge, Error };

// Reads a whole file, refusing anything larger than maxSize.
FileReadResult readFileBytes(const std::string &path, std::vector<uint8_t> &out, uint64_t maxSize);
// Writes through a temporary file in the same folder and renames it, so a
// failed write never leaves a half-written file under the final name.
bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &data);

} // namespace corvane::wire

#endif // CORVANE_FILEBYTES_H
