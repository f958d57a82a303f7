// fennimo_artgen ASSETS_DIR [SHEET_FILE]
//
// Draws every picture of Fennimo's art and writes it as ASSETS_DIR/<name>.png,
// and the contact sheet to SHEET_FILE when one is given. The output is the
// same, byte for byte, at every run. The CMake target `art` runs it on the
// source tree's assets/ and docs/art.png.

#include "art.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR [SHEET_FILE]\n", argv[0]);
        return 2;
    }
    const QString assets = QString::fromLocal8Bit(argv[1]);
    const QString sheet = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QStringList problems = art::write_all(assets, sheet);
    for (const QString& problem : problems)
        std::fprintf(stderr, "fennimo_artgen: %s\n", qPrintable(problem));
    return problems.isEmpty() ? 0 : 1;
}
