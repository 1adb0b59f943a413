#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class MpvCore;
struct mpv_render_context;
struct mpv_render_param;

// A render context drawn from a core. It keeps the core alive for as long as it exists, and on
// destruction clears its update callback before freeing itself (with the caller's GL context
// current on the GL path). Updates reach `onUpdate` on the GUI thread, coalesced.
class MpvRenderContext : public QObject
{
    Q_OBJECT
public:
    MpvRenderContext(std::shared_ptr<MpvCore> core, mpv_render_param* params, std::function<void()> onUpdate);
    ~MpvRenderContext() override;

    mpv_render_context* get() const { return m_context; }
    explicit operator bool() const { return m_context != nullptr; }

private:
    std::shared_ptr<MpvCore> m_core;
    mpv_render_context* m_context = nullptr;
    std::function<void()> m_onUpdate;
    std::atomic<bool> m_updateQueued{false};
};
