#include "batch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "analysis/report_builder.h"
#include "inputs/json_loader.h"
#include "numeric/float_errors.h"
#include "statements/statement_import.h"

namespace kalvanta::indicators {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool hasInputExtension(const fs::path& p)
{
    const std::string ext = lower(p.extension().string());
    const auto& known = inputFileExtensions();
    return std::find(known.begin(), known.end(), ext) != known.end();
}

// The report's lines are not needed, only what it stores.
class DiscardSink : public ReportSink {
public:
    void appendLine(std::string_view) override {}
    void setVerticalScrollBars() override {}
    void setBaseFontHeight(int) override {}
};

} // namespace

const std::vector<std::string>& inputFileExtensions()
{
    static const std::vector<std::string> extensions = {".json", ".xml", ".csv"};
    return extensions;
}

InputFileList collectInputFiles(const std::vector<std::string>& names)
{
    InputFileList list;
    for (const std::string& name : names) {
        std::error_code ec;
        if (name == "-" || !fs::is_directory(name, ec)) {
            if (name != "-" && !fs::exists(name, ec)) {
                list.problems.push_back(name + ": no such file or folder");
                continue;
            }
            list.files.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator it(name, fs::directory_options::skip_permission_denied, ec);
        if (ec) {
            list.problems.push_back(name + ": cannot read the folder (" + ec.message() + ")");
            continue;
        }
        for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
            if (ec) {
                list.problems.push_back(name + ": cannot read the folder (" + ec.message() + ")");
                break;
            }
            std::error_code typeError;
            if (it->is_regular_file(typeError) && hasInputExtension(it->path()))
                found.push_back(it->path().string());
        }
        if (found.empty()) {
            std::string extensions;
            for (const std::string& e : inputFileExtensions())
                extensions += (extensions.empty() ? "" : ", ") + e;
            list.problems.push_back(name + ": the folder holds no input files (" + extensions + ")");
            continue;
        }
        std::sort(found.begin(), found.end());
        list.files.insert(list.files.end(), found.begin(), found.end());
    }
    return list;
}

LoadedInput loadInput(const std::string& path)
{
    LoadedInput loaded;
    ImportedAnalysis imported = loadInputFile(path);
    loaded.input = std::move(imported.input);
    loaded.facts.notes = std::move(imported.notes);
    loaded.facts.taxNumber = std::move(imported.taxNumber);
    loaded.facts.reportingYear = imported.reportingYear;
    loaded.facts.file = path;
    return loaded;
}

IndicatorRow analyseFile(const std::string& path)
{
    LoadedInput loaded;
    try {
        loaded = loadInput(path);
    } catch (const std::exception& e) {
        return refusedRow(path, e.what());
    }
    AnalysisInput& input = loaded.input;
    const double years = input.AnalysisParameters.YearCount;
    if (years != 1.0 && years != 2.0)
        return refusedRow(path, (path == "-" ? std::string("<stdin>") : path) + ": \"YearCount\" must be 1 or 2");
    input.AnalysisParameters.AnalysisPending = 1.0; // the progress window has completed
    AnalysisResults results;                        // a freshly started program
    DiscardSink sink;
    std::string error;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), CivilDate{2000, 1, 1});
    } catch (const FloatError& e) {
        error = withFullStop(e.what());
    } catch (const std::exception& e) {
        return refusedRow(path, e.what());
    }
    return rowFromReport(loaded.facts, input, results, error);
}

unsigned defaultJobs() { return std::max(1u, std::thread::hardware_concurrency()); }

BatchSummary runBatch(const std::vector<std::string>& files, const BatchControl& control,
                      const std::function<void(std::size_t index, IndicatorRow& row)>& deliver)
{
    BatchSummary summary;
    const std::size_t total = files.size();
    const auto cancelled = [&] { return control.cancel && control.cancel->load(std::memory_order_relaxed); };
    const auto count = [&](const IndicatorRow& row) {
        switch (row.status) {
        case RowStatus::Analysed: ++summary.analysed; break;
        case RowStatus::ArithmeticError: ++summary.arithmeticErrors; break;
        case RowStatus::Refused: ++summary.refused; break;
        }
    };
    const unsigned jobs = static_cast<unsigned>(
        std::min<std::size_t>(control.jobs == 0 ? defaultJobs() : control.jobs, std::max<std::size_t>(total, 1)));

    if (jobs <= 1) {
        for (std::size_t i = 0; i < total; ++i) {
            if (cancelled()) {
                summary.cancelled = true;
                break;
            }
            IndicatorRow row = analyseFile(files[i]);
            count(row);
            deliver(i, row);
            if (control.progress)
                control.progress(i + 1, total);
        }
        return summary;
    }

    // Workers claim files in order; finished rows wait in a window until
    // every earlier row has been delivered, so memory stays bounded.
    const std::size_t window = 64 * static_cast<std::size_t>(jobs);
    std::mutex mutex;
    std::condition_variable rowReady, slotFree;
    std::deque<std::optional<IndicatorRow>> pending; // index delivered + k
    std::size_t delivered = 0, next = 0;
    bool stop = false;

    const auto worker = [&] {
        for (;;) {
            std::size_t index;
            {
                std::unique_lock lock(mutex);
                slotFree.wait(lock, [&] { return stop || next >= total || next < delivered + window; });
                if (stop || next >= total || cancelled()) {
                    rowReady.notify_all(); // the deliverer may be waiting for a cancelled file
                    return;
                }
                index = next++;
            }
            IndicatorRow row = analyseFile(files[index]);
            {
                std::lock_guard lock(mutex);
                const std::size_t slot = index - delivered;
                if (pending.size() <= slot)
                    pending.resize(slot + 1);
                pending[slot] = std::move(row);
            }
            rowReady.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < jobs; ++t)
        threads.emplace_back(worker);

    std::exception_ptr failure;
    for (std::size_t i = 0; i < total; ++i) {
        std::optional<IndicatorRow> row;
        {
            std::unique_lock lock(mutex);
            // Every file below `next` is being analysed and will arrive.
            const auto ready = [&] { return (!pending.empty() && pending.front()) || (cancelled() && i >= next); };
            while (!ready())
                rowReady.wait_for(lock, std::chrono::milliseconds(100));
            if (pending.empty() || !pending.front()) {
                summary.cancelled = true;
                break;
            }
            row = std::move(pending.front());
            pending.pop_front();
            ++delivered;
        }
        slotFree.notify_all();
        count(*row);
        try {
            deliver(i, *row);
        } catch (...) {
            failure = std::current_exception();
            break;
        }
        if (control.progress)
            control.progress(i + 1, total);
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    slotFree.notify_all();
    for (std::thread& t : threads)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
    if (!summary.cancelled && cancelled() && summary.rows() < total)
        summary.cancelled = true;
    return summary;
}

} // namespace kalvanta::indicators
