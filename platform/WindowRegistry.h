#pragma once

#include "Form.h"

#include <QPointer>

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
    template <class T> T* show()
    {
        if (T* loaded = find<T>()) {
            bringForward(loaded);
            return loaded;
        }
        T* form = new T;
        return static_cast<T*>(load(form, typeid(T)));
    }
    // Open: the same as show, beside the current window.
    template <class T> T* open() { return show<T>(); }
    // Switch: unload the current window, then show the target.
    template <class T> T* switchFrom(Form* current)
    {
        unload(current, /*endIfLast=*/false);
        T* target = show<T>();
        endIfNoneLoaded();
        return target;
    }

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
    Form* load(Form* form, std::type_index type);
    void bringForward(Form* form);
    void endIfNoneLoaded();

    std::map<std::type_index, QPointer<Form>> m_forms;
    std::function<void()> m_onLastUnload;
};
