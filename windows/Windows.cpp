#include "Windows.h"

#include "Form1.h"
#include "Form2.h"
#include "WindowRegistry.h"

void registerWindows()
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.registerWindow<Form1>(QStringLiteral("Form1"));
    registry.registerWindow<Form2>(QStringLiteral("Form2"));
}
