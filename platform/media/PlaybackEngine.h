#pragma once

#include "PlaybackStatus.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class QWidget;

// The engine behind the media-player control. Its signals always concern the most recent
// open(): whatever an earlier stream still reports is dropped inside the engine.
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
    // The widget the engine draws the picture into; made once, owned by `parent`.
    virtual QWidget* createVideoSurface(QWidget* parent) = 0;

Q_SIGNALS:
    void connected();            // the source answered; data is arriving
    void buffering(int percent);
    void playing();              // playback runs (first frame on its way)
    void pausedChanged(bool paused);
    void frameRendered();        // a picture reached the surface
    void openFailed(PlaybackFailure failure, const QString& detail);
    void ended(PlaybackFailure failure); // a stream that played has stopped
    // Play position; duration 0 for a live stream.
    void positionChanged(double seconds, double duration);
};

using PlaybackEngineFactory = std::function<std::unique_ptr<PlaybackEngine>()>;
