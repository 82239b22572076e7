#pragma once
// What the command-line and table benchmarks share: 10 000 analysis files made
// from the worked example, and the processor time of this process and its
// children.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "inputs/field_tables.h"
#include "inputs/input_set_writer.h"
#include "inputs/json_loader.h"

namespace kalvanta::bench {

// The resident set of this process, in megabytes, from /proc.
inline double residentMB()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

namespace fs = std::filesystem;

inline constexpr int kAnalyses = 10000;

// Variation i of the worked example: every amount scaled by 1 + (i mod 97) %,
// its own enterprise name, and every tenth analysis a one-year one.
inline AnalysisInput variation(const AnalysisInput& example, int i)
{
    AnalysisInput in = example;
    const double scale = 1.0 + (i % 97) / 100.0;
    for (BalanceSheet* sheet : {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End}) {
        for (const auto& f : kAssetFields)
            sheet->*f.member *= scale;
        for (const auto& f : kLiabilityFields)
            sheet->*f.member *= scale;
    }
    for (int y = 1; y <= 2; ++y) {
        for (const auto& f : kProfitLossFields)
            in.ProfitLoss[y].*f.member *= scale;
        in.AdditionalData[y].FixedCostsTotal *= scale;
        in.AdditionalData[y].CreditsReceived *= scale;
    }
    in.AnalysisParameters.EnterpriseName = "Фирма N " + std::to_string(i);
    if (i % 10 == 9)
        in.AnalysisParameters.YearCount = 1.0;
    return in;
}

// 10 000 analysis files in a temporary folder, removed at exit.
class AnalysisFiles {
public:
    AnalysisFiles()
    {
        std::string pattern = (fs::temp_directory_path() / "kalvanta-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        const AnalysisInput example =
            loadAnalysisFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
        for (int i = 0; i < kAnalyses; ++i) {
            const std::string path = (folder_ / ("analysis-" + std::to_string(i) + ".json")).string();
            std::ofstream(path, std::ios::binary) << inputSetJson(variation(example, i));
            paths_.push_back(path);
        }
    }
    ~AnalysisFiles() { fs::remove_all(folder_); }
    const std::vector<std::string>& paths() const { return paths_; }

private:
    fs::path folder_;
    std::vector<std::string> paths_;
};

inline const AnalysisFiles& files()
{
    static const AnalysisFiles instance;
    return instance;
}

inline double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double ownCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace kalvanta::bench
