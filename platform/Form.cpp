#include "Form.h"

#include "WindowRegistry.h"

#include <QCloseEvent>

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

Form::~Form() { WindowRegistry::instance().forget(this); }

void Form::unloadMe() { WindowRegistry::instance().unload(this); }

void Form::closeEvent(QCloseEvent* event)
{
    // A close through the window manager unloads, as the window's own close control does.
    event->ignore();
    unloadMe();
}
