// Not a test: opens the chart window on an analysis file at a page, for
// screenshots. Usage:
//   charts_showcase [--history <statements file or folder>] <analysis.json> [page index [picture.png|.svg]]
// With a picture name the page is saved there and the program ends; with
// --history the last company read from the statements is shown as well.
#include <QApplication>
#include <QTabWidget>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "analysis/report_builder.h"
#include "charts/charts_window.h"
#include "history/history_report.h"
#include "inputs/json_loader.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: charts_showcase <analysis.json> [page]\n");
        return 2;
    }
    using namespace kalvanta;
    std::shared_ptr<const history::CompanyHistory> company;
    if (argc > 3 && std::string(argv[1]) == "--history") {
        history::HistoryRun read = history::readHistories({argv[2]});
        for (const std::string& refused : read.refused)
            std::fprintf(stderr, "%s\n", refused.c_str());
        if (!read.histories.empty())
            company = std::make_shared<const history::CompanyHistory>(read.histories.back());
        argv += 2;
        argc -= 2;
    }
    AnalysisInput input;
    try {
        input = loadAnalysisFile(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    ReportCoverage run;
    VectorSink sink;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), {2026, 3, 14}, &run);
    } catch (const std::exception&) {
        // The window shows what the report got to.
    }
    Tcharts window;
    window.setRegionalSettings(RegionalSettings::russian());
    window.setAnalysis(results, run);
    window.setHistory(company);
    window.show();
    if (argc > 2)
        window.PageControl1->setCurrentIndex(std::atoi(argv[2]));
    if (argc > 3) {
        try {
            window.writePicture(QString::fromLocal8Bit(argv[3]));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    return app.exec();
}
