#pragma once

// The common ground of every control of the library.
//
// How a control is built on it:
//
//  1. Derive from xp_control (controls without hover tracking: the group
//     box, the window frame) or from hover_control (everything that shows a
//     hover face and raises MouseOut). Pass the events the control raises,
//     e.g. {Click_event, MouseDown_event, MouseMove_event, MouseUp_event,
//     MouseOut_event}; hosts bind them through events() by declaration,
//     name or id (binding one the control does not raise is an error). A
//     control with events of its own declares them the same way, e.g.
//     event_decl{"Resize", 1} for the frame.
//  2. Override the notifications the control reacts to. The Qt event
//     handlers below only translate the toolkit's reports into these
//     (mouse_down(button, shift, x, y) with x and y in the control's current
//     scale unit, click(), key_down(...), on_resize(), on_show(), ...), so a
//     test or a host can drive a notification directly as the platform
//     would. Raise events with events().raise...(); they run synchronously.
//  3. Children that belong to the face (the caption label, the indicator
//     picture) are handed to forward_input(): their presses, moves, releases
//     and clicks arrive as the control's own notifications, with the
//     coordinates the control's rules call for.
//  4. Show faces either whole (show_face: the picture at the top-left, at
//     its natural size) or painted (paint_pieces onto the surface, which
//     keeps what was drawn until it is cleared or drawn over).
//  5. Persistence: list the stored properties once, in stored_properties()
//     (controls/stored_properties.h); init_new(), load() and save() run over
//     that list. Setters call notify_changed("Name") where the control tells
//     its host of a change. The host gives the control its property bag
//     (ambient display name and font come from there) and calls place(),
//     which runs new-instance or load, then the first layout.
//  6. A hover_control owns Timer1, the 10 ms poll. Its move notification
//     calls track_move() (the mouse-move rule); it implements
//     show_tracking_face() and draw_rest_face(), and names its order of
//     steps for leaving. Tests drive the poll with Timer1().tick(); a tick
//     while the timer is stopped does nothing, as the clock would give none.
//  7. Properties are a getter named as the property and a setter named
//     set_ plus the property (State(), set_State(value)). Enabled and Font()
//     live here; share_font() hands one font to surface and label. A control
//     shows its enabled state in enabled_changed(), however it was set.
//     Colours are 0x00BBGGRR values (controls/colours.h).

