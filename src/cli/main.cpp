// kalvanta-report: the analysis report of JSON files on standard output.
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "report_tool.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const kalvanta::CivilDate today{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kalvanta::cli::runReportTool(args, std::cout, std::cerr, today);
}
