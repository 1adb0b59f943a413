#include "MpvRenderContext.h"

#include "MpvCore.h"

#include <mpv/render.h>

#include <QMetaObject>

MpvRenderContext::MpvRenderContext(std::shared_ptr<MpvCore> core, mpv_render_param* params,
                                   std::function<void()> onUpdate)
    : m_core(std::move(core)), m_onUpdate(std::move(onUpdate))
{
    if (mpv_render_context_create(&m_context, m_core->handle(), params) < 0) {
        m_context = nullptr;
        return;
    }
    // Called on an engine thread: only queue one update on the GUI thread.
    mpv_render_context_set_update_callback(
        m_context,
        [](void* ctx) {
            auto* self = static_cast<MpvRenderContext*>(ctx);
            if (self->m_updateQueued.exchange(true))
                return;
            QMetaObject::invokeMethod(
                self,
                [self] {
                    self->m_updateQueued = false;
                    self->m_onUpdate();
                },
                Qt::QueuedConnection);
        },
        this);
}

MpvRenderContext::~MpvRenderContext()
{
    if (!m_context)
        return;
    mpv_render_context_set_update_callback(m_context, nullptr, nullptr);
    mpv_render_context_free(m_context);
}
