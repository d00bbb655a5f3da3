// The two file operations a load needs. One implementation per platform.
#pragma once

#include <cstddef>
#include <cstdint>

namespace scorlane {

// Size in bytes of the named file, or -1 when it cannot be opened for reading or
// is not a regular file (a directory, a FIFO or a device has no size to load).
int64_t QueryFileSize(const char* fileName);

// Reads up to `size` bytes from the start of the named file into `buffer`.
// Returns the number of bytes actually read (fewer when the file shrank since
// its size was taken), or -1 when the file cannot be opened for reading.
int64_t ReadWholeFile(const char* fileName, uint8_t* buffer, size_t size);

}  // namespace scorlane
