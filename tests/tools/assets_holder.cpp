// A static library standing for a control library: it links fennimo_assets
// and reads a picture, and the test executable links only this library.
#include "platform/toolkit/pictures.h"

namespace assets_holder {

QSize title_size()
{
    return platform::picture(QStringLiteral("imgtop1")).size();
}

} // namespace assets_holder
