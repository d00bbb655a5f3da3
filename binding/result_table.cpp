#include "binding/result_table.h"

#include <new>
#include <string>
#include <vector>

namespace scorlane {

namespace {

// Lua keys of the result table.
constexpr char kKeyBpm[] = "bpm";
constexpr char kKeyBeat[] = "beat";
constexpr char kKeyLyric[] = "lyric";
constexpr char kKeyMarker[] = "marker";
constexpr char kKeyText[] = "text";
constexpr char kKeyResolution[] = "resolution";
constexpr char kKeyPitch[] = "pitch";
constexpr char kKeyTrackName[] = "trackname";
constexpr char kKeyTrackEnd[] = "trackend";
constexpr char kKeyChannel[] = "channel";
constexpr char kKeyNoteOn[] = "noteon";
constexpr char kKeyNoteOff[] = "noteoff";
constexpr char kKeyNoteNumber[] = "notenum";
constexpr char kKeyVelocity[] = "velocity";
constexpr char kKeyTime[] = "time";
constexpr char kKeyDenominator[] = "denom";
constexpr char kKeyTrack[] = "track";
constexpr char kKeyIndex[] = "index";

// A bend value is a fraction of 8192 of the bend range.
constexpr double kBendUnit = 0.0001220703125;

// Its address is the registry key under which a finished table waits.
const char kParkedResultKey = 0;

// Lua calls below may raise errors (memory errors by longjmp in PUC Lua): these
// frames hold only trivially destructible locals, and the C++ work that may
// throw runs in CopyTrack and CopyTextList, which call no Lua.

// Replaces the conversion's copy with a copy of track `index`. Returns false when
// memory runs out; the copy then still owns whatever it holds, and is released
// with the conversion.
bool CopyTrack(Conversion& conversion, size_t index) noexcept {
  try {
    conversion.song.GetTrack(index, conversion.copy);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// [.., table] -> [.., table]
void SetNumber(lua_State* L, const char* key, lua_Number value) {
  lua_pushnumber(L, value);
  lua_setfield(L, -2, key);
}

// [.., track] -> [.., track]
void AddNotes(lua_State* L, const std::vector<NoteEvent>& notes) {
  lua_Number key = 0;
  for (const NoteEvent& note : notes) {
    lua_pushnumber(L, ++key);
    lua_createtable(L, 0, 0);
    SetNumber(L, kKeyChannel, note.channel);
    SetNumber(L, kKeyNoteOn, note.noteOn);
    SetNumber(L, kKeyNoteOff, note.noteOff);
    SetNumber(L, kKeyNoteNumber, note.noteNumber);
    SetNumber(L, kKeyVelocity, note.velocity);
    lua_settable(L, -3);
  }
}

// [.., track] -> [.., track]
void AddPitchList(lua_State* L, const std::vector<PitchBendEvent>& bends) {
  lua_createtable(L, 0, 0);
  lua_Number key = 0;
  for (const PitchBendEvent& bend : bends) {
    lua_pushnumber(L, ++key);
    lua_createtable(L, 0, 0);
    SetNumber(L, kKeyTime, bend.time);
    SetNumber(L, kKeyPitch, bend.value * kBendUnit * bend.bendRange);
    lua_settable(L, -3);
  }
  lua_setfield(L, -2, kKeyPitch);
}

// [.., result] -> [.., result]; false when a track copy failed.
bool AddTracks(lua_State* L, Conversion& conversion) {
  const Song& song = conversion.song;
  for (int32_t g = 0; g < song.trackCount; ++g) {
    if (!CopyTrack(conversion, static_cast<size_t>(g))) return false;
    const Track& track = conversion.copy;
    lua_pushnumber(L, g + 1);
    lua_createtable(L, 0, 0);
    AddNotes(L, track.notes);
    AddPitchList(L, track.pitchBends);
    lua_pushstring(L, track.name.c_str());
    lua_setfield(L, -2, kKeyTrackName);
    SetNumber(L, kKeyTrackEnd, track.endTime);
    lua_settable(L, -3);
  }
  return true;
}

// [.., result] -> [.., result]
void AddTempoMap(lua_State* L, const Song& song) {
  lua_createtable(L, 0, 0);
  for (int32_t i = 0; i < song.tempoCount; ++i) {
    const TempoChange& change = song.tempoChanges[static_cast<size_t>(i)];
    lua_pushnumber(L, i + 1);
    lua_createtable(L, 0, 0);
    SetNumber(L, kKeyBpm, change.bpm);
    SetNumber(L, kKeyTime, change.time);
    lua_settable(L, -3);
  }
  lua_setfield(L, -2, kKeyBpm);
}

// [.., result] -> [.., result]
void AddMeterMap(lua_State* L, const Song& song) {
  lua_createtable(L, 0, 0);
  for (int32_t i = 0; i < song.meterCount; ++i) {
    const MeterChange& change = song.meterChanges[static_cast<size_t>(i)];
    lua_pushnumber(L, i + 1);
    lua_createtable(L, 0, 0);
    SetNumber(L, kKeyBeat, change.numerator);
    SetNumber(L, kKeyDenominator, change.denominator);
    SetNumber(L, kKeyTime, change.time);
    lua_settable(L, -3);
  }
  lua_setfield(L, -2, kKeyBeat);
}

// One of a track's three text lists.
using TextList = std::vector<TextEvent> Track::*;

// Replaces the copy's `list` with a copy of track `index`'s. A text pass reads
// nothing else of a track: copying the whole track again, notes and all, would
// repeat the note pass's copy for nothing. Returns false when memory runs out.
bool CopyTextList(Conversion& conversion, size_t index, TextList list) noexcept {
  try {
    conversion.copy.*list = conversion.song.tracks[index].*list;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Adds the list `name` with the entries of `list` from every track in order,
// numbered across tracks. [.., result] -> [.., result]; false when a copy failed.
bool AddTextList(lua_State* L, Conversion& conversion, TextList list, const char* name) {
  lua_createtable(L, 0, 0);
  lua_Number key = 0;
  for (int32_t g = 0; g < conversion.song.trackCount; ++g) {
    if (!CopyTextList(conversion, static_cast<size_t>(g), list)) return false;
    for (const TextEvent& event : conversion.copy.*list) {
      lua_pushnumber(L, ++key);
      lua_createtable(L, 0, 0);
      lua_pushstring(L, event.text.c_str());
      lua_setfield(L, -2, kKeyText);
      SetNumber(L, kKeyTime, event.time);
      SetNumber(L, kKeyTrack, g);
      SetNumber(L, kKeyIndex, key);
      lua_settable(L, -3);
    }
  }
  lua_setfield(L, -2, name);
  return true;
}

}  // namespace

int BuildResultTable(lua_State* L) {
  Conversion& conversion = *static_cast<Conversion*>(lua_touserdata(L, 1));
  const Song& song = conversion.song;
  lua_pushlightuserdata(L, const_cast<char*>(&kParkedResultKey));
  lua_createtable(L, 0, 0);
  if (!AddTracks(L, conversion)) return 0;
  AddTempoMap(L, song);
  AddMeterMap(L, song);
  if (!AddTextList(L, conversion, &Track::lyrics, kKeyLyric)) return 0;
  if (!AddTextList(L, conversion, &Track::markers, kKeyMarker)) return 0;
  if (!AddTextList(L, conversion, &Track::texts, kKeyText)) return 0;
  SetNumber(L, kKeyResolution, song.division);
  lua_rawset(L, LUA_REGISTRYINDEX);
  return 0;
}

int TakeParkedResult(lua_State* L) {
  void* key = const_cast<char*>(&kParkedResultKey);
  lua_pushlightuserdata(L, key);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return 0;
  }
  // Clearing a key that is present reuses its slot: no allocation, no error.
  lua_pushlightuserdata(L, key);
  lua_pushnil(L);
  lua_rawset(L, LUA_REGISTRYINDEX);
  return 1;
}

}  // namespace scorlane
