// Preloaded into the real player to make the playback engine's library fail the way a broken
// installation does: it cannot make a core.
extern "C" void* mpv_create() { return nullptr; }
