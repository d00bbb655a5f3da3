#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "reader/file_system.h"

namespace scorlane {

namespace {

// Opens a regular file for reading, or returns -1. O_NONBLOCK keeps the open of
// a FIFO from waiting for a writer; the file type check then turns it away.
int OpenRegularFile(const char* fileName, struct stat* info) {
  const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::fstat(fd, info) != 0 || !S_ISREG(info->st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int64_t QueryFileSize(const char* fileName) {
  struct stat info;
  const int fd = OpenRegularFile(fileName, &info);
  if (fd < 0) return -1;
  ::close(fd);
  return static_cast<int64_t>(info.st_size);
}

int64_t ReadWholeFile(const char* fileName, uint8_t* buffer, size_t size) {
  struct stat info;
  const int fd = OpenRegularFile(fileName, &info);
  if (fd < 0) return -1;
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  return static_cast<int64_t>(done);
}

}  // namespace scorlane
