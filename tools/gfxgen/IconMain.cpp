// tessum-icongen: writes the application icon into an icon-theme tree.
//
//   tessum-icongen OUTDIR ID
//
// OUTDIR/hicolor/<n>x<n>/apps/ID.png for the usual sizes and
// OUTDIR/hicolor/scalable/apps/ID.svg.
#include <cstdio>
#include <fstream>
#include <string>

#include <QDir>
#include <QGuiApplication>

#include "Icon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessum-icongen OUTDIR ID\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]) + "/hicolor/";
    const QString id = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = out + QStringLiteral("%1x%1/apps").arg(size);
        if (!QDir().mkpath(dir) || !tessum::gfx::PaintIcon(size).save(dir + "/" + id + ".png")) {
            std::fprintf(stderr, "tessum-icongen: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    const QString dir = out + QStringLiteral("scalable/apps");
    QDir().mkpath(dir);
    std::ofstream svg((dir + "/" + id + ".svg").toStdString(), std::ios::binary);
    svg << tessum::gfx::IconSvg();
    if (!svg.flush()) {
        std::fprintf(stderr, "tessum-icongen: cannot write %s\n", qPrintable(dir));
        return 1;
    }
    return 0;
}
