// Times Scorlane against its floor, under the interpreter this program links.
//   load_bench FILES_DIR [rounds [REAL_SONGS_DIR]]
// FILES_DIR holds the files of bench/make_bench_files.py; REAL_SONGS_DIR, if
// given, a collection of real MIDI files (searched at any depth).
// For each set of files it prints:
//   (a) the whole Scorlane call, made from a Lua function as a script makes it;
//   (b) load and parse alone (constructing the Song), in MB/s and notes/s;
//   (c) the floor: the same table built from records already in memory;
//   a/c, b/a, and the peak memory of one call on the set's largest file.
// (a) and (c) are the medians of the rounds, a/c the median of the rounds'
// ratios, (b) the best round; a full garbage collection precedes each timed step
// and is not timed.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "bench/table_floor.h"
#include "binding/scorlane.h"
#include "reader/song.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct FileSet {
  std::string name;
  std::vector<std::string> files;
};

struct Figures {
  double call = 0, floor = 0;  // seconds, median round
  double parse = 1e300;        // seconds, best round
  double ratio = 0;            // median of the rounds' call / floor
  int rounds = 0;
  double megabytes = 0, notes = 0, peakMegabytes = 0;
};

// A Lua function that calls Scorlane as a script does: `return Scorlane(path)`.
void PushCaller(lua_State* L) {
  if (luaL_loadstring(L, "local Scorlane = ... return function(path) return Scorlane(path) end") != 0) {
    std::abort();
  }
  lua_pushcfunction(L, Scorlane);
  lua_call(L, 1, 1);
}

double TimeCall(lua_State* L, int caller, const std::string& path) {
  lua_gc(L, LUA_GCCOLLECT, 0);
  lua_pushvalue(L, caller);
  lua_pushstring(L, path.c_str());
  const auto start = Clock::now();
  lua_call(L, 1, 1);
  const double seconds = Seconds(start);
  if (!lua_istable(L, -1)) {
    std::fprintf(stderr, "%s: no table\n", path.c_str());
    std::exit(1);
  }
  lua_pop(L, 1);
  return seconds;
}

// The garbage is collected before the Song is made, as before a call: a Song made
// first would sit above the garbage in the C heap and keep the allocator from
// returning the freed memory to the system, sparing the floor the page faults
// that the call pays for the same memory.
double TimeFloor(lua_State* L, const std::string& path) {
  lua_gc(L, LUA_GCCOLLECT, 0);
  const scorlane::Song song(path.c_str());
  const auto start = Clock::now();
  scorlane::bench::BuildFloorTable(L, song);
  const double seconds = Seconds(start);
  lua_pop(L, 1);
  return seconds;
}

double TimeParse(const std::string& path, double* notes) {
  const auto start = Clock::now();
  const scorlane::Song song(path.c_str());
  const double seconds = Seconds(start);
  *notes = 0;
  for (const scorlane::Track& track : song.tracks) *notes += static_cast<double>(track.notes.size());
  return seconds;
}

// A line of /proc/self/status such as "VmHWM:  1234 kB", in kilobytes.
long StatusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, field.size(), field) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return 0;
}

// Peak memory of one call, measured in a child process: the resident high-water
// mark, reset just before the call, minus what was resident then.
double PeakMegabytesOfCall(const std::string& path) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    lua_State* L = luaL_newstate();
    PushCaller(L);
    std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current VmRSS
    const long before = StatusKilobytes("VmRSS:");
    lua_pushvalue(L, -1);
    lua_pushstring(L, path.c_str());
    lua_call(L, 1, 1);
    const double megabytes = static_cast<double>(StatusKilobytes("VmHWM:") - before) / 1024.0;
    if (write(pipeFds[1], &megabytes, sizeof megabytes) != sizeof megabytes) _exit(1);
    _exit(0);
  }
  double megabytes = -1;
  if (read(pipeFds[0], &megabytes, sizeof megabytes) != sizeof megabytes) megabytes = -1;
  waitpid(child, nullptr, 0);
  close(pipeFds[0]);
  close(pipeFds[1]);
  return megabytes;
}

