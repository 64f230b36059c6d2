// From process start to the first painted board, with every graphics archive
// opened, as a separate process each time so nothing is warm but the disk;
// beside it the same for a minimal Qt Widgets window with a menu bar
// (BM_StartUpFloor), so the game's own cost reads as a ratio. Besides the
// wall time each reports the CPU time of the process (cpu_ms) and its peak
// resident memory (peak_MB).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern char** environ;

namespace {

std::string ProbePath(const char* Name) {
    std::error_code Ec;
    const auto Self = std::filesystem::read_symlink("/proc/self/exe", Ec);
    return (Self.parent_path() / Name).string();
}

double Milliseconds(const timeval& T) { return static_cast<double>(T.tv_sec) * 1e3 + static_cast<double>(T.tv_usec) / 1e3; }

void RunProbe(benchmark::State& State, const char* Name) {
    char Template[] = "/tmp/tessum-startup-XXXXXX";
    if (mkdtemp(Template) == nullptr) {
        State.SkipWithError("no temporary folder");
        return;
    }
    const std::string Folder = Template;
    // Sound off: the splash window would hold the start for four seconds.
    std::ofstream(Folder + "/settings.ini") << "[settings]\nlanguage=german\nsound=0\n";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string Probe = ProbePath(Name);
    long PeakKb = 0;
    double CpuMs = 0;
    int Runs = 0;
    for (auto _ : State) {
        char* Argv[] = {const_cast<char*>(Probe.c_str()), const_cast<char*>(Folder.c_str()), nullptr};
        const auto Start = std::chrono::steady_clock::now();
        pid_t Child = 0;
        if (posix_spawn(&Child, Probe.c_str(), nullptr, nullptr, Argv, environ) != 0) {
            State.SkipWithError("cannot start the probe");
            break;
        }
        int Status = 0;
        rusage Usage{};
        wait4(Child, &Status, 0, &Usage);
        const auto End = std::chrono::steady_clock::now();
        State.SetIterationTime(std::chrono::duration<double>(End - Start).count());
        if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) {
            State.SkipWithError("the probe failed");
            break;
        }
        PeakKb = std::max(PeakKb, Usage.ru_maxrss);
        CpuMs += Milliseconds(Usage.ru_utime) + Milliseconds(Usage.ru_stime);
        ++Runs;
    }
    State.counters["peak_MB"] = static_cast<double>(PeakKb) / 1024.0;
    State.counters["cpu_ms"] = Runs > 0 ? CpuMs / Runs : 0.0;
    std::filesystem::remove_all(Folder);
}

}  // namespace

void BM_StartUp(benchmark::State& State) { RunProbe(State, "tessum_startup_probe"); }

// The share of one core the program takes while a stone or a hand animation
// plays for 12 s (cpu_percent, from the probe's /proc/self/stat).
void BM_AnimationCpu(benchmark::State& State, const char* Kind) {
    char Template[] = "/tmp/tessum-animation-XXXXXX";
    if (mkdtemp(Template) == nullptr) {
        State.SkipWithError("no temporary folder");
        return;
    }
    const std::string Folder = Template;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string Command = ProbePath("tessum_animation_probe") + " " + Folder + " " + Kind + " 12 2>/dev/null";
    double Percent = -1;
    for (auto _ : State) {
        FILE* Output = popen(Command.c_str(), "r");
        if (Output == nullptr || std::fscanf(Output, "%lf", &Percent) != 1) Percent = -1;
        if (Output != nullptr) pclose(Output);
    }
    if (Percent < 0) State.SkipWithError("the probe failed");
    State.counters["cpu_percent"] = Percent;
    std::filesystem::remove_all(Folder);
}
void BM_StartUpFloor(benchmark::State& State) { RunProbe(State, "tessum_startup_floor"); }

BENCHMARK_CAPTURE(BM_AnimationCpu, stones, "stones")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_AnimationCpu, hands, "hands")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_StartUpFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly(true);
