#pragma once

#include "Form.h"

class BrowserControl;
class LinkLabel;

// The About window: always on top, opens at the pointer, dragged by its surface, closed by a
// double-click on it; its labels lead to a QQ chat, the maker's home page and the product site.
class Form2 : public Form
{
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    void Form_Load() override;

    static QString qqChatUrl();

    // Stacking order from the top.
    BrowserControl* WebBrowser1 = nullptr;
    LinkLabel* Label4 = nullptr;
    LinkLabel* Label2 = nullptr;
    LinkLabel* Label3 = nullptr;
    LinkLabel* Label1 = nullptr;

    void Form_MouseDown(Qt::MouseButton button, const QPointF& globalPos);
    void Form_DblClick();
    void Form_MouseMove();
    void Label1_MouseMove();
    void Label3_MouseMove();
    void Label1_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