std::string LargestFile(const FileSet& set) {
  std::string largest;
  uintmax_t largestSize = 0;
  for (const std::string& file : set.files) {
    const uintmax_t size = std::filesystem::file_size(file);
    if (size > largestSize) largestSize = size, largest = file;
  }
  return largest;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Times the set, round after round: at least `rounds` of them and, for quick sets,
// as many more as fit in a second and a half. Within a round every file's floor
// and call are timed back to back, so that each round's ratio compares the two
// under the same conditions of the machine. The peak memory is measured
// beforehand (see main).
Figures Measure(lua_State* L, int caller, const FileSet& set, int rounds) {
  constexpr double kMinSeconds = 1.5;
  Figures figures;
  for (const std::string& file : set.files) {
    figures.megabytes += static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  }
  std::vector<double> calls, floors, ratios;
  double measured = 0;
  for (int round = 0; round < rounds || measured < kMinSeconds; ++round) {
    double call = 0, parse = 0, floor = 0, notes = 0;
    for (const std::string& file : set.files) {
      floor += TimeFloor(L, file);
      call += TimeCall(L, caller, file);
      double fileNotes = 0;
      parse += TimeParse(file, &fileNotes);
      notes += fileNotes;
    }
    calls.push_back(call);
    floors.push_back(floor);
    ratios.push_back(call / floor);
    measured += call + floor + parse;
    figures.parse = std::min(figures.parse, parse);
    figures.notes = notes;
  }
  figures.call = Median(calls);
  figures.floor = Median(floors);
  figures.ratio = Median(ratios);
  figures.rounds = static_cast<int>(ratios.size());
  return figures;
}

std::vector<std::string> MidiFilesIn(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    if (entry.path().extension() == ".mid") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Files under `dir`, at any depth, that load as songs: a collection of real
// files may hold a few that are not MIDI files at all.
std::vector<std::string> SongsUnder(const std::string& dir) {
  std::vector<std::string> files;
  if (dir.empty()) return files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error)) {
    if (!entry.is_regular_file()) continue;
    const scorlane::Song song(entry.path().string().c_str());
    if (song.errorCode == scorlane::SongError::kNone) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILES_DIR [rounds [REAL_SONGS_DIR]]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  std::vector<FileSet> sets = {
      {"large", {dir + "/large.mid"}},
      {"songs", MidiFilesIn(dir + "/songs")},
      {"notes-10k", {dir + "/notes-10k.mid"}},
      {"notes-100k", {dir + "/notes-100k.mid"}},
      {"notes-1M", {dir + "/notes-1m.mid"}},
      {"notes-4M", {dir + "/notes-4m.mid"}},
      {"real-songs", SongsUnder(argc > 3 ? argv[3] : "")},
  };

  // A set whose files are not there is left out.
  for (FileSet& set : sets) {
    set.files.erase(std::remove_if(set.files.begin(), set.files.end(),
                                   [](const std::string& f) { return !std::filesystem::exists(f); }),
                    set.files.end());
  }

  // Peaks first, each in a child forked from a process that has loaded nothing
  // yet: a child inherits its parent's heap, whose free memory a call would
  // reuse without growing.
  std::vector<double> peaks;
  for (const FileSet& set : sets) {
    peaks.push_back(set.files.empty() ? 0 : PeakMegabytesOfCall(LargestFile(set)));
  }

  std::printf("%-8s %-17s %6s %8s %10s %10s %10s %9s %11s %10s %6s %6s %8s %6s\n", "lua", "set",
              "files", "MB", "notes", "(a) ms", "(b) ms", "(b) MB/s", "(b) notes/s", "(c) ms",
              "a/c", "b/a", "peak MB", "rounds");
  std::fflush(stdout);
  for (size_t s = 0; s < sets.size(); ++s) {
    const FileSet& set = sets[s];
    if (set.files.empty()) continue;
    // Each set is timed in a child of its own with a fresh Lua state: the memory
    // left behind by one set's rounds would otherwise change the next set's.
    const pid_t child = fork();
    if (child == 0) {
      lua_State* L = luaL_newstate();
      PushCaller(L);
      // The songs set is large: three rounds of it say enough.
      Figures f = Measure(L, lua_gettop(L), set, set.files.size() > 1 ? std::min(rounds, 3) : rounds);
      f.peakMegabytes = peaks[s];
      std::printf("%-8s %-17s %6zu %8.1f %10.0f %10.1f %10.2f %9.0f %11.3g %10.1f %6.3f %6.3f %8.0f %6d\n",
                  SCORLANE_BENCH_INTERPRETER, set.name.c_str(), set.files.size(), f.megabytes,
                  f.notes, f.call * 1e3, f.parse * 1e3, f.megabytes / f.parse, f.notes / f.parse,
                  f.floor * 1e3, f.ratio, f.parse / f.call, f.peakMegabytes, f.rounds);
      std::fflush(stdout);
      lua_close(L);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  }
  return 0;
}
