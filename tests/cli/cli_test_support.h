#pragma once
// Files and temporary folders for the command-line tool's tests.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace kalvanta::cli::test_support {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/kalvanta-cli-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

#ifdef KALVANTA_REPORT_EXE
struct Outcome {
    int status = -1;
    std::string out, err;
};

// kalvanta-report with a command line of plain words (no quotes in them),
// its streams caught in files.
inline Outcome runTool(const std::string& args)
{
    TempDir dir;
    Outcome o;
    const std::string command = std::string(KALVANTA_REPORT_EXE) + " " + args + " >" + dir.file("out") + " 2>" +
                                dir.file("err") + " </dev/null";
    o.status = WEXITSTATUS(std::system(command.c_str()));
    o.out = readFile(dir.file("out"));
    o.err = readFile(dir.file("err"));
    return o;
}
#endif

} // namespace kalvanta::cli::test_support
