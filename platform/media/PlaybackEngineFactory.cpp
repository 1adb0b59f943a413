#include "PlaybackEngineFactory.h"

#include "MpvEngine.h"

namespace {

PlaybackEngineFactory& installed()
{
    static PlaybackEngineFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<PlaybackEngine> createPlaybackEngine()
{
    if (installed())
        return installed()();
    return std::make_unique<MpvEngine>();
}

void setPlaybackEngineFactory(PlaybackEngineFactory factory) { installed() = std::move(factory); }
