#pragma once
// Temporary folders and small files for the table tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kalvanta::indicators::testing {

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kTwoYear = kSource + "/examples/worked-example.json";
const std::string kOneYear = kSource + "/examples/worked-example-one-year.json";

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kalvanta-table-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Files whose names start with ".kalvanta-table-": left-over temporaries.
    int temporaries() const
    {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            n += e.path().filename().string().starts_with(".kalvanta-table-");
        return n;
    }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A one-year record of zeros: its report ends with a division by zero in section 2.
inline const char* kZeroAnalysis = R"({"EnterpriseName": "Нули", "YearCount": 1})";

} // namespace kalvanta::indicators::testing
