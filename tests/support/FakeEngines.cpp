#include "FakeEngines.h"

#include "PlaybackEngineFactory.h"

namespace {
FakeEngines* g_current = nullptr;
}

FakeEngines::FakeEngines()
{
    g_current = this;
    setPlaybackEngineFactory([] {
        auto engine = std::make_unique<FakeVideoEngine>();
        if (g_current)
            g_current->made.push_back(engine.get());
        return engine;
    });
}

FakeEngines::~FakeEngines()
{
    setPlaybackEngineFactory({});
    g_current = nullptr;
}
