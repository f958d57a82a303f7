#include "xp_control.h"

#include "controls/accessibility.h"
#include "controls/key_and_button_codes.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <vector>

namespace controls {

xp_control::xp_control(std::initializer_list<event_decl> raised, QWidget* parent)
    : QWidget(parent), m_events(raised), m_font(QApplication::font())
{
    setMouseTracking(true);
    // Not Qt::StrongFocus: the toolkit hands a click on a hosted child that
    // takes no focus (a label, a plain frame) to the nearest ancestor that
    // takes click focus, which would move the focus on a click that must
    // not. A press on the control's own face takes the focus instead.
    setFocusPolicy(Qt::TabFocus);
    install_accessibility();
}

void xp_control::place(platform::property_bag* bag, placement how)
{
    attach(bag);
    if (how == placement::new_instance)
        init_new();
    else
        load();
    // The first layout runs now, not again when the window is shown.
    setAttribute(Qt::WA_PendingResizeEvent, false);
    on_resize();
}

void xp_control::set_Enabled(bool enabled)
{
    // Setting the property shows the state even when it stays as it was,
    // which Qt does not report as a change.
    const bool was = isEnabled();
    setEnabled(enabled);
    if (isEnabled() == was)
        enabled_changed();
    if (m_tells_host_of_enabled)
        notify_changed("Enabled");
}

void xp_control::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        enabled_changed();
    QWidget::changeEvent(e);
}

// --- Scale units ---------------------------------------------------------

double xp_control::units_per_pixel_x() const
{
    return m_unit == scale_unit::twips ? platform::twips_per_pixel_x() : 1.0;
}

double xp_control::units_per_pixel_y() const
{
    return m_unit == scale_unit::twips ? platform::twips_per_pixel_y() : 1.0;
}

double xp_control::scale_width() const { return width() * units_per_pixel_x(); }
double xp_control::scale_height() const { return height() * units_per_pixel_y(); }

QPointF xp_control::to_scale(QPointF pixels) const
{
    return {pixels.x() * units_per_pixel_x(), pixels.y() * units_per_pixel_y()};
}

int xp_control::to_pixels_x(double v) const { return static_cast<int>(std::lround(v / units_per_pixel_x())); }
int xp_control::to_pixels_y(double v) const { return static_cast<int>(std::lround(v / units_per_pixel_y())); }

// --- Notifications: by default the report goes straight to the host ------

void xp_control::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    m_events.raise_mouse(dispatch::MouseDown, button, shift, x, y);
}

void xp_control::mouse_move(std::int16_t button, std::int16_t shift, float x, float y)
{
    m_events.raise_mouse(dispatch::MouseMove, button, shift, x, y);
}

void xp_control::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    m_events.raise_mouse(dispatch::MouseUp, button, shift, x, y);
}

void xp_control::key_down(std::int16_t key_code, std::int16_t shift)
{
    m_events.raise_key(dispatch::KeyDown, key_code, shift);
}

void xp_control::key_press(std::int16_t key_ascii)
{
    m_events.raise_key_press(key_ascii);
}

void xp_control::key_up(std::int16_t key_code, std::int16_t shift)
{
    m_events.raise_key(dispatch::KeyUp, key_code, shift);
}

void xp_control::keep_fixed_size(double width_twips, double height_twips)
{
    // A shown control hears of each change at once and answers it again; by
    // then the size is the fixed one, so that answer changes nothing. A
    // hidden one hears of it when it is shown.
    resize(width(), platform::twips_to_pixels_y(height_twips));
    resize(platform::twips_to_pixels_x(width_twips), height());
}

// --- Display ---------------------------------------------------------------

void xp_control::show_face(const QImage& face)
{
    m_face = face;
    update();
}

