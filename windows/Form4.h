#pragma once

#include "Form.h"

class BrowserControl;

// The live-TV and movie portal: the portal page in one oversized pane, no ad panel.
class Form4 : public Form
{
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);

    void Form_Load() override;
    // The theatre item loads the portal page again.
    void reloadContent() override;

    BrowserControl* WebBrowser1 = nullptr;
};
