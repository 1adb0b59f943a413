#pragma once

#include "PlaybackStatus.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

// The engine that plays one stream at a time for a playback session.
//
// Every report concerns the most recent open(): whatever an earlier stream still reports is
// dropped inside the engine, so a replaced stream never reaches the session. All reports come on
// the GUI thread, never from inside the call that caused them.
//
// After open(url), one attempt runs through these stages:
//   connected()                      once, when the source answers and data arrives
//   buffering(percent)               any number of times, before and while playing
//   playing()                        playback runs; the first picture is on its way
//   frameRendered()                  each picture of this stream that reached a surface
//   positionChanged(seconds, dur)    while playing; dur 0 for a live stream
//   pausedChanged(paused)            after setPaused, and when the engine pauses by itself
// and ends in exactly one terminal report:
//   openFailed(failure, detail)      it never played: refused, not found, timed out, ...
//   ended(failure)                   it played and stopped: None for the end of a recorded
//                                    file, Interrupted (or another reason) for a drop
// stop() and a new open() end the attempt without any terminal report. An open that hangs is
// ended by the engine itself with openFailed(TimedOut) within its watchdog time.
class PlaybackEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~PlaybackEngine() override;

    // Replaces whatever plays with `url` and starts it.
    virtual void open(const QUrl& url) = 0;
    virtual void stop() = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void setVolume(int volume) = 0;
    virtual void setMute(bool mute) = 0;
    virtual void setStretchToFit(bool stretch) = 0;
    virtual void seek(double seconds) = 0;

Q_SIGNALS:
    void connected();
    void buffering(int percent);
    void playing();
    void pausedChanged(bool paused);
    void frameRendered();
    void openFailed(PlaybackFailure failure, const QString& detail);
    void ended(PlaybackFailure failure);
    void positionChanged(double seconds, double duration);
};

using PlaybackEngineFactory = std::function<std::unique_ptr<PlaybackEngine>()>;
