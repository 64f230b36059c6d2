#include "records/uTHistory.h"

#include <stdexcept>

#include "archive/QDStreamCol.h"
#include "records/uRecordFile.h"
#include "records/uStreamProcs.h"

namespace tessum {

namespace {

constexpr const char* CorruptText = "File is corrupt.";
constexpr std::int64_t MoveBytes = 9;  // Player, Seconds, Pit

}  // namespace

void THistory::Start(const std::string& AName1, const std::string& AName2, const std::string& AEMail1,
                     const std::string& AEMail2, const std::string& ALand1, const std::string& ALand2,
                     std::int32_t AVariant, bool AUseEndPits, std::uint8_t AStonesPerPit, std::int32_t ALevel,
                     std::int32_t AStartPlayer, std::uint8_t AMode) {
    Moves.clear();
    Name1 = AName1;
    Name2 = AName2;
    EMail1 = AEMail1;
    EMail2 = AEMail2;
    Land1 = ALand1;
    Land2 = ALand2;
    Variant = AVariant;
    UseEndPits = AUseEndPits;
    StonesPerPit = AStonesPerPit;
    Level = ALevel;
    StartPlayer = AStartPlayer;
    Mode = AMode;
}

void THistory::AddMove(std::int32_t Seconds, std::uint8_t Pit, std::int32_t Player) {
    Moves.push_back(TMove{Seconds, Pit, Player});
}

const TMove& THistory::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("History index out of range");
    return Moves[static_cast<std::size_t>(Index)];
}

int THistory::CountMoves() const {
    int n = 0;
    for (const TMove& m : Moves) n += m.Pit != 0;
    return n;
}

int THistory::CountMovesOf(std::int32_t Player) const {
    int n = 0;
    for (const TMove& m : Moves) n += m.Pit != 0 && m.Player == Player;
    return n;
}

std::int64_t THistory::SumSeconds(std::int32_t Player) const {
    std::int64_t s = 0;
    for (const TMove& m : Moves)
        if (m.Player == Player) s += m.Seconds;
    return s;
}

void THistory::SaveToStream(TStream& Stream) const {
    WriteInteger(Stream, Variant);
    WriteInteger(Stream, Level);
    WriteInteger(Stream, StartPlayer);
    WriteBoolean(Stream, UseEndPits);
    WriteByte(Stream, StonesPerPit);
    WriteByte(Stream, Mode);
    WriteString(Stream, Name1);
    WriteString(Stream, Name2);
    WriteString(Stream, EMail1);
    WriteString(Stream, EMail2);
    WriteString(Stream, Land1);
    WriteString(Stream, Land2);
    WriteInteger(Stream, static_cast<std::int32_t>(Moves.size()));
    for (const TMove& m : Moves) {
        WriteInteger(Stream, m.Player);
        WriteInteger(Stream, m.Seconds);
        WriteByte(Stream, m.Pit);
    }
}

void THistory::LoadFromStream(TStream& Stream) {
    // Everything goes into a scratch record first: a half-read file must not
    // leave the running game's history half overwritten.
    THistory h;
    try {
        h.Variant = ReadInteger(Stream);
        h.Level = ReadInteger(Stream);
        h.StartPlayer = ReadInteger(Stream);
        h.UseEndPits = ReadBoolean(Stream);
        h.StonesPerPit = ReadByte(Stream);
        h.Mode = ReadByte(Stream);
        ReadString(Stream, h.Name1);
        ReadString(Stream, h.Name2);
        ReadString(Stream, h.EMail1);
        ReadString(Stream, h.EMail2);
        ReadString(Stream, h.Land1);
        ReadString(Stream, h.Land2);
        const std::int32_t c = ReadInteger(Stream);
        if (c > 0) {
            // The count is only a claim; the bytes behind it decide.
            if (c > Stream.Remaining() / MoveBytes) throw ECorruptFile(CorruptText);
            h.Moves.resize(static_cast<std::size_t>(c));
            for (TMove& m : h.Moves) {
                m.Player = ReadInteger(Stream);
                m.Seconds = ReadInteger(Stream);
                m.Pit = ReadByte(Stream);
            }
        }
    } catch (const EReadError&) {
        throw ECorruptFile(CorruptText);
    }
    *this = std::move(h);
}

void THistory::SaveToContainerStream(TStream& Dest) const {
    TMemoryStream body;
    SaveToStream(body);
    SaveRecordContainer(Dest, FileKey, EntryName, body);
}

void THistory::LoadFromContainerStream(TStream& Source) {
    TMemoryStream body;
    LoadRecordContainer(Source, FileKey, EntryName, body);
    LoadFromStream(body);
}

void THistory::SaveToFile(const std::string& FileName) const {
    SaveRecordFile(FileName, [this](TStream& out) { SaveToContainerStream(out); });
}

void THistory::LoadFromFile(const std::string& FileName) {
    LoadRecordFile(FileName, [this](TStream& in) { LoadFromContainerStream(in); });
}

std::string WithSavedGameExtension(const std::string& FileName) {
    static const std::string ext = ".tsm";
    if (FileName.size() >= ext.size()) {
        std::string tail = FileName.substr(FileName.size() - ext.size());
        for (char& ch : tail)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (tail == ext) return FileName;
    }
    return FileName + ext;
}

}  // namespace tessum
