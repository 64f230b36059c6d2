// Readers of the graphics archives that ship with the program.
//
// Each archive is a stream container whose entries are complete picture files
// under file-like names. A reader lives only for the loads of one picture
// holder; the decoded pictures stay, the archive bytes do not.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "archive/QDStreamCol.h"
#include "archive/uPaths.h"

namespace tessum {

// What is wrong with a graphics archive that cannot serve.
enum class TArchiveProblem { Missing, Unreadable, Damaged };

// Carried beside the error itself by every failure of a graphics archive, so
// that start-up can tell the player which file is at fault and how, whatever
// layer (file system, container, picture decoder) found it.
class TArchiveFault {
public:
    TArchiveFault(std::string FileName, TArchiveProblem Problem)
        : fileName_(std::move(FileName)), problem_(Problem) {}
    virtual ~TArchiveFault() = default;
    const std::string& ArchiveFileName() const { return fileName_; }
    TArchiveProblem Problem() const { return problem_; }

private:
    std::string fileName_;
    TArchiveProblem problem_;
};

// The archive could not be opened (missing, no permission, no regular file).
class EArchiveFileError final : public EFileError, public TArchiveFault {
public:
    EArchiveFileError(const std::string& What, std::string FileName, TArchiveProblem Problem)
        : EFileError(What), TArchiveFault(std::move(FileName), Problem) {}
};
// The container is damaged.
class EArchiveCorrupt final : public ECorruptFile, public TArchiveFault {
public:
    EArchiveCorrupt(const std::string& What, std::string FileName)
        : ECorruptFile(What), TArchiveFault(std::move(FileName), TArchiveProblem::Damaged) {}
};
// A picture inside the archive is damaged.
class EArchivePicture final : public EInvalidGraphic, public TArchiveFault {
public:
    EArchivePicture(const std::string& What, std::string FileName)
        : EInvalidGraphic(What), TArchiveFault(std::move(FileName), TArchiveProblem::Damaged) {}
};

// Largest payload of a graphics archive we read. The hand frames, the
// largest archive, unpack to about 22 MB; a few times that leaves room for
// finer pictures while a damaged or hostile archive cannot take more.
inline constexpr std::int64_t MaxGraphicsArchiveSize = 64 * 1024 * 1024;

// The pixel scale the board is composed at: ScaleForPixelRatio of the primary
// screen's device pixel ratio (1 without a screen), unless fixed with
// SetBoardScale.
int BoardScale();
// Fixes BoardScale() to Scale; 0 goes back to asking the screen.
void SetBoardScale(int Scale);
// Name of the archive drawn at twice the size beside FileName:
// "dir/game.gfx" -> "dir/game@2x.gfx".
std::string DoubleSizeArchiveName(const std::string& FileName);

class TGFXFile {
public:
    TGFXFile();
    ~TGFXFile();
    TGFXFile(const TGFXFile&) = delete;
    TGFXFile& operator=(const TGFXFile&) = delete;

    // Scale the archive's pictures are drawn for: 2 for an "@2x" archive.
    int PictureScale = 1;
    // Scale the decoded pictures are handed out at; pictures of another scale
    // are resampled (bitmaps by repeating pixels, JPEG pictures smoothly).
    int TargetScale = 1;

    // Loads the archive; a file that cannot be opened throws EArchiveFileError
    // (an EFileError), a damaged one or one beyond MaxGraphicsArchiveSize
    // EArchiveCorrupt (an ECorruptFile). The pictures are taken as drawn for
    // scale 1.
    void LoadFromFile(const std::string& FileName);
    // Loads the archive for pictures at Scale: the "@2x" archive beside
    // FileName when Scale is 2 or more and that archive exists, else FileName
    // itself, whose pictures are then enlarged. Errors as LoadFromFile.
    void LoadForScale(const std::string& FileName, int Scale);
    // Decodes entry Name (matched without regard to case) into Bitmap. A name
    // the archive lacks leaves an empty bitmap; damaged picture data throws
    // EArchivePicture (an EInvalidGraphic).
    void GetBitmap(const std::string& Name, TBitmap& Bitmap) const;
    void GetJPEG(const std::string& Name, TJPEGImage& Image) const;
    // Whether the archive holds Name.
    bool Contains(const std::string& Name) const;

    TQDStreams& Streams() { return *streams_; }

private:
    std::unique_ptr<TQDStreams> streams_;
    std::string fileName_;
};

// Groups of 1 to 9 stones ("st1.bmp" .. "st9.bmp" of "steine.gfx"), each drawn
// transparently with red as the left-out colour.
class TGFXSteine {
public:
    static constexpr TColor TransparentColor = RGBColor(255, 0, 0);

    // Reads "steine.gfx" from the program's data folder, for pictures at Scale.
    explicit TGFXSteine(int Scale = 1);
    explicit TGFXSteine(const std::string& ArchiveFileName, int Scale = 1);

    // Picture of N stones for N in 1..9, otherwise nullptr.
    const TBitmap* Bitmap(int N) const;
    const TBitmap* operator[](int N) const { return Bitmap(N); }

private:
    std::array<std::unique_ptr<TBitmap>, 9> bitmaps_;
};

// Overlay pictures of the twelve playing pits ("mst1.bmp" .. "mst6.bmp",
// "mst8.bmp" .. "mst13.bmp" of "mulden.gfx"), transparent white. The end pits
// 7 and 14 have none.
class TGFXMulden {
public:
    static constexpr TColor TransparentColor = RGBColor(255, 255, 255);

    // Reads "mulden.gfx" from the program's data folder, for pictures at Scale.
    explicit TGFXMulden(int Scale = 1);
    explicit TGFXMulden(const std::string& ArchiveFileName, int Scale = 1);

    // Overlay of playing pit Pit, nullptr for the end pits and anything else.
    const TBitmap* Bitmap(int Pit) const;
    const TBitmap* operator[](int Pit) const { return Bitmap(Pit); }

private:
    std::array<std::unique_ptr<TBitmap>, 14> bitmaps_;
};

}  // namespace tessum
