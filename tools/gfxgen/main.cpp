// gfxgen: draws every picture of the game and writes the five graphics
// archives into a folder, and the same pictures drawn at twice the size for
// high-density screens into "game@2x.gfx" ... "holz@2x.gfx" beside them.
//
//   gfxgen OUTDIR [--png PNGDIR]
//
// With --png, every picture is also saved as a PNG for looking at.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "Artwork.h"
#include "ImageFiles.h"
#include "Layout.h"
#include "archive/QDStreamCol.h"
#include "archive/Streams.h"

using namespace tessum;
using namespace tessum::gfx;

namespace {

struct Archive {
    std::string file;
    TQDStreams streams;
};

class Writer {
public:
    Writer(std::string OutDir, std::string PngDir) : out_(std::move(OutDir)), png_(std::move(PngDir)) {}

    void Bitmap(Archive& A, const std::string& Name, const QImage& Image) {
        Add(A, Name, EncodeBmp(Image));
        Preview(Name, Image);
    }
    void Jpeg(Archive& A, const std::string& Name, const Bytes& Data, const QImage& Image) {
        Add(A, Name, Data);
        Preview(Name, Image);
    }
    // Appended to the preview names of the pictures drawn from now on.
    std::string Suffix;

    void Save(Archive& A) {
        // Archives ship readable by anyone: compressed, never encrypted.
        A.streams.Compressed = true;
        A.streams.Encrypted = false;
        WriteFileSafely(out_ + "/" + A.file, [&](TStream& S) { A.streams.SaveToStream(S); });
    }

private:
    std::string out_, png_;

    static void Add(Archive& A, const std::string& Name, const Bytes& Data) {
        TMemoryStream m(Data);
        A.streams.AddStream(Name, m);
    }
    void Preview(const std::string& Name, const QImage& Image) const {
        if (png_.empty()) return;
        Image.save(QString::fromStdString(png_ + "/" + Name + Suffix + ".png"));
    }
};

// Average colour of the hollows' floors: what the stones and the golden ring
// will mostly be drawn over, so their smoothed edges blend into it.
QRgb FloorColour(const QImage& Board) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int pit = 1; pit <= 13; ++pit) {
        if (IsEndPit(pit)) continue;
        const PitShape s = HollowOf(pit);
        for (int dy = -8; dy <= 8; ++dy) {
            for (int dx = -12; dx <= 12; ++dx) {
                const QRgb c = Board.pixel(static_cast<int>(s.cx) + dx, static_cast<int>(s.cy) + dy);
                r += qRed(c);
                g += qGreen(c);
                b += qBlue(c);
                ++n;
            }
        }
    }
    return qRgb(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

std::string Numbered(const char* Pattern, int N) {
    char buf[64];
    std::snprintf(buf, sizeof buf, Pattern, N);
    return buf;
}

std::string ArchiveName(const char* Base, int Scale) {
    return std::string(Base) + (Scale == 2 ? "@2x" : "") + ".gfx";
}

// Scale 2 draws every picture at twice the size under the same names; Floor
// is taken from the pictures of scale 1, which are drawn first.
void Generate(Writer& W, int Scale, QRgb& Floor) {
    W.Suffix = Scale == 2 ? "@2x" : "";
    // The board first: pit overlays and legends are cut from the background
    // exactly as the game will decode it.
    const QImage board = PaintBackground(Scale);
    const Bytes boardJpeg = EncodeJpeg(board, 93);
    const QImage decoded = DecodeJpeg(boardJpeg);
    if (Scale == 1) Floor = FloorColour(decoded);
    const QRgb floor = Floor;

    Archive game{ArchiveName("game", Scale), {}};
    W.Jpeg(game, "bg.jpg", boardJpeg, decoded);
    W.Bitmap(game, "golden.bmp", PaintHighlight(floor, Scale));
    const QRect overviewAt(OverviewLegendAt * Scale, QSize(LegendWidth, LegendHeight) * Scale);
    const QRect previewAt(PreviewLegendAt * Scale, QSize(LegendWidth, LegendHeight) * Scale);
    W.Bitmap(game, "us_overview.bmp", PaintLegend("overview", decoded.copy(overviewAt), Scale));
    W.Bitmap(game, "de_overview.bmp", PaintLegend("\xC3\x9C" "bersicht", decoded.copy(overviewAt), Scale));
    W.Bitmap(game, "us_preview.bmp", PaintLegend("preview", decoded.copy(previewAt), Scale));
    W.Bitmap(game, "de_preview.bmp", PaintLegend("Vorschau", decoded.copy(previewAt), Scale));
    W.Bitmap(game, "smbrett", PaintSmallBoard(Scale));
    W.Save(game);

    Archive stones{ArchiveName("steine", Scale), {}};
    for (int n = 1; n <= 9; ++n) W.Bitmap(stones, Numbered("st%d.bmp", n), PaintStones(n, floor, Scale));
    W.Save(stones);

    Archive pits{ArchiveName("mulden", Scale), {}};
    for (int pit = 1; pit <= 13; ++pit)
        if (!IsEndPit(pit)) W.Bitmap(pits, Numbered("mst%d.bmp", pit), PaintPitOverlay(decoded, pit, Scale));
    W.Save(pits);

    Archive hands{ArchiveName("hands", Scale), {}};
    for (int side = 1; side <= 2; ++side) {
        const std::string prefix = side == 1 ? "t" : "";
        for (int frame : {0, 1, 3, 5, 7, 9, 11}) {
            const HandFrame f = PaintHand(side, false, frame, Scale);
            W.Bitmap(hands, prefix + Numbered("pl-hand%4.4d.bmp", frame), f.picture);
            W.Bitmap(hands, prefix + Numbered("ml-hand%4.4d.bmp", frame), f.mask);
        }
        for (int frame : {0, 2, 4}) {
            const HandFrame f = PaintHand(side, true, frame, Scale);
            W.Bitmap(hands, prefix + Numbered("pr-hand%4.4d.bmp", frame), f.picture);
            W.Bitmap(hands, prefix + Numbered("mr-hand%4.4d.bmp", frame), f.mask);
        }
    }
    W.Save(hands);

    Archive holz{ArchiveName("holz", Scale), {}};
    const struct {
        const char* name;
        MatchScene scene;
    } draws[] = {{"holzw", MatchScene::Won}, {"holzl", MatchScene::Lost}, {"holzstart", MatchScene::Hidden}};
    for (const auto& d : draws) {
        const QImage img = PaintMatches(d.scene, Scale);
        const Bytes jpeg = EncodeJpeg(img, 92);
        W.Jpeg(holz, d.name, jpeg, DecodeJpeg(jpeg));
    }
    W.Save(holz);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--png")) {
        std::fprintf(stderr, "usage: gfxgen OUTDIR [--png PNGDIR]\n");
        return 2;
    }
    // Fonts need a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string out = argv[1];
    const std::string png = argc == 4 ? argv[3] : "";
    try {
        QDir().mkpath(QString::fromStdString(out));
        if (!png.empty()) QDir().mkpath(QString::fromStdString(png));
        Writer w(out, png);
        QRgb floor = 0;
        Generate(w, 1, floor);
        Generate(w, 2, floor);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gfxgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
