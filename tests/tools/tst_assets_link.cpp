// The pictures are in the program's resources when an executable links
// fennimo_assets through a static library, without any Q_INIT_RESOURCE.
#include "platform/toolkit/pictures.h"

#include <QtTest>

namespace assets_holder {
QSize title_size();
}

class tst_assets_link : public QObject {
    Q_OBJECT
private slots:
    void title_comes_from_the_resource()
    {
        QCOMPARE(assets_holder::title_size(), QSize(66, 29));
        QCOMPARE(platform::picture(QStringLiteral("imgtop1")).size(), QSize(66, 29));
        QVERIFY(QFile::exists(QStringLiteral(":/assets/imgtop1.png")));
    }

    void every_name_is_there()
    {
        const QStringList names = {
            "cmdbutton", "help", "caption_close", "caption_maximize", "caption_minimize", "caption_restore",
            "checkbox", "option_0", "option_1", "option_2", "option_3", "option_4", "option_5", "option_6",
            "option_7", "groupbox", "imgtop1", "imgtop2", "imgtopmax1", "imgtopmax2", "imgleft1", "imgleft2",
            "imgright1", "imgright2", "imgbottom1", "imgbottom2", "frame_icon", "main_icon", "app_icon_16", "app_icon_48"};
        for (const QString& name : names)
            QVERIFY2(!platform::picture(name).isNull(), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(tst_assets_link)
#include "tst_assets_link.moc"
