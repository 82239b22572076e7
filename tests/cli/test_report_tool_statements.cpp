// kalvanta-report with statement files: told by content, notes on standard
// error naming the file, the record saved as an input set.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"

namespace {

using namespace kalvanta::cli::test_support;

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kSampleXml = kSource + "/examples/statements/NO_BUHOTCH_worked-example.xml";
const std::string kTwoYear = kSource + "/examples/worked-example.json";

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome runTool(const std::vector<std::string>& args, const std::string& stdinFile = "")
{
    TempDir dir;
    const std::string outPath = dir.file("out");
    const std::string errPath = dir.file("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(stdinFile.empty() ? "/dev/null" : stdinFile.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        std::string exe = KALVANTA_REPORT_EXE;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    Outcome o;
    int raw = 0;
    waitpid(pid, &raw, 0);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = readFile(outPath);
    o.err = readFile(errPath);
    return o;
}

std::string notesOf(const std::string& name)
{
    const std::string p = "kalvanta-report: " + name + ": ";
    return p + "Строка 1230 «Дебиторская задолженность» перенесена целиком в строку 240 «Краткосрочная "
               "дебиторская задолженность», строка 230 «Долгосрочная дебиторская задолженность» принята "
               "равной 0: новая форма не делит задолженность по срокам.\n" +
           p + "Строка 1190 «Прочие внеоборотные активы» не имеет соответствия в старой форме и учтена "
               "только в итоге 1100.\n" +
           p + "Строки 2340 «Прочие доходы» и 2350 «Прочие расходы» перенесены целиком в строки 090 «Прочие "
               "операционные доходы» и 100 «Прочие операционные расходы», внереализационные доходы и "
               "расходы (120, 130) приняты равными 0: финансово-экономическая прибыль равна прибыли до "
               "налогообложения (2300).\n";
}

TEST(ReportToolStatements, NotesOnStandardErrorReportAsItsInputSetGivesIt)
{
    TempDir dir;
    const std::string set = dir.file("set.json");
    const Outcome xml = runTool({"--date", "2026-12-08", "--save-input", set, kSampleXml});
    EXPECT_EQ(xml.status, 0);
    EXPECT_EQ(xml.err, notesOf(kSampleXml));
    EXPECT_NE(xml.out.find("\n Название предприятия - Фирма N, ИНН 7701234560, 2022-2024 гг.\n"),
              std::string::npos);

    // The saved record is an input set: no notes, the same report.
    const Outcome again = runTool({"--date", "2026-12-08", set});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(again.out, xml.out);
    EXPECT_NE(readFile(set).find("\"OperatingLeverageOn\": 0,"), std::string::npos);

    // Told by content, not by name, also on standard input.
    const std::string renamed = dir.file("statement.json");
    writeFile(renamed, readFile(kSampleXml));
    const Outcome byContent = runTool({"--date", "2026-12-08", renamed});
    EXPECT_EQ(byContent.err, notesOf(renamed));
    EXPECT_EQ(byContent.out, xml.out);
    const Outcome piped = runTool({"--date", "2026-12-08", "-"}, kSampleXml);
    EXPECT_EQ(piped.err, notesOf("<stdin>"));
    EXPECT_EQ(piped.out, xml.out);
}

TEST(ReportToolStatements, SavedInputSetOfAnInputSetIsTheSameFile)
{
    TempDir dir;
    const std::string set = dir.file("copy.json");
    const Outcome o = runTool({"--date", "2026-12-08", kTwoYear, "--save-input=" + set});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(readFile(set), readFile(kTwoYear));
}

TEST(ReportToolStatements, RefusedStatementIsBadInputAndTheOthersAreReported)
{
    TempDir dir;
    const std::string nonProfit = kSource + "/examples/statements/NO_BUHOTCH_non-profit-2024.xml";
    const std::string junk = dir.file("junk.txt");
    writeFile(junk, "just some words\n");

    const Outcome o = runTool({"--date", "2026-12-08", nonProfit, kSampleXml, junk, kTwoYear});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "kalvanta-report: " + nonProfit +
                         ": the statement of financial results (profit and loss, form No. 2) is missing; the "
                         "analysis needs it (the balance alone serves only a company's history)\n" +
                         notesOf(kSampleXml) + "kalvanta-report: " + junk +
                         ": not a statement file: neither the tax service's XML, the state resource's JSON "
                         "nor a line-code table (CSV)\n");
    const Outcome good = runTool({"--date", "2026-12-08", kSampleXml, kTwoYear});
    EXPECT_EQ(o.out, good.out);
}

TEST(ReportToolStatements, SaveInputNeedsOneFileAWritablePlaceAndAnAnalysis)
{
    TempDir dir;
    const std::string set = dir.file("set.json");
    const Outcome two = runTool({"--save-input", set, kSampleXml, kTwoYear});
    EXPECT_EQ(two.status, 2);
    EXPECT_EQ(two.err, "kalvanta-report: --save-input saves the record of one file; 2 files given\n"
                       "Try \"kalvanta-report --help\".\n");
    EXPECT_EQ(two.out, "");

    const Outcome empty = runTool({"--save-input=", kSampleXml});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "kalvanta-report: option --save-input needs a file name\n"
                         "Try \"kalvanta-report --help\".\n");