namespace {

// A recipe holds no more paints than this; past it the surface is drawn and
// painted on directly. A face that changes back and forth (a button under
// the pointer) would otherwise keep every face it ever showed.
constexpr std::size_t max_recipe_paints = 16;

// The system's focus rectangle: every other pixel of the outline, starting
// at the top-left corner, in the caption's black.
void draw_focus_mark(QPainter& painter, const QRect& r)
{
    painter.setPen(QColor(0, 0, 0));
    const auto dot = [&](int x, int y) {
        if ((x - r.left() + y - r.top()) % 2 == 0)
            painter.drawPoint(x, y);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}

bool same_rect(const QRectF& a, const QRectF& b)
{
    // Exactly, not QRectF's fuzzy equality: a hair's difference can move a
    // stretched pixel.
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

// Whether the paint replaces every pixel of a surface of the given size, so
// that what the surface held before no longer shows. Pieces are drawn with
// the source's pixels replacing the surface's, transparent ones included, so
// only where they reach counts: pieces on whole pixels, taken from inside
// the picture, that together leave no pixel out.
bool covers_surface(QSize size, const QImage& source, std::span<const slice_piece> pieces)
{
    if (source.isNull())
        return false;
    QRegion left(QRect(QPoint(0, 0), size));
    for (const slice_piece& piece : pieces) {
        const QRectF& to = piece.destination;
        if (to.width() <= 0 || to.height() <= 0 || piece.source.width() <= 0 || piece.source.height() <= 0)
            continue;
        const QRect whole = to.toRect();
        if (!same_rect(QRectF(whole), to) || !QRectF(source.rect()).contains(piece.source))
            return false;
        left -= whole;
    }
    return left.isEmpty();
}

} // namespace

bool xp_control::surface_paint::same_as(const QImage& other_source, std::span<const slice_piece> other_pieces) const
{
    if (!std::equal(pieces.begin(), pieces.end(), other_pieces.begin(), other_pieces.end(),
                    [](const slice_piece& a, const slice_piece& b) {
                        return same_rect(a.destination, b.destination) && same_rect(a.source, b.source);
                    }))
        return false;
    return source.cacheKey() == other_source.cacheKey() || source == other_source;
}

bool xp_control::recipe_fits() const
{
    // A control of no width or height still has a one-pixel surface, which
    // every paint grows afresh; that is left to the direct way.
    return m_recipe && !size().isEmpty() && m_recipe->size == size();
}

void xp_control::draw_recipe() const
{
    if (!m_recipe)
        return;
    const surface_recipe& recipe = *m_recipe;
    std::size_t done = 0;
    // The drawn surface is reused when the recipe only adds paints to it.
    const bool extends = m_drawn && m_drawn->size == recipe.size && m_drawn->colour == recipe.colour
                         && m_drawn->paints.size() <= recipe.paints.size()
                         && std::equal(m_drawn->paints.begin(), m_drawn->paints.end(), recipe.paints.begin(),
                                       [](const surface_paint& a, const surface_paint& b) {
                                           return a.same_as(b.source, b.pieces);
                                       });
    if (extends) {
        done = m_drawn->paints.size();
    } else {
        if (m_canvas.size() != recipe.size || m_canvas.format() != QImage::Format_ARGB32_Premultiplied)
            m_canvas = QImage(recipe.size, QImage::Format_ARGB32_Premultiplied);
        const bool covered = !recipe.paints.empty()
                             && covers_surface(recipe.size, recipe.paints.front().source, recipe.paints.front().pieces);
        if (!covered)
            m_canvas.fill(recipe.colour);
    }
    for (std::size_t i = done; i < recipe.paints.size(); ++i)
        controls::paint_pieces(m_canvas, recipe.paints[i].source, recipe.paints[i].pieces);
    m_drawn = recipe;
}

const QImage& xp_control::surface_canvas() const
{
    draw_recipe();
    return m_canvas;
}

QImage& xp_control::canvas()
{
    // The caller draws on the surface directly, so the recipe is drawn first
    // and given up.
    draw_recipe();
    m_recipe.reset();
    m_drawn.reset();
    // The surface keeps its drawing across resizes, as the platform's kept
    // drawing does: what was drawn stays, new area shows the back colour.
    if (m_canvas.size() != size()) {
        QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        grown.fill(surface_colour());
        if (!m_canvas.isNull()) {
            QPainter painter(&grown);
            painter.drawImage(0, 0, m_canvas);
        }
        m_canvas = grown;
    }
    return m_canvas;
}

void xp_control::paint_pieces(const QImage& source, std::span<const slice_piece> pieces)
{
    if (!size().isEmpty()) {
        if (covers_surface(size(), source, pieces)) {
            // Nothing drawn before shows through a paint over the whole
            // surface: the recipe starts afresh from it.
            const bool again = recipe_fits() && m_recipe->paints.size() == 1
                               && m_recipe->paints.front().same_as(source, pieces);
            if (!again)
                m_recipe = surface_recipe{size(), surface_colour(), {{source, {pieces.begin(), pieces.end()}}}};
            update();
            return;
        }
        // A surface never drawn on starts as the back colour, which a recipe
        // says as well as an image.
        if (!m_recipe && m_canvas.isNull())
            m_recipe = surface_recipe{size(), surface_colour(), {}};
    }
    if (recipe_fits()) {
        // The same paint twice in a row leaves the surface as the first one
        // did: every pixel it reaches is replaced by the same pixel.
        std::vector<surface_paint>& paints = m_recipe->paints;
        const bool again = !paints.empty() && paints.back().same_as(source, pieces);
        if (again || paints.size() < max_recipe_paints) {
            if (!again)
                paints.push_back({source, {pieces.begin(), pieces.end()}});
            update();
            return;
        }
    }
    controls::paint_pieces(canvas(), source, pieces);
    update();
}

void xp_control::clear_surface()
{
    // Clearing replaces every pixel, whatever the surface held before.
    m_recipe = surface_recipe{size().expandedTo(QSize(1, 1)), surface_colour(), {}};
    update();
}

void xp_control::set_surface_colour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
}

QColor xp_control::surface_colour() const
{
    return palette().color(QPalette::Window);
}

void xp_control::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_recipe && m_recipe->paints.empty() && m_recipe->colour.alpha() == 255) {
        // A surface that is one opaque colour puts the same pixels on the
        // screen as a fill, without an image the size of the control.
        painter.fillRect(QRect(QPoint(0, 0), m_recipe->size), m_recipe->colour);
    } else {
        draw_recipe();
        if (!m_canvas.isNull())
            painter.drawImage(0, 0, m_canvas);
    }
    if (!m_face.isNull())
        painter.drawImage(0, 0, m_face);
    if (shows_focus_mark())
        draw_focus_mark(painter, focus_mark_rect());
}

