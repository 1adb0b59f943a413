#pragma once

#include "FakePlaybackEngine.h"
#include "VideoOutput.h"

#include <QPointer>
#include <QWidget>

// A recording engine that also hands out a plain widget as its picture surface.
class FakeVideoEngine : public FakePlaybackEngine, public VideoOutput
{
    Q_OBJECT
public:
    QWidget* createVideoSurface(QWidget* parent) override
    {
        surface = new QWidget(parent);
        return surface;
    }
    QPointer<QWidget> surface;
};

// While alive, every media-player control gets a FakeVideoEngine.
class FakeEngines
{
public:
    FakeEngines();
    ~FakeEngines();
    FakeVideoEngine* last() const { return made.isEmpty() ? nullptr : made.last().data(); }
    QList<QPointer<FakeVideoEngine>> made;
};
