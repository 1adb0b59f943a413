#pragma once

#include "PlaybackEngine.h"

// Makes the engine for a new player: the real one, unless a test has put a factory in place.
// Throws std::runtime_error when the engine cannot start (its library cannot make a core).
std::unique_ptr<PlaybackEngine> createPlaybackEngine();

// Tests install a double; an empty factory restores the real engine.
void setPlaybackEngineFactory(PlaybackEngineFactory factory);
