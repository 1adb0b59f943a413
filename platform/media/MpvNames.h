#pragma once

// Option, property and command names of the playback engine, in one place for the code that
// sets, observes and dispatches them.
namespace mpvnames {

inline constexpr char Volume[] = "volume";
inline constexpr char Mute[] = "mute";
inline constexpr char Pause[] = "pause";
inline constexpr char KeepAspect[] = "keepaspect";
inline constexpr char PausedForCache[] = "paused-for-cache";
inline constexpr char CacheBufferingState[] = "cache-buffering-state";
inline constexpr char TimePos[] = "time-pos";
inline constexpr char Duration[] = "duration";

// Observation ids.
enum Observed : unsigned long long { ObsPause = 1, ObsPausedForCache, ObsBufferingState, ObsTimePos, ObsDuration };

} // namespace mpvnames
