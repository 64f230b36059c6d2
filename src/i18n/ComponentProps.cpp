#include "i18n/ComponentProps.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QObject>
#include <QPalette>
#include <QRegularExpression>
#include <QStringListModel>
#include <QWidget>

#include <array>
#include <cstdint>
#include <limits>

#include "i18n/Ansi.h"

namespace tessum {

namespace {

struct TIdent {
    const char* Name;
    int Value;
};

// Cursor codes of the scripts' runtime; negative numbers are the stock shapes.
constexpr std::array<TIdent, 23> kCursors = {{
    {"crDefault", 0},     {"crNone", -1},      {"crArrow", -2},     {"crCross", -3},
    {"crIBeam", -4},      {"crSize", -22},     {"crSizeNESW", -6},  {"crSizeNS", -7},
    {"crSizeNWSE", -8},   {"crSizeWE", -9},    {"crUpArrow", -10},  {"crHourGlass", -11},
    {"crDrag", -12},      {"crNoDrop", -13},   {"crHSplit", -14},   {"crVSplit", -15},
    {"crMultiDrag", -16}, {"crSQLWait", -17},  {"crNo", -18},       {"crAppStart", -19},
    {"crHelp", -20},      {"crHandPoint", -21}, {"crSizeAll", -22},
}};

constexpr int kSysColor = static_cast<int>(0x80000000u);

// Colours are 0x00BBGGRR; system colours carry the high bit and the index of
// the system colour.
constexpr std::array<TIdent, 54> kColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSysColor | 0},
    {"clBackground", kSysColor | 1},
    {"clActiveCaption", kSysColor | 2},
    {"clInactiveCaption", kSysColor | 3},
    {"clMenu", kSysColor | 4},
    {"clWindow", kSysColor | 5},
    {"clWindowFrame", kSysColor | 6},
    {"clMenuText", kSysColor | 7},
    {"clWindowText", kSysColor | 8},
    {"clCaptionText", kSysColor | 9},
    {"clActiveBorder", kSysColor | 10},
    {"clInactiveBorder", kSysColor | 11},
    {"clAppWorkSpace", kSysColor | 12},
    {"clHighlight", kSysColor | 13},
    {"clHighlightText", kSysColor | 14},
    {"clBtnFace", kSysColor | 15},
    {"clBtnShadow", kSysColor | 16},
    {"clGrayText", kSysColor | 17},
    {"clBtnText", kSysColor | 18},
    {"clInactiveCaptionText", kSysColor | 19},
    {"clBtnHighlight", kSysColor | 20},
    {"cl3DDkShadow", kSysColor | 21},
    {"cl3DLight", kSysColor | 22},
    {"clInfoText", kSysColor | 23},
    {"clInfoBk", kSysColor | 24},
    {"clHotLight", kSysColor | 26},
    {"clGradientActiveCaption", kSysColor | 27},
    {"clGradientInactiveCaption", kSysColor | 28},
    {"clMenuHighlight", kSysColor | 29},
    {"clMenuBar", kSysColor | 30},
}};

constexpr std::array<TIdent, 19> kCharsets = {{
    {"ANSI_CHARSET", 0},       {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},       {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},    {"GB2312_CHARSET", 134},    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},    {"TURKISH_CHARSET", 162},   {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},   {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},  {"THAI_CHARSET", 222},      {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
}};

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

