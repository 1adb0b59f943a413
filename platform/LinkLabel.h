#pragma once

#include <QLabel>

// A label that acts when clicked: press and release on the label with the left button.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void Click();
    // Any button pressed on the label.
    void MouseDown(Qt::MouseButton button);
    // The pointer moved over the label (with or without a button down).
    void MouseMove();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