    const std::string nowhere = dir.file("no-such-folder/set.json");
    const Outcome cannot = runTool({"--save-input", nowhere, kSampleXml});
    EXPECT_EQ(cannot.status, 3);
    EXPECT_EQ(cannot.err, notesOf(kSampleXml) + "kalvanta-report: Cannot create file \"" +
                              nowhere + "\". No such file or directory\n");

    const std::string bad = dir.file("bad.xml");
    writeFile(bad, "<?xml version=\"1.0\"?><Файл>");
    const Outcome refused = runTool({"--save-input", set, bad});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(std::ifstream(set).good(), false);
}

TEST(ReportToolStatements, HelpNamesTheStatementFilesAndTheOption)
{
    const Outcome o = runTool({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("  --save-input SET.json\n"), std::string::npos);
    EXPECT_NE(o.out.find("tax service's XML of annual accounting statements (KND 0710099"), std::string::npos);
}

// The state resource's quirks import through the tool to the report of the
// sample list itself, with what the reader chose on standard error first.
std::string replacedAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string withName(std::string notes, const std::string& from, const std::string& to)
{
    return replacedAll(std::move(notes), "kalvanta-report: " + from + ": ", "kalvanta-report: " + to + ": ");
}

TEST(ReportToolStatements, StateResourceQuirksGiveTheSampleListsReport)
{
    const std::string sample = kSource + "/examples/statements/severny-veter-bfo.json";
    const std::string text = readFile(sample);
    const Outcome plain = runTool({"--date", "2026-12-08", sample});
    ASSERT_EQ(plain.status, 0);
    ASSERT_NE(plain.err, "");

    const std::size_t split = text.find("\n },\n {\n");
    ASSERT_NE(split, std::string::npos);
    const std::string year2023 = text.substr(1, split + 3 - 1), year2024 = text.substr(split + 4);
    const std::string reordered = "[" + year2024.substr(0, year2024.rfind(']')) + "," +
                                  R"({"period": "2025", "typeCorrections": [{"type": 3, "correction":
                                      {"periodType": 3, "balance": {"current1600": 1}}}]},)" +
                                  year2023 + "]";
    const std::string kChosen = " («actualCorrectionNumber»)";
    struct Row {
        const char* name;
        std::string json;
        std::string readerNote; // before the mapping's notes; empty for none
    };
    const std::vector<Row> rows = {
        {"codes.json", replacedAll(text, "\"knd\": \"0710099\"", "\"knd\": \"0710099 0710095\""), ""},
        {"named-missing.json", replacedAll(text, "\"actualCorrectionNumber\": 1", "\"actualCorrectionNumber\": 4"),
         "Отчетность за 2024 год: актуальная корректировка 4" + kChosen +
             " в файле отсутствует, взята корректировка 1 с наибольшим номером."},
        {"named-null.json", replacedAll(text, "\"actualCorrectionNumber\": 1", "\"actualCorrectionNumber\": null"),
         "Отчетность за 2024 год: номер актуальной корректировки" + kChosen +
             " не указан, взята корректировка 1 с наибольшим номером."},
        {"fractions.json",
         replacedAll(replacedAll(replacedAll(text, "\"current1600\": 12510", "\"current1600\": 1.251E4"),
                                 "\"correctionVersion\": 1", "\"correctionVersion\": 1.0"),
                     "\"actualCorrectionNumber\": 1", "\"actualCorrectionNumber\": 1.0"),
         ""},
        {"reordered.json", reordered,
         "Промежуточная отчетность за 3 месяца 2025 года пропущена: анализ ведется по годовой отчетности."},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = dir.file(row.name);
        ASSERT_NE(row.json, text);
        writeFile(file, row.json);
        const Outcome o = runTool({"--date", "2026-12-08", file});
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.err, (row.readerNote.empty() ? "" : "kalvanta-report: " + file + ": " + row.readerNote + "\n") +
                             withName(plain.err, sample, file));
        EXPECT_EQ(o.out, plain.out);
    }
}

