#pragma once

#include <QObject>

#include <memory>

class MpvCore;
class QWidget;

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

struct MadeSurface
{
    QWidget* widget;
    VideoSurfaceNotifier* notifier;
};

// A surface for the render path this machine should use.
MadeSurface makeVideoSurface(const std::shared_ptr<MpvCore>& core, QWidget* parent);
