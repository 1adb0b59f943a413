#include "Windows.h"

#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form6.h"
#include "Form7.h"
#include "Form8.h"
#include "Form5.h"
#include "WindowRegistry.h"

void registerWindows()
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.registerWindow<Form1>(QStringLiteral("Form1"));
    registry.registerWindow<Form2>(QStringLiteral("Form2"));
    registry.registerWindow<Form3>(QStringLiteral("Form3"));
    registry.registerWindow<Form4>(QStringLiteral("Form4"));
    registry.registerWindow<Form6>(QStringLiteral("Form6"));
    registry.registerWindow<Form7>(QStringLiteral("Form7"));
    registry.registerWindow<Form8>(QStringLiteral("Form8"));
    registry.registerWindow<Form5>(QStringLiteral("Form5"));
}
