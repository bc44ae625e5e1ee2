// The buffer header scan against its plain position-by-position definition and against memchr,
// on 100 MiB of random bytes and 100 MiB of zeros. The hits of the scan and of the definition are
// compared before anything is timed.

#include "figure_line.h"
#include "header_scan.h"
#include "reference_matching.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t bufferSize = 100 * 1024 * 1024;

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes()
{
    Bytes bytes(bufferSize);
    std::mt19937_64 generator(20260203);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = generator();
        std::memcpy(bytes.data() + i, &word, 8);
    }
    return bytes;
}

struct Data {
    const char* name;
    Bytes bytes;
};

// The most frequent first byte of a header (FF: JPEG and MPEG audio), searched through the buffer.
std::size_t memchrCount(std::span<const std::uint8_t> buffer)
{
    std::size_t count = 0;
    const std::uint8_t* end = buffer.data() + buffer.size();
    for (const std::uint8_t* at = buffer.data();
         (at = static_cast<const std::uint8_t*>(std::memchr(at, 0xFF, static_cast<std::size_t>(end - at)))) != nullptr;
         ++at) {
        ++count;
    }
    return count;
}

template <typename Scan>
void registerScan(const std::string& name, const Data& data, Scan scan)
{
    benchmark::RegisterBenchmark((name + "/" + data.name).c_str(),
                                 [&data, scan](benchmark::State& state) {
                                     for (auto _ : state) {
                                         benchmark::DoNotOptimize(scan(data.bytes));
                                     }
                                     state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                                             static_cast<std::int64_t>(data.bytes.size()));
                                 })
        ->Unit(benchmark::kMillisecond);
}

// Keeps each benchmark's throughput for the figure lines while the console shows its usual table.
class ThroughputReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end() && run.run_type == Run::RT_Iteration) {
                megabytesPerSecond[run.benchmark_name()] = rate->second.value / 1e6;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> megabytesPerSecond;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);

    const Data data[] = {{"random", randomBytes()}, {"zeros", Bytes(bufferSize, 0)}};

    bool identical = true;
    for (const Data& each : data) {
        const HeaderHits hits = scanBufferForHeaders(each.bytes);
        const bool same = hits == reference::headerScan(each.bytes);
        identical = identical && same;
        printNote(std::string("hits on 100 MiB of ") + each.name + ": " + std::to_string(hits.size()) +
                  (same ? ", identical to the plain definition's" : ", DIFFERENT from the plain definition's"));
    }

    for (const Data& each : data) {
        registerScan("header scan", each, [](const Bytes& bytes) { return scanBufferForHeaders(bytes); });
        registerScan("plain definition", each, [](const Bytes& bytes) { return reference::headerScan(bytes); });
        registerScan("memchr FF", each, [](const Bytes& bytes) { return memchrCount(bytes); });
    }

    ThroughputReporter reporter;
    reporter.SetErrorStream(&std::cout);   // the run's context goes with its table, apart from the figures
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const Data& each : data) {
        const std::string suffix = std::string("/") + each.name;
        const double scan = reporter.megabytesPerSecond["header scan" + suffix];
        const std::string what = std::string("header scan, 100 MiB ") + each.name;
        printFigure(what, scan, "plain definition", reporter.megabytesPerSecond["plain definition" + suffix], "MB/s",
                    ">= 10");
        printFigure(what, scan, "memchr FF", reporter.megabytesPerSecond["memchr FF" + suffix], "MB/s", "none");
    }
    return identical ? 0 : 1;
}
