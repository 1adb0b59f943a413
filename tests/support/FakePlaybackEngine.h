#pragma once

#include "PlaybackEngine.h"

#include <QList>
#include <QTimer>
#include <QUrl>

#include <optional>

// Records what a session asks of its engine; tests drive its signals by hand.
class FakePlaybackEngine : public PlaybackEngine
{
    Q_OBJECT
public:
    void open(const QUrl& url) override
    {
        opened.push_back(url);
        if (const auto failure = failEveryOpen) {
            const int n = int(opened.size());
            // From the event loop, as the real engine reports; a later open makes it stale.
            QTimer::singleShot(0, this, [this, n, failure] {
                if (n == opened.size())
                    Q_EMIT openFailed(*failure, {});
            });
        }
    }
    void stop() override { ++stops; }
    void setPaused(bool p) override { paused = p; }
    void setVolume(int v) override { volume = v; }
    void setMute(bool m) override { mute = m; }
    void setStretchToFit(bool s) override { stretch = s; }
    void seek(double seconds) override { seeks.push_back(seconds); }

    // Set: every open fails so, as a dead server's would.
    std::optional<PlaybackFailure> failEveryOpen;
    QList<QUrl> opened;
    int stops = 0;
    bool paused = false;
    int volume = -1;
    bool mute = false;
    bool stretch = false;
    QList<double> seeks;
};
