#include "events.h"

namespace controls {

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

bool event_source::bind(int id, event_handler handler)
{
    auto* s = const_cast<slot*>(find(id));
    if (!s || !handler)
        return false;
    s->handlers.push_back(std::move(handler));
    return true;
}

bool event_source::bind(QAnyStringView name, event_handler handler)
{
    const int id = id_of(name);
    return id != 0 && bind(id, std::move(handler));
}

bool event_source::bind(QAnyStringView name, std::function<void()> handler)
{
    if (!handler)
        return false;
    return bind(name, event_handler([h = std::move(handler)](event_args&) { h(); }));
}

void event_source::unbind_all()
{
    for (slot& s : m_slots)
        s.handlers.clear();
}

bool event_source::declares(int id) const
{
    return find(id) != nullptr;
}

int event_source::id_of(QAnyStringView name) const
{
    for (const slot& s : m_slots)
        if (QAnyStringView::compare(name, QLatin1String(s.decl.name), Qt::CaseInsensitive) == 0)
            return s.decl.id;
    return 0;
}

QString event_source::name_of(int id) const
{
    const slot* s = find(id);
    return s ? QString::fromLatin1(s->decl.name) : QString();
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