#include "controls/caption_label.h"
#include "controls/events.h"
#include "controls/geometry.h"
#include "controls/stored_properties.h"
#include "platform/toolkit/message_loop.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/property_store.h"

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace controls {

enum class scale_unit { twips, pixels };

enum class placement { new_instance, load };

// How a forwarded child reports a move: at its own top-left corner within
// the control (whatever the pointer's true position), or with the pointer's
// position relative to the child.
enum class child_move { at_corner, own_coordinates };

// The unit of a child's own coordinates: a windowless child (a label, an
// image) reports in the control's current unit; a child with a window of
// its own reports in its own unit, which in this library is pixels.
enum class child_unit { control, pixels };

class xp_control : public QWidget {
    Q_OBJECT
public:
    xp_control(std::initializer_list<event_decl> raised, QWidget* parent = nullptr);

    event_source& events() { return m_events; }
    const event_source& events() const { return m_events; }

    // --- The host's side -------------------------------------------------
    void attach(platform::property_bag* bag) { m_bag = bag; }
    platform::property_bag* bag() const { return m_bag; }
    // New instance or load, then the first layout. Showing follows with the
    // host window.
    void place(platform::property_bag* bag, placement how);
    // Over stored_properties(): the defaults through the setters, the stored
    // values through the setters, or every value with its default.
    void init_new();
    void load();
    void save();
    virtual std::span<const stored_property> stored_properties() const { return {}; }
    QString ambient_display_name() const;
    QFont ambient_font() const;

    // The control's own enabled state, which its window holds (not whether a
    // disabled container keeps it from input). Setting it through QWidget
    // does the same, except that only this setter tells the host.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    void set_Enabled(bool enabled);
    // The font last given to the control's Font property.
    QFont Font() const { return m_font; }

    // --- Scale units ------------------------------------------------------
    // The surface's coordinate system: left and top are always 0, width and
    // height are the client size in the current unit.
    scale_unit unit() const { return m_unit; }
    void set_scale_unit(scale_unit unit) { m_unit = unit; }
    double scale_left() const { return 0; }
    double scale_top() const { return 0; }
    double scale_width() const;
    double scale_height() const;
    double units_per_pixel_x() const;
    double units_per_pixel_y() const;
    QPointF to_scale(QPointF pixels) const;
    // A length in the current unit, in whole pixels (the platform places
    // children at the nearest pixel).
    int to_pixels_x(double v) const;
    int to_pixels_y(double v) const;

    // --- Notifications ----------------------------------------------------
    virtual void mouse_down(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void mouse_move(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void mouse_up(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void click() {}
    virtual void dbl_click() {}
    virtual void key_down(std::int16_t key_code, std::int16_t shift);
    virtual void key_press(std::int16_t key_ascii);
    virtual void key_up(std::int16_t key_code, std::int16_t shift);
    virtual void access_key() {}
    virtual void on_resize() {}
    virtual void on_show() {}
    // A click or double click on a forwarded child; by default the same as
    // one on the surface.
    virtual void child_click(QWidget*) { click(); }
    virtual void child_dbl_click(QWidget*) { dbl_click(); }

    // What the surface shows, for tests and for controls layered on others.
    const QImage& face() const { return m_face; }
    const QImage& surface_canvas() const;

    // Draws the focus mark whether or not the control holds the focus, for
    // a still picture of the focused face; only one control can hold it.
    void show_focus_mark(bool shown);
    // Whether the focus mark is drawn now.
    bool shows_focus_mark() const;

protected:
    void forward_input(QWidget* child, child_move move, child_unit unit = child_unit::control);

    // A control of one fixed size answers every resize with it, in twips
    // and height first, whatever size the host asked for.
    void keep_fixed_size(double width_twips, double height_twips);

    // Whole-face display.
    void show_face(const QImage& face);
    // Painted display: the pieces are drawn onto the kept surface.
    void paint_pieces(const QImage& source, std::span<const slice_piece> pieces);
    void clear_surface();
    void set_surface_colour(const QColor& colour);
    QColor surface_colour() const;

    // Keeps the font and hands the same font to the surface and to the
    // caption label, which takes its new size from it.
    void share_font(const QFont& font, caption_label* label);

    // Persistence through the host's bag; without a bag reads give the
    // default and writes store nothing.
    QVariant read(const char* key, const QVariant& default_value) const;
    void write(const char* key, const QVariant& value, const QVariant& default_value);
    void notify_changed(const char* property) const;
    // For the controls whose Enabled setter tells the host of the change.
    void tell_host_of_enabled() { m_tells_host_of_enabled = true; }
    // The enabled state changed, the control's own or its container's.
    virtual void enabled_changed() {}

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    // A press on the control's surface at `at`, or on `element`, one of the
    // pieces of its face, gives it the focus if it takes the focus at all.
    void take_click_focus(QWidget* element, QPoint at);

    // The keys that click the focused control, as they click the system's
    // own buttons: Space on its release, and for a push button Enter too.
    // The key events are raised first, as for any other key.
    enum class key_click { none, space, space_and_enter };
    void click_with_keys(key_click keys) { m_key_click = keys; }
    // The faces a left press and its release show, which Space shows too.
    virtual void press_face() {}
    virtual void release_face() {}
    // Where the focus mark goes on the surface, in pixels; none when empty.
    virtual QRect focus_mark_rect() const { return {}; }
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    struct forwarded {
        child_move move;
        child_unit unit;
    };
    void translate_mouse(QWidget* element, QMouseEvent* e, QPointF point, std::optional<QPointF> move_point);
    QImage& canvas();

    // The surface as a recipe: the colour it was last cleared to, at its
    // size then, and the paints made on it since, in order. The layout
    // passes clear and paint a surface many times before it is first shown,
    // and mostly with the same result; kept as a recipe, the surface is
    // drawn once, when it is shown, and a pass that asks for what is drawn
    // already draws nothing.
    struct surface_paint {
        QImage source;
        std::vector<slice_piece> pieces;
        bool same_as(const QImage& other_source, std::span<const slice_piece> other_pieces) const;
    };
    struct surface_recipe {
        QSize size;
        QColor colour;
        std::vector<surface_paint> paints;
    };
    // Whether the recipe can take a paint at the control's present size;
    // any other change of the surface draws it first.
    bool recipe_fits() const;
    // Draws the recipe onto m_canvas unless it is drawn there already.
    void draw_recipe() const;

    event_source m_events;
    platform::property_bag* m_bag = nullptr;
    QFont m_font;
    scale_unit m_unit = scale_unit::twips;
    QImage m_face;
    mutable QImage m_canvas;
    // While set, the surface is what the recipe says, and m_canvas holds it
    // only if m_drawn says so.
    std::optional<surface_recipe> m_recipe;
    // The recipe m_canvas was drawn from, as long as nothing else has drawn
    // on it since.
    mutable std::optional<surface_recipe> m_drawn;
    std::map<QWidget*, forwarded> m_forwarded;
    // A left press that began here (nullptr for the surface itself) and may
    // still become a click.
    QObject* m_click_candidate = nullptr;
    bool m_press_pending = false;
    bool m_tells_host_of_enabled = false;
    key_click m_key_click = key_click::none;
    // Space went down on this control and its release will click.
    bool m_space_held = false;
    bool m_focus_mark_shown = false;
};

// Which order a control takes its three steps in when the poll finds the
// pointer gone.
enum class leave_order {
    stop_raise_draw, // stop Timer1, raise MouseOut, draw the rest face
    draw_stop_raise, // draw the rest face, stop Timer1, raise MouseOut
};

class hover_control : public xp_control {
    Q_OBJECT
public:
    // It follows `pointer`, which must outlive it.
    hover_control(std::initializer_list<event_decl> raised, bool poll_from_creation, leave_order order,
                  QWidget* parent = nullptr, const platform::pointer_source& pointer = platform::system_pointer());

    // The hover poll. It runs from a move report until the first tick that
    // finds the pointer outside; whether it runs is the only hover state.
    platform::timer& Timer1() { return m_Timer1; }

    // One tick of the poll.
    void hover_tick();
    // The pointer has left: the same steps as a tick that finds it gone.
    // The pointer's position cannot tell this where the windowing system
    // stops reporting it outside the program's windows (Wayland).
    void pointer_left();

    // A move over the surface follows the mouse-move rule.
    void mouse_move(std::int16_t button, std::int16_t shift, float x, float y) override;

protected:
    // The mouse-move rule: start the poll first, whatever the point; then,
    // only for a point inside the surface (edges included), raise MouseMove
    // and choose the face by the Button that the host's handler left.
    void track_move(std::int16_t button, std::int16_t shift, float x, float y);

    // Runs before the pointer is read at each tick (the check box and the
    // option button put their surface into pixels here).
    virtual void before_poll() {}
    virtual void show_tracking_face(bool pressed) = 0;
    virtual void draw_rest_face() = 0;
    void leaveEvent(QEvent* e) override;

private:
    platform::timer m_Timer1;
    leave_order m_order;
    const platform::pointer_source& m_pointer;
};

} // namespace controls
