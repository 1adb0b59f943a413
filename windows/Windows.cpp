#include "Windows.h"

#include "Form1.h"
#include "WindowRegistry.h"

void registerWindows()
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.registerWindow<Form1>(QStringLiteral("Form1"));
}
