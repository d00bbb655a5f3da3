#include "bench/table_floor.h"

namespace scorlane::bench {

namespace {

void SetNumber(lua_State* L, const char* key, lua_Number value) {
  lua_pushnumber(L, value);
  lua_setfield(L, -2, key);
}

void AddTexts(lua_State* L, const Song& song, std::vector<TextEvent> Track::*list,
              const char* name) {
  lua_createtable(L, 0, 0);
  lua_Number key = 0;
  for (int32_t g = 0; g < song.trackCount; ++g) {
    for (const TextEvent& event : song.tracks[static_cast<size_t>(g)].*list) {
      lua_pushnumber(L, ++key);
      lua_createtable(L, 0, 0);
      lua_pushstring(L, event.text.c_str());
      lua_setfield(L, -2, "text");
      SetNumber(L, "time", event.time);
      SetNumber(L, "track", g);
      SetNumber(L, "index", key);
      lua_settable(L, -3);
    }
  }
  lua_setfield(L, -2, name);
}

}  // namespace

void BuildFloorTable(lua_State* L, const Song& song) {
  lua_createtable(L, 0, 0);
  for (int32_t g = 0; g < song.trackCount; ++g) {
    const Track& track = song.tracks[static_cast<size_t>(g)];
    lua_pushnumber(L, g + 1);
    lua_createtable(L, 0, 0);
    lua_Number key = 0;
    for (const NoteEvent& note : track.notes) {
      lua_pushnumber(L, ++key);
      lua_createtable(L, 0, 0);
      SetNumber(L, "channel", note.channel);
      SetNumber(L, "noteon", note.noteOn);
      SetNumber(L, "noteoff", note.noteOff);
      SetNumber(L, "notenum", note.noteNumber);
      SetNumber(L, "velocity", note.velocity);
      lua_settable(L, -3);
    }
    lua_createtable(L, 0, 0);
    key = 0;
    for (const PitchBendEvent& bend : track.pitchBends) {
      lua_pushnumber(L, ++key);
      lua_createtable(L, 0, 0);
      SetNumber(L, "time", bend.time);
      SetNumber(L, "pitch", bend.value * 0.0001220703125 * bend.bendRange);
      lua_settable(L, -3);
    }
    lua_setfield(L, -2, "pitch");
    lua_pushstring(L, track.name.c_str());
    lua_setfield(L, -2, "trackname");
    SetNumber(L, "trackend", track.endTime);
    lua_settable(L, -3);
  }
  lua_createtable(L, 0, 0);
  for (int32_t i = 0; i < song.tempoCount; ++i) {
    lua_pushnumber(L, i + 1);
    lua_createtable(L, 0, 0);
    SetNumber(L, "bpm", song.tempoChanges[static_cast<size_t>(i)].bpm);
    SetNumber(L, "time", song.tempoChanges[static_cast<size_t>(i)].time);
    lua_settable(L, -3);
  }
  lua_setfield(L, -2, "bpm");
  lua_createtable(L, 0, 0);
  for (int32_t i = 0; i < song.meterCount; ++i) {
    const MeterChange& change = song.meterChanges[static_cast<size_t>(i)];
    lua_pushnumber(L, i + 1);
    lua_createtable(L, 0, 0);
    SetNumber(L, "beat", change.numerator);
    SetNumber(L, "denom", change.denominator);
    SetNumber(L, "time", change.time);
    lua_settable(L, -3);
  }
  lua_setfield(L, -2, "beat");
  AddTexts(L, song, &Track::lyrics, "lyric");
  AddTexts(L, song, &Track::markers, "marker");
  AddTexts(L, song, &Track::texts, "text");
  SetNumber(L, "resolution", song.division);
}

}  // namespace scorlane::bench
