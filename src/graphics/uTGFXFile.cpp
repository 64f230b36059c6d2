#include "graphics/uTGFXFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

namespace tessum {

namespace {

int& BoardScaleOverride() {
    static int scale = 0;
    return scale;
}

}  // namespace

int BoardScale() {
    if (BoardScaleOverride() > 0) return BoardScaleOverride();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return 1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ScaleForPixelRatio(screen->devicePixelRatio()) : 1;
}

void SetBoardScale(int Scale) { BoardScaleOverride() = Scale > 0 ? Scale : 0; }

std::string DoubleSizeArchiveName(const std::string& FileName) {
    const std::size_t slash = FileName.find_last_of('/');
    const std::size_t dot = FileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return FileName + "@2x";
    return FileName.substr(0, dot) + "@2x" + FileName.substr(dot);
}

TGFXFile::TGFXFile() : streams_(std::make_unique<TQDStreams>()) { streams_->SizeLimit = MaxGraphicsArchiveSize; }
TGFXFile::~TGFXFile() = default;

void TGFXFile::LoadFromFile(const std::string& FileName) {
    fileName_ = FileName;
    streams_->SizeLimit = MaxGraphicsArchiveSize;
    try {
        streams_->LoadFromFile(FileName);
    } catch (const EFileError& E) {
        std::error_code ec;
        const bool missing = !std::filesystem::exists(std::filesystem::symlink_status(FileName, ec)) ||
                             !std::filesystem::exists(FileName, ec);
        throw EArchiveFileError(E.what(), FileName, missing ? TArchiveProblem::Missing : TArchiveProblem::Unreadable);
    } catch (const ECorruptFile& E) {
        throw EArchiveCorrupt(E.what(), FileName);
    } catch (const EReadError&) {
        // A damaged entry table: to its user the archive is just as corrupt.
        throw EArchiveCorrupt("File is corrupt.", FileName);
    }
    PictureScale = 1;
}

void TGFXFile::LoadForScale(const std::string& FileName, int Scale) {
    TargetScale = std::max(1, Scale);
    if (TargetScale >= 2) {
        const std::string twin = DoubleSizeArchiveName(FileName);
        if (QFileInfo::exists(QString::fromStdString(twin))) {
            // Four times the pixels, four times the bound.
            streams_->SizeLimit = 4 * MaxGraphicsArchiveSize;
            try {
                streams_->LoadFromFile(twin);
                fileName_ = twin;
                PictureScale = 2;
                return;
            } catch (const std::exception&) {
                // The sharper pictures are a bonus: a damaged or unreadable
                // twin must not keep the game from starting with the others.
            }
        }
    }
    LoadFromFile(FileName);
}

void TGFXFile::GetBitmap(const std::string& Name, TBitmap& Bitmap) const {
    TMemoryStream entry;
    streams_->GetStream(Name, entry);
    try {
        Bitmap.LoadFromStream(entry);
    } catch (const EInvalidGraphic& E) {
        throw EArchivePicture(E.what(), fileName_);
    }
    Bitmap.SetScale(PictureScale);
    Bitmap.Rescale(TargetScale, false);
}

void TGFXFile::GetJPEG(const std::string& Name, TJPEGImage& Image) const {
    TMemoryStream entry;
    streams_->GetStream(Name, entry);
    try {
        Image.LoadFromStream(entry);
    } catch (const EInvalidGraphic& E) {
        throw EArchivePicture(E.what(), fileName_);
    }
    Image.SetScale(PictureScale, false);
    Image.SetScale(TargetScale, true);
}

bool TGFXFile::Contains(const std::string& Name) const { return streams_->IndexOf(Name) >= 0; }

TGFXSteine::TGFXSteine(int Scale) : TGFXSteine(DataFile("steine.gfx"), Scale) {}

TGFXSteine::TGFXSteine(const std::string& ArchiveFileName, int Scale) {
    TGFXFile archive;
    archive.LoadForScale(ArchiveFileName, Scale);
    for (int n = 1; n <= 9; ++n) {
        auto bitmap = std::make_unique<TBitmap>();
        char name[16];
        std::snprintf(name, sizeof name, "st%d.bmp", n);
        archive.GetBitmap(name, *bitmap);
        bitmap->Transparent = true;
        bitmap->SetTransparentColor(TransparentColor);
        bitmaps_[static_cast<std::size_t>(n - 1)] = std::move(bitmap);
    }
}

const TBitmap* TGFXSteine::Bitmap(int N) const {
    if (N < 1 || N > 9) return nullptr;
    return bitmaps_[static_cast<std::size_t>(N - 1)].get();
}

TGFXMulden::TGFXMulden(int Scale) : TGFXMulden(DataFile("mulden.gfx"), Scale) {}

TGFXMulden::TGFXMulden(const std::string& ArchiveFileName, int Scale) {
    TGFXFile archive;
    archive.LoadForScale(ArchiveFileName, Scale);
    for (int pit = 1; pit <= 14; ++pit) {
        if (pit % 7 == 0) continue;  // the end pits have no overlay
        auto bitmap = std::make_unique<TBitmap>();
        char name[16];
        std::snprintf(name, sizeof name, "mst%d.bmp", pit);
        archive.GetBitmap(name, *bitmap);
        bitmap->Transparent = true;
        bitmap->SetTransparentColor(TransparentColor);
        bitmaps_[static_cast<std::size_t>(pit - 1)] = std::move(bitmap);
    }
}

const TBitmap* TGFXMulden::Bitmap(int Pit) const {
    if (Pit < 1 || Pit > 14) return nullptr;
    return bitmaps_[static_cast<std::size_t>(Pit - 1)].get();
}

}  // namespace tessum
