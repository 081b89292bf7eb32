// Playback starts within 50 ms of the click: the time from Player::Play to
// the first block handed to the device, through the real PortAudio path with
// ALSA's default output written to /dev/null by its file plugin. The first
// start of the process also initialises PortAudio (which the window does at
// start-up, when it opens the input); it is reported as "cold_ms". "Play
// synthesised" builds its bell before that: the synthesis cases time it.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "audio/output_sink.h"
#include "audio/player.h"
#include "tuning/bell_synthesis.h"

namespace {

using Clock = std::chrono::steady_clock;

// The PortAudio output, noting when its first block was handed over.
struct TimedOutput final : OutputSink {
    explicit TimedOutput(std::atomic<Clock::rep>& firstWrite) : firstWrite(firstWrite) {}
    std::int16_t Open() override { return real->Open(); }
    std::int16_t Start() override { return real->Start(); }
    bool Write(const std::int16_t* samples, std::int32_t count) override {
        Clock::rep none = 0;
        firstWrite.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        return real->Write(samples, count);
    }
    void Drain() override { real->Drain(); }
    void Interrupt() override { real->Interrupt(); }
    void Close() override { real->Close(); }
    // Written by the player's thread at its first write, read by the benchmark's thread.
    std::atomic<Clock::rep>& firstWrite;
    std::unique_ptr<OutputSink> real = MakePortAudioOutput();
};

// One start: milliseconds from Play to the first write, or -1 when it was refused.
double StartOnce(Player& player, const std::shared_ptr<const std::vector<std::int16_t>>& samples) {
    std::atomic<Clock::rep> firstWrite{0};
    const Clock::time_point clicked = Clock::now();
    if (player.Play(samples, [&firstWrite] { return std::make_unique<TimedOutput>(firstWrite); }) != kPlayerStarted) {
        return -1.0;
    }
    while (firstWrite.load() == 0) std::this_thread::yield();
    const Clock::time_point handed{Clock::duration(firstWrite.load())};
    player.Stop();
    return std::chrono::duration<double, std::milli>(handed - clicked).count();
}

void PlaybackStart(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "campanor-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return state.SkipWithError("no scratch folder");
    std::ofstream(folder + "/asound.conf")
        << "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", (folder + "/asound.conf").c_str(), 1);
    const auto samples = std::make_shared<const std::vector<std::int16_t>>(44100, std::int16_t{1000});
    Player player;
    // Google Benchmark runs this function several times; only its first start is cold.
    static const double coldMs = StartOnce(player, samples);
    if (coldMs < 0) return state.SkipWithError("the output was refused");
    for (auto _ : state) {
        const double ms = StartOnce(player, samples);
        if (ms < 0) return state.SkipWithError("the output was refused");
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["cold_ms"] = coldMs;
    std::filesystem::remove_all(folder);
}
BENCHMARK(PlaybackStart)->Name("playback_start")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// "Play synthesised" builds the bell before it starts playing: seven partials,
// two of them doublets, over 3 s (the shortest) and 20 s (the finest interval).
void SynthesisBeforePlay(benchmark::State& state) {
    TuningReport report;
    const double ratios[7] = {0.25, 0.5, 0.6, 0.75, 1.0, 1.5, 2.0};
    for (std::int16_t p = 0; p < 7; ++p) {
        TunedPartial partial;
        partial.partialIndex = p;
        partial.frequencyHz = 600.0 * ratios[p];
        partial.levelDb = -20.0 - 3.0 * p;
        partial.t60Seconds = 30.0 / (p + 1);
        if (p % 3 == 0) partial.doublet = Doublet{partial.frequencyHz + 0.7, 0.5, -26.0 - 3.0 * p};
        report.partials.push_back(partial);
    }
    for (auto _ : state) {
        std::vector<std::int16_t> bell = SynthesiseBell(report, false, static_cast<std::int32_t>(state.range(0)), 44100.0);
        benchmark::DoNotOptimize(bell);
    }
}
BENCHMARK(SynthesisBeforePlay)->Name("synthesis_3s")->Arg(3 * 44100)->Unit(benchmark::kMillisecond);
BENCHMARK(SynthesisBeforePlay)->Name("synthesis_20s")->Arg(20 * 44100)->Unit(benchmark::kMillisecond);

}  // namespace