template <std::size_t N>
std::optional<int> LookupIdent(const std::array<TIdent, N>& Table, std::string_view Name) {
    for (const TIdent& id : Table)
        if (SameTextAscii(id.Name, Name)) return id.Value;
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits to a 32-bit pattern; more than 32 bits does not convert.
std::optional<std::uint32_t> ParseHex(std::string_view Digits) {
    if (Digits.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : Digits) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(v);
}

std::optional<int> ParseRuntimeInt(std::string_view S) {
    bool negative = false;
    if (!S.empty() && (S[0] == '-' || S[0] == '+')) {
        negative = S[0] == '-';
        S.remove_prefix(1);
    }
    if (S.empty()) return std::nullopt;
    if (S[0] == '$' || (S.size() > 1 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))) {
        const auto hex = ParseHex(S.substr(S[0] == '$' ? 1 : 2));
        if (!hex) return std::nullopt;
        // Hexadecimal literals are bit patterns: $FFFFFFFF is -1.
        const auto v = static_cast<std::int32_t>(*hex);
        return negative ? static_cast<int>(0u - static_cast<std::uint32_t>(v)) : v;
    }
    std::int64_t v = 0;
    for (char c : S) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<Qt::CursorShape> CursorShapeFor(int Code) {
    switch (Code) {
        case -1: return Qt::BlankCursor;
        case -2: return Qt::ArrowCursor;
        case -3: return Qt::CrossCursor;
        case -4: return Qt::IBeamCursor;
        case -6: return Qt::SizeBDiagCursor;
        case -7: return Qt::SizeVerCursor;
        case -8: return Qt::SizeFDiagCursor;
        case -9: return Qt::SizeHorCursor;
        case -10: return Qt::UpArrowCursor;
        case -11: return Qt::WaitCursor;
        case -12: return Qt::DragCopyCursor;
        case -13: return Qt::ForbiddenCursor;
        case -14: return Qt::SplitHCursor;
        case -15: return Qt::SplitVCursor;
        case -16: return Qt::DragCopyCursor;
        case -17: return Qt::WaitCursor;
        case -18: return Qt::ForbiddenCursor;
        case -19: return Qt::BusyCursor;
        case -20: return Qt::WhatsThisCursor;
        case -21: return Qt::PointingHandCursor;
        case -22: return Qt::SizeAllCursor;
        default: return std::nullopt;
    }
}

QPalette::ColorRole RoleForSystemColor(int Index) {
    switch (Index) {
        case 5: return QPalette::Base;
        case 7: case 8: return QPalette::WindowText;
        case 13: case 29: return QPalette::Highlight;
        case 14: return QPalette::HighlightedText;
        case 15: return QPalette::Button;
        case 16: return QPalette::Dark;
        case 18: return QPalette::ButtonText;
        case 20: return QPalette::Light;
        case 21: return QPalette::Shadow;
        case 22: return QPalette::Midlight;
        case 23: return QPalette::ToolTipText;
        case 24: return QPalette::ToolTipBase;
        case 26: return QPalette::Link;
        default: return QPalette::Window;
    }
}

QColor ColorFromCode(int Code) {
    const auto u = static_cast<std::uint32_t>(Code);
    if (u & 0x80000000u) return QPalette().color(RoleForSystemColor(static_cast<int>(u & 0xFF)));
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}

bool IsSupportedMetaType(const QMetaProperty& P) {
    if (P.isEnumType()) return true;
    const QMetaType t = P.metaType();
    if (t.flags() & QMetaType::PointerToQObject) return true;
    switch (t.id()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::Long: case QMetaType::ULong:
        case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Short:
        case QMetaType::UShort: case QMetaType::QString: case QMetaType::QStringList:
        case QMetaType::Bool: case QMetaType::Double: case QMetaType::Float:
        case QMetaType::QByteArray:
            return true;
        default:
            return false;
    }
}

TPropKind KindOf(const QMetaProperty& P) {
    if (P.isEnumType()) return TPropKind::Other;
    const QMetaType t = P.metaType();
    if (t.flags() & QMetaType::PointerToQObject) return TPropKind::Object;
    switch (t.id()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::Long: case QMetaType::ULong:
        case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Short:
        case QMetaType::UShort:
            return TPropKind::Integer;
        case QMetaType::QString: return TPropKind::Text;
        case QMetaType::QStringList: return TPropKind::Lines;
        default: return TPropKind::Other;
    }
}

// The string-to-property conversion for kinds that are neither integers nor
// texts: enumerations by their identifier, Booleans as True/False.
bool WriteConverted(QObject* Obj, const QMetaProperty& P, const QString& Value) {
    if (P.isEnumType()) {
        const QMetaEnum e = P.enumerator();
        QString text = Value;
        text.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const QStringList parts = text.split(QRegularExpression(QStringLiteral("[|,]")),
                                             Qt::SkipEmptyParts);
        if (parts.isEmpty() || (!e.isFlag() && parts.size() > 1)) return false;
        int value = 0;
        for (const QString& raw : parts) {
            const QString part = raw.trimmed();
            bool found = false;
            for (int k = 0; k < e.keyCount(); ++k) {
                if (part.compare(QLatin1String(e.key(k)), Qt::CaseInsensitive) == 0) {
                    value |= e.value(k);
                    found = true;
                    break;
                }
            }
            if (!found) return false;
        }
        return P.write(Obj, value);
    }
    switch (P.metaType().id()) {
        case QMetaType::Bool:
            if (Value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return P.write(Obj, true);
            if (Value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return P.write(Obj, false);
            return false;
        case QMetaType::Double:
        case QMetaType::Float: {
            bool ok = false;
            const double d = Value.toDouble(&ok);
            return ok && P.write(Obj, d);
        }
        case QMetaType::QByteArray:
            return P.write(Obj, QByteArray::fromStdString(ToAnsi(Value)));
        default:
            return false;
    }
}

}  // namespace

bool TPublishedProperty::SetInteger(int Value) const { return SetInt_ && SetInt_(Value); }
bool TPublishedProperty::SetText(const QString& Value) const { return SetStr_ && SetStr_(Value); }
bool TPublishedProperty::SetLines(const QStringList& Value) const {
    return SetList_ && SetList_(Value);
}

QObject* FindOwnedComponent(QObject* Owner, QStringView Name) {
    if (!Owner || Name.isEmpty()) return nullptr;
    const QList<QObject*> all = Owner->findChildren<QObject*>();
    for (QObject* o : all)
        if (o->objectName().compare(Name, Qt::CaseInsensitive) == 0) return o;
    return nullptr;
}

std::optional<TPublishedProperty> FindPublishedProperty(QObject* Object, QStringView Name) {
    if (!Object || Name.isEmpty()) return std::nullopt;
    const QMetaObject* mo = Object->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (!IsSupportedMetaType(p)) continue;
        if (Name.compare(QLatin1String(p.name()), Qt::CaseInsensitive) != 0) continue;
        TPublishedProperty r;
        r.Kind_ = KindOf(p);
        switch (r.Kind_) {
            case TPropKind::Integer:
                r.SetInt_ = [Object, p](int v) { return p.isWritable() && p.write(Object, v); };
                break;
            case TPropKind::Text:
                r.SetStr_ = [Object, p](const QString& v) {
                    return p.isWritable() && p.write(Object, v);
                };
                break;
            case TPropKind::Lines:
                r.SetList_ = [Object, p](const QStringList& v) {
                    return p.isWritable() && p.write(Object, v);
                };
                break;
            case TPropKind::Object:
                r.ObjectValue_ = p.read(Object).value<QObject*>();
                // A line-list object takes the whole text; other objects are left alone.
                if (auto* model = qobject_cast<QStringListModel*>(r.ObjectValue_))
                    r.SetList_ = [model](const QStringList& v) {
                        model->setStringList(v);
                        return true;
                    };
                break;
            case TPropKind::Other:
                r.SetStr_ = [Object, p](const QString& v) {
                    return p.isWritable() && WriteConverted(Object, p, v);
                };
                break;
        }
        return r;
    }

    // The names the scripts use where Qt has a property under another name.
    auto is = [&](const char* N) { return Name.compare(QLatin1String(N), Qt::CaseInsensitive) == 0; };
    auto text = [](std::function<void(const QString&)> Set) {
        TPublishedProperty r;
        r.Kind_ = TPropKind::Text;
        r.SetStr_ = [Set](const QString& v) { Set(v); return true; };
        return r;
    };
    auto lines = [](std::function<void(const QStringList&)> Set) {
        TPublishedProperty r;
        r.Kind_ = TPropKind::Lines;
        r.SetList_ = [Set](const QStringList& v) { Set(v); return true; };
        return r;
    };
    auto integer = [](std::function<bool(int)> Set) {
        TPublishedProperty r;
        r.Kind_ = TPropKind::Integer;
        r.SetInt_ = std::move(Set);
        return r;
    };

    if (is("Caption") || is("Title")) {
        const bool caption = is("Caption");
        if (auto* a = qobject_cast<QAction*>(Object))
            return text([a](const QString& v) { a->setText(v); });
        if (auto* m = qobject_cast<QMenu*>(Object))
            return text([m](const QString& v) { m->setTitle(v); });
        if (auto* g = qobject_cast<QGroupBox*>(Object))
            return text([g](const QString& v) { g->setTitle(v); });
        if (caption) {
            if (auto* l = qobject_cast<QLabel*>(Object))
                return text([l](const QString& v) { l->setText(v); });
            if (auto* b = qobject_cast<QAbstractButton*>(Object))
                return text([b](const QString& v) { b->setText(v); });
        }
        if (auto* w = qobject_cast<QWidget*>(Object))
            return text([w](const QString& v) { w->setWindowTitle(v); });
        return std::nullopt;
    }
    if (is("HTMLText")) {
        if (auto* l = qobject_cast<QLabel*>(Object))
            return lines([l](const QStringList& v) {
                l->setTextFormat(Qt::RichText);
                l->setText(v.join(QLatin1Char('\n')));
            });
        return std::nullopt;
    }
    if (is("Items")) {
        if (auto* c = qobject_cast<QComboBox*>(Object))
            return lines([c](const QStringList& v) {
                const int index = c->currentIndex();
                c->clear();
                c->addItems(v);
                if (index < c->count()) c->setCurrentIndex(index);
            });
        return std::nullopt;
    }
    if (is("Hint")) {
        if (auto* a = qobject_cast<QAction*>(Object))
            return text([a](const QString& v) { a->setToolTip(v); });
        if (auto* w = qobject_cast<QWidget*>(Object))
            return text([w](const QString& v) { w->setToolTip(v); });
        return std::nullopt;
    }
    if (is("Cursor")) {
        if (auto* w = qobject_cast<QWidget*>(Object))
            return integer([w](int code) {
                if (code == 0) {
                    w->unsetCursor();
                    return true;
                }
                const auto shape = CursorShapeFor(code);
                if (!shape) return false;
                w->setCursor(*shape);
                return true;
            });
        return std::nullopt;
    }
    if (is("Color")) {
        if (auto* w = qobject_cast<QWidget*>(Object))
            return integer([w](int code) {
                if (code == 0x20000000 || code == 0x1FFFFFFF) {
                    // Default and none: back to the inherited background.
                    w->setAutoFillBackground(false);
                    w->setPalette(QPalette());
                    return true;
                }
                QPalette pal = w->palette();
                pal.setColor(QPalette::Window, ColorFromCode(code));
                w->setPalette(pal);
                w->setAutoFillBackground(true);
                return true;
            });
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<int> ScriptValueToInt(std::string_view Value) {
    if (auto v = ParseRuntimeInt(Value)) return v;
    if (auto v = LookupIdent(kCursors, Value)) return v;
    if (auto v = LookupIdent(kColors, Value)) return v;
    if (auto v = LookupIdent(kCharsets, Value)) return v;
    if (!Value.empty() && Value[0] == '#') {
        if (auto hex = ParseHex(Value.substr(1))) return static_cast<std::int32_t>(*hex);
    }
    return std::nullopt;
}

QStringList SplitTextLines(const QString& Text) {
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = Text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = Text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out.append(Text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && Text[i + 1] == QLatin1Char('\n')) ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n) out.append(Text.mid(start));
    return out;
}

}  // namespace tessum
