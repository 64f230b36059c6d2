#include "i18n/TextFormat.h"

#include <algorithm>
#include <cstdio>

namespace tessum {

namespace {

std::string Padded(std::string Text, int Width, bool LeftJustify) {
    if (Width > static_cast<int>(Text.size())) {
        const std::string Fill(static_cast<std::size_t>(Width) - Text.size(), ' ');
        Text = LeftJustify ? Text + Fill : Fill + Text;
    }
    return Text;
}

std::string NumberText(const TFormatArg& Arg) {
    if (const auto* S = std::get_if<std::string>(&Arg)) return *S;
    if (const auto* D = std::get_if<double>(&Arg)) {
        char Buffer[64];
        std::snprintf(Buffer, sizeof Buffer, "%g", *D);
        return Buffer;
    }
    return std::to_string(std::get<std::int64_t>(Arg));
}

std::string FixedText(const TFormatArg& Arg, int Precision) {
    double V = 0;
    if (const auto* D = std::get_if<double>(&Arg))
        V = *D;
    else if (const auto* I = std::get_if<std::int64_t>(&Arg))
        V = static_cast<double>(*I);
    else
        return std::get<std::string>(Arg);
    char Buffer[400];
    std::snprintf(Buffer, sizeof Buffer, "%.*f", std::clamp(Precision < 0 ? 2 : Precision, 0, 30), V);
    return Buffer;
}

std::string IntegerText(const TFormatArg& Arg, char Type, int Precision) {
    if (const auto* S = std::get_if<std::string>(&Arg)) return *S;
    if (const auto* D = std::get_if<double>(&Arg)) return FixedText(*D, 0);
    const std::int64_t V = std::get<std::int64_t>(Arg);
    char Buffer[64];
    if (Type == 'u')
        std::snprintf(Buffer, sizeof Buffer, "%u", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else if (Type == 'x')
        std::snprintf(Buffer, sizeof Buffer, "%x", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else if (Type == 'X')
        std::snprintf(Buffer, sizeof Buffer, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else
        std::snprintf(Buffer, sizeof Buffer, "%lld", static_cast<long long>(V));
    std::string Digits = Buffer;
    const bool Negative = !Digits.empty() && Digits[0] == '-';
    if (Negative) Digits.erase(0, 1);
    if (Precision > static_cast<int>(Digits.size()))
        Digits.insert(0, static_cast<std::size_t>(std::min(Precision, 64)) - Digits.size(), '0');
    return Negative ? "-" + Digits : Digits;
}

}  // namespace

std::string FormatText(std::string_view Pattern, std::initializer_list<TFormatArg> Args) {
    std::string Out;
    const TFormatArg* ArgBegin = Args.begin();
    const std::size_t ArgCount = Args.size();
    std::size_t NextArg = 0;
    std::size_t I = 0;
    while (I < Pattern.size()) {
        const char C = Pattern[I];
        if (C != '%') {
            Out += C;
            ++I;
            continue;
        }
        const std::size_t Start = I++;
        if (I < Pattern.size() && Pattern[I] == '%') {
            Out += '%';
            ++I;
            continue;
        }
        auto ReadNumber = [&](int& Number) {
            bool Any = false;
            Number = 0;
            while (I < Pattern.size() && Pattern[I] >= '0' && Pattern[I] <= '9') {
                Number = std::min(Number * 10 + (Pattern[I] - '0'), 1000);
                ++I;
                Any = true;
            }
            return Any;
        };
        // An explicit argument index "%1:s".
        std::size_t Save = I;
        int Index = 0;
        if (ReadNumber(Index) && I < Pattern.size() && Pattern[I] == ':') {
            NextArg = static_cast<std::size_t>(Index);
            ++I;
        } else {
            I = Save;
        }
        bool LeftJustify = false;
        if (I < Pattern.size() && Pattern[I] == '-') {
            LeftJustify = true;
            ++I;
        }
        int Width = 0;
        ReadNumber(Width);
        int Precision = -1;
        if (I < Pattern.size() && Pattern[I] == '.') {
            ++I;
            ReadNumber(Precision);
        }
        const char Type = I < Pattern.size() ? Pattern[I] : '\0';
        const char Lower = static_cast<char>(Type >= 'A' && Type <= 'Z' ? Type - 'A' + 'a' : Type);
        if (Lower != 's' && Lower != 'd' && Lower != 'u' && Lower != 'x' && Lower != 'f') {
            // Not a directive we know: keep it visible rather than guess.
            Out.append(Pattern.substr(Start, I - Start));
            continue;
        }
        ++I;
        std::string Piece;
        if (NextArg < ArgCount) {
            const TFormatArg& Arg = ArgBegin[NextArg];
            if (Lower == 's') {
                Piece = NumberText(Arg);
                if (Precision >= 0 && Precision < static_cast<int>(Piece.size()))
                    Piece.resize(static_cast<std::size_t>(Precision));
            } else if (Lower == 'f') {
                Piece = FixedText(Arg, Precision);
            } else {
                Piece = IntegerText(Arg, Lower == 'x' ? Type : Lower, Precision);
            }
        }
        ++NextArg;
        Out += Padded(std::move(Piece), Width, LeftJustify);
    }
    return Out;
}

}  // namespace tessum
