#include "pictures.h"
#include "test_hooks.h"

#include <QImageReader>
#include <map>

namespace platform {

namespace {

std::map<QString, QImage>& overrides()
{
    static std::map<QString, QImage> images;
    return images;
}

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
    const auto found = overrides().find(name);
    if (found != overrides().end())
        return found->second;
    return embedded(name);
}

picture_ref::picture_ref(const QString& name)
{
    // A stand-in is taken now, as picture() would; the embedded picture
    // cannot change, so it can wait.
    const auto found = overrides().find(name);
    if (found != overrides().end()) {
        m_image = found->second;
    } else {
        m_name = name;
        m_decoded = false;
    }
}

const QImage& picture_ref::image() const
{
    if (!m_decoded) {
        m_image = embedded(m_name);
        m_decoded = true;
    }
    return m_image;
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