bool xp_control::shows_focus_mark() const
{
    return (hasFocus() || m_focus_mark_shown) && !focus_mark_rect().isEmpty();
}

void xp_control::show_focus_mark(bool shown)
{
    m_focus_mark_shown = shown;
    update();
}

void xp_control::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void xp_control::focusOutEvent(QFocusEvent* e)
{
    // A Space let go elsewhere clicks nothing; the face it pressed is let
    // go with the focus.
    if (m_space_held) {
        m_space_held = false;
        release_face();
    }
    update();
    QWidget::focusOutEvent(e);
}

void xp_control::resizeEvent(QResizeEvent*)
{
    on_resize();
}

void xp_control::showEvent(QShowEvent*)
{
    on_show();
}

void xp_control::share_font(const QFont& font, caption_label* label)
{
    m_font = font;
    setFont(m_font);
    if (label)
        label->set_caption_font(m_font);
}

// --- Persistence -------------------------------------------------------------

QVariant xp_control::read(const char* key, const QVariant& default_value) const
{
    return m_bag ? m_bag->read(QString::fromLatin1(key), default_value) : default_value;
}

void xp_control::write(const char* key, const QVariant& value, const QVariant& default_value)
{
    if (m_bag)
        m_bag->write(QString::fromLatin1(key), value, default_value);
}

void xp_control::notify_changed(const char* property) const
{
    if (m_bag)
        m_bag->property_changed(QString::fromLatin1(property));
}

namespace {

// The rows in the order of one sequence: by the place given for it, else by
// their place in the list.
std::vector<const stored_property*> in_order(std::span<const stored_property> rows, int stored_property::*at)
{
    std::vector<const stored_property*> ordered;
    for (const stored_property& row : rows)
        ordered.push_back(&row);
    const auto place = [&](const stored_property* row) {
        return row->*at >= 0 ? row->*at : static_cast<int>(row - rows.data());
    };
    std::stable_sort(ordered.begin(), ordered.end(), [&](auto* a, auto* b) { return place(a) < place(b); });
    return ordered;
}

} // namespace

