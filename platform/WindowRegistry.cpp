#include "WindowRegistry.h"

#include "HostServices.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>
#include <exception>

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry registry;
    return registry;
}

Form* WindowRegistry::show(std::type_index type, const Factory& create)
{
    const auto it = m_forms.find(type);
    if (it != m_forms.end() && it->second) {
        bringForward(it->second);
        return it->second;
    }
    Form* form = nullptr;
    try {
        form = create();
    } catch (const std::exception& e) {
        // Only the engines throw here, when their libraries cannot start: nothing can play or show.
        HostServices::current().failStart(QString::fromLocal8Bit(e.what()));
        return nullptr;
    }
    return load(form, type);
}

Form* WindowRegistry::switchFrom(Form* current, std::type_index type, const Factory& create)
{
    unload(current, /*endIfLast=*/false);
    Form* target = show(type, create);
    endIfNoneLoaded();
    return target;
}

const WindowRegistry::Named* WindowRegistry::named(const QString& name) const
{
    const auto it = m_named.find(name);
    if (it == m_named.end()) {
        std::fprintf(stderr, "lumivo: no window named %s\n", qPrintable(name));
        return nullptr;
    }
    return &it->second;
}

Form* WindowRegistry::show(const QString& name)
{
    const Named* n = named(name);
    return n ? show(n->type, n->create) : nullptr;
}

Form* WindowRegistry::switchFrom(Form* current, const QString& name)
{
    const Named* n = named(name);
    return n ? switchFrom(current, n->type, n->create) : nullptr;
}

Form* WindowRegistry::find(const QString& name) const
{
    const auto it = m_named.find(name);
    if (it == m_named.end())
        return nullptr;
    const auto loaded = m_forms.find(it->second.type);
    return loaded == m_forms.end() ? nullptr : loaded->second.data();
}

Form* WindowRegistry::load(Form* form, std::type_index type)
{
    m_forms[type] = form;
    form->Form_Load();
    if (HostServices::current().programEnding()) {
        // The load ended the program: the window is never shown.
        forget(form);
        delete form; // its load has returned, so nothing of it is on the stack
        return nullptr;
    }
    if (!isLoaded(form)) // the load sequence unloaded its own window
        return nullptr;
    form->show();
    return form;
}

void WindowRegistry::bringForward(Form* form)
{
    form->show();
    form->raise();
    form->activateWindow();
}

void WindowRegistry::unload(Form* form, bool endIfLast)
{
    if (!form || !isLoaded(form))
        return;
    forget(form);
    form->hide();
    // Deferred: the window may be inside one of its own handlers. Its players and pages stop
    // when it is deleted, right after the handler returns.
    form->deleteLater();
    if (endIfLast)
        endIfNoneLoaded();
}

void WindowRegistry::unloadAll()
{
    while (!m_forms.empty()) {
        QPointer<Form> form = m_forms.begin()->second;
        m_forms.erase(m_forms.begin());
        delete form.data();
    }
}

bool WindowRegistry::isLoaded(const Form* form) const
{
    for (const auto& [type, f] : m_forms)
        if (f == form)
            return true;
    return false;
}

int WindowRegistry::loadedCount() const
{
    int n = 0;
    for (const auto& [type, f] : m_forms)
        n += f ? 1 : 0;
    return n;
}

void WindowRegistry::setOnLastUnload(std::function<void()> handler) { m_onLastUnload = std::move(handler); }

void WindowRegistry::forget(const Form* form)
{
    for (auto it = m_forms.begin(); it != m_forms.end();) {
        if (it->second == form || it->second.isNull())
            it = m_forms.erase(it);
        else
            ++it;
    }
}

void WindowRegistry::endIfNoneLoaded()
{
    if (loadedCount() > 0)
        return;
    if (m_onLastUnload) {
        m_onLastUnload();
        return;
    }
    // Queued behind the pending deletions, so the windows are gone before the loop ends.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
