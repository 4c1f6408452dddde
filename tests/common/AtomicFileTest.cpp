#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/PathTraps.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    AtomicFileTest() {
        dir = fs::temp_directory_path() /
              ("t6-atomic-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~AtomicFileTest() override {
        allowNamelessTemporaryFiles(true);
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string read(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void put(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    int leftovers() {
        int n = 0;
        for (auto& e : fs::directory_iterator(dir))
            n += e.path().filename().string().find(".tmp-") != std::string::npos;
        return n;
    }
    static struct stat statOf(const fs::path& p) {
        struct stat st {};
        ::lstat(p.c_str(), &st);
        return st;
    }
    static mode_t umaskNow() {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return mask;
    }
    // A process number that no process has: a child's that has ended.
    static pid_t endedProcess() {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        return child;
    }
    // The name a save of the file called name by process pid leaves when it
    // is killed between naming its temporary file and the rename.
    static std::string temporaryOf(const std::string& name, pid_t pid,
                                   const std::string& digits = "0123456789abcdef") {
        return "." + name + ".tmp-" + std::to_string(pid) + "-" + digits;
    }
    // Sets a file's times back by the given number of seconds.
    static void age(const fs::path& p, int seconds) {
        struct timespec times[2]{};
        times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
        ::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    fs::path dir;
};

TEST_F(AtomicFileTest, WritesEveryByteAndReplacesKeepingPermissions) {
    const fs::path f = dir / "a.cfg";
    const std::string bytes("\x00\r\n\x1a\xff", 5);
    ASSERT_EQ(writeFileSafely(f.string(), bytes), FileFailure{});
    EXPECT_EQ(read(f), bytes);
    ::chmod(f.c_str(), 0640);
    ASSERT_EQ(writeFileSafely(f.string(), "second"), FileFailure{});
    EXPECT_EQ(read(f), "second");
    EXPECT_EQ(statOf(f).st_mode & 0777, 0640u);
    EXPECT_EQ(leftovers(), 0);
}

// Where the file system makes no file without a name, the temporary file is
// named from the start; the saves are the same.
TEST_F(AtomicFileTest, EitherWayANewFileTakesTheUsualPermissionsAndAReplacedOneItsOwn) {
    for (const bool nameless : {true, false}) {
        SCOPED_TRACE(nameless ? "nameless" : "named");
        allowNamelessTemporaryFiles(nameless);
        const fs::path f = dir / (nameless ? "new1.cfg" : "new2.cfg");
        ASSERT_EQ(writeFileSafely(f.string(), "first"), FileFailure{});
        EXPECT_EQ(statOf(f).st_mode & 0777, 0666u & ~umaskNow());
        ::chmod(f.c_str(), 0604);
        const std::string big(3 << 20, 'b');
        ASSERT_EQ(writeFileSafely(f.string(), big), FileFailure{});
        EXPECT_EQ(read(f), big);
        EXPECT_EQ(statOf(f).st_mode & 0777, 0604u);
        EXPECT_EQ(statOf(f).st_nlink, 1u);
        EXPECT_EQ(leftovers(), 0);
    }
}

// A name as long as the system allows still gets a temporary name beside it.
TEST_F(AtomicFileTest, ANameOfTheLongestLengthIsSaved) {
    const std::string longest(255, 'n');
    // Cut before the limit, never inside a two-byte letter.
    const std::string letters = std::string(221, 'x') + "\xd0\xb6\xd0\xb6\xd0\xb6.cfg";
    for (const std::string& name : {longest, letters}) {
        ASSERT_EQ(writeFileSafely((dir / name).string(), "one"), FileFailure{});
        ASSERT_EQ(writeFileSafely((dir / name).string(), "two"), FileFailure{});
        EXPECT_EQ(read(dir / name), "two");
    }
    // What a killed save of the longest name left is still known as such.
    const std::string cut = "." + longest.substr(0, 222) + ".tmp-" +
                            std::to_string(endedProcess()) + "-0123456789abcdef";
    ASSERT_LE(cut.size(), 255u);
    put(dir / cut, "left");
    ASSERT_EQ(writeFileSafely((dir / longest).string(), "three"), FileFailure{});
    EXPECT_FALSE(fs::exists(dir / cut));
    EXPECT_EQ(leftovers(), 0);
}

// What a save killed between naming its temporary file and the rename leaves
// is removed by the next save of that target, when its writer has ended or it
// has not changed for long; nothing else is.
TEST_F(AtomicFileTest, TheNextSaveRemovesWhatAKilledSaveOfTheSameTargetLeft) {
    const fs::path f = dir / "a.cfg";
    put(f, "old");
    const pid_t ended = endedProcess();
    const pid_t running = ::getppid();
    const std::string leftover = temporaryOf("a.cfg", ended);
    const std::string stale = temporaryOf("a.cfg", running, "fedcba9876543210");
    const std::string fresh = temporaryOf("a.cfg", running, "00000000000000ff");
    const std::string mine = temporaryOf("a.cfg", ::getpid(), "00000000000000fe");
    put(dir / leftover, "half");
    put(dir / stale, "half");
    age(dir / stale, 11 * 60);
    put(dir / fresh, "being written");
    put(dir / mine, "being written by another thread");

    // Names of another pattern, or of another target, whatever their age.
    const std::vector<std::string> kept = {
        temporaryOf("b.cfg", ended),
        temporaryOf("a.cf", ended),
        temporaryOf("a.cfg", ended).substr(1),
        temporaryOf("a.cfg", ended, "0123456789ABCDEF"),
        temporaryOf("a.cfg", ended, "0123456789abcde"),
        temporaryOf("a.cfg", ended, "0123456789abcdef0"),
        temporaryOf("a.cfg", ended) + ".bak",
        ".a.cfg.tmp-0" + std::to_string(ended) + "-0123456789abcdef",
        ".a.cfg.tmp--0123456789abcdef",
        ".a.cfg.tmp-99999999999-0123456789abcdef",
        "a.cfg.tmp-XYZ123",
    };
    for (const std::string& name : kept) {
        put(dir / name, "keep");
        age(dir / name, 3600);
    }
    // Of the pattern, but no regular file of the user's.
    const std::string folder = temporaryOf("a.cfg", ended, "1111111111111111");
    fs::create_directory(dir / folder);
    const std::string link = temporaryOf("a.cfg", ended, "2222222222222222");
    fs::create_symlink("a.cfg", dir / link);
    const std::string theirs = temporaryOf("a.cfg", ended, "3333333333333333");
    put(dir / theirs, "theirs");
    const bool theirsMade = test::giveToOtherUser(dir / theirs);

    ASSERT_EQ(writeFileSafely(f.string(), "new"), FileFailure{});
    EXPECT_EQ(read(f), "new");
    EXPECT_FALSE(fs::exists(dir / leftover));
    EXPECT_FALSE(fs::exists(dir / stale));
    EXPECT_EQ(read(dir / fresh), "being written");
    EXPECT_EQ(read(dir / mine), "being written by another thread");
    for (const std::string& name : kept)
        EXPECT_EQ(read(dir / name), "keep") << name;
    EXPECT_TRUE(fs::is_directory(dir / folder));
    EXPECT_TRUE(fs::is_symlink(dir / link));
    EXPECT_EQ(fs::exists(dir / theirs), theirsMade);

    // A refused save touches nothing.
    put(dir / leftover, "half");
    ::chmod(f.c_str(), 0444);
    EXPECT_EQ(writeFileSafely(f.string(), "x"), (FileFailure{FileFault::NoWritePermission, 0}));
    EXPECT_TRUE(fs::exists(dir / leftover));
}

TEST_F(AtomicFileTest, ALinkStillNamesTheReplacedFile) {
    const fs::path real = dir / "real.dic";
    const fs::path link = dir / "trans.dic";
    put(real, "old");
    fs::create_symlink(real, link);
    ASSERT_EQ(writeFileSafely(link.string(), "new"), FileFailure{});
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), "new");

    // A relative link through another link, naming a file not made yet.
    fs::create_directory(dir / "sub");
    fs::create_symlink("../later.cfg", dir / "sub" / "hop");
    fs::create_symlink("sub/hop", dir / "first");
    ASSERT_EQ(writeFileSafely((dir / "first").string(), "made"), FileFailure{});
    EXPECT_TRUE(fs::is_symlink(dir / "first"));
    EXPECT_TRUE(fs::is_symlink(dir / "sub" / "hop"));
    EXPECT_EQ(read(dir / "later.cfg"), "made");

    // A loop of links names no file.
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_EQ(writeFileSafely((dir / "loop1").string(), "x"),
              (FileFailure{FileFault::CannotCreate, ELOOP}));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(AtomicFileTest, WhatIsNoFileIsNeverReplaced) {
    fs::create_directory(dir / "busy");
    fs::create_directory(dir / "busy" / "inner");
    EXPECT_EQ(writeFileSafely((dir / "busy").string(), "x"),
              (FileFailure{FileFault::IsDirectory, 0}));
    EXPECT_TRUE(fs::is_directory(dir / "busy" / "inner"));

    test::Fifo fifo(dir / "pipe");
    ASSERT_TRUE(fifo.made());
    EXPECT_EQ(writeFileSafely(fifo.str(), "x"), (FileFailure{FileFault::NotRegularFile, 0}));
    EXPECT_TRUE(test::isFifo(fifo.path()));
    // A device is not replaced by a file, even by root.
    EXPECT_EQ(checkFileWritable("/dev/null"), (FileFailure{FileFault::NotRegularFile, 0}));

    // A folder that does not exist, and a file in place of a folder.
    EXPECT_EQ(writeFileSafely((dir / "missing" / "x.cfg").string(), "x"),
              (FileFailure{FileFault::CannotCreate, ENOENT}));
    put(dir / "plain", "p");
    EXPECT_EQ(writeFileSafely((dir / "plain" / "x.cfg").string(), "x"),
              (FileFailure{FileFault::CannotCreate, ENOTDIR}));
    EXPECT_EQ(read(dir / "plain"), "p");
    EXPECT_EQ(leftovers(), 0);
}

// The mode bits are asked for the effective user, root included: a file or a
// folder marked read-only stays as it is.
TEST_F(AtomicFileTest, AWriteProtectedFileOrFolderIsLeftAlone) {
    const fs::path f = dir / "ro.cfg";
    put(f, "old bytes");
    ::chmod(f.c_str(), 0444);
    EXPECT_EQ(checkFileWritable(f.string()), (FileFailure{FileFault::NoWritePermission, 0}));
    EXPECT_EQ(writeFileSafely(f.string(), "new"), (FileFailure{FileFault::NoWritePermission, 0}));
    EXPECT_EQ(read(f), "old bytes");
    EXPECT_EQ(statOf(f).st_mode & 0777, 0444u);
    // Write right without read right is enough.
    ::chmod(f.c_str(), 0200);
    EXPECT_EQ(writeFileSafely(f.string(), "new"), FileFailure{});
    EXPECT_EQ(statOf(f).st_mode & 0777, 0200u);

    const fs::path kept = dir / "kept.cfg";
    put(kept, "kept");
    ::chmod(dir.c_str(), 0555);
    EXPECT_EQ(writeFileSafely(kept.string(), "x"), (FileFailure{FileFault::FolderNotWritable, 0}));
    EXPECT_EQ(writeFileSafely((dir / "new.cfg").string(), "x"),
              (FileFailure{FileFault::FolderNotWritable, 0}));
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(read(kept), "kept");
    EXPECT_FALSE(fs::exists(dir / "new.cfg"));
    EXPECT_EQ(leftovers(), 0);
}

// A rename would give the name a new file: another user's file would become
// ours, and the other names of a hard-linked file would keep the old bytes.
TEST_F(AtomicFileTest, AnotherUsersFileOrAHardLinkedOneIsNotReplaced) {
    const fs::path theirs = dir / "theirs.cfg";
    put(theirs, "their bytes");
    ::chmod(theirs.c_str(), 0666); // anyone may write it, but it stays theirs
    if (test::giveToOtherUser(theirs)) {
        EXPECT_EQ(writeFileSafely(theirs.string(), "mine"),
                  (FileFailure{FileFault::OwnedByOtherUser, 0}));
        EXPECT_EQ(read(theirs), "their bytes");
        EXPECT_EQ(statOf(theirs).st_uid, test::kOtherUser);
    }

    const fs::path one = dir / "one.cfg";
    const fs::path two = dir / "two.cfg";
    put(one, "shared");
    fs::create_hard_link(one, two);
    const ino_t inode = statOf(one).st_ino;
    EXPECT_EQ(writeFileSafely(two.string(), "new"), (FileFailure{FileFault::HasOtherLinks, 0}));
    EXPECT_EQ(read(one), "shared");
    EXPECT_EQ(read(two), "shared");
    EXPECT_EQ(statOf(two).st_ino, inode);
    EXPECT_EQ(statOf(one).st_nlink, 2u);

    EXPECT_EQ(leftovers(), 0);
}

} // namespace
} // namespace t6
