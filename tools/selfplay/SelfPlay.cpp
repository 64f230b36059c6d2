#include "SelfPlay.h"

#include "ai/uTKI.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <thread>

namespace tessum::selfplay {

namespace {

bool ParseNumber(const std::string& Text, int64_t Low, int64_t High, int64_t& Value) {
    const char* Begin = Text.data();
    const char* End = Begin + Text.size();
    const auto [Ptr, Ec] = std::from_chars(Begin, End, Value);
    return Ec == std::errc() && Ptr == End && !Text.empty() && Value >= Low && Value <= High;
}

std::string LevelName(int32_t Level) {
    switch (Level) {
    case 1: return "rookie";
    case 2: return "advanced";
    default: return "professional";
    }
}

std::string SideName(int32_t Side, const TOptions& Options) {
    return "side " + std::to_string(Side) + " (" + LevelName(Side == 1 ? Options.Level1 : Options.Level2) + ")";
}

}  // namespace

std::string Usage() {
    return "usage: tessum-selfplay [options]\n"
           "  --games N        games to play (1..100000, default 10)\n"
           "  --variant V      rule variant 1, 2 or 3 (default 3)\n"
           "  --stones S       stones per pit, 3..8; at least 4 in variant 2 (default 6)\n"
           "  --endpits on|off whether sowing uses the end pits (default on)\n"
           "  --level1 L       level of side 1: 1 rookie, 2 advanced, 3 professional (default 3)\n"
           "  --level2 L       level of side 2 (default 2)\n"
           "  --seed N         repeat the same games (default: different every run)\n"
           "  --verbose        show every move and the board after it\n"
           "  --delay MS       pause after each move shown (0..10000; default 200 on a\n"
           "                   terminal, so the game can be followed, else 0)\n"
           "  --help           this text\n";
}

std::optional<TOptions> ParseOptions(const std::vector<std::string>& Args, std::string& Error) {
    TOptions Options;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        const std::string& Name = Args[I];
        if (Name == "--verbose") {
            Options.Verbose = true;
            continue;
        }
        if (Name == "--help" || Name == "-h") {
            Options.Help = true;
            continue;
        }
        if (I + 1 >= Args.size()) {
            Error = Name.rfind("--", 0) == 0 ? Name + " needs a value" : "unknown argument " + Name;
            return std::nullopt;
        }
        const std::string& Value = Args[++I];
        int64_t Number = 0;
        auto Numeric = [&](int64_t Low, int64_t High, int32_t& Field) {
            if (!ParseNumber(Value, Low, High, Number)) {
                Error = Name + " must be a whole number from " + std::to_string(Low) + " to " + std::to_string(High) +
                        ", not \"" + Value + "\"";
                return false;
            }
            Field = static_cast<int32_t>(Number);
            return true;
        };
        bool Ok = true;
        if (Name == "--games") Ok = Numeric(1, 100000, Options.Games);
        else if (Name == "--variant") Ok = Numeric(1, 3, Options.Variant);
        else if (Name == "--stones") Ok = Numeric(3, 8, Options.Stones);
        else if (Name == "--level1") Ok = Numeric(1, 3, Options.Level1);
        else if (Name == "--level2") Ok = Numeric(1, 3, Options.Level2);
        else if (Name == "--delay") Ok = Numeric(0, 10000, Options.DelayMs);
        else if (Name == "--endpits") {
            if (Value == "on") Options.UseEndPits = true;
            else if (Value == "off") Options.UseEndPits = false;
            else {
                Error = "--endpits must be on or off, not \"" + Value + "\"";
                return std::nullopt;
            }
        } else if (Name == "--seed") {
            uint64_t Seed = 0;
            const auto [Ptr, Ec] = std::from_chars(Value.data(), Value.data() + Value.size(), Seed);
            if (Value.empty() || Ec != std::errc() || Ptr != Value.data() + Value.size()) {
                Error = "--seed must be a whole number, not \"" + Value + "\"";
                return std::nullopt;
            }
            Options.Seed = Seed;
        } else {
            Error = "unknown option " + Name;
            return std::nullopt;
        }
        if (!Ok) return std::nullopt;
    }
    if (Options.Variant == 2 && Options.Stones < 4) {
        Error = "variant 2 needs at least 4 stones per pit";
        return std::nullopt;
    }
    return Options;
}

std::string DrawBoard(const TFeld& Board, int32_t Highlight) {
    std::string Out;
    auto Append = [&Out](const char* Format, int Value, char Mark = ' ') {
        char Buffer[16];
        std::snprintf(Buffer, sizeof Buffer, Format, Value, Mark);
        Out += Buffer;
    };
    auto Numbers = [&](int32_t First, int32_t Step) {
        Out += "       ";
        for (int32_t I = 0; I < RowLength; ++I) Append(" %2d  ", First + I * Step);
        Out.erase(Out.find_last_not_of(' ') + 1);
        Out += "\n";
    };
    auto Row = [&](int32_t First, int32_t Step, const char* Label) {
        Out += "      |";
        for (int32_t I = 0; I < RowLength; ++I) {
            const int32_t Pit = First + I * Step;
            Append(" %2d%c|", Board.Pits[Pit], Pit == Highlight ? '*' : ' ');
        }
        Out += Label;
    };
    Numbers(6, -1);
    Row(6, -1, "   side 1\n");
    Append(" | %2d |", Board.Pits[7]);
    Out += std::string(5 * RowLength - 1, '-');
    Append("| %2d |\n", Board.Pits[14]);
    Row(8, 1, "   side 2\n");
    Numbers(8, 1);
    return Out;
}

