#pragma once

class QWidget;

// An engine that draws pictures offers a surface for them. Kept apart from the engine's own
// interface so that playback without a picture needs no widgets at all.
class VideoOutput
{
public:
    virtual ~VideoOutput() = default;
    // The widget the engine draws into; made once, owned by `parent`.
    virtual QWidget* createVideoSurface(QWidget* parent) = 0;
};
