// Loads hostile and huge files and prints how long each load takes and how much
// memory it needs, so that time and memory can be seen to grow linearly with
// the file size. Each load runs in a child process of its own, so that its peak
// resident memory is its own.
// Usage: hostile_inputs [work-dir] [max-megabytes]   (default: /dev/shm or /tmp, 256)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "reader/song.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}

void AppendBigEndian(Bytes& out, uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Bytes Header(uint16_t tracks) {
  Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  AppendBigEndian(out, tracks, 2);
  Append(out, {0x01, 0xE0});
  return out;
}

void AppendTrack(Bytes& out, const Bytes& events, uint32_t declaredLength) {
  Append(out, {'M', 'T', 'r', 'k'});
  AppendBigEndian(out, declaredLength, 4);
  out.insert(out.end(), events.begin(), events.end());
}

// Note-ons and velocity-0 note-ons under running status over 16 channels' worth
// of keys, with a pitch bend and a tempo now and then: about `bytes` bytes.
Bytes ValidEvents(size_t bytes) {
  Bytes events;
  events.reserve(bytes + 64);
  Append(events, {0x00, 0x90, 0x3C, 0x40});
  uint32_t n = 0;
  while (events.size() < bytes) {
    const int key = 36 + static_cast<int>(n % 48);
    Append(events, {0x00, key, 0x50, 0x08, key, 0x00});
    if (++n % 64 == 0) Append(events, {0x00, 0xE0, 0x00, 0x50, 0x00, 0x90, 0x3C, 0x40});
    if (n % 4096 == 0) Append(events, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 0x3C, 0x40});
  }
  Append(events, {0x00, 0xFF, 0x2F, 0x00});
  return events;
}

struct Case {
  std::string name;
  std::function<Bytes()> make;
};

std::vector<Case> Cases(size_t maxMegabytes) {
  std::vector<Case> cases = {
      {"65535 tracks declared, 1 present", [] {
         Bytes f = Header(65535);
         AppendTrack(f, {0x00, 0xFF, 0x2F, 0x00}, 4);
         return f;
       }},
      {"65535 empty tracks", [] {
         Bytes f = Header(65535);
         for (int i = 0; i < 65535; ++i) AppendTrack(f, {}, 0);
         return f;
       }},
      {"chunk length 2^31 - 1", [] {
         Bytes f = Header(1);
         AppendTrack(f, ValidEvents(1000), 0x7FFFFFFF);
         return f;
       }},
      {"chunk length 2^32 - 1 (negative)", [] {
         Bytes f = Header(2);
         AppendTrack(f, ValidEvents(1000), 0xFFFFFFFF);
         return f;
       }},
      {"header length 2^32 - 1", [] {
         Bytes f = Header(1);
         f[4] = f[5] = f[6] = f[7] = 0xFF;
         AppendTrack(f, ValidEvents(100), 100);
         return f;
       }},
      {"meta and sysex lengths 2^28 - 1", [] {
         Bytes events;
         for (int i = 0; i < 1000; ++i) Append(events, {0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F});
         for (int i = 0; i < 1000; ++i) Append(events, {0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F});
         Bytes f = Header(1);
         AppendTrack(f, events, static_cast<uint32_t>(events.size()));
         return f;
       }},
      {"100000 junk bytes after the header", [] {
         Bytes f = Header(1);
         f.insert(f.end(), 100000, 0x00);
         return f;
       }},
      {"100000 lyrics whose lengths overrun", [] {
         Bytes events;
         for (int i = 0; i < 100000; ++i) Append(events, {0x00, 0xFF, 0x05, 0x81});
         Bytes f = Header(1);
         AppendTrack(f, events, static_cast<uint32_t>(events.size()));
         return f;
       }},
  };
  for (size_t mb = 32; mb <= maxMegabytes; mb *= 2) {
    cases.push_back({std::to_string(mb) + " MB of random bytes after a header", [mb] {
                       Bytes f = Header(16);
                       std::mt19937_64 random(mb);
                       const size_t size = mb << 20;
                       f.reserve(size);
                       while (f.size() < size) f.push_back(static_cast<uint8_t>(random()));
                       return f;
                     }});
    cases.push_back({std::to_string(mb) + " MB of valid events", [mb] {
                       Bytes f = Header(1);
                       const Bytes events = ValidEvents(mb << 20);
                       AppendTrack(f, events, static_cast<uint32_t>(events.size()));
                       return f;
                     }});
  }
  return cases;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
  const size_t maxMegabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 256;
  const std::string path = dir + "/scorlane-hostile.mid";
  std::printf("%-40s %10s %6s %10s %9s %10s %9s\n", "input", "bytes", "code", "notes", "ms",
              "MB/s", "peak MB");
  for (const Case& c : Cases(maxMegabytes)) {
    size_t size = 0;
    {
      // Written and released before the fork: the child's peak is the load's alone.
      const Bytes bytes = c.make();
      size = bytes.size();
      FILE* file = std::fopen(path.c_str(), "wb");
      if (!file || std::fwrite(bytes.data(), 1, size, file) != size) return 1;
      std::fclose(file);
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
      const auto start = std::chrono::steady_clock::now();
      const scorlane::Song song(path.c_str());
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      size_t notes = 0;
      for (const scorlane::Track& track : song.tracks) notes += track.notes.size();
      struct rusage usage;
      getrusage(RUSAGE_SELF, &usage);
      std::printf("%-40s %10zu %6d %10zu %9.2f %10.1f %9.1f\n", c.name.c_str(), size,
                  static_cast<int>(song.errorCode), notes, ms, static_cast<double>(size) / 1e6 / (ms / 1e3),
                  static_cast<double>(usage.ru_maxrss) / 1024.0);
      std::fflush(stdout);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::printf("%-40s CRASHED\n", c.name.c_str());
      return 1;
    }
  }
  std::remove(path.c_str());
  return 0;
}
