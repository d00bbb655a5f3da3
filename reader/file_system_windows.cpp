#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "reader/file_system.h"

namespace scorlane {

namespace {

// File names arrive as bytes. A name that is valid UTF-8 (what most engines
// pass) is opened through the wide calls, so that any Unicode name works; any
// other name is opened as the ANSI bytes it is (what lua.exe passes from its
// command line). Returns false for a name that is not valid UTF-8.
bool WideName(const char* fileName, std::wstring* wide) {
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fileName, -1, nullptr, 0);
  if (length <= 0) return false;
  wide->resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fileName, -1, &(*wide)[0], length) ==
         length;
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<FILE, FileCloser>;

}  // namespace

int64_t QueryFileSize(const char* fileName) {
  std::wstring wide;
  // Open an existing file for reading, sharing reads; a directory cannot be
  // opened this way, and a pipe or device is turned away by its type below.
  HANDLE raw = WideName(fileName, &wide)
                   ? CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                   : CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return -1;
  FileHandle file(raw);
  if (GetFileType(raw) != FILE_TYPE_DISK) return -1;
  // The whole 64-bit size: its low part alone would load the wrong bytes of a
  // file above 4 GiB.
  LARGE_INTEGER size;
  if (!GetFileSizeEx(raw, &size)) return -1;
  return static_cast<int64_t>(size.QuadPart);
}

int64_t ReadWholeFile(const char* fileName, uint8_t* buffer, size_t size) {
  std::wstring wide;
  FilePointer file(WideName(fileName, &wide) ? _wfopen(wide.c_str(), L"rb")
                                             : std::fopen(fileName, "rb"));
  if (!file) return -1;
  size_t done = 0;
  while (done < size) {
    const size_t got = std::fread(buffer + done, 1, size - done, file.get());
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

}  // namespace scorlane
