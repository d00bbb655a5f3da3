#include "tests/test_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace scorlane::testing {

Bytes Hex(const std::string& text) {
  Bytes bytes;
  size_t i = 0;
  auto digit = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw std::invalid_argument("bad hex digit in: " + text);
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\n' || c == '\t') {
      ++i;
    } else if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (c == '\'') {
      const size_t close = text.find('\'', i + 1);
      if (close == std::string::npos) throw std::invalid_argument("unclosed quote in: " + text);
      bytes.insert(bytes.end(), text.begin() + static_cast<long>(i) + 1,
                   text.begin() + static_cast<long>(close));
      i = close + 1;
    } else {
      if (i + 1 >= text.size()) throw std::invalid_argument("odd hex digits in: " + text);
      bytes.push_back(static_cast<uint8_t>(digit(c) * 16 + digit(text[i + 1])));
      i += 2;
    }
  }
  return bytes;
}

Bytes VarLen(uint32_t value) {
  Bytes bytes{static_cast<uint8_t>(value & 0x7F)};
  while ((value >>= 7) != 0) {
    bytes.insert(bytes.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  }
  return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

namespace {
Bytes BigEndian(uint32_t value, int count) {
  Bytes bytes;
  for (int i = count - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}
}  // namespace

Bytes TrackChunkWithLength(uint32_t length, const Bytes& events) {
  return Hex("'MTrk'") + BigEndian(length, 4) + events;
}

Bytes TrackChunk(const Bytes& events) {
  return TrackChunkWithLength(static_cast<uint32_t>(events.size()), events);
}

Bytes Header(uint16_t format, uint16_t trackCount, uint16_t division) {
  return Hex("'MThd' 00 00 00 06") + BigEndian(format, 2) + BigEndian(trackCount, 2) +
         BigEndian(division, 2);
}

Bytes SmfFile(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes file = Header(format, static_cast<uint16_t>(tracks.size()), division);
  for (const Bytes& track : tracks) file = file + track;
  return file;
}

namespace {
// Tests write many small files: memory-backed /dev/shm is much faster than a disk.
std::filesystem::path TempRoot() {
  if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm")) {
    return "/dev/shm";
  }
  return std::filesystem::temp_directory_path();
}
}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        TempRoot() / ("scorlane-test-" + std::to_string(random()) + std::to_string(attempt));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string file = path_ + "/" + name;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file);
  return file;
}

std::unique_ptr<Song> LoadBytes(const Bytes& bytes) {
  TempDir dir;
  return std::make_unique<Song>(dir.Write("song.mid", bytes).c_str());
}

std::unique_ptr<Song> LoadTrackEvents(const Bytes& events) {
  return LoadBytes(SmfFile(0, 96, {TrackChunk(events)}));
}

}  // namespace scorlane::testing
