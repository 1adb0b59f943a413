#pragma once

#include <QWidget>

class QMenuBar;

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

    // A window with a menu bar: the bar on top, the client area below it. Controls are placed in
    // clientArea(); without a bar the client area is the window itself.
    QMenuBar* addMenuBar();
    QMenuBar* menuBar() const { return m_menuBar; }
    QWidget* clientArea() { return m_client ? m_client : this; }
    // Sizes the window so that its client area is `size` pixels, below the menu bar if any.
    void setClientSize(const QSize& size);
    // A fixed single border: not resizable, with the title bar's buttons as given.
    void setFixedBorder(bool minimizeButton, bool maximizeButton);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    bool m_fixed = false;
};
