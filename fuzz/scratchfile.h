#pragma once
// One file in a scratch folder of the fuzzer's own, for the code that reads
// from a path; the folder is removed when the fuzzer ends.
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

struct ScratchFile
{
    std::string dir;
    QString path;
    explicit ScratchFile(const char *fileName)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "bwfuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        dir = tmpl;
        path = QString::fromStdString(dir + "/" + fileName);
    }
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};
