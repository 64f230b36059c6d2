#include "i18n/MultiLanguage.h"

#include <QFile>

#include "i18n/Ansi.h"
#include "i18n/ComponentProps.h"

namespace tessum {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view S) {
    std::string out(S);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

// Walks Name from the owner window: first through owned controls, then
// through object-valued properties, and looks up the last part as property.
std::optional<TPublishedProperty> ResolvePath(QObject* Owner, std::string_view Name) {
    if (!Owner) return std::nullopt;
    QObject* object = Owner;
    QString path = FromAnsi(Name);
    for (qsizetype dot = path.indexOf(QLatin1Char('.')); dot >= 0;
         dot = path.indexOf(QLatin1Char('.'))) {
        QObject* child = FindOwnedComponent(object, QStringView(path).left(dot));
        if (!child) break;
        object = child;
        path = path.mid(dot + 1);
    }
    for (qsizetype dot = path.indexOf(QLatin1Char('.')); dot >= 0;
         dot = path.indexOf(QLatin1Char('.'))) {
        const auto prop = FindPublishedProperty(object, QStringView(path).left(dot));
        if (!prop || prop->Kind() != TPropKind::Object || !prop->ObjectValue()) break;
        object = prop->ObjectValue();
        path = path.mid(dot + 1);
    }
    return FindPublishedProperty(object, path);
}

}  // namespace

std::string TrimScriptLine(std::string_view Line) {
    std::size_t b = 0, e = Line.size();
    while (b < e && static_cast<unsigned char>(Line[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(Line[e - 1]) <= 32) --e;
    return std::string(Line.substr(b, e - b));
}

std::optional<TScriptEntry> ParseScriptEntry(std::string_view Line) {
    const std::size_t eq = Line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    TScriptEntry e{TrimScriptLine(Line.substr(0, eq)), TrimScriptLine(Line.substr(eq + 1))};
    std::string& v = e.Value;
    if (v.size() > 1 && v.front() == '\'' && v.back() == '\'') v = v.substr(1, v.size() - 2);
    for (std::size_t p = v.find("\\n"); p != std::string::npos; p = v.find("\\n", p + 2))
        v.replace(p, 2, "\r\n");
    return e;
}

std::vector<std::string> ExtractScriptSection(const std::vector<std::string>& Script,
                                              std::string_view Language) {
    const std::string wanted = LowerAscii(Language);
    std::vector<std::string> out;
    std::string section;
    for (const std::string& raw : Script) {
        std::string line = TrimScriptLine(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            section = close == std::string::npos ? std::string() : LowerAscii(line.substr(1, close - 1));
            continue;
        }
        if (section == wanted) out.push_back(std::move(line));
    }
    return out;
}

std::string FindScriptValue(const std::vector<std::string>& Lines, std::string_view Key) {
    for (const std::string& line : Lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (TrimScriptLine(std::string_view(line).substr(0, eq)) != Key) continue;
        return ParseScriptEntry(line)->Value;
    }
    return {};
}

std::vector<std::string> SplitScriptText(std::string_view Text) {
    std::vector<std::string> out;
    std::size_t start = 0, i = 0;
    while (i < Text.size()) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            out.emplace_back(Text.substr(start, i - start));
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < Text.size()) out.emplace_back(Text.substr(start));
    return out;
}

std::vector<std::string> LoadScriptFile(const QString& FileName) {
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly)) return {};
    // Scripts are small; refuse anything that is plainly not one rather than
    // reading it whole into memory.
    constexpr qint64 kMaxScript = 4 * 1024 * 1024;
    if (f.size() > kMaxScript) return {};
    const QByteArray bytes = f.read(kMaxScript);
    return SplitScriptText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

TMultiLanguage::TMultiLanguage(QObject* Owner, const TNotifyEvent& OnCreate) : QObject(Owner) {
    setObjectName(QStringLiteral("lng"));
    if (OnCreate) OnCreate(this);
}

void TMultiLanguage::SetScript(std::vector<std::string> Lines) {
    Script_ = std::move(Lines);
    Translate();
}

void TMultiLanguage::LoadScript(const QString& FileName) { SetScript(LoadScriptFile(FileName)); }

void TMultiLanguage::SetLanguage(std::string Language) {
    Language_ = std::move(Language);
    Translate();
}

std::string TMultiLanguage::GetText(std::string_view Key) const {
    return FindScriptValue(Active_, Key);
}

QString TMultiLanguage::GetQText(std::string_view Key) const { return FromAnsi(GetText(Key)); }

void TMultiLanguage::Translate() {
    Active_ = ExtractScriptSection(Script_, Language_);
    for (const std::string& line : Active_)
        if (auto entry = ParseScriptEntry(line)) Apply(*entry);
    if (OnTranslate) OnTranslate(this);
}

void TMultiLanguage::Apply(const TScriptEntry& Entry) const {
    const auto prop = ResolvePath(parent(), Entry.Name);
    if (!prop) return;
    switch (prop->Kind()) {
        case TPropKind::Integer:
            if (auto v = ScriptValueToInt(Entry.Value)) prop->SetInteger(*v);
            break;
        case TPropKind::Lines:
        case TPropKind::Object:
            prop->SetLines(SplitTextLines(FromAnsi(Entry.Value)));
            break;
        case TPropKind::Text:
        case TPropKind::Other:
            prop->SetText(FromAnsi(Entry.Value));
            break;
    }
}

std::vector<std::string> TMultiLanguage::UnresolvedTargets() const {
    std::vector<std::string> out;
    for (const std::string& line : Active_) {
        const auto entry = ParseScriptEntry(line);
        if (!entry || entry->Name.find('.') == std::string::npos) continue;
        if (!ResolvePath(parent(), entry->Name)) out.push_back(entry->Name);
    }
    return out;
}

QStringList TMultiLanguage::ScriptText() const {
    QStringList out;
    out.reserve(static_cast<qsizetype>(Script_.size()));
    for (const std::string& l : Script_) out.append(FromAnsi(l));
    return out;
}

void TMultiLanguage::SetScriptText(const QStringList& Lines) {
    std::vector<std::string> v;
    v.reserve(static_cast<std::size_t>(Lines.size()));
    for (const QString& l : Lines) v.push_back(ToAnsi(l));
    SetScript(std::move(v));
}

QString TMultiLanguage::LanguageText() const { return FromAnsi(Language_); }

void TMultiLanguage::SetLanguageText(const QString& Language) { SetLanguage(ToAnsi(Language)); }

}  // namespace tessum
