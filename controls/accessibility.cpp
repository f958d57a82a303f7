#include "accessibility.h"

#include "controls/xpcheckbox.h"
#include "controls/xpcmdbutton.h"
#include "controls/xpgroupbox.h"
#include "controls/xphelp.h"
#include "controls/xpradiobutton.h"
#include "controls/xptopbuttons.h"

#include <QAccessibleWidget>

namespace controls {

namespace {

// A caption's access key is marked by "&", which is not read out.
QString spoken(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

QString caption_button_name(const xptopbuttons& button)
{
    switch (button.Value()) {
    case 1: return QStringLiteral("最大化");
    case 2: return QStringLiteral("最小化");
    case 3: return QStringLiteral("还原");
    default: return QStringLiteral("关闭");
    }
}

class control_interface : public QAccessibleWidget {
public:
    control_interface(xp_control* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const QObject* o = object();
        if (const auto* b = qobject_cast<const xpcmdbutton*>(o))
            return spoken(b->Caption());
        if (const auto* c = qobject_cast<const indicator_control*>(o))
            return spoken(c->Caption());
        if (const auto* g = qobject_cast<const xpgroupbox*>(o))
            return spoken(g->Caption());
        if (const auto* t = qobject_cast<const xptopbuttons*>(o))
            return caption_button_name(*t);
        if (qobject_cast<const xphelp*>(o))
            return QStringLiteral("帮助");
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (const auto* o = qobject_cast<const xpradiobutton*>(object())) {
            s.checkable = true;
            s.checked = o->Value();
        } else if (const auto* c = qobject_cast<const xpcheckbox*>(object())) {
            s.checkable = true;
            s.checked = c->Value() == 1;
            s.checkStateMixed = c->Value() == 2;
        }
        return s;
    }

    QStringList actionNames() const override
    {
        if (role() == QAccessible::Grouping)
            return QAccessibleWidget::actionNames();
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    // A press is a click, as the mouse gives it: the control does what its
    // click does and raises Click.
    void doAction(const QString& name) override
    {
        if (name == pressAction() && role() != QAccessible::Grouping) {
            if (widget()->isEnabled())
                static_cast<xp_control*>(widget())->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* make_interface(const QString&, QObject* object)
{
    auto* control = qobject_cast<xp_control*>(object);
    if (!control)
        return nullptr;
    if (qobject_cast<xpcmdbutton*>(control) || qobject_cast<caption_button*>(control))
        return new control_interface(control, QAccessible::Button);
    if (qobject_cast<xpradiobutton*>(control))
        return new control_interface(control, QAccessible::RadioButton);
    if (qobject_cast<xpcheckbox*>(control))
        return new control_interface(control, QAccessible::CheckBox);
    if (qobject_cast<xpgroupbox*>(control))
        return new control_interface(control, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void install_accessibility()
{
    static const bool installed = (QAccessible::installFactory(make_interface), true);
    (void)installed;
}

void announce_checked_change(QWidget* control)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace controls
