#pragma once
// Many analyses into one table: the input files named (folders walked), each
// analysed as in a freshly started program, the rows handed on in input
// order whatever the number of threads.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "indicator_table.h"

namespace kalvanta::indicators {

// Names that count as input files when a folder is walked (any case).
const std::vector<std::string>& inputFileExtensions();

struct InputFileList {
    std::vector<std::string> files;     // in order: as named, each folder's files sorted by path
    std::vector<std::string> problems;  // a name that is neither, or a folder without input files
};

// Files are taken as named, whatever their name; folders are walked
// (subfolders too) for files with an input extension.
InputFileList collectInputFiles(const std::vector<std::string>& names);

// Loads one file: the one place that turns a path into an analysis input.
struct LoadedInput {
    AnalysisInput input;
    FileFacts facts;
};
LoadedInput loadInput(const std::string& path); // throws InputError

// Analyses one file into its row: never throws for a bad file; its error is in the row.
IndicatorRow analyseFile(const std::string& path);

struct BatchSummary {
    std::size_t analysed = 0;        // reports that ran to their end
    std::size_t arithmeticErrors = 0; // reports an arithmetic error ended
    std::size_t refused = 0;          // files that could not be analysed
    bool cancelled = false;
    std::size_t rows() const { return analysed + arithmeticErrors + refused; }
};

struct BatchControl {
    unsigned jobs = 1; // threads; 0 means every core
    // Checked before each file; once set, no new file is started. The rows
    // delivered are then those of a prefix of the files.
    const std::atomic<bool>* cancel = nullptr;
    // Called on the calling thread after each row is delivered.
    std::function<void(std::size_t done, std::size_t total)> progress;
};

// Analyses the files, handing each row to deliver in input order on the
// calling thread. An exception from deliver stops the run and is rethrown
// once the threads have ended.
BatchSummary runBatch(const std::vector<std::string>& files, const BatchControl& control,
                      const std::function<void(std::size_t index, IndicatorRow& row)>& deliver);

unsigned defaultJobs(); // every core

} // namespace kalvanta::indicators
