#include "FakePlaybackEngine.h"

#include "MediaPlayer.h"

#include <QWidget>

namespace {
FakeEngines* g_current = nullptr;
}

QWidget* FakePlaybackEngine::createVideoSurface(QWidget* parent)
{
    surface = new QWidget(parent);
    return surface;
}

FakeEngines::FakeEngines()
{
    g_current = this;
    MediaPlayer::setEngineFactory([] {
        auto engine = std::make_unique<FakePlaybackEngine>();
        if (g_current)
            g_current->made.push_back(engine.get());
        return engine;
    });
}

FakeEngines::~FakeEngines()
{
    MediaPlayer::setEngineFactory({});
    g_current = nullptr;
}
