#include "property_store.h"

namespace platform {

QVariant property_bag::read(const QString& key, const QVariant& default_value) const
{
    const auto found = m_values.find(fold(key));
    return found == m_values.end() ? default_value : found->second;
}

void property_bag::write(const QString& key, const QVariant& value, const QVariant& default_value)
{
    if (value == default_value)
        m_values.erase(fold(key));
    else
        m_values[fold(key)] = value;
}

bool property_bag::contains(const QString& key) const
{
    return m_values.count(fold(key)) != 0;
}

void property_bag::remove(const QString& key)
{
    m_values.erase(fold(key));
}

void property_bag::property_changed(const QString& property) const
{
    if (on_property_changed)
        on_property_changed(property);
}

property_bag& property_store::bag(const QString& control_name)
{
    return m_bags[control_name.toCaseFolded()];
}

const property_bag* property_store::find(const QString& control_name) const
{
    const auto found = m_bags.find(control_name.toCaseFolded());
    return found == m_bags.end() ? nullptr : &found->second;
}

} // namespace platform
