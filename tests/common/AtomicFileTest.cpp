#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
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
