#pragma once

// A control's stored properties, each declared once: its key in the host's
// store, its default, how its value is read, and how a value is applied. A
// control lists them in the order it saves them; xp_control runs the new
// instance, the load and the save over that list, so no control writes its
// keys or defaults twice.
//
// A row is written with the helpers below, e.g.
//   {"Caption", host_name, get<&xpcmdbutton::Caption>, set<&xpcmdbutton::set_Caption>}
// where get and set take a getter or setter of the control, or one of its
// fields for a value that goes there directly, without the setter's redraw.

#include <QVariant>
#include <functional>
#include <type_traits>

namespace controls {

class xp_control;

struct stored_property {
    using read_fn = QVariant (*)(const xp_control&);
    using apply_fn = void (*)(xp_control&, const QVariant&);

    const char* key;
    read_fn fallback;
    read_fn get;
    // Applies a loaded value.
    apply_fn load;
    // Gives a new instance its default; nullptr applies it as a load does.
    apply_fn init = nullptr;
    // Where the property comes in the load and in the new-instance sequence,
    // where that is not its place in the list; the controls were designed
    // with these orders, and setters that redraw or tell the host show them.
    int load_at = -1;
    int init_at = -1;
};

namespace detail {

template <class> struct member;
template <class C, class R> struct member<R (C::*)() const> {
    using owner = C;
};
template <class C, class R, class A> struct member<R (C::*)(A)> {
    using owner = C;
    using value = std::remove_cvref_t<A>;
};
template <class C, class T> struct member<T C::*> {
    using owner = C;
    using value = T;
};

} // namespace detail

// The value of a getter or a field.
template <auto Getter>
QVariant get(const xp_control& control)
{
    using owner = typename detail::member<decltype(Getter)>::owner;
    using result = std::remove_cvref_t<std::invoke_result_t<decltype(Getter), const owner&>>;
    const auto& value = std::invoke(Getter, static_cast<const owner&>(control));
    if constexpr (std::is_same_v<result, QVariant>)
        return value;
    else
        return QVariant::fromValue(value);
}

// Through a setter, or straight into a field.
template <auto Setter>
void set(xp_control& control, const QVariant& value)
{
    using traits = detail::member<decltype(Setter)>;
    auto& owner = static_cast<typename traits::owner&>(control);
    typename traits::value converted;
    if constexpr (std::is_same_v<typename traits::value, QVariant>)
        converted = value;
    else
        converted = value.value<typename traits::value>();
    if constexpr (std::is_member_object_pointer_v<decltype(Setter)>)
        owner.*Setter = converted;
    else
        (owner.*Setter)(converted);
}

template <auto Value>
QVariant fixed(const xp_control&)
{
    return QVariant::fromValue(Value);
}

// The host's name for the instance and the host's font, the defaults of
// Caption and Font.
QVariant host_name(const xp_control& control);
QVariant host_font(const xp_control& control);

// For a property that a new instance keeps as it was created.
inline void as_created(xp_control&, const QVariant&) {}

} // namespace controls
