#pragma once

#include <QWidget>

// A top-level window of the program: one instance per class, created when first shown,
// loaded by its Form_Load, discarded with everything it plays when unloaded.
class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    virtual void Form_Load() {}
    // Navigates the window's content pane to its load-time page again; most windows have none.
    virtual void reloadContent() {}

    // Unloads this window (deferred deletion, so it is safe inside its own handlers).
    void unloadMe();

protected:
    void closeEvent(QCloseEvent* event) override;
};
