// Reading files whose kind nobody checked. A description, picture, font or
// settings file may turn out to be a FIFO (the open would wait for a writer
// forever), a device or a link to /dev/zero (endless bytes), or a file far
// larger than its use. Only regular files are read, the open never blocks, and
// never more than the caller's bound is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ludexa {

enum class FileRead {
    Whole,      // every byte of the file is in `out`
    Truncated,  // the file holds more than `maxBytes`; `out` has the first maxBytes
    Refused,    // missing, unreadable or not a regular file; `out` is empty
};

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out);

// The whole file, or false when it is not a regular file, cannot be read or
// holds more than `maxBytes`.
bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);
bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out);

}  // namespace ludexa
