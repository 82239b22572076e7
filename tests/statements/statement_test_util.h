#pragma once
// Shared by the statement tests: files of the examples and a worked-example
// statement built line by line.
#include <fstream>
#include <sstream>
#include <string>

#include "document/code_page.h"
#include "statements/statement.h"

namespace kalvanta::test {

inline const std::string kSourceDir = KALVANTA_SOURCE_DIR;
inline const std::string kSampleXml = kSourceDir + "/examples/statements/NO_BUHOTCH_worked-example.xml";

inline std::string readBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The windows-1251 sample as UTF-8 text, declaration still naming 1251.
inline std::string sampleXmlUtf8()
{
    const std::string bytes = readBytes(kSampleXml);
    std::string out;
    doc::CodePageDecoder d(doc::kCodePageCyrillic);
    for (char c : bytes)
        d.put(static_cast<unsigned char>(c), out);
    d.flush(out);
    return out;
}

// Replaces the first `from` with `to`; the test fails loudly when the
// template no longer holds `from`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::logic_error("template lacks: " + from);
    return text.replace(at, from.size(), to);
}

inline void setLine(Statement& s, int code, std::optional<double> current, std::optional<double> previous,
                    std::optional<double> beforePrevious = std::nullopt)
{
    s.lines[code] = {current, previous, beforePrevious};
}

} // namespace kalvanta::test