TEST(ReportToolStatements, StateResourceSimplifiedImportsAndAReportWithoutFormsIsRefusedByItsKey)
{
    TempDir dir;
    const std::string simplified = dir.file("simplified.json");
    // The fixed report divides by totals the simplified form lacks (the
    // mapping of simplified statements derives them): here they are given.
    writeFile(simplified, R"([{"period": "2024", "knd": "0710096", "actualCorrectionNumber": 0,
        "organizationInfo": {"fullName": "ООО \"Малое\"", "inn": "7701000002"},
        "typeCorrections": [{"type": 12, "correction": {"correctionVersion": 0, "knd": "0710096",
          "balance": {"current1150": 300, "previous1150": 280, "beforePrevious1150": 250,
                      "current1210": 100, "previous1210": 90, "beforePrevious1210": 80,
                      "current1230": 60, "previous1230": 50, "beforePrevious1230": 40,
                      "current1250": 40, "previous1250": 30, "beforePrevious1250": 30,
                      "current1600": 500, "previous1600": 450, "beforePrevious1600": 400,
                      "current1300": 320, "previous1300": 300, "beforePrevious1300": 270,
                      "current1410": 80, "previous1410": 60, "beforePrevious1410": 50,
                      "current1520": 100, "previous1520": 90, "beforePrevious1520": 80,
                      "current1700": 500, "previous1700": 450, "beforePrevious1700": 400,
                      "current1100": 300, "previous1100": 280, "beforePrevious1100": 250,
                      "current1200": 200, "previous1200": 170, "beforePrevious1200": 150,
                      "current1400": 80, "previous1400": 60, "beforePrevious1400": 50,
                      "current1500": 100, "previous1500": 90, "beforePrevious1500": 80},
          "financialResult": {"current2110": 900, "previous2110": 800, "current2120": -700, "previous2120": -640,
                              "current2330": -5, "previous2330": -4, "current2340": 10, "previous2340": 8,
                              "current2350": -15, "previous2350": -12, "current2410": -38, "previous2410": -30,
                              "current2400": 152, "previous2400": 122}}}]}])");
    const Outcome o = runTool({"--date", "2026-12-08", simplified});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("\n Название предприятия - ООО \"Малое\", ИНН 7701000002, 2022-2024 гг.\n"),
              std::string::npos);

    const std::string none = dir.file("none.json");
    writeFile(none, R"([{"period": "2024", "typeCorrections": [{"correction": {"balance": null}}]}])");
    const Outcome refused = runTool({"--date", "2026-12-08", none});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "kalvanta-report: " + none +
                               ": \"[0].typeCorrections[0].correction\" has neither a balance sheet (\"balance\") nor a "
                               "statement of financial results (\"financialResult\")\n");
    EXPECT_EQ(refused.out, "");
}

