// The ballwick-pack tool as a player would run it.
#include "tallytest.h"

#include <ballwick_config.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace tallytest;

namespace {

struct Outcome
{
    int status;
    std::string out;
    std::string err;
};

Outcome pack(const ScratchDir &dir, const std::string &args)
{
    const std::string outFile = dir.file("stdout"), errFile = dir.file("stderr");
    const std::string cmd = std::string("'") + BALLWICK_PACK + "' " + args + " >'" + outFile + "' 2>'" + errFile + "'";
    const int raw = std::system(cmd.c_str());
    Outcome r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(outFile), readFile(errFile)};
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return r;
}

} // namespace

TEST(BallwickPack, PacksUnpacksAndAdvises)
{
    ScratchDir dir;
    const std::string text = sampleText(120000, 12);
    writeFile(dir.file("in.txt"), text);

    Outcome r = pack(dir, "pack " + dir.file("in.txt") + " " + dir.file("a.tld"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("a.tld")).substr(0, 4), "WRZL"); // --fast by default
    r = pack(dir, "pack --good " + dir.file("in.txt") + " " + dir.file("b.tld"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("b.tld")).substr(0, 4), "!HZL");

    for (const char *name : {"a.tld", "b.tld"}) {
        r = pack(dir, std::string("unpack ") + dir.file(name) + " " + dir.file("back.txt"));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(readFile(dir.file("back.txt")) == text);
    }

    r = pack(dir, "advise " + dir.file("in.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Lzrw1 recommends ", 0), 0u) << r.out;

    // Standard streams.
    r = pack(dir, "pack --good - - <" + dir.file("in.txt") + " | '" BALLWICK_PACK "' unpack - " + dir.file("piped.txt"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(readFile(dir.file("piped.txt")) == text);
}

TEST(BallwickPack, FailuresExitOneWithTheMessageAndNoOutput)
{
    ScratchDir dir;
    writeFile(dir.file("junk"), "this is no container");
    Outcome r = pack(dir, "unpack " + dir.file("junk") + " " + dir.file("out.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, dir.file("junk") + " : Lzrw1 decompression : this file has no valid header !\n");
    EXPECT_FALSE(exists(dir.file("out.txt")));

    r = pack(dir, "unpack - " + dir.file("out.txt") + " <" + dir.file("junk"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Lzrw1 decompression : input stream contains no valid header !\n");
    EXPECT_FALSE(exists(dir.file("out.txt")));

    r = pack(dir, "pack " + dir.file("missing") + " " + dir.file("out.tld"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Failed to obtain the size of"), std::string::npos);
    EXPECT_FALSE(exists(dir.file("out.tld")));

    EXPECT_EQ(pack(dir, "").status, 1);
    EXPECT_EQ(pack(dir, "squash a b").status, 1);
    EXPECT_EQ(pack(dir, "unpack --good a b").status, 1);
}

// A full disk (a file size limit here) while writing over files that were
// there before: the tool fails, and removes neither a file nor a symlink; an
// output it created itself is removed.
TEST(BallwickPack, AFailedWriteRemovesOnlyAnOutputItCreated)
{
    ScratchDir dir;
    writeFile(dir.file("in.txt"), sampleText(200000, 3));
    writeFile(dir.file("target"), "kept");
    std::filesystem::create_symlink(dir.file("target"), dir.file("link"));
    const std::string full = "trap '' XFSZ; ulimit -f 8; exec '" BALLWICK_PACK "' ";
    for (const char *out : {"target", "link"}) {
        for (const std::string &in : {dir.file("in.txt"), std::string("- <") + dir.file("in.txt")}) {
            const std::string cmd = full + "pack --fast " + in + " " + dir.file(out) + " 2>/dev/null";
            const int raw = std::system(cmd.c_str());
            EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << cmd;
            EXPECT_TRUE(exists(dir.file("target"))) << cmd;
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));

    for (const std::string &in : {dir.file("in.txt"), std::string("- <") + dir.file("in.txt")}) {
        const std::string cmd = full + "pack --fast " + in + " " + dir.file("new.tld") + " 2>/dev/null";
        const int raw = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << cmd;
        EXPECT_FALSE(exists(dir.file("new.tld"))) << cmd;
    }
}

TEST(BallwickPack, HelpAndVersionPrintAndSucceed)
{
    ScratchDir dir;
    Outcome r = pack(dir, "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: ballwick-pack pack"), std::string::npos);
    r = pack(dir, "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ballwick-pack " BALLWICK_VERSION_FULL "\n");
    EXPECT_EQ(pack(dir, "").status, 1); // no command: the usage, as a failure
}