void xp_control::init_new()
{
    for (const stored_property* row : in_order(stored_properties(), &stored_property::init_at))
        (row->init ? row->init : row->load)(*this, row->fallback(*this));
}

void xp_control::load()
{
    for (const stored_property* row : in_order(stored_properties(), &stored_property::load_at))
        row->load(*this, read(row->key, row->fallback(*this)));
}

void xp_control::save()
{
    for (const stored_property& row : stored_properties())
        write(row.key, row.get(*this), row.fallback(*this));
}

QVariant host_name(const xp_control& control)
{
    return control.ambient_display_name();
}

QVariant host_font(const xp_control& control)
{
    return control.ambient_font();
}

QString xp_control::ambient_display_name() const
{
    return m_bag ? m_bag->ambient_display_name : objectName();
}

QFont xp_control::ambient_font() const
{
    return m_bag ? m_bag->ambient_font : QApplication::font();
}

// --- The toolkit's reports, translated ---------------------------------------

void xp_control::mousePressEvent(QMouseEvent* e) { translate_mouse(this, e, to_scale(e->position()), {}); }
void xp_control::mouseMoveEvent(QMouseEvent* e) { translate_mouse(this, e, to_scale(e->position()), {}); }
void xp_control::mouseReleaseEvent(QMouseEvent* e) { translate_mouse(this, e, to_scale(e->position()), {}); }
void xp_control::mouseDoubleClickEvent(QMouseEvent* e) { translate_mouse(this, e, to_scale(e->position()), {}); }

// What a report on the surface or on a forwarded child means. A click needs
// a left press and a left release over the same element; the second press
// of a double click is reported as the double click alone, with no
// MouseDown, and the release after it makes no click.
void xp_control::translate_mouse(QWidget* element, QMouseEvent* e, QPointF point, std::optional<QPointF> move_point)
{
    const std::int16_t shift = shift_bits(e->modifiers());
    const bool left = e->button() == Qt::LeftButton;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        take_click_focus(element, e->position().toPoint());
        m_press_pending = left;
        m_click_candidate = element;
        mouse_down(button_bits(e->button()), shift, float(point.x()), float(point.y()));
        break;
    case QEvent::MouseMove: {
        const QPointF at = move_point.value_or(point);
        mouse_move(button_bits(e->buttons()), shift, float(at.x()), float(at.y()));
        break;
    }
    case QEvent::MouseButtonRelease: {
        const bool clicked = left && m_press_pending && m_click_candidate == element
                             && element->rect().contains(e->position().toPoint());
        if (left)
            m_press_pending = false;
        mouse_up(button_bits(e->button()), shift, float(point.x()), float(point.y()));
        if (clicked)
            element == this ? click() : child_click(element);
        break;
    }
    case QEvent::MouseButtonDblClick:
        m_press_pending = false;
        if (left)
            element == this ? dbl_click() : child_dbl_click(element);
        break;
    default:
        break;
    }
}

void xp_control::take_click_focus(QWidget* element, QPoint at)
{
    // A press that reaches the surface over a hosted child, one that is not
    // part of the face, was passed up by that child, which ignored it: the
    // control was not pressed itself.
    bool own_face = true;
    if (element == this) {
        QWidget* hit = childAt(at);
        own_face = !hit;
        for (; hit && hit != this && !own_face; hit = hit->parentWidget())
            own_face = m_forwarded.contains(hit);
    }
    if (own_face && (focusPolicy() & Qt::TabFocus) && !hasFocus())
        setFocus(Qt::MouseFocusReason);
}

void xp_control::keyPressEvent(QKeyEvent* e)
{
    key_down(key_code(e->key()), shift_bits(e->modifiers()));
    if (!e->text().isEmpty())
        key_press(static_cast<std::int16_t>(e->text().at(0).unicode()));
    e->accept();
    // A handler of the key events may have disabled the control or moved
    // the focus; then the key clicks nothing.
    if (m_key_click == key_click::none || !isEnabled() || !hasFocus() || e->isAutoRepeat())
        return;
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier) {
        m_space_held = true;
        press_face();
    } else if (m_key_click == key_click::space_and_enter && !m_space_held
               && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        click();
    }
}

