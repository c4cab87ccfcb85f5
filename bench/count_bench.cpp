// Speed of counting one copied text, as a multiple of one plain pass over the same buffer
// (std::count of one code unit) measured in the same run, so that the figures carry from one
// machine to another. Run: build/native/bench/quillet_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "counting/count.h"
#include "counting/figures.h"
#include "counting/report.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

// Deterministic mixed Japanese text of `bytes` bytes of UTF-16: kanji, kana, ASCII, half-width
// katakana, both spaces, tabs and CR LF, in word-sized runs.
const std::u16string& MixedText(std::size_t bytes) {
    static std::map<std::size_t, std::u16string> cache;
    auto& text = cache[bytes];
    if (!text.empty()) return text;
    static const std::u16string pieces[] = {
        u"日本語の文章", u"カタカナ", u"ひらがなです", u"ASCII text", u"ｶﾀｶﾅ",
        u"　",           u" ",        u"\t",           u"\r\n",       u"、",
        u"。",           u"Quillet",  u"全角ＡＢＣ",   u"123",        u"abc"};
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    const std::size_t units = bytes / 2;
    while (text.size() < units) text += pieces[pick(rng)];
    text.resize(units);
    return text;
}

// 'a' everywhere and a pattern of 999 'a' and one 'b': a naive window compares ~1000 units at
// every position.
const std::u16string& Pathological(std::size_t bytes) {
    static std::map<std::size_t, std::u16string> cache;
    auto& text = cache[bytes];
    if (text.empty()) text.assign(bytes / 2, u'a');
    return text;
}
const std::u16string kNearPattern = std::u16string(999, u'a') + u'b';

void PlainPass(benchmark::State& state) {
    const auto& text = MixedText(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(std::count(text.begin(), text.end(), u'x'));
}

void CountAndReport(benchmark::State& state, const std::u16string& search, int32_t fuzzy) {
    const auto& text = MixedText(state.range(0));
    for (auto _ : state) {
        quillet::CountResult r;
        r.SearchStr = search;
        quillet::CountText(text, r, fuzzy);
        auto report = quillet::BuildReport(r, quillet::Derive(r), u"1111111");
        benchmark::DoNotOptimize(report);
    }
}

void NoSearch(benchmark::State& s) {
    CountAndReport(s, u"", 0);
}
void ExactSearch(benchmark::State& s) {
    CountAndReport(s, u"文章", 0);
}
void LooseSearch(benchmark::State& s) {
    CountAndReport(s, u"ａｂｃ", 1);
}

void PathologicalPlain(benchmark::State& state) {
    const auto& text = Pathological(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(std::count(text.begin(), text.end(), u'x'));
}
void PathologicalExact(benchmark::State& state) {
    const auto& text = Pathological(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(quillet::CountOccurrences(text, kNearPattern, 0));
}
void PathologicalLoose(benchmark::State& state) {
    const auto& text = Pathological(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(quillet::CountOccurrences(text, kNearPattern, 1));
}

// The four optional figures together (原稿用紙, UTF-8, X, the limit) and their line, from the
// same Unicode text; the limit reads the 字数 that the count above gives.
void FourFigures(benchmark::State& state) {
    const auto& text = MixedText(state.range(0));
    quillet::CountResult r;
    quillet::CountText(text, r, 0);
    const auto d = quillet::Derive(r);
    for (auto _ : state) {
        const auto figures = quillet::ComputeFigures(text, u"111");
        auto report = quillet::BuildReport(r, d, u"0000000", figures, 400);
        benchmark::DoNotOptimize(report);
    }
}
void Manuscript(benchmark::State& state) {
    const auto& text = MixedText(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(quillet::ManuscriptSize(text));
}
void Utf8(benchmark::State& state) {
    const auto& text = MixedText(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(quillet::Utf8Length(text));
}
void XCount(benchmark::State& state) {
    const auto& text = MixedText(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(quillet::XWeightedLength(text));
}

BENCHMARK(PlainPass)->Arg(kMiB)->Arg(2 * kMiB);
BENCHMARK(NoSearch)->Arg(kMiB);
BENCHMARK(ExactSearch)->Arg(kMiB);
BENCHMARK(LooseSearch)->Arg(kMiB);
BENCHMARK(FourFigures)->Arg(kMiB)->Arg(2 * kMiB);
BENCHMARK(Manuscript)->Arg(kMiB);
BENCHMARK(Utf8)->Arg(kMiB);
BENCHMARK(XCount)->Arg(kMiB);
BENCHMARK(PathologicalPlain)->Arg(kMiB)->Arg(2 * kMiB);
BENCHMARK(PathologicalExact)->Arg(kMiB)->Arg(2 * kMiB);
BENCHMARK(PathologicalLoose)->Arg(kMiB)->Arg(2 * kMiB);

// Prints the usual table, then each figure as a multiple of the plain pass of the same size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // With --benchmark_repetitions the median stands for each benchmark.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            if (!aggregate && times_.count(run.run_name.str()) && repeated_) continue;
            times_[run.run_name.str()] = run.GetAdjustedRealTime();
            repeated_ |= aggregate;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto t = [&](const std::string& name) { return times_.count(name) ? times_[name] : 0.0; };
        // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
        std::string one = "/", two = "/";
        one += std::to_string(kMiB);
        two += std::to_string(2 * kMiB);
        const double plain = t("PlainPass" + one);
        std::printf("\nas multiples of one plain pass over the same 1 MiB buffer:\n");
        for (const char* name :
             {"NoSearch", "ExactSearch", "LooseSearch", "Manuscript", "Utf8", "XCount"}) {
            std::printf("  %-12s %6.2f passes\n", name, t(name + one) / plain);
        }
        // Linear when the figures grow from 1 to 2 MiB as the plain pass does (the caches make
        // neither exactly 2).
        std::printf("  %-12s %6.2f passes, 2 MiB / 1 MiB %.2fx (the plain pass %.2fx)\n",
                    "FourFigures", t("FourFigures" + one) / plain,
                    t("FourFigures" + two) / t("FourFigures" + one), t("PlainPass" + two) / plain);
        for (const char* name : {"PathologicalExact", "PathologicalLoose"}) {
            std::printf("  %-18s 1 MiB %7.2f passes, 2 MiB / 1 MiB %.2fx\n", name,
                        t(name + one) / t("PathologicalPlain" + one),
                        t(name + two) / t(name + one));
        }
    }

private:
    std::map<std::string, double> times_;
    bool repeated_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
