#pragma once

#include "Form.h"

#include <QPointer>

#include <QString>

#include <functional>
#include <map>
#include <typeindex>

// Owns the life cycle of the program's windows. The process ends when the last loaded window is
// unloaded; a hidden window that is still loaded keeps it running.
class WindowRegistry
{
public:
    static WindowRegistry& instance();

    // Show: load the window if needed (construct, Form_Load, then show it), or bring the loaded
    // window forward unchanged.
    // A window that cannot be made (its engine does not start) is reported through the host
    // services as a start failure, and nullptr comes back.
    template <class T> T* show() { return static_cast<T*>(show(typeid(T), [] { return new T; })); }
    // Open: the same as show, beside the current window.
    template <class T> T* open() { return show<T>(); }
    // Switch: unload the current window, then show the target.
    template <class T> T* switchFrom(Form* current)
    {
        return static_cast<T*>(switchFrom(current, typeid(T), [] { return new T; }));
    }

    // Windows named as menus and links name them ("Form3"), for tables of cross-links. A name
    // nobody registered shows nothing and says so on stderr.
    using Factory = std::function<Form*()>;
    template <class T> void registerWindow(const QString& name)
    {
        m_named.insert_or_assign(name, Named{typeid(T), [] { return new T; }});
    }
    Form* show(const QString& name);
    Form* switchFrom(Form* current, const QString& name);
    bool isRegistered(const QString& name) const { return m_named.count(name) > 0; }
    Form* find(const QString& name) const;

    template <class T> T* find() const
    {
        const auto it = m_forms.find(typeid(T));
        return it == m_forms.end() ? nullptr : static_cast<T*>(it->second.data());
    }

    void unload(Form* form, bool endIfLast = true);
    void unloadAll();
    bool isLoaded(const Form* form) const;
    int loadedCount() const;

    // What happens when the last window goes; the application quits unless a test says otherwise.
    void setOnLastUnload(std::function<void()> handler);

    // Called by a window being destroyed so no dangling entry remains.
    void forget(const Form* form);

private:
    struct Named
    {
        std::type_index type;
        Factory create;
    };
    Form* show(std::type_index type, const Factory& create);
    Form* switchFrom(Form* current, std::type_index type, const Factory& create);
    const Named* named(const QString& name) const;
    Form* load(Form* form, std::type_index type);
    void bringForward(Form* form);
    void endIfNoneLoaded();

    std::map<std::type_index, QPointer<Form>> m_forms;
    std::function<void()> m_onLastUnload;
    std::map<QString, Named> m_named;
};
