#include "PropertyBag.h"

#include <QStringList>

namespace {
QString foldKey(const QString& name) { return name.toCaseFolded(); }
} // namespace

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const auto it = m_values.constFind(foldKey(name));
    return it == m_values.cend() ? defaultValue : it->value;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const QString key = foldKey(name);
    if (defaultValue.isValid() && value == defaultValue) {
        m_values.remove(key);
        return;
    }
    m_values.insert(key, Entry{name, value});
}

bool PropertyBag::contains(const QString& name) const { return m_values.contains(foldKey(name)); }

QStringList PropertyBag::keys() const
{
    QStringList out;
    for (const Entry& e : m_values)
        out << e.name;
    return out;
}
