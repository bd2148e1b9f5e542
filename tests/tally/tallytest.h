#pragma once
// Helpers shared by the tally tests: a scratch directory and whole-file I/O.

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tallytest {

class ScratchDir
{
public:
    ScratchDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "bwtally-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        m_path = tmpl;
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(const std::string &name) const { return (m_path / name).string(); }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Files of this process cannot grow beyond `bytes` while it lives: writes past
// it come back short or fail (EFBIG), as on a full disk. Only the soft limit is
// lowered, so it can be raised again without privileges.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
};

inline std::string readFile(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFile(const std::string &name, const std::string &bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool exists(const std::string &name)
{
    return std::filesystem::exists(name);
}

// Text-like bytes that mix literals, matches and runs.
inline std::string sampleText(std::size_t size, unsigned seed = 1)
{
    static const char *words[] = {"bingo ", "ball ", "card ", "daub ", "KUVO ", "thief ", "Mox ",
                                  "score\r\n", "     ", "blackout ", "0000000000000000000000 "};
    std::string s;
    unsigned x = seed;
    while (s.size() < size) {
        x = x * 1103515245u + 12345u;
        s += words[(x >> 16) % 11];
        if ((x >> 8) % 7 == 0)
            s += static_cast<char>(x >> 24);
    }
    s.resize(size);
    return s;
}

} // namespace tallytest
