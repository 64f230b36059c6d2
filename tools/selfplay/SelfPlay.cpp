#include "SelfPlay.h"

#include "ai/uTKI.h"
#include "ai/uTMaster.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <iomanip>
#include <memory>
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
    case 4: return "master";
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
           "  --level1 L       level of side 1: 1 rookie, 2 advanced, 3 professional,\n"
           "                   4 master (default 3)\n"
           "  --level2 L       level of side 2 (default 2)\n"
           "  --budget MS      the master's time for one move, 1..60000 (default 1000)\n"
           "  --nodes N        and the positions it may visit in one move, so that its\n"
           "                   strength does not depend on the machine's load\n"
           "                   (1..10^12; default no limit)\n"
           "  --alternate      side 1 begins the odd games, side 2 the even ones,\n"
           "                   instead of the match draw deciding\n"
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
        if (Name == "--alternate") {
            Options.Alternate = true;
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
        else if (Name == "--level1") Ok = Numeric(1, 4, Options.Level1);
        else if (Name == "--level2") Ok = Numeric(1, 4, Options.Level2);
        else if (Name == "--budget") Ok = Numeric(1, 60000, Options.BudgetMs);
        else if (Name == "--nodes") {
            if (!ParseNumber(Value, 1, 1000000000000, Options.Nodes)) {
                Error = "--nodes must be a whole number from 1 to 1000000000000, not \"" + Value + "\"";
                return std::nullopt;
            }
        }
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

namespace {

// One side's computer: the tree search of levels 1 to 3, or the master.
class TPlayer {
public:
    TPlayer(TFeld& Board, int32_t Level, const TOptions& Options, uint64_t Seed) : Ki(Board), Board(Board) {
        Ki.Level = Level;
        if (Level == 4) {
            Master = std::make_unique<TMaster>();
            Master->Budget = std::chrono::milliseconds(Options.BudgetMs);
            Master->NodeLimit = static_cast<uint64_t>(Options.Nodes);
            if (Options.Seed) Master->Seed(Seed);
        }
    }

    int32_t ChooseMove(TGameResult& Result) {
        if (!Master) return Ki.ChooseMove();
        const TMasterResult Found = Master->Search(Board);
        if (Found.Depth > 0) {
            ++Result.Searches;
            Result.ExactSearches += Found.Exact;
            Result.DepthSum += Found.Depth;
            Result.MinDepth = Result.Searches == 1 ? Found.Depth : std::min(Result.MinDepth, Found.Depth);
            Result.MaxDepth = std::max(Result.MaxDepth, Found.Depth);
            Result.Nodes += Found.Nodes;
            Result.SearchMicros += Found.Elapsed.count();
        }
        Result.WorstMicros = std::max<int64_t>(Result.WorstMicros, Found.Elapsed.count());
        return Found.Move;
    }

private:
    TKI Ki;
    TFeld& Board;
    std::unique_ptr<TMaster> Master;
};

}  // namespace

TGameResult PlayGame(const TOptions& Options, std::mt19937_64& Rng, std::ostream* Out, int32_t Starter) {
    TFeld Board;
    Board.Variant = Options.Variant;
    Board.UseEndPits = Options.UseEndPits;
    Board.StonesPerPit = static_cast<uint8_t>(Options.Stones);
    Board.Reset();
    TGameResult Result;
    // The match draw: either side may open.
    Result.Starter = static_cast<int32_t>(Rng() % 2) + 1;
    if (Starter == 1 || Starter == 2) Result.Starter = Starter;
    Board.Player = Result.Starter;

    TPlayer Side1(Board, Options.Level1, Options, Rng()), Side2(Board, Options.Level2, Options, Rng());

    if (Out) *Out << SideName(Result.Starter, Options) << " begins\n" << DrawBoard(Board, 0);
    bool WillWinShown = false;
    while (!Board.IsGameOver() && Result.Moves < MoveLimit) {
        const int32_t Mover = Board.Player;
        const int32_t N = (Mover == 1 ? Side1 : Side2).ChooseMove(Result);
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
        << SideName(1, Options) << " against " << SideName(2, Options);
    if (Options.Level1 == 4 || Options.Level2 == 4) {
        Out << ", master's budget " << Options.BudgetMs << " ms a move";
        if (Options.Nodes > 0) Out << " or " << Options.Nodes << " positions";
    }
    Out << (Options.Alternate ? ", sides begin in turn" : "") << "\n";

    std::vector<TGameResult> Results;
    int32_t Wins[3] = {0, 0, 0};
    int64_t Moves = 0, Totals[3] = {0, 0, 0};
    int32_t Unfinished = 0;
    // Outcomes for side 1 by the side that began: wins, draws, losses.
    int32_t ByStarter[3][3] = {};
    TGameResult Search;  // the master's figures over all games
    for (int32_t Game = 1; Game <= Options.Games; ++Game) {
        if (Options.Verbose) Out << "\n=== Game " << Game << " ===\n";
        const int32_t Starter = Options.Alternate ? 2 - Game % 2 : 0;
        const TGameResult Result = PlayGame(Options, Rng, Options.Verbose ? &Out : nullptr, Starter);
        Results.push_back(Result);
        Moves += Result.Moves;
        Totals[1] += Result.Store1;
        Totals[2] += Result.Store2;
        if (!Result.Finished) ++Unfinished;
        else {
            ++Wins[Result.Winner()];
            ++ByStarter[Result.Starter][Result.Winner() == 1 ? 0 : Result.Winner() == 0 ? 1 : 2];
        }
        if (Result.Searches > 0) {
            Search.MinDepth = Search.Searches == 0 ? Result.MinDepth : std::min(Search.MinDepth, Result.MinDepth);
            Search.Searches += Result.Searches;
            Search.ExactSearches += Result.ExactSearches;
            Search.DepthSum += Result.DepthSum;
            Search.MaxDepth = std::max(Search.MaxDepth, Result.MaxDepth);
            Search.Nodes += Result.Nodes;
            Search.SearchMicros += Result.SearchMicros;
        }
        Search.WorstMicros = std::max(Search.WorstMicros, Result.WorstMicros);

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
    for (int32_t Starter = 1; Starter <= 2; ++Starter) {
        const int32_t* Outcome = ByStarter[Starter];
        if (Outcome[0] + Outcome[1] + Outcome[2] == 0) continue;
        Out << "side " << Starter << " began: side 1 won " << Outcome[0] << ", drew " << Outcome[1] << ", lost "
            << Outcome[2] << "\n";
    }
    if (Unfinished > 0) Out << "cut off: " << Unfinished << "\n";
    Out << "average moves per game: " << std::fixed << std::setprecision(1)
        << static_cast<double>(Moves) / Options.Games << "\n"
        << "end pit totals: side 1 " << Totals[1] << ", side 2 " << Totals[2] << "\n";
    if (Search.Searches > 0) {
        const double Seconds = static_cast<double>(Search.SearchMicros) / 1e6;
        Out << "master: " << Search.Searches << " searched moves, depth " << Search.MinDepth << " to "
            << Search.MaxDepth << " (average " << std::setprecision(1)
            << static_cast<double>(Search.DepthSum) / Search.Searches << "), " << Search.ExactSearches
            << " solved to the end, " << std::setprecision(0)
            << (Seconds > 0 ? static_cast<double>(Search.Nodes) / Seconds : 0.0) << " nodes per second, worst move "
            << std::setprecision(1) << static_cast<double>(Search.WorstMicros) / 1000 << " ms\n";
    }
    return Results;
}

}  // namespace tessum::selfplay
