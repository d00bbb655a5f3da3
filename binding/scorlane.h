/* Scorlane: reads a Standard MIDI File into one nested Lua table.
 *
 * Scorlane(L) takes a file name at stack index 1 and returns 1 (the result
 * table) or 0 (no values: the file could not be read or is not a Standard MIDI
 * File). It never raises a Lua error. Hosts that link the library statically
 * register it themselves, e.g. lua_register(L, "Scorlane", Scorlane). */
#ifndef SCORLANE_H
#define SCORLANE_H

#if defined(_WIN32)
#define SCORLANE_EXPORT __declspec(dllexport)
#else
#define SCORLANE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct lua_State;

SCORLANE_EXPORT int Scorlane(struct lua_State* L);

#ifdef __cplusplus
}
#endif

#endif /* SCORLANE_H */
