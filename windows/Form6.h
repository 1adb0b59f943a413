#pragma once

#include "Form.h"

class BrowserControl;

// The chat room: the chat object beside an ad panel. Its menu only opens windows beside it.
class Form6 : public Form
{
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    void Form_Load() override;

    // Stacking order from the top.
    BrowserControl* WebBrowser2 = nullptr;
    BrowserControl* WebBrowser1 = nullptr;
};
