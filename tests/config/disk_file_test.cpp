// Case-insensitive names and saves that never destroy the old file.
#include "config/disk_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct DiskFileTest : testing::Test {
    std::string dir;
    void SetUp() override {
        char templ[] = "/tmp/kova-disk-XXXXXX";
        dir = ::mkdtemp(templ);
    }
    void TearDown() override { ASSERT_EQ(0, std::system(("rm -rf '" + dir + "'").c_str())); }
    std::string P(const std::string& name) { return dir + "/" + name; }
    void Write(const std::string& name, const std::string& text) { std::ofstream(P(name)) << text; }
    std::string Read(const std::string& name) {
        std::ifstream in(P(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(DiskFileTest, FindsEntriesWhateverTheirCase) {
    Write("config.kov", "lower");
    Write("MIXED.Kov", "mixed");
    Write("EXACT.KOV", "upper");
    Write("exact.kov", "lower");
    ASSERT_EQ(0, ::mkdir(P("DIR.KOV").c_str(), 0755));
    struct Case {
        const char* name;
        const char* found;  // nullptr: none
    } kCases[] = {
        {"CONFIG.KOV", "config.kov"},
        {"config.kov", "config.kov"},
        {"mixed.kov", "MIXED.Kov"},
        {"EXACT.KOV", "EXACT.KOV"},
        {"exact.kov", "exact.kov"},
        {"Exact.kov", "EXACT.KOV"},
        {"CONFIG.KO", nullptr},
        {"CONFIG.KOVX", nullptr},
        {"DIR.KOV", nullptr},
        {"", nullptr},
        {"../x", nullptr},
    };
    for (const auto& k : kCases) {
        auto found = FindEntryIgnoringCase(dir, k.name);
        if (k.found) {
            ASSERT_TRUE(found.has_value()) << k.name;
            EXPECT_EQ(k.found, *found) << k.name;
        } else {
            EXPECT_FALSE(found.has_value()) << k.name;
        }
    }
}

TEST_F(DiskFileTest, SaveReplacesAndLeavesNoTemporaryFile) {
    Write("A.KOV", "old contents");
    ASSERT_EQ(0, ::chmod(P("A.KOV").c_str(), 0640));
    EXPECT_EQ(SaveResult::Saved, SaveFileReplacing(P("A.KOV"), {'n', 'e', 'w'}));
    EXPECT_EQ("new", Read("A.KOV"));
    struct stat st;
    ASSERT_EQ(0, ::stat(P("A.KOV").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_EQ(std::vector<std::string>{"A.KOV"}, Entries());
}

// A link kept as "the current file" stays a link: the file it leads to (over
// any number of links, relative or absolute) gets the new contents, and the
// temporary file is made beside that file, not beside the link.
TEST_F(DiskFileTest, SaveThroughALinkReplacesTheFileItLeadsTo) {
    ASSERT_EQ(0, ::mkdir(P("configs").c_str(), 0755));
    Write("configs/line3.kov", "old");
    ASSERT_EQ(0, ::chmod(P("configs/line3.kov").c_str(), 0640));
    ASSERT_EQ(0, ::symlink("configs/line3.kov", P("LINK.KOV").c_str()));
    ASSERT_EQ(0, ::symlink(P("LINK.KOV").c_str(), P("CHAIN.KOV").c_str()));
    ASSERT_EQ(0, ::symlink("configs/new.kov", P("DANGLING.KOV").c_str()));
    struct Case {
        const char* saved;
        const char* target;
    } kCases[] = {
        {"LINK.KOV", "configs/line3.kov"},
        {"CHAIN.KOV", "configs/line3.kov"},
        {"DANGLING.KOV", "configs/new.kov"},
    };
    for (const auto& k : kCases) {
        const std::string contents = std::string("via ") + k.saved;
        EXPECT_EQ(SaveResult::Saved,
                  SaveFileReplacing(P(k.saved), {contents.begin(), contents.end()}));
        EXPECT_EQ(contents, Read(k.target)) << k.saved;
    }
    char target[64] = {};
    ASSERT_GT(::readlink(P("LINK.KOV").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ("configs/line3.kov", target);
    ASSERT_GT(::readlink(P("DANGLING.KOV").c_str(), target, sizeof target - 1), 0);
    struct stat st;
    ASSERT_EQ(0, ::stat(P("configs/line3.kov").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_EQ((std::vector<std::string>{"CHAIN.KOV", "DANGLING.KOV", "LINK.KOV", "configs"}),
              Entries());
    std::vector<std::string> inConfigs;
    for (const auto& e : std::filesystem::directory_iterator(P("configs")))
        inConfigs.push_back(e.path().filename().string());
    std::sort(inConfigs.begin(), inConfigs.end());
    EXPECT_EQ((std::vector<std::string>{"line3.kov", "new.kov"}), inConfigs);
}

// Files a scheduled job writes are never written through a link at their
// name, whatever the link leads to: the link, its target and the folder stay
// as they were, and no temporary file is left beside either.
TEST_F(DiskFileTest, ASaveThatRefusesLinksLeavesLinkAndTargetAlone) {
    ASSERT_EQ(0, ::mkdir(P("out").c_str(), 0755));
    Write("victim.txt", "victim");
    ASSERT_EQ(0, ::symlink("../victim.txt", P("out/T.KOV").c_str()));
    ASSERT_EQ(0, ::symlink("../planted.txt", P("out/D.KOV").c_str()));
    for (const char* name : {"out/T.KOV", "out/D.KOV"}) {
        errno = 0;
        EXPECT_EQ(SaveResult::CannotOpen, SaveFileReplacing(P(name), {'x'}, AtLink::Refuse))
            << name;
        EXPECT_EQ(ELOOP, errno) << name;
    }
    EXPECT_EQ("victim", Read("victim.txt"));
    EXPECT_EQ((std::vector<std::string>{"out", "victim.txt"}), Entries());
    std::vector<std::string> inOut;
    for (const auto& e : std::filesystem::directory_iterator(P("out")))
        inOut.push_back(e.path().filename().string());
    std::sort(inOut.begin(), inOut.end());
    EXPECT_EQ((std::vector<std::string>{"D.KOV", "T.KOV"}), inOut);
    // A plain name saves as before.
    EXPECT_EQ(SaveResult::Saved, SaveFileReplacing(P("out/N.KOV"), {'n'}, AtLink::Refuse));
    EXPECT_EQ("n", Read("out/N.KOV"));
}

// Root writes through file modes, so there the save runs in a child process
// as an unprivileged user (nobody), in a folder it may write to.
SaveResult SaveAsUser(const std::string& path) {
    if (::geteuid() != 0) return SaveFileReplacing(path, {'x'});
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
        ::_exit(static_cast<int>(SaveFileReplacing(path, {'x'})));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return static_cast<SaveResult>(WIFEXITED(status) ? WEXITSTATUS(status) : 101);
}

TEST_F(DiskFileTest, SaveThatCannotOpenChangesNothing) {
    EXPECT_EQ(SaveResult::CannotOpen, SaveFileReplacing(P("none/A.KOV"), {'x'}));
    // A directory of that name is not a file to replace, nor is a link to one.
    ASSERT_EQ(0, ::mkdir(P("X.KOV").c_str(), 0755));
    ASSERT_EQ(0, ::symlink("X.KOV", P("Y.KOV").c_str()));
    EXPECT_EQ(SaveResult::CannotOpen, SaveFileReplacing(P("X.KOV"), {'x'}));
    EXPECT_EQ(SaveResult::CannotOpen, SaveFileReplacing(P("Y.KOV"), {'x'}));
    EXPECT_TRUE(std::filesystem::is_directory(P("X.KOV")));
    EXPECT_TRUE(std::filesystem::is_empty(P("X.KOV")));
    std::filesystem::remove(P("Y.KOV"));
    std::filesystem::remove(P("X.KOV"));
    ASSERT_EQ(0, ::chmod(dir.c_str(), 0777));
    Write("RO.KOV", "kept");
    ASSERT_EQ(0, ::chmod(P("RO.KOV").c_str(), 0444));
    EXPECT_EQ(SaveResult::CannotOpen, SaveAsUser(P("RO.KOV")));
    EXPECT_EQ("kept", Read("RO.KOV"));
    EXPECT_EQ(std::vector<std::string>{"RO.KOV"}, Entries());
}

// A write cut short by the file size limit (as a full disk would) leaves the
// old file exactly as it was.
TEST_F(DiskFileTest, InterruptedWriteKeepsTheOldFile) {
    const std::string old(3000, 'o');
    Write("B.KOV", old);
    struct rlimit saved;
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &saved));
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    SaveResult r = SaveFileReplacing(P("B.KOV"), std::vector<uint8_t>(6688, 'n'));
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &saved));
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(SaveResult::ShortWrite, r);
    EXPECT_EQ(old, Read("B.KOV"));
    EXPECT_EQ(std::vector<std::string>{"B.KOV"}, Entries());
}

TEST_F(DiskFileTest, ReadPrefixIsBounded) {
    Write("C.KOV", std::string(7000, 'c'));
    auto bytes = ReadFilePrefix(P("C.KOV"), 6688);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(6688u, bytes->size());
    Write("D.KOV", "");
    EXPECT_EQ(0u, ReadFilePrefix(P("D.KOV"), 6688)->size());
    EXPECT_FALSE(ReadFilePrefix(P("missing"), 10).has_value());
}

}  // namespace
