// board-preview: composes the board as the game would show it in the middle
// of a game, from the graphics archives alone, and saves it as a PNG.
//
//   board-preview ARCHIVEDIR OUT.png [--german] [--hands]
//
// Every pit gets a different stone count, so one picture shows every stone
// group, every pit overlay and both end pits well filled.
#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "archive/QDStreamCol.h"
#include "archive/Streams.h"
#include "graphics/uTSpielfeldLayers.h"

using namespace tessum;

namespace {

// One stone count per pit: every group size 1..9, one beyond nine, and end
// pits that use all five spots.
constexpr std::array<int, 15> Counts = {0, 1, 2, 3, 4, 5, 6, 15, 7, 8, 9, 12, 3, 5, 10};

QImage Entry(const TQDStreams& Archive, const std::string& Name) {
    TMemoryStream m;
    if (!Archive.GetStream(Name, m)) throw std::runtime_error("entry " + Name + " is missing");
    QImage img;
    if (!img.loadFromData(m.Memory(), static_cast<int>(m.Size())))
        throw std::runtime_error("entry " + Name + " is no picture");
    return img.convertToFormat(QImage::Format_RGB32);
}

// The game leaves out every pixel of the key colour.
void DrawKeyed(QImage& Target, QPoint At, const QImage& Picture, QRgb Key) {
    for (int y = 0; y < Picture.height(); ++y) {
        for (int x = 0; x < Picture.width(); ++x) {
            const QRgb c = Picture.pixel(x, y) | 0xFF000000u;
            const int tx = At.x() + x, ty = At.y() + y;
            if (c == (Key | 0xFF000000u) || tx < 0 || ty < 0 || tx >= Target.width() || ty >= Target.height()) continue;
            Target.setPixel(tx, ty, c);
        }
    }
}

// The hands are punched in with their mask (AND) and then added (OR).
void DrawSprite(QImage& Target, QPoint At, const QImage& Picture, const QImage& Mask) {
    for (int y = 0; y < Picture.height(); ++y) {
        for (int x = 0; x < Picture.width(); ++x) {
            const int tx = At.x() + x, ty = At.y() + y;
            if (tx < 0 || ty < 0 || tx >= Target.width() || ty >= Target.height()) continue;
            const QRgb c = (Target.pixel(tx, ty) & Mask.pixel(x, y)) | Picture.pixel(x, y);
            Target.setPixel(tx, ty, c | 0xFF000000u);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: board-preview ARCHIVEDIR OUT.png [--german] [--hands]\n");
        return 2;
    }
    bool german = false, hands = false;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--german") german = true;
        else if (a == "--hands") hands = true;
        else {
            std::fprintf(stderr, "board-preview: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string dir = argv[1];
    try {
        TQDStreams game, steine, mulden;
        game.LoadFromFile(dir + "/game.gfx");
        steine.LoadFromFile(dir + "/steine.gfx");
        mulden.LoadFromFile(dir + "/mulden.gfx");

        QImage board = Entry(game, "bg.jpg");
        const std::string lang = german ? "de_" : "us_";
        {
            // The captions are pasted opaque, as the game does.
            QPainter p(&board);
            p.drawImage(QPoint(53, 395), Entry(game, lang + "overview.bmp"));
            p.drawImage(QPoint(256, 395), Entry(game, lang + "preview.bmp"));
        }

        QImage stones[10];
        for (int n = 1; n <= 9; ++n) stones[n] = Entry(steine, "st" + std::to_string(n) + ".bmp");
        const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
        for (int pit = 1; pit <= 14; ++pit) {
            const int v = Counts[static_cast<std::size_t>(pit)];
            if (pit % 7 != 0) {
                const TStonePlacement at = PlayingPitStones(pit, v);
                DrawKeyed(board, QPoint(at.At.X, at.At.Y), stones[at.Picture], red);
                const TPoint o = OverlayPositions[static_cast<std::size_t>(pit)];
                DrawKeyed(board, QPoint(o.X, o.Y), Entry(mulden, "mst" + std::to_string(pit) + ".bmp"), white);
            } else {
                const std::size_t e = pit == 7 ? 0 : 1;
                int remaining = v;
                const std::size_t row = static_cast<std::size_t>(std::min(v, EndPitMaxDrawn));
                for (std::size_t s = 0; s < EndPitSpotCount && remaining > 0; ++s) {
                    const int n = std::min<int>(remaining, EndPitGroups[e][row][s]);
                    if (n <= 0) continue;
                    const TPoint spot = EndPitSpots[e][s];
                    DrawKeyed(board, QPoint(spot.X, spot.Y), stones[std::min(n, 9)], red);
                    remaining -= n;
                }
            }
        }
        if (hands) {
            // Side 2's left hand closing over pit 10, side 1's right hand
            // dropping a stone into pit 3.
            TQDStreams h;
            h.LoadFromFile(dir + "/hands.gfx");
            auto centre = [](int Pit) {
                const TRect& r = PitRects[static_cast<std::size_t>(Pit)];
                return QPoint(r.Left + r.Width() / 2, r.Top + (r.Bottom - r.Top) / 2);
            };
            DrawSprite(board, centre(10) - QPoint(427, 140), Entry(h, "pl-hand0007.bmp"), Entry(h, "ml-hand0007.bmp"));
            DrawSprite(board, centre(3) - QPoint(460, 383), Entry(h, "tpr-hand0004.bmp"), Entry(h, "tmr-hand0004.bmp"));
        }
        if (!board.save(QString::fromStdString(argv[2]), "PNG")) throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "board-preview: %s\n", e.what());
        return 1;
    }
    return 0;
}
