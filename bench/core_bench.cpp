// The portable text work on an 8 MiB C source, each operation against memcpy of the same
// bytes in the same run. Prints every ratio and whether it is within its bound.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "bench/sample_source.h"
#include "editor/c_tokens.h"
#include "editor/edit_history.h"
#include "editor/selection_indent.h"
#include "files/text_codec.h"
#include "search/text_search.h"

namespace {

constexpr std::size_t kTextUnits = 4u * 1024 * 1024;  // 8 MiB as UTF-16

const std::u16string& Text()
{
    static const std::u16string text = SampleCSource(kTextUnits);
    return text;
}

const std::string& SavedBytes()
{
    static const std::string bytes = EncodeUtf8(Text());
    return bytes;
}

void CopyBytes(benchmark::State& state, const void* source, std::size_t size)
{
    std::vector<char> destination(size);
    for (auto _ : state) {
        std::memcpy(destination.data(), source, size);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}

void MemcpyText(benchmark::State& state)
{
    CopyBytes(state, Text().data(), Text().size() * sizeof(char16_t));
}

void MemcpySavedBytes(benchmark::State& state)
{
    CopyBytes(state, SavedBytes().data(), SavedBytes().size());
}

void FreshCopyText(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(std::u16string(Text()));
}

void FindAbsent(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNextOccurrence(Text(), u"nie_ma_takiego_slowa", Text().size() / 2));
}

void ReplaceEveryLineBreak(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReplaceAllOccurrences(Text(), u"\r\n", u"\r\n\r\n\r\n", SIZE_MAX));
}

// The Replace as the editor records it: the new text and the step of its changes.
void ReplaceWithHistoryStep(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReplaceAllOccurrences(Text(), u"\r\n", u"\r\n\r\n\r\n", SIZE_MAX));
        benchmark::DoNotOptimize(ReplaceAllStep(Text(), u"\r\n", u"\r\n\r\n\r\n"));
    }
}

// Undo of that Replace: its step taken back from the replaced text in one pass.
void UndoReplaceStep(benchmark::State& state)
{
    const std::u16string replaced = *ReplaceAllOccurrences(Text(), u"\r\n", u"\r\n\r\n\r\n", SIZE_MAX);
    HistoryStep step;
    step.replaced = ReplaceAllStep(Text(), u"\r\n", u"\r\n\r\n\r\n");
    for (auto _ : state) {
        // The editor's copy of its text is not the undo's work.
        state.PauseTiming();
        std::u16string text = replaced;
        state.ResumeTiming();
        benchmark::DoNotOptimize(RevertStep(text, step));
        benchmark::DoNotOptimize(text.data());
    }
}

void IndentWhole(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(IndentSelectionText(Text(), 4, SIZE_MAX));
}

void OutdentWhole(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OutdentSelectionText(Text(), 4));
}

void RecogniseAndDecode(benchmark::State& state)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(SavedBytes().data());
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeTextFile({bytes, SavedBytes().size()}));
}

void ClassifyOnly(benchmark::State& state)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(SavedBytes().data());
    for (auto _ : state)
        benchmark::DoNotOptimize(ClassifyTextFile({bytes, SavedBytes().size()}));
}

void EncodeForSaving(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeUtf8(Text()));
}

// What the code view does for one repaint after an edit in its middle: the state where the view
// starts (the checkpoints before it already found), then the tokens of 60 lines.
void TokenizeView(benchmark::State& state, const std::u16string& text)
{
    ScanStateCache cache;
    const std::size_t middle = text.size() / 2;
    cache.LineStartAt(text, middle);
    std::size_t end = middle;
    for (int line = 0; line < 60; ++line)
        end = text.find(u'\n', end) + 1;
    std::vector<CodeToken> tokens;
    for (auto _ : state) {
        cache.Forget(middle);
        tokens.clear();
        const LineStartState start = cache.LineStartAt(text, middle);
        benchmark::DoNotOptimize(ScanCode(text, start.offset, end, start.state, &tokens));
        benchmark::DoNotOptimize(tokens.data());
    }
}

void TokenizeViewOf64KiB(benchmark::State& state)
{
    static const std::u16string text = SampleCSource(32u * 1024);
    TokenizeView(state, text);
}

void TokenizeViewOf8MiB(benchmark::State& state)
{
    TokenizeView(state, Text());
}

struct Bound {
    const char* operation;
    const char* baseline;
    double limit;
};

constexpr Bound kBounds[] = {
    {"FindAbsent", "MemcpyText", 3},
    {"ReplaceEveryLineBreak", "MemcpyText", 6},
    {"ReplaceWithHistoryStep", "ReplaceEveryLineBreak", 2.5},
    {"UndoReplaceStep", "ReplaceEveryLineBreak", 1.5},
    {"IndentWhole", "MemcpyText", 6},
    {"OutdentWhole", "MemcpyText", 6},
    {"RecogniseAndDecode", "MemcpySavedBytes", 8},
    {"EncodeForSaving", "MemcpyText", 8},
    // The view's cost must not grow with the text.
    {"TokenizeViewOf8MiB", "TokenizeViewOf64KiB", 1.5},
};

// Keeps each benchmark's median time per iteration for the table at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds[run.run_name.str()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> seconds;
};

}  // namespace

BENCHMARK(MemcpyText)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpySavedBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(FreshCopyText)->Unit(benchmark::kMillisecond);
BENCHMARK(FindAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplaceEveryLineBreak)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplaceWithHistoryStep)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoReplaceStep)->Unit(benchmark::kMillisecond);
BENCHMARK(IndentWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(OutdentWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(RecogniseAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeForSaving)->Unit(benchmark::kMillisecond);
BENCHMARK(TokenizeViewOf64KiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(TokenizeViewOf8MiB)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // Repeated and interleaved in random order, so that a busy moment of the machine weighs on
    // an operation and its baseline alike; the ratios are taken between medians.
    std::vector<char*> arguments(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=7";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {repetitions, interleaving, aggregatesOnly});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    std::printf("text: %zu UTF-16 units, %zu lines; saved as %zu bytes\n", Text().size(),
                static_cast<std::size_t>(std::count(Text().begin(), Text().end(), u'\n')), SavedBytes().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool allWithin = true;
    std::printf("\n%-24s %-20s %8s %8s  %s\n", "operation", "against", "ratio", "bound", "");
    for (const Bound& bound : kBounds) {
        const auto operation = reporter.seconds.find(bound.operation);
        const auto baseline = reporter.seconds.find(bound.baseline);
        if (operation == reporter.seconds.end() || baseline == reporter.seconds.end())
            continue;  // filtered out
        const double ratio = operation->second / baseline->second;
        const bool within = ratio <= bound.limit;
        allWithin = allWithin && within;
        std::printf("%-24s %-20s %8.2f %8.1f  %s\n", bound.operation, bound.baseline, ratio, bound.limit,
                    within ? "within" : "OVER");
    }
    return allWithin ? 0 : 1;
}
