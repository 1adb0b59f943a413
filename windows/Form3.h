#pragma once

#include "Form.h"

class BrowserControl;
class QLabel;

// The web-TV window: a menu of channels, each loading the outside player page with the
// channel's value into the channel pane; an ad panel down the left edge.
class Form3 : public Form
{
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    void Form_Load() override;

    // Controls, stacking order from the top.
    BrowserControl* WebBrowser2 = nullptr;
    BrowserControl* WebBrowser1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;

    // Every item of the channel menu: the pane to the item's player page.
    void cntv_Click(const QString& key);
};
