#include "fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace platform {

void install_font_substitutes()
{
    // AR PL UMing CN is a Song face with the metrics the windows were laid
    // out for (14 px tall at 10.5 pt); Noto Serif CJK is 20 px tall there,
    // so captions would stick out of their controls. Noto stays as the
    // fallback where UMing is missing.
    const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
}

} // namespace platform