void xp_control::keyReleaseEvent(QKeyEvent* e)
{
    if (!e->isAutoRepeat())
        key_up(key_code(e->key()), shift_bits(e->modifiers()));
    e->accept();
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && m_space_held) {
        m_space_held = false;
        release_face();
        if (isEnabled())
            click();
    }
}

// --- Children that are part of the face --------------------------------------

void xp_control::forward_input(QWidget* child, child_move move, child_unit unit)
{
    m_forwarded[child] = {move, unit};
    child->setMouseTracking(true);
    // Only watched children are ever looked up, so an entry outliving its
    // child is never consulted again.
    child->installEventFilter(this);
}

bool xp_control::eventFilter(QObject* watched, QEvent* e)
{
    const auto found = m_forwarded.find(static_cast<QWidget*>(watched));
    const bool mouse = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseMove
                       || e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::MouseButtonDblClick;
    if (found == m_forwarded.end() || !mouse)
        return QWidget::eventFilter(watched, e);
    QWidget* child = found->first;
    auto* me = static_cast<QMouseEvent*>(e);
    const QPointF own = found->second.unit == child_unit::pixels ? me->position() : to_scale(me->position());
    std::optional<QPointF> move_point;
    if (found->second.move == child_move::at_corner)
        move_point = to_scale(QPointF(child->pos()));
    translate_mouse(child, me, own, move_point);
    return true;
}

// --- Hover tracking ------------------------------------------------------------

hover_control::hover_control(std::initializer_list<event_decl> raised, bool poll_from_creation, leave_order order,
                             QWidget* parent, const platform::pointer_source& pointer)
    : xp_control(raised, parent), m_Timer1(10, false), m_order(order), m_pointer(pointer)
{
    m_Timer1.on_timer = [this] { hover_tick(); };
    m_Timer1.set_enabled(poll_from_creation);
    platform::follow_pointer_across_windows();
}

void hover_control::hover_tick()
{
    // A tick that the stopped timer would never have given is ignored, so a
    // stray or hand-driven tick cannot raise a second MouseOut.
    if (!m_Timer1.enabled())
        return;
    before_poll();
    const QPoint p = platform::screen_to_client(this, m_pointer.position());
    // The point is in pixels and is compared with the scale rectangle as it
    // stands; the controls that poll keep their surface in pixels by now.
    const double x = p.x();
    const double y = p.y();
    // Edges are inside: a point at x = width, one pixel past the last
    // column, still counts as over the control.
    const bool outside = x < scale_left() || y < scale_top() || x > scale_left() + scale_width()
                         || y > scale_top() + scale_height();
    if (outside || !m_pointer.in_program())
        pointer_left();
}

void hover_control::pointer_left()
{
    if (!m_Timer1.enabled())
        return;
    if (m_order == leave_order::draw_stop_raise) {
        draw_rest_face();
        m_Timer1.set_enabled(false);
        events().raise(dispatch::MouseOut);
    } else {
        m_Timer1.set_enabled(false);
        events().raise(dispatch::MouseOut);
        draw_rest_face();
    }
}

void hover_control::leaveEvent(QEvent* e)
{
    // Exactly what the tick that would have found the pointer gone does.
    if (m_Timer1.enabled()) {
        before_poll();
        pointer_left();
    }
    xp_control::leaveEvent(e);
}

void hover_control::mouse_move(std::int16_t button, std::int16_t shift, float x, float y)
{
    track_move(button, shift, x, y);
}

void hover_control::track_move(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (!m_Timer1.enabled())
        m_Timer1.set_enabled(true);
    const bool inside = x >= 0 && x <= scale_width() && y >= 0 && y <= scale_height();
    if (!inside)
        return;
    events().raise_mouse(dispatch::MouseMove, button, shift, x, y);
    show_tracking_face(button == 1);
}

} // namespace controls
