#include "pictures.h"

#include <QImageReader>
#include <map>

namespace platform {

namespace {

// Every control of a kind asks for the same pictures, and a window builds
// many controls; each picture is decoded once and then shared, as QImage
// shares its pixels until one copy is written to.
std::map<QString, QImage>& decoded()
{
    static std::map<QString, QImage> images;
    return images;
}

QImage decode(const QString& name)
{
    // The format is known, so the reader is told it and told not to guess:
    // guessing asks every image plugin installed whether it reads PNG, which
    // loads them all (and the JPEG library with them) for the first picture.
    QImageReader reader(QStringLiteral(":/assets/%1.png").arg(name), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

const QImage& embedded(const QString& name)
{
    auto cached = decoded().find(name);
    if (cached == decoded().end())
        cached = decoded().emplace(name, decode(name)).first;
    return cached->second;
}

} // namespace

QImage picture(const QString& name)
{
    return embedded(name);
}

picture_ref::picture_ref(const QString& name) : m_name(name), m_decoded(false)
{
}

const QImage& picture_ref::image() const
{
    if (!m_decoded) {
        m_image = embedded(m_name);
        m_decoded = true;
    }
    return m_image;
}

const picture_source& embedded_pictures()
{
    static const picture_source embedded;
    return embedded;
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
