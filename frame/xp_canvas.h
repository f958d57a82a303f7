#pragma once

// The window frame: an XP title bar, borders, icon and caption drawn inside a
// borderless host window, which it lets the user move, resize, maximise and
// restore, and which turns pale while another window of the application is
// the active one. The host places all of its own controls inside the frame;
// they lie on the body and are positioned relative to its top-left corner.

#include "controls/caption_label.h"
#include "controls/xp_control.h"
#include "frame/frame_geometry.h"
#include "platform/toolkit/message_loop.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <array>
#include <optional>
#include <span>

class QLabel;

namespace frame {

// The frame's own event, raised at the end of every layout pass.
inline constexpr controls::event_decl Resize_event{"Resize", 1};

// The dynamic property that holds a host window's drawing unit (a
// controls::scale_unit), which the layout pass leaves at pixels.
inline constexpr char host_unit_property[] = "scale_unit";
void set_drawing_unit_pixels(QWidget* window);

// One border strip: a child window that keeps what is painted on it until it
// is painted over, as the layout pass paints each strip only when it runs.
// Its mouse input belongs to the frame.
class frame_strip : public controls::xp_control {
public:
    explicit frame_strip(QWidget* parent);

    void paint(const QImage& picture, std::span<const slice_piece> pieces) { paint_pieces(picture, pieces); }
};

// The pictures of one look of the frame, each decoded when it is first
// drawn: a window may never be maximised or lose the focus. Copies share the
// pixels.
struct frame_images {
    platform::picture_ref top, topmax, left, right, bottom;
};

class xp_canvas : public controls::xp_control {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made.
    explicit xp_canvas(QWidget* parent = nullptr,
                       const platform::picture_source& pictures = platform::embedded_pictures(),
                       const platform::pointer_source& pointer = platform::system_pointer());

    // Properties, read and set as the host sees them.
    QString Caption() const;
    void set_Caption(const QString& caption);
    QImage Icon() const { return m_icon; }
    void set_Icon(const QImage& icon);
    bool Fixed_Single() const { return m_fixed; }
    void set_Fixed_Single(bool fixed);

    // Shows the active look at once; the keyboard focus stays where it is.
    void SetFocus();

    // Cuts the pixels outside the title's curved corners out of the host's
    // shape. The host must be borderless for the shape to line up.
    void make_trans(QWidget* host);

    // Sizes, places and paints every piece of the frame, then tells the host.
    void layout_frame();
    void load_active_images();
    void load_inactive_images();

    // Moves and sizes the host by the pointer's travel from `start` to `end`
    // (screen pixels) on the given edge.
    void resize_host(QWidget* host, QPoint start, QPoint end, int code);

    // The window the frame dresses; none while the frame stands alone.
    QWidget* host() const;

    std::span<const controls::stored_property> stored_properties() const override;

    // Presses and clicks on the body go to the host unchanged.
    void click() override;
    void dbl_click() override;
    void on_resize() override;

    // The constituent pieces, for the host's inspection and for tests.
    frame_strip* pictop() const { return m_pictop; }
    frame_strip* picbottom() const { return m_picbottom; }
    frame_strip* picleft() const { return m_picleft; }
    frame_strip* picright() const { return m_picright; }
    controls::caption_label* lblcaption() const { return m_lblcaption; }
    controls::caption_label* lblshadow() const { return m_lblshadow; }
    QLabel* imgicon() const { return m_imgicon; }
    QWidget* imgresize(int code) const;
    // The border strip or grip that drags the given edge.
    QWidget* edge_element(int code) const;
    platform::timer& Timer1() { return m_timer1; }
    platform::timer& Timer2() { return m_timer2; }
    QPoint drag_start() const { return m_drag_start; }
    QPoint drag_end() const { return m_drag_end; }
    bool shows_active_look() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The layout pass, a step each.
    void set_host_unit();
    void prepare_body();
    void dock_strips();
    void paint_borders();
    void paint_title();
    void place_labels();
    void place_grips();
    void set_pointers();

    std::optional<int> host_state() const;
    static int window_state(const QWidget* window);
    void show_images(const frame_images& set);

    void caption_drag(QPoint global_pos);
    void maximise_or_restore();
    void manual_move(QPoint global_pos);
    bool border_mouse_event(int code, QEvent* event);

    void tick_timer1();
    void tick_timer2();
    void focus_entered();

    frame_strip* m_pictop;
    frame_strip* m_picbottom;
    frame_strip* m_picleft;
    frame_strip* m_picright;
    controls::caption_label* m_lblshadow;
    controls::caption_label* m_lblcaption;
    QLabel* m_imgicon;
    std::array<QWidget*, 8> m_imgresize{};

    frame_images m_working;
    frame_images m_active;
    frame_images m_inactive;
    QImage m_Image1;

    QImage m_icon;
    bool m_fixed = false;
    QPoint m_drag_start;
    QPoint m_drag_end;

    // Where the pointer and the host were when a caption drag began that the
    // window manager would not take over; the frame then moves the host.
    std::optional<QPoint> m_move_anchor;
    QPoint m_move_origin;
    // The compositor resizes the host for the border drag under way.
    bool m_system_resize = false;

    platform::timer m_timer1;
    platform::timer m_timer2;
    const platform::pointer_source& m_pointer;
};

} // namespace frame
