#include "xp_canvas.h"

#include "frame/trans_colour.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/units.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

namespace frame {

namespace {

const QColor strip_colour(0, 0, 192);
const QColor body_colour(236, 233, 216);
const QColor caption_colour(255, 255, 255);
// The shadow is the design's black, not the theme's text colour, which a dark
// theme makes white.
const QColor shadow_colour(0, 0, 0);
const QPoint caption_pos(26, 6);
const QPoint shadow_pos(28, 8);
const QRect icon_rect(6, 8, 16, 16);
constexpr int activation_poll_ms = 10;

Qt::CursorShape cursor_for(int pointer)
{
    switch (pointer) {
    case pointer_size_nesw: return Qt::SizeBDiagCursor;
    case pointer_size_ns: return Qt::SizeVerCursor;
    case pointer_size_nwse: return Qt::SizeFDiagCursor;
    case pointer_size_we: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

// Where the system lacks the face, the platform's font substitutes stand in.
QFont caption_font()
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

Qt::Edges resize_edges(int code)
{
    switch (code) {
    case edge_left: return Qt::LeftEdge;
    case edge_right: return Qt::RightEdge;
    case edge_top: return Qt::TopEdge;
    case edge_bottom: return Qt::BottomEdge;
    case edge_bottom_right: return Qt::BottomEdge | Qt::RightEdge;
    case edge_bottom_left: return Qt::BottomEdge | Qt::LeftEdge;
    case edge_top_right: return Qt::TopEdge | Qt::RightEdge;
    default: return Qt::TopEdge | Qt::LeftEdge;
    }
}

// A window dressed by a frame is a frame to screen readers, named by its
// caption; the toolkit would show a borderless plain widget as a filler.
class framed_window_interface : public QAccessibleWidget {
public:
    explicit framed_window_interface(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (const auto* canvas = widget()->findChild<xp_canvas*>(QString(), Qt::FindDirectChildrenOnly))
                return canvas->Caption();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* make_window_interface(const QString&, QObject* object)
{
    auto* window = qobject_cast<QWidget*>(object);
    if (!window || !window->isWindow())
        return nullptr;
    const bool framed = window->findChild<xp_canvas*>(QString(), Qt::FindDirectChildrenOnly);
    return framed ? new framed_window_interface(window) : nullptr;
}

frame_images load_set(const platform::picture_source& pictures, const QString& suffix)
{
    return {
        pictures.lazy(QStringLiteral("imgtop") + suffix),
        pictures.lazy(QStringLiteral("imgtopmax") + suffix),
        pictures.lazy(QStringLiteral("imgleft") + suffix),
        pictures.lazy(QStringLiteral("imgright") + suffix),
        pictures.lazy(QStringLiteral("imgbottom") + suffix),
    };
}

} // namespace

frame_strip::frame_strip(QWidget* parent) : controls::xp_control({}, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(false);
    set_surface_colour(strip_colour);
}

xp_canvas::xp_canvas(QWidget* parent, const platform::picture_source& pictures,
                     const platform::pointer_source& pointer)
    : controls::xp_control({controls::Click_event, controls::DblClick_event, controls::KeyDown_event,
                            controls::KeyPress_event, controls::KeyUp_event, controls::MouseDown_event,
                            controls::MouseMove_event, controls::MouseUp_event, Resize_event},
                           parent),
      m_timer1(activation_poll_ms, true), m_timer2(activation_poll_ms, true), m_pointer(pointer)
{
    m_pictop = new frame_strip(this);
    m_picbottom = new frame_strip(this);
    m_picleft = new frame_strip(this);
    m_picright = new frame_strip(this);

    // The shadow is made first so that the caption lies above it.
    const QFont font = caption_font();
    m_lblshadow = new controls::caption_label(m_pictop);
    m_lblcaption = new controls::caption_label(m_pictop);
    for (controls::caption_label* label : {m_lblshadow, m_lblcaption}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->set_caption_font(font);
        label->set_caption(QStringLiteral("Tavrel"));
    }
    m_lblshadow->set_text_colour(shadow_colour);
    m_lblcaption->set_text_colour(caption_colour);

    m_imgicon = new QLabel(m_pictop);
    m_imgicon->setScaledContents(true);
    m_imgicon->setGeometry(icon_rect);

    // The grips are made last, above the caption and the icon, so that the
    // whole nine-pixel top edge resizes wherever the caption reaches into it.
    for (int code : grip_codes) {
        QWidget* grip = new QWidget(grip_in_bottom_strip(code) ? m_picbottom : m_pictop);
        grip->setGeometry(grip_rect(code, m_pictop->size(), m_picbottom->size(), 0));
        m_imgresize[static_cast<std::size_t>(code)] = grip;
    }

    for (QWidget* element : std::initializer_list<QWidget*>{m_pictop, m_picbottom, m_picleft, m_picright,
                                                            m_lblshadow, m_lblcaption, m_imgicon})
        element->installEventFilter(this);
    for (int code : grip_codes)
        imgresize(code)->installEventFilter(this);

    m_active = load_set(pictures, QStringLiteral("1"));
    m_inactive = load_set(pictures, QStringLiteral("2"));
    m_Image1 = pictures.picture(QStringLiteral("frame_icon"));

    m_timer1.on_timer = [this] { tick_timer1(); };
    m_timer2.on_timer = [this] { tick_timer2(); };

    load_active_images();
    layout_frame();
    // Where a window is shaped by its alpha, it must be made translucent
    // before it is first shown, long before make_trans.
    platform::prepare_shaped_window(host());
    static const bool interfaces = (QAccessible::installFactory(make_window_interface), true);
    (void)interfaces;
    // A screen reader that is listening may have been told of the host as
    // it was made, before it had a frame, and so holds it as a plain widget.
    if (QWidget* h = host(); h && QAccessible::isActive()) {
        QAccessibleInterface* known = QAccessible::queryAccessibleInterface(h);
        if (known && !dynamic_cast<framed_window_interface*>(known))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
    }
}

QWidget* xp_canvas::host() const
{
    return isWindow() ? nullptr : window();
}

QWidget* xp_canvas::imgresize(int code) const
{
    if (code < 0 || code >= static_cast<int>(m_imgresize.size()))
        return nullptr;
    return m_imgresize[static_cast<std::size_t>(code)];
}

QWidget* xp_canvas::edge_element(int code) const
{
    switch (code) {
    case edge_left: return m_picleft;
    case edge_right: return m_picright;
    case edge_bottom: return m_picbottom;
    default: return imgresize(code);
    }
}

std::optional<int> xp_canvas::host_state() const
{
    const QWidget* h = host();
    if (!h)
        return std::nullopt;
    return window_state(h);
}

int xp_canvas::window_state(const QWidget* window)
{
    const Qt::WindowStates states = window->windowState();
    if (states & Qt::WindowMinimized)
        return state_minimised;
    if (states & Qt::WindowMaximized)
        return state_maximised;
    return state_normal;
}

bool xp_canvas::shows_active_look() const
{
    return m_working.top.image().cacheKey() == m_active.top.image().cacheKey();
}

// ---- Images and the layout pass ---------------------------------------

void xp_canvas::show_images(const frame_images& set)
{
    // Plain assignment shares the pictures; nothing is copied or repainted.
    m_working.left = set.left;
    m_working.right = set.right;
    m_working.top = set.top;
    m_working.topmax = set.topmax;
    m_working.bottom = set.bottom;
}

void xp_canvas::load_active_images()
{
    show_images(m_active);
}

void xp_canvas::load_inactive_images()
{
    show_images(m_inactive);
}

void xp_canvas::layout_frame()
{
    set_host_unit();
    prepare_body();
    dock_strips();
    paint_borders();
    paint_title();
    if (const QImage& bottom = m_working.bottom.image(); !bottom.isNull()) {
        const slice_piece whole = whole_piece(bottom.size(), m_picbottom->size());
        m_picbottom->paint(bottom, {&whole, 1});
    }
    place_labels();
    place_grips();
    set_pointers();

    // Pending messages run here, so a timer tick or a nested pass may come
    // in; every step above reads afresh what it needs, so that is harmless.
    platform::yield();

    events().raise(Resize_event.id);
}

void set_drawing_unit_pixels(QWidget* window)
{
    window->setProperty(host_unit_property, static_cast<int>(controls::scale_unit::pixels));
}

void xp_canvas::set_host_unit()
{
    if (QWidget* h = host())
        set_drawing_unit_pixels(h);
}

void xp_canvas::prepare_body()
{
    set_surface_colour(body_colour);
    set_scale_unit(controls::scale_unit::pixels);
    clear_surface();
}

void xp_canvas::dock_strips()
{
    const strip_layout strips = frame_strips(size());
    m_pictop->setGeometry(strips.pictop);
    m_picbottom->setGeometry(strips.picbottom);
    m_picleft->setGeometry(strips.picleft);
    m_picright->setGeometry(strips.picright);
}

void xp_canvas::paint_borders()
{
    const std::pair<frame_strip*, const QImage*> sides[] = {{m_picleft, &m_working.left.image()},
                                                            {m_picright, &m_working.right.image()}};
    for (const auto& [strip, picture] : sides) {
        if (picture->isNull())
            continue;
        const slice_piece whole = whole_piece(picture->size(), strip->size());
        strip->paint(*picture, {&whole, 1});
    }
}

void xp_canvas::paint_title()
{
    // A host whose state cannot be read is taken to be in its normal state.
    const int state = host_state().value_or(state_normal);
    if (state == state_minimised)
        return;
    const QImage& picture = state == state_maximised ? m_working.topmax.image() : m_working.top.image();
    if (picture.isNull())
        return;
    m_pictop->paint(picture, title_pieces(picture.size(), m_pictop->size()));
}

void xp_canvas::place_labels()
{
    m_lblcaption->move(caption_pos);
    m_lblshadow->move(shadow_pos);
}

void xp_canvas::place_grips()
{
    const QWidget* h = host();
    for (int code : grip_codes) {
        // The top-right grip follows the host's width, so it waits for one.
        if (code == edge_top_right && !h)
            continue;
        imgresize(code)->setGeometry(
            grip_rect(code, m_pictop->size(), m_picbottom->size(), h ? h->width() : 0));
    }
}

void xp_canvas::set_pointers()
{
    const int state = host_state().value_or(state_normal);
    for (int code = edge_left; code <= edge_top_left; ++code)
        if (const auto pointer = edge_pointer(code, m_fixed, state))
            edge_element(code)->setCursor(cursor_for(*pointer));
}

void xp_canvas::on_resize()
{
    layout_frame();
}

void xp_canvas::click()
{
    events().raise(controls::dispatch::Click);
}

void xp_canvas::dbl_click()
{
    events().raise(controls::dispatch::DblClick);
}

// ---- Interaction ------------------------------------------------------

bool xp_canvas::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
    if (!mouse)
        return controls::xp_control::eventFilter(watched, event);
    const auto* me = static_cast<QMouseEvent*>(event);
    // The strips, the caption, the icon and the grips are the frame's own
    // face: a press on any of them moves the focus into the frame.
    if (type == QEvent::MouseButtonPress)
        take_click_focus(static_cast<QWidget*>(watched), me->position().toPoint());

    if (watched == m_pictop || watched == m_lblcaption) {
        switch (type) {
        case QEvent::MouseButtonPress:
            caption_drag(me->globalPosition().toPoint());
            if (watched == m_pictop)
                platform::yield();
            break;
        case QEvent::MouseMove:
            if (m_move_anchor)
                manual_move(me->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            m_move_anchor.reset();
            break;
        case QEvent::MouseButtonDblClick:
            maximise_or_restore();
            break;
        default:
            break;
        }
        return true;
    }
    // The shadow and the icon take presses and do nothing with them, rather
    // than let them fall through to the title bar and start a drag.
    if (watched == m_lblshadow || watched == m_imgicon)
        return true;

    for (int code = edge_left; code <= edge_top_left; ++code)
        if (watched == edge_element(code))
            return border_mouse_event(code, event);
    return controls::xp_control::eventFilter(watched, event);
}

bool xp_canvas::border_mouse_event(int code, QEvent* event)
{
    // Any button will do, and the positions come from the pointer itself.
    if (m_fixed)
        return true;
    if (event->type() == QEvent::MouseButtonPress) {
        m_drag_start = m_pointer.position();
        // Where the window cannot be placed by the program, a drag on the
        // left or top edge cannot keep the opposite edge still, and the
        // compositor would undo a size it did not ask for: the compositor
        // resizes instead, and the release has nothing left to do.
        m_system_resize = false;
        QWidget* h = host();
        if (h && !platform::can_place_windows() && window_state(h) == state_normal && h->windowHandle())
            m_system_resize = h->windowHandle()->startSystemResize(resize_edges(code));
    } else if (m_system_resize) {
        if (event->type() == QEvent::MouseButtonRelease)
            m_system_resize = false;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        m_drag_end = m_pointer.position();
        resize_host(host(), m_drag_start, m_drag_end, code);
    }
    return true;
}

void xp_canvas::caption_drag(QPoint global_pos)
{
    QWidget* h = host();
    if (!h || host_state() != state_normal)
        return;
    // The window manager moves the window itself where it can; otherwise the
    // frame follows the pointer until the button is let go.
    QWindow* handle = h->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_move_anchor = global_pos;
    m_move_origin = h->pos();
}

void xp_canvas::manual_move(QPoint global_pos)
{
    if (QWidget* h = host())
        h->move(m_move_origin + (global_pos - *m_move_anchor));
}

void xp_canvas::maximise_or_restore()
{
    QWidget* h = host();
    if (m_fixed || !h)
        return;
    h->setWindowState(host_state() == state_normal ? Qt::WindowMaximized : Qt::WindowNoState);
}

void xp_canvas::resize_host(QWidget* h, QPoint start, QPoint end, int code)
{
    if (!h)
        return;
    const double tx = platform::twips_per_pixel_x();
    const double ty = platform::twips_per_pixel_y();
    const QRect now = h->geometry();
    const twips_geometry current{static_cast<float>(now.x() * tx), static_cast<float>(now.y() * ty),
                                 static_cast<float>(now.width() * tx), static_cast<float>(now.height() * ty)};
    const auto wanted = resized_geometry(current, start, end, code, tx, ty);
    if (!wanted)
        return;
    // The window refuses a negative size, and any move while it is maximised
    // or minimised; the refusal is swallowed and the geometry stays.
    if (wanted->width < 0 || wanted->height < 0)
        return;
    if (window_state(h) != state_normal || h->isFullScreen())
        return;
    h->setGeometry(platform::twips_to_pixels_x(wanted->left), platform::twips_to_pixels_y(wanted->top),
                   platform::twips_to_pixels_x(wanted->width), platform::twips_to_pixels_y(wanted->height));
}

// ---- Activation -------------------------------------------------------

void xp_canvas::tick_timer1()
{
    if (!m_timer1.enabled())
        return;
    // With no active window at all the host is certainly not active.
    if (QApplication::activeWindow() == window())
        return;
    load_inactive_images();
    layout_frame();
    m_timer1.set_enabled(false);
}

void xp_canvas::tick_timer2()
{
    if (!m_timer2.enabled())
        return;
    const QWidget* active = QApplication::activeWindow();
    if (!active || active != window())
        return;
    load_active_images();
    layout_frame();
    m_timer2.set_enabled(false);
}

void xp_canvas::focus_entered()
{
    m_timer1.set_enabled(false);
    load_active_images();
    layout_frame();
}

void xp_canvas::SetFocus()
{
    m_timer1.set_enabled(false);
    m_timer2.set_enabled(false);
    load_active_images();
    layout_frame();
}

void xp_canvas::focusInEvent(QFocusEvent* event)
{
    // None of the frame's own pieces takes the focus, so the focus entering
    // the frame and the frame itself receiving it are the same moment.
    focus_entered();
    SetFocus();
    controls::xp_control::focusInEvent(event);
}

void xp_canvas::focusOutEvent(QFocusEvent* event)
{
    // When the whole window is deactivated the focus stays with the frame as
    // far as the window is concerned; only a move to another control counts.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        m_timer1.set_enabled(true);
        m_timer2.set_enabled(true);
    }
    controls::xp_control::focusOutEvent(event);
}

// ---- Properties -------------------------------------------------------

QString xp_canvas::Caption() const
{
    return m_lblcaption->text();
}

void xp_canvas::set_Caption(const QString& caption)
{
    m_lblcaption->set_caption(caption);
    m_lblshadow->set_caption(caption);
    QWidget* h = host();
    if (!h)
        return;
    h->setWindowTitle(caption);
    layout_frame();
    notify_changed("Caption");
}

void xp_canvas::set_Icon(const QImage& icon)
{
    m_icon = icon;
    m_imgicon->setPixmap(QPixmap::fromImage(icon));
    notify_changed("Icon");
}

void xp_canvas::set_Fixed_Single(bool fixed)
{
    m_fixed = fixed;
    layout_frame();
}

std::span<const controls::stored_property> xp_canvas::stored_properties() const
{
    // Saved and loaded in this order; a new frame is fixed or not before it
    // gets its icon.
    using namespace controls;
    static const stored_property rows[] = {
        {"Caption", host_name, get<&xp_canvas::Caption>, set<&xp_canvas::set_Caption>},
        {"Icon", get<&xp_canvas::m_Image1>, get<&xp_canvas::m_icon>, set<&xp_canvas::set_Icon>, nullptr, -1, 2},
        {"Fixed_Single", fixed<false>, get<&xp_canvas::m_fixed>, set<&xp_canvas::set_Fixed_Single>, nullptr, -1, 1},
    };
    return rows;
}

// ---- Shape ------------------------------------------------------------

void xp_canvas::make_trans(QWidget* h)
{
    if (!h)
        return;
    // The host's own surface lies under the frame; it is built here from the
    // host's background and the two title corners. Only the rows the key is
    // looked for in matter to the shape, so only those are made: a surface
    // the size of the window would be megabytes filled for nothing.
    QImage surface(QSize(h->width(), std::min(h->height(), key_scan_rows)).expandedTo(QSize(1, 1)),
                   QImage::Format_RGB32);
    surface.fill(h->palette().color(h->backgroundRole()));
    set_drawing_unit_pixels(h);
    const QImage& top = m_working.top.image();
    if (window_state(h) == state_normal && !top.isNull())
        controls::paint_pieces(surface, top, title_corner_pieces(top.size(), m_pictop->size()));
    apply_key_region(h, surface, key_colour);
    // A translucent window shows what is painted on it; the frame, which
    // covers it, leaves the cut pixels unpainted so that they stay clear.
    if (platform::shapes_by_alpha() && h->isAncestorOf(this)) {
        if (h->mask().isEmpty())
            clearMask();
        else
            setMask(h->mask().translated(-mapTo(h, QPoint(0, 0))));
    }
}

} // namespace frame