// Each variant of the tax service's XML through the tool: its notes on
// standard error, the enterprise line of its report, or its refusal.
TEST(ReportToolStatements, EveryVersionAndVariantImports)
{
    const std::string dir = kSource + "/examples/statements/";
    const std::string receivables =
        "Строка 1230 «Дебиторская задолженность» перенесена целиком в строку 240 «Краткосрочная дебиторская "
        "задолженность», строка 230 «Долгосрочная дебиторская задолженность» принята равной 0: новая форма не "
        "делит задолженность по срокам.";
    const std::string other =
        "Строки 2340 «Прочие доходы» и 2350 «Прочие расходы» перенесены целиком в строки 090 «Прочие "
        "операционные доходы» и 100 «Прочие операционные расходы», внереализационные доходы и расходы (120, 130) "
        "приняты равными 0: финансово-экономическая прибыль равна прибыли до налогообложения (2300).";
    const std::string other1190 =
        "Строка 1190 «Прочие внеоборотные активы» не имеет соответствия в старой форме и учтена только в итоге 1100.";
    const std::string capital = "Строка 1300 «Капитал и резервы» дана без разбивки по статьям: строки 410–470 "
                                "приняты равными 0, итог 490 равен строке 1300.";
    struct Case {
        std::string file;
        int status;
        std::vector<std::string> notes; // or the refusal
        std::string enterprise;         // the report's enterprise line; empty: no report
    };
    const Case cases[] = {
        {"NO_BUHOTCH_version-5-07-2018.xml", 0,
         {"Вписанная строка «Права на земельный участок» (Файл/Документ/Баланс/Актив/ВнеОбА/ВПокВнеОбА) учтена "
          "только в итоге раздела.",
          receivables, other1190, other},
         "ООО \"Рассвет\", ИНН 7702345671, 2016-2018 гг."},
        {"NO_BUHOTCH_version-5-10-2025.xml", 0,
         {"Вписанная строка 1152 «Права пользования активами» прибавлена к строке 1150, которую она детализирует.",
          receivables, other},
         "АО «Металлист», ИНН 7703456782, 2023-2025 гг."},
        {"NO_BOUPR_small-business-2023.xml", 0,
         {"Строки 1100 в упрощенной отчетности нет, она рассчитана: 1100 = 1150 + 1170.",
          "Строки 1200 в упрощенной отчетности нет, она рассчитана: 1200 = 1210 + 1230 + 1250.",
          "Строки 1400 в упрощенной отчетности нет, она рассчитана: 1400 = 1410 + 1450.",
          "Строки 1500 в упрощенной отчетности нет, она рассчитана: 1500 = 1510 + 1520 + 1550.",
          "Строки 2200 в упрощенной отчетности нет, она рассчитана: 2200 = 2110 − 2120.",
          "Строки 2300 в упрощенной отчетности нет, она рассчитана: 2300 = 2110 − 2120 − 2330 + 2340 − 2350.",
          "Строка 1150 «Материальные внеоборотные активы» упрощенной отчетности перенесена целиком в строку 120 "
          "«Основные средства», незавершенное строительство (130) принято равным 0.",
          "Строка 1170 «Нематериальные, финансовые и другие внеоборотные активы» упрощенной отчетности перенесена "
          "целиком в строку 140 «Долгосрочные финансовые вложения», нематериальные активы (110) приняты равными 0.",
          "Строка 1230 «Финансовые и другие оборотные активы» упрощенной отчетности (с дебиторской задолженностью) "
          "перенесена целиком в строку 240 «Краткосрочная дебиторская задолженность», строки 230, 250 и 270 "
          "приняты равными 0.",
          "Строка 2120 «Расходы по обычной деятельности» упрощенной отчетности перенесена целиком в строку 020 "
          "«Себестоимость проданных товаров», коммерческие и управленческие расходы (030, 040) приняты равными 0.",
          capital,
          "Строка 1450 «Другие долгосрочные обязательства» не имеет соответствия в старой форме и учтена только в "
          "итоге 1400.",
          other},
         "ООО \"Пекарня у дома\", ИНН 7704567893, 2021-2023 гг."},
        {"NO_BUHOTCH_aggregated-balance-2022.xml", 0, {receivables, capital, other},
         "ООО \"Кодовая база\", ИНН 7706789015, 2021-2022 гг."},
        {"NO_BUHOTCH_mislabelled-utf8.xml", 0,
         {"Файл объявлен в кодировке windows-1251, но записан в UTF-8: прочитан как UTF-8.",
          receivables, other1190, other},
         "Фирма N, ИНН 7701234560, 2022-2024 гг."},
        {"NO_BUHOTCH_non-profit-2024.xml", 2,
         {"the statement of financial results (profit and loss, form No. 2) is missing; the analysis needs it "
          "(the balance alone serves only a company's history)"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir + c.file;
        const Outcome o = runTool({"--date", "2026-12-08", path});
        EXPECT_EQ(o.status, c.status);
        std::string err;
        for (const std::string& n : c.notes)
            err += "kalvanta-report: " + path + ": " + n + "\n";
        EXPECT_EQ(o.err, err);
        if (c.enterprise.empty())
            EXPECT_EQ(o.out, "");
        else
            EXPECT_NE(o.out.find("\n Название предприятия - " + c.enterprise + "\n"), std::string::npos);
    }
    // Read as UTF-8, the mislabelled file is the worked example itself.
    EXPECT_EQ(runTool({"--date", "2026-12-08", dir + "NO_BUHOTCH_mislabelled-utf8.xml"}).out,
              runTool({"--date", "2026-12-08", kSampleXml}).out);
}

} // namespace
