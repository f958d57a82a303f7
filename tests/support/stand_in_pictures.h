#pragma once

// Pictures of a test's own in place of the embedded ones, so that a test can
// tell cells apart by colour; a null image stands for a picture that is
// missing. A name the test gave no picture keeps the embedded one. The
// controls made with it take their pictures as they are made.

#include "platform/toolkit/pictures.h"

#include <map>

namespace fixture {

class stand_in_pictures final : public platform::picture_source {
public:
    void set(const QString& name, const QImage& image) { m_images[name] = image; }
    void clear(const QString& name) { m_images.erase(name); }
    void clear() { m_images.clear(); }

    QImage picture(const QString& name) const override
    {
        const auto found = m_images.find(name);
        return found != m_images.end() ? found->second : platform::picture(name);
    }
    platform::picture_ref lazy(const QString& name) const override
    {
        const auto found = m_images.find(name);
        return found != m_images.end() ? platform::picture_ref(found->second) : platform::picture_ref(name);
    }

private:
    std::map<QString, QImage> m_images;
};

} // namespace fixture
