#include "pictures.h"
#include "test_hooks.h"

#include <map>

namespace platform {

namespace {

std::map<QString, QImage>& overrides()
{
    static std::map<QString, QImage> images;
    return images;
}

} // namespace

QImage picture(const QString& name)
{
    const auto found = overrides().find(name);
    if (found != overrides().end())
        return found->second;
    return QImage(QStringLiteral(":/assets/%1.png").arg(name));
}

void set_picture_override(const QString& name, const QImage& image)
{
    overrides()[name] = image;
}

void clear_picture_override(const QString& name)
{
    overrides().erase(name);
}

void clear_picture_overrides()
{
    overrides().clear();
}

QImage cell_picture(const QImage& strip, int rows, int columns, int index)
{
    if (strip.isNull() || rows <= 0 || columns <= 0 || index < 0 || index >= rows * columns)
        return {};
    const int width = strip.width() / columns;
    const int height = strip.height() / rows;
    return strip.copy((index % columns) * width, (index / columns) * height, width, height);
}

} // namespace platform
