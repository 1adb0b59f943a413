#pragma once

#include "Form.h"

class BrowserControl;

// The 易视直播 window: the live web-TV page beside an ad panel. Sizable, but its panes keep their
// rectangles: a larger window shows more of the page.
class Form8 : public Form
{
    Q_OBJECT
public:
    explicit Form8(QWidget* parent = nullptr);

    void Form_Load() override;

    // Stacking order from the top.
    BrowserControl* WebBrowser2 = nullptr;
    BrowserControl* WebBrowser1 = nullptr;
};
