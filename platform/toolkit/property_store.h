#pragma once

// A window's stored design data, the way the controls of the library keep
// their properties: one bag of named values per control instance. Keys are
// matched without regard to case, because the stored data of the windows
// holds "caption" where the controls ask for "Caption". A value equal to its
// default is never stored, so a control left at its defaults stores nothing.

#include <QFont>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>

namespace platform {

class property_bag {
public:
    QVariant read(const QString& key, const QVariant& default_value) const;
    void write(const QString& key, const QVariant& value, const QVariant& default_value);
    bool contains(const QString& key) const;
    void remove(const QString& key);
    int size() const { return static_cast<int>(m_values.size()); }

    // What the host supplies for the instance: its name on the window, which
    // is a control's default caption, and the window's font.
    QString ambient_display_name;
    QFont ambient_font;

    // Raised when a control reports that one of its stored properties
    // changed, so that the host can save it.
    std::function<void(const QString& property)> on_property_changed;
    void property_changed(const QString& property) const;

private:
    static QString fold(const QString& key) { return key.toCaseFolded(); }
    std::map<QString, QVariant> m_values;
};

// All the bags of one window, by control name (case-blind as well).
class property_store {
public:
    property_bag& bag(const QString& control_name);
    const property_bag* find(const QString& control_name) const;

private:
    std::map<QString, property_bag> m_bags;
};

} // namespace platform
