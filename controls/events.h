#pragma once

// The events a control raises to its host window. A host binds a handler
// either by the event's name or by its dispatch id, the identities under
// which hosts of the library have always known these events. Raising is
// synchronous, and the arguments travel by reference: when raise() returns,
// every bound handler has run and the caller sees whatever the handlers left
// in the arguments (the move rule reads Button back this way).

#include <QString>
#include <QAnyStringView>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace controls {

namespace dispatch {
constexpr int Click = -600;
constexpr int DblClick = -601;
constexpr int KeyDown = -602;
constexpr int KeyPress = -603;
constexpr int KeyUp = -604;
constexpr int MouseDown = -605;
constexpr int MouseMove = -606;
constexpr int MouseUp = -607;
// The library's own event; the frame uses the same id for its Resize.
constexpr int MouseOut = 1;
} // namespace dispatch

// Button: 1 left, 2 right, 4 middle. Shift: 1 shift, 2 control, 4 alt.
// X and Y are in the raising control's current scale unit.
struct event_args {
    std::int16_t button = 0;
    std::int16_t shift = 0;
    float x = 0;
    float y = 0;
    std::int16_t key_code = 0;
    std::int16_t key_ascii = 0;
};

using event_handler = std::function<void(event_args&)>;

struct event_decl {
    const char* name;
    int id;
};

// What every hover-tracking control may raise; each control declares the
// subset it really raises, so that binding an event it never raises fails.
inline constexpr event_decl Click_event{"Click", dispatch::Click};
inline constexpr event_decl DblClick_event{"DblClick", dispatch::DblClick};
inline constexpr event_decl KeyDown_event{"KeyDown", dispatch::KeyDown};
inline constexpr event_decl KeyPress_event{"KeyPress", dispatch::KeyPress};
inline constexpr event_decl KeyUp_event{"KeyUp", dispatch::KeyUp};
inline constexpr event_decl MouseDown_event{"MouseDown", dispatch::MouseDown};
inline constexpr event_decl MouseMove_event{"MouseMove", dispatch::MouseMove};
inline constexpr event_decl MouseUp_event{"MouseUp", dispatch::MouseUp};
inline constexpr event_decl MouseOut_event{"MouseOut", dispatch::MouseOut};

class event_source {
public:
    explicit event_source(std::initializer_list<event_decl> declared);

    // Binding an event that the control does not raise is a mistake in the
    // host, never a choice: it asserts in a debug build and logs an error
    // otherwise, and binds nothing. Hosts name the event by its declaration
    // (Click_event), which the compiler checks; by name (matched without
    // regard to case, as hosts spell them freely) or by dispatch id for the
    // hosts that know the events that way. True when the handler is bound.
    bool bind(const event_decl& event, event_handler handler);
    bool bind(const event_decl& event, std::function<void()> handler);
    bool bind(int id, event_handler handler);
    bool bind(QAnyStringView name, event_handler handler);
    // For the events without arguments (Click, MouseOut, ...).
    bool bind(QAnyStringView name, std::function<void()> handler);
    void unbind_all();

    // Every handler bound to the event runs, in the order of binding, on the
    // same argument record.
    void raise(int id, event_args& args) const;
    void raise(int id) const;
    void raise_mouse(int id, std::int16_t& button, std::int16_t& shift, float& x, float& y) const;
    void raise_key(int id, std::int16_t& key_code, std::int16_t& shift) const;
    void raise_key_press(std::int16_t& key_ascii) const;

private:
    struct slot {
        event_decl decl;
        std::vector<event_handler> handlers;
    };
    slot* find(int id);
    const slot* find(int id) const;
    static bool add(slot* s, const QString& asked_for, event_handler handler);
    std::vector<slot> m_slots;
};

} // namespace controls
