#include "Windows.h"

#include "Form1.h"
#include "Form5.h"
#include "WindowRegistry.h"

void registerWindows()
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.registerWindow<Form1>(QStringLiteral("Form1"));
    registry.registerWindow<Form5>(QStringLiteral("Form5"));
}
