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
        if (m_values.remove(key))
            m_order.removeOne(key);
        return;
    }
    const auto it = m_values.find(key);
    if (it == m_values.end()) {
        m_values.insert(key, Entry{name, value});
        m_order << key;
    } else {
        it->value = value; // keeps the spelling and the place of the first write
    }
}

bool PropertyBag::contains(const QString& name) const { return m_values.contains(foldKey(name)); }

QStringList PropertyBag::keys() const
{
    QStringList out;
    for (const QString& key : m_order)
        out << m_values.value(key).name;
    return out;
}
