#include "graphics/uTGFXFile.h"

#include <cstdio>

namespace tessum {

TGFXFile::TGFXFile() : streams_(std::make_unique<TQDStreams>()) { streams_->SizeLimit = MaxGraphicsArchiveSize; }
TGFXFile::~TGFXFile() = default;

void TGFXFile::LoadFromFile(const std::string& FileName) { streams_->LoadFromFile(FileName); }

void TGFXFile::GetBitmap(const std::string& Name, TBitmap& Bitmap) const {
    TMemoryStream entry;
    streams_->GetStream(Name, entry);
    Bitmap.LoadFromStream(entry);
}

void TGFXFile::GetJPEG(const std::string& Name, TJPEGImage& Image) const {
    TMemoryStream entry;
    streams_->GetStream(Name, entry);
    Image.LoadFromStream(entry);
}

bool TGFXFile::Contains(const std::string& Name) const { return streams_->IndexOf(Name) >= 0; }

TGFXSteine::TGFXSteine() : TGFXSteine(DataFile("steine.gfx")) {}

TGFXSteine::TGFXSteine(const std::string& ArchiveFileName) {
    TGFXFile archive;
    archive.LoadFromFile(ArchiveFileName);
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

TGFXMulden::TGFXMulden() : TGFXMulden(DataFile("mulden.gfx")) {}

TGFXMulden::TGFXMulden(const std::string& ArchiveFileName) {
    TGFXFile archive;
    archive.LoadFromFile(ArchiveFileName);
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
