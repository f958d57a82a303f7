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

QFont names_font(double points)
{
    // UMing's Latin letters are drawn for Chinese text: at 10.5 points its
    // l, 1 and I are one stroke with a pixel's difference, and its 0 and O
    // are the same ring, so "l1Il0O.txt" reads "111100.txt". A renamer's
    // names must be legible to the byte. DejaVu Sans Mono is drawn to tell
    // them apart even at this size: an l with a tail, a 1 with a flag and a
    // foot, an I with bars, a dotted 0, a round O. (A proportional serif
    // face, DejaVu Serif, still draws l and I a pixel apart at 14 pixels.)
    // What it lacks, every Chinese character, comes from the Song face as
    // before. Its lines are two pixels taller than UMing's, which the name
    // fields have room for; captions and labels keep the Song face alone.
    QFont font(QStringLiteral("宋体"));
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("宋体")});
    font.setPointSizeF(points);
    return font;
}

} // namespace platform
