#include "frame_geometry.h"

#include <QPoint>

namespace frame {

strip_layout frame_strips(QSize frame_size)
{
    const int w = frame_size.width();
    const int h = frame_size.height();
    const int side_height = h - title_height - border_width;
    return {
        QRect(0, 0, w, title_height),
        QRect(0, h - border_width, w, border_width),
        QRect(0, title_height, border_width, side_height),
        QRect(w - border_width, title_height, border_width, side_height),
        QRect(border_width, title_height, w - 2 * border_width, side_height),
    };
}

slice_piece whole_piece(QSize picture, QSize strip)
{
    return {QRectF(QPointF(0, 0), strip), QRectF(QPointF(0, 0), picture)};
}

std::array<slice_piece, 2> title_corner_pieces(QSize picture, QSize strip)
{
    const int c = title_corner_width;
    return {{
        {QRectF(0, 0, c, strip.height()), QRectF(0, 0, c, picture.height())},
        {QRectF(strip.width() - c, 0, c, strip.height()), QRectF(picture.width() - c, 0, c, picture.height())},
    }};
}

std::array<slice_piece, 3> title_pieces(QSize picture, QSize strip)
{
    const int c = title_corner_width;
    const auto corners = title_corner_pieces(picture, strip);
    const slice_piece middle{QRectF(c, 0, strip.width() - 2 * c, strip.height()),
                             QRectF(c, 0, picture.width() - 2 * c, picture.height())};
    return {corners[0], middle, corners[1]};
}

bool grip_in_bottom_strip(int code)
{
    return code == edge_bottom_left || code == edge_bottom_right;
}

QRect grip_rect(int code, QSize pictop, QSize picbottom, int host_client_width)
{
    switch (code) {
    case edge_top_left:
        return {0, 0, grip_size, grip_size};
    case edge_top:
        return {grip_size, 0, pictop.width() - 2 * grip_size, grip_size};
    case edge_top_right:
        return {host_client_width - grip_size, 0, grip_size, grip_size};
    case edge_bottom_left:
        return {0, 0, grip_size, grip_size};
    case edge_bottom_right:
        return {picbottom.width() - grip_size, picbottom.height() - grip_size, grip_size, grip_size};
    default:
        return {};
    }
}

std::optional<int> edge_pointer(int code, bool fixed_single, int host_state)
{
    if (fixed_single || host_state == state_maximised)
        return pointer_default;
    if (host_state == state_minimised)
        return std::nullopt;
    switch (code) {
    case edge_left:
    case edge_right:
        return pointer_size_we;
    case edge_top:
    case edge_bottom:
        return pointer_size_ns;
    case edge_bottom_right:
    case edge_top_left:
        return pointer_size_nwse;
    case edge_bottom_left:
    case edge_top_right:
        return pointer_size_nesw;
    default:
        return pointer_default;
    }
}

std::optional<twips_geometry> resized_geometry(const twips_geometry& g, QPoint start, QPoint end, int code,
                                               double twips_per_pixel_x, double twips_per_pixel_y)
{
    const double dx = static_cast<double>(end.x() - start.x()) * twips_per_pixel_x;
    const double dy = static_cast<double>(end.y() - start.y()) * twips_per_pixel_y;

    // Which of the four sides move with the pointer, by edge code.
    bool left = false, right = false, top = false, bottom = false;
    switch (code) {
    case edge_left: left = true; break;
    case edge_right: right = true; break;
    case edge_top: top = true; break;
    case edge_bottom: bottom = true; break;
    case edge_bottom_right: right = bottom = true; break;
    case edge_bottom_left: left = bottom = true; break;
    case edge_top_right: top = right = true; break;
    case edge_top_left: left = top = true; break;
    default: return std::nullopt;
    }

    twips_geometry result = g;
    if (left) {
        result.left = static_cast<float>(g.left + dx);
        result.width = static_cast<float>(g.width - dx);
    }
    if (right)
        result.width = static_cast<float>(g.width + dx);
    if (top) {
        result.top = static_cast<float>(g.top + dy);
        result.height = static_cast<float>(g.height - dy);
    }
    if (bottom)
        result.height = static_cast<float>(g.height + dy);
    return result;
}

} // namespace frame