TGameResult PlayGame(const TOptions& Options, std::mt19937_64& Rng, std::ostream* Out) {
    TFeld Board;
    Board.Variant = Options.Variant;
    Board.UseEndPits = Options.UseEndPits;
    Board.StonesPerPit = static_cast<uint8_t>(Options.Stones);
    Board.Reset();
    TGameResult Result;
    // The match draw: either side may open.
    Result.Starter = static_cast<int32_t>(Rng() % 2) + 1;
    Board.Player = Result.Starter;

    TKI Side1(Board), Side2(Board);
    Side1.Level = Options.Level1;
    Side2.Level = Options.Level2;

    if (Out) *Out << SideName(Result.Starter, Options) << " begins\n" << DrawBoard(Board, 0);
    bool WillWinShown = false;
    while (!Board.IsGameOver() && Result.Moves < MoveLimit) {
        const int32_t Mover = Board.Player;
        const int32_t N = (Mover == 1 ? Side1 : Side2).ChooseMove();
        ++Result.Moves;
        if (N == 0) {
            ++Result.Skips;
            if (Out) *Out << SideName(Mover, Options) << " has to skip\n";
            Board.Skip();
            continue;
        }
        const int32_t Pit = PitIndex(Mover, N);
        const int32_t Before = Board.StoreOf(Mover), OtherBefore = Board.StoreOf(OtherPlayer(Mover));
        const int32_t Stones = Board.Pits[Pit];
        Board.DoMove(Pit);
        if (Out) {
            *Out << "\n" << SideName(Mover, Options) << " sows " << Stones << " from pit " << Pit;
            if (Board.StoreOf(Mover) > Before) *Out << ", +" << Board.StoreOf(Mover) - Before << " to its end pit";
            if (Board.StoreOf(OtherPlayer(Mover)) > OtherBefore)
                *Out << ", +" << Board.StoreOf(OtherPlayer(Mover)) - OtherBefore << " to the other's";
            if (Board.Player == Mover && !Board.IsGameOver()) *Out << ", moves again";
            *Out << "\n" << DrawBoard(Board, Pit);
            if (!WillWinShown && Board.WillWin() != 0) {
                WillWinShown = true;
                *Out << SideName(Board.WillWin(), Options) << " will win\n";
            }
            Out->flush();
            if (Options.DelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(Options.DelayMs));
        }
    }
    Result.Finished = Board.IsGameOver();
    Result.Store1 = Board.Store1();
    Result.Store2 = Board.Store2();
    return Result;
}

std::vector<TGameResult> Run(const TOptions& Options, std::ostream& Out) {
    std::mt19937_64 Rng(Options.Seed ? *Options.Seed : std::random_device{}());
    if (Options.Seed) SeedSearchRandom(*Options.Seed);

    Out << Options.Games << (Options.Games == 1 ? " game" : " games") << ", variant " << Options.Variant << ", "
        << Options.Stones << " stones per pit, end pits " << (Options.UseEndPits ? "on" : "off") << ", "
        << SideName(1, Options) << " against " << SideName(2, Options) << "\n";

    std::vector<TGameResult> Results;
    int32_t Wins[3] = {0, 0, 0};
    int64_t Moves = 0, Totals[3] = {0, 0, 0};
    int32_t Unfinished = 0;
    for (int32_t Game = 1; Game <= Options.Games; ++Game) {
        if (Options.Verbose) Out << "\n=== Game " << Game << " ===\n";
        const TGameResult Result = PlayGame(Options, Rng, Options.Verbose ? &Out : nullptr);
        Results.push_back(Result);
        Moves += Result.Moves;
        Totals[1] += Result.Store1;
        Totals[2] += Result.Store2;
        if (!Result.Finished) ++Unfinished;
        else ++Wins[Result.Winner()];

        Out << "Game " << Game << ": " << Result.Store1 << " : " << Result.Store2 << ", ";
        if (!Result.Finished) Out << "cut off after " << MoveLimit << " moves";
        else if (Result.Winner() == 0) Out << "drawn";
        else Out << SideName(Result.Winner(), Options) << " wins";
        Out << ", " << Result.Moves << " moves, side " << Result.Starter << " began\n";
    }
    Out << "\n"
        << SideName(1, Options) << " wins: " << Wins[1] << "\n"
        << SideName(2, Options) << " wins: " << Wins[2] << "\n"
        << "draws: " << Wins[0] << "\n";
    if (Unfinished > 0) Out << "cut off: " << Unfinished << "\n";
    Out << "average moves per game: " << std::fixed << std::setprecision(1)
        << static_cast<double>(Moves) / Options.Games << "\n"
        << "end pit totals: side 1 " << Totals[1] << ", side 2 " << Totals[2] << "\n";
    return Results;
}

}  // namespace tessum::selfplay
