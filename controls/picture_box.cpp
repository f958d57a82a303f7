#include "picture_box.h"

#include <QPainter>

namespace controls {

picture_box::picture_box(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void picture_box::set_picture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void picture_box::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

} // namespace controls
