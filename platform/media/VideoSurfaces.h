#pragma once

#include <QObject>

#include <memory>

class VideoSurfaceNotifier : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void frameRendered();
};

// Common face of the two surfaces the engine can draw into.
class VideoSurface
{
public:
    virtual ~VideoSurface() = default;
    VideoSurfaceNotifier* notifier() { return &m_notifier; }

protected:
    VideoSurfaceNotifier m_notifier;
};
