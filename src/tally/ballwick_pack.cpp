// ballwick-pack: packs, unpacks and inspects Ballwick tally files (and any
// other file) with the game's compressor.
//
//   ballwick-pack pack [--fast|--good|--auto] IN OUT
//   ballwick-pack unpack IN OUT
//   ballwick-pack advise IN
//
// IN or OUT may be "-" for standard input or output. Exit status 0 on success;
// on failure 1, the compressor's message on standard error, and an output file
// that this run created is removed (one that existed before is left).

#include "tally/tlzrw1.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <ballwick_config.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: ballwick-pack pack [--fast|--good|--auto] IN OUT\n"
    "       ballwick-pack unpack IN OUT\n"
    "       ballwick-pack advise IN\n"
    "Packs a file into the Ballwick container (--fast: LZRW1/KH, as the game writes\n"
    "its tally file; --good: LZH; --auto: whichever advise recommends), unpacks a\n"
    "container of either method, or recommends a method. IN or OUT may be \"-\" for\n"
    "standard input or output.\n"
    "       ballwick-pack --help | --version\n";

// Creates the output file when it is not there yet; true when this run made
// it, and so may remove it again after a failure. A file, device or link that
// was there before is written over but never removed.
bool createdhere(const std::string &name)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

int usage()
{
    std::cerr << kUsage;
    return 1;
}

int run(const std::vector<std::string> &args)
{
    if (args.empty())
        return usage();
    const std::string &command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "ballwick-pack " BALLWICK_VERSION_FULL "\n";
        return 0;
    }

    ballwick::Tlzrw1 lz;
    std::string lastText;
    lz.OnProgress = [&](const std::string &text) { lastText = text; };

    if (command == "advise") {
        if (args.size() != 2)
            return usage();
        std::ifstream file;
        if (args[1] == "-") {
            lz.UseStream = true;
            lz.InputStream = &std::cin;
        } else {
            lz.InputFile = args[1];
        }
        lz.Advise();
        std::cout << lastText << "\n";
        return 0;
    }

    ballwick::TCompressMode mode = ballwick::TCompressMode::Fast;
    std::vector<std::string> files;
    const bool pack = command == "pack";
    if (!pack && command != "unpack")
        return usage();
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (pack && a == "--fast")
            mode = ballwick::TCompressMode::Fast;
        else if (pack && a == "--good")
            mode = ballwick::TCompressMode::Good;
        else if (pack && a == "--auto")
            mode = ballwick::TCompressMode::Auto;
        else if (a.size() > 1 && a[0] == '-' && a != "-")
            return usage();
        else
            files.push_back(a);
    }
    if (files.size() != 2)
        return usage();
    const std::string &in = files[0];
    const std::string &out = files[1];
    lz.CompressMode = mode;

    if (in != "-" && out != "-") {
        lz.InputFile = in;
        lz.OutputFile = out;
        if (pack)
            lz.Compress();
        else
            lz.Decompress();
        return 0;
    }

    // Standard streams: the component works on two streams, so a named file on
    // the other side is opened here, and removed again here on failure.
    std::ifstream inFile;
    std::ofstream outFile;
    bool created = false;
    lz.UseStream = true;
    if (in == "-") {
        lz.InputStream = &std::cin;
    } else {
        inFile.open(in, std::ios::binary);
        if (!inFile)
            throw ballwick::ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + in);
        lz.InputStream = &inFile;
    }
    if (out == "-") {
        lz.OutputStream = &std::cout;
    } else {
        created = createdhere(out);
        outFile.open(out, std::ios::binary | std::ios::trunc);
        if (!outFile) {
            if (created)
                std::remove(out.c_str());
            throw ballwick::ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + out);
        }
        lz.OutputStream = &outFile;
    }
    try {
        if (pack)
            lz.Compress();
        else
            lz.Decompress();
        if (outFile.is_open()) {
            outFile.close();
            if (!outFile)
                throw ballwick::ELzrw1Exception("Lzrw1 : Error writing to output file : " + out);
        }
    } catch (...) {
        if (outFile.is_open())
            outFile.close();
        if (created)
            std::remove(out.c_str());
        throw;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception &e) {
        std::cout.flush();
        std::cerr << e.what() << "\n";
        return 1;
    }
}
