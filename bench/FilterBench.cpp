// Filter list speed and memory: loading a 1,000,000-line file, and one IsNamed at
// 1,000 / 100,000 / 1,000,000 entries, for the index and for the plain rule.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "HostNames.h"
#include "ResidentMemory.h"
#include "dns/NameFilter.h"
#include "dns/ReferenceMatcher.h"
#include "settings/TextFile.h"

namespace {

// Enough distinct queries that a large list's index is not all in the cache, as it is not
// for a server answering many different names.
constexpr int kQueryCount = 1 << 18;

std::vector<std::string> ListOf(std::size_t count) {
    HostNames names(42);
    std::vector<std::string> list;
    list.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        list.push_back(names.Next());
    }
    return list;
}

std::string TextOf(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& name : list) {
        text += name;
        text += '\n';
    }
    return text;
}

// Half the queries are subdomains of listed names, half are names of nobody's list.
std::vector<std::string> QueriesFor(const std::vector<std::string>& list) {
    HostNames strangers(7);
    std::mt19937 random(3);
    std::vector<std::string> queries;
    for (int i = 0; i < kQueryCount; ++i) {
        if (i % 2 == 0) {
            queries.push_back("img." + list[random() % list.size()]);
        } else {
            queries.push_back("www." + strangers.Next());
        }
    }
    return queries;
}

void BM_LoadFile(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string> list = ListOf(count);
    const std::string text = TextOf(list);
    const std::string path = "/tmp/filter-bench-named.txt";
    std::ofstream(path, std::ios::binary) << text;

    double extraBytesPerEntry = 0;
    for (auto _ : state) {
        const long before = ResidentBytes();
        CNameFilter filter;
        std::string fileText;
        ReadTextFile(path, fileText);
        filter.Assign(std::move(fileText));
        benchmark::DoNotOptimize(filter.EntryCount());
        const long after = ResidentBytes();
        extraBytesPerEntry =
            (static_cast<double>(after - before) - static_cast<double>(text.size() - count)) /
            static_cast<double>(count);
    }
    std::remove(path.c_str());
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["rss_over_text_B_per_entry"] = extraBytesPerEntry;
}
BENCHMARK(BM_LoadFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IsNamedIndex(benchmark::State& state) {
    const std::vector<std::string> list = ListOf(static_cast<std::size_t>(state.range(0)));
    CNameFilter filter;
    filter.Assign(TextOf(list));
    const std::vector<std::string> queries = QueriesFor(list);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(filter.Matches(queries[i++ % kQueryCount]));
    }
}
BENCHMARK(BM_IsNamedIndex)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kNanosecond);

void BM_IsNamedReference(benchmark::State& state) {
    const std::vector<std::string> list = ListOf(static_cast<std::size_t>(state.range(0)));
    const std::vector<std::string> queries = QueriesFor(list);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference::MatchesAny(list, queries[i++ % kQueryCount]));
    }
}
BENCHMARK(BM_IsNamedReference)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
