#pragma once

#include <QLabel>

// A picture box or image of the main window's skin (caption buttons, floating buttons, list
// handles, the title): shows one of the picture store's pictures unscaled at its top left and
// hands its mouse actions to the window as events. The handlers look at no button, modifier or
// position, so the events carry none.
class SkinLabel : public QLabel
{
    Q_OBJECT
public:
    explicit SkinLabel(QWidget* parent = nullptr);

    // Shows the picture of the store element `store` (Bi0 … Image4); the last one shown is kept.
    void showStore(const QString& store);
    QString store() const { return m_store; }

Q_SIGNALS:
    void Click();
    void DblClick();
    void MouseDown();
    void MouseMove();
    void MouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString m_store;
    bool m_pressed = false; // a press that may still become a Click
};
