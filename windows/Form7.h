#pragma once

#include "Form.h"

class BrowserControl;

// The music box: the web music player beside an ad panel.
class Form7 : public Form
{
    Q_OBJECT
public:
    explicit Form7(QWidget* parent = nullptr);

    void Form_Load() override;

    // Stacking order from the top.
    BrowserControl* WebBrowser2 = nullptr;
    BrowserControl* WebBrowser1 = nullptr;
};
