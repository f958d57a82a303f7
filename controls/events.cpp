#include "events.h"

#include <QtGlobal>
#include <utility>

namespace controls {

namespace {

event_handler without_arguments(std::function<void()> handler)
{
    if (!handler)
        return {};
    return [h = std::move(handler)](event_args&) { h(); };
}

} // namespace

event_source::event_source(std::initializer_list<event_decl> declared)
{
    for (const event_decl& decl : declared)
        m_slots.push_back({decl, {}});
}

const event_source::slot* event_source::find(int id) const
{
    for (const slot& s : m_slots)
        if (s.decl.id == id)
            return &s;
    return nullptr;
}

event_source::slot* event_source::find(int id)
{
    return const_cast<slot*>(std::as_const(*this).find(id));
}

bool event_source::add(slot* s, const QString& asked_for, event_handler handler)
{
    if (!s) {
        qCritical("binding %s: the control raises no such event", qUtf8Printable(asked_for));
        Q_ASSERT_X(false, "event_source::bind", "the control raises no such event");
        return false;
    }
    if (!handler)
        return false;
    s->handlers.push_back(std::move(handler));
    return true;
}

// A declaration is only as good as its id: the frame's Resize shares
// MouseOut's, and whichever of the two the control declares is meant.
bool event_source::bind(const event_decl& event, event_handler handler)
{
    slot* s = find(event.id);
    const bool same = s && qstrcmp(s->decl.name, event.name) == 0;
    return add(same ? s : nullptr, QString::fromLatin1(event.name), std::move(handler));
}

bool event_source::bind(const event_decl& event, std::function<void()> handler)
{
    return bind(event, without_arguments(std::move(handler)));
}

bool event_source::bind(int id, event_handler handler)
{
    return add(find(id), QStringLiteral("id %1").arg(id), std::move(handler));
}

bool event_source::bind(QAnyStringView name, event_handler handler)
{
    slot* found = nullptr;
    for (slot& s : m_slots)
        if (!found && QAnyStringView::compare(name, QLatin1String(s.decl.name), Qt::CaseInsensitive) == 0)
            found = &s;
    return add(found, name.toString(), std::move(handler));
}

bool event_source::bind(QAnyStringView name, std::function<void()> handler)
{
    return bind(name, without_arguments(std::move(handler)));
}

void event_source::unbind_all()
{
    for (slot& s : m_slots)
        s.handlers.clear();
}

void event_source::raise(int id, event_args& args) const
{
    const slot* s = find(id);
    if (!s)
        return;
    // A handler may bind further handlers; those run from the next raise on.
    const std::vector<event_handler> handlers = s->handlers;
    for (const event_handler& handler : handlers)
        handler(args);
}

void event_source::raise(int id) const
{
    event_args args;
    raise(id, args);
}

void event_source::raise_mouse(int id, std::int16_t& button, std::int16_t& shift, float& x, float& y) const
{
    event_args args;
    args.button = button;
    args.shift = shift;
    args.x = x;
    args.y = y;
    raise(id, args);
    button = args.button;
    shift = args.shift;
    x = args.x;
    y = args.y;
}

void event_source::raise_key(int id, std::int16_t& key_code, std::int16_t& shift) const
{
    event_args args;
    args.key_code = key_code;
    args.shift = shift;
    raise(id, args);
    key_code = args.key_code;
    shift = args.shift;
}

void event_source::raise_key_press(std::int16_t& key_ascii) const
{
    event_args args;
    args.key_ascii = key_ascii;
    raise(dispatch::KeyPress, args);
    key_ascii = args.key_ascii;
}

} // namespace controls
