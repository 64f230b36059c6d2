#include "records/uRecordFile.h"

#include "archive/QDStreamCol.h"

namespace tessum {

namespace {

void Setup(TQDStreams& C, const std::string& Key) {
    C.Compressed = true;
    C.Encrypted = true;
    C.Key = Key;
    C.SizeLimit = MaxRecordFileSize;
}

}  // namespace

void SaveRecordContainer(TStream& Dest, const std::string& Key, const std::string& Entry, TMemoryStream& Body) {
    TQDStreams c;
    Setup(c, Key);
    c.Clear();
    c.AddStream(Entry, Body);
    c.SaveToStream(Dest);
}

void LoadRecordContainer(TStream& Source, const std::string& Key, const std::string& Entry, TMemoryStream& Body) {
    TQDStreams c;
    Setup(c, Key);
    try {
        c.LoadFromStream(Source);
    } catch (const EReadError&) {
        // A damaged entry table behind a good signature: to the player it is
        // as corrupt as any other damage.
        throw ECorruptFile("File is corrupt.");
    }
    if (!c.GetStream(Entry, Body)) throw ECorruptFile("File is corrupt.");
}

void SaveRecordFile(const std::string& FileName, const std::function<void(TStream&)>& WriteContainer) {
    TMemoryStream file;
    WriteContainer(file);
    WriteFileSafely(FileName, [&](TStream& out) { file.SaveToStream(out); });
}

bool LoadRecordFile(const std::string& FileName, const std::function<void(TStream&)>& ReadContainer) {
    if (!FileExists(FileName)) return false;
    TFileStream in(FileName, TFileMode::OpenRead);
    if (in.Size() > MaxRecordFileSize) throw ECorruptFile("File is corrupt.");
    TMemoryStream file;
    file.LoadFromStream(in);
    ReadContainer(file);
    return true;
}

}  // namespace tessum
