#pragma once

#include "PlaybackEngine.h"

#include <QList>
#include <QUrl>

// Records what a session asks of its engine; tests drive its signals by hand.
class FakePlaybackEngine : public PlaybackEngine
{
    Q_OBJECT
public:
    void open(const QUrl& url) override { opened.push_back(url); }
    void stop() override { ++stops; }
    void setPaused(bool p) override { paused = p; }
    void setVolume(int v) override { volume = v; }
    void setMute(bool m) override { mute = m; }
    void setStretchToFit(bool s) override { stretch = s; }
    void seek(double seconds) override { seeks.push_back(seconds); }

    QList<QUrl> opened;
    int stops = 0;
    bool paused = false;
    int volume = -1;
    bool mute = false;
    bool stretch = false;
    QList<double> seeks;
};
