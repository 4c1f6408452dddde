#include "common/FileAccess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "common/Cp1251.h"
#include "common/PathTraps.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;
using test::AsOtherUser;
using test::Fifo;
using test::secondsTaken;

class ReadRegularFileTest : public ::testing::Test {
protected:
    ReadRegularFileTest() {
        dir = fs::temp_directory_path() /
              ("t6-read-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ReadRegularFileTest() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string put(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path dir;
};

TEST_F(ReadRegularFileTest, GivesEveryByteUpToTheLimit) {
    const std::string bytes("\x00\r\n\x1a\xff", 5);
    FileRead r = readRegularFile(put("a.cfg", bytes), 5);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.bytes, bytes);

    r = readRegularFile(put("empty.cfg", ""), 5);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.bytes, "");

    // Through a symbolic link, the file it names.
    fs::create_symlink(dir / "a.cfg", dir / "link.cfg");
    EXPECT_EQ(readRegularFile((dir / "link.cfg").string(), 5).bytes, bytes);

    // One byte over the limit is too large, and nothing is given.
    r = readRegularFile(put("b.cfg", "123456"), 5);
    EXPECT_EQ(r.failure, (FileFailure{FileFault::TooLarge, 0}));
    EXPECT_EQ(r.bytes, "");
}

TEST_F(ReadRegularFileTest, AHugeFileIsRefusedWithoutReadingIt) {
    const fs::path big = dir / "big.cfg";
    std::ofstream(big).close();
    fs::resize_file(big, std::uintmax_t{1} << 30); // 1 GiB, sparse
    FileRead r;
    EXPECT_LT(secondsTaken([&] { r = readRegularFile(big.string(), 1u << 20); }), 1.0);
    EXPECT_EQ(r.failure.fault, FileFault::TooLarge);
}

TEST_F(ReadRegularFileTest, WhatIsNoRegularFileIsRefusedAtOnce) {
    Fifo fifo(dir / "pipe");
    ASSERT_TRUE(fifo.made());
    FileRead r;
    EXPECT_LT(secondsTaken([&] { r = readRegularFile(fifo.str(), 1u << 20); }), 1.0);
    EXPECT_EQ(r.failure, (FileFailure{FileFault::NotRegularFile, 0}));
    EXPECT_FALSE(fifo.rescued());

    // A link to the pipe is the pipe.
    fs::create_symlink(fifo.path(), dir / "pipe.cfg");
    EXPECT_EQ(readRegularFile((dir / "pipe.cfg").string(), 100).failure.fault,
              FileFault::NotRegularFile);

    // Devices without end, or without content.
    for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
        EXPECT_LT(secondsTaken([&] { r = readRegularFile(device, 1u << 20); }), 1.0) << device;
        EXPECT_EQ(r.failure.fault, FileFault::NotRegularFile) << device;
    }

    fs::create_directory(dir / "folder.cfg");
    EXPECT_EQ(readRegularFile((dir / "folder.cfg").string(), 100).failure.fault,
              FileFault::IsDirectory);
    EXPECT_EQ(readRegularFile((dir / "missing.cfg").string(), 100).failure.fault,
              FileFault::NotFound);
    EXPECT_EQ(readRegularFile(put("plain", "x") + "/under", 100).failure.fault,
              FileFault::NotFound);
}

TEST_F(ReadRegularFileTest, AFileTheUserMayNotReadIsRefused) {
    const std::string path = put("private.cfg", "secret");
    fs::permissions(path, fs::perms::owner_write);
    FileRead r;
    {
        AsOtherUser other;
        ASSERT_TRUE(other.ok());
        r = readRegularFile(path, 100);
    }
    EXPECT_EQ(r.failure, (FileFailure{FileFault::NoReadPermission, 0}));
    EXPECT_EQ(r.bytes, "");
}

TEST(FileFailureText, WordsTheReasonAndAddsTheSystemsTextWhereItHelps) {
    EXPECT_EQ(fileFailureText({FileFault::None, 0}), "");
    EXPECT_EQ(fileFailureText({FileFault::NotRegularFile, 0}),
              ru("Это не обычный файл (канал, устройство или сокет)"));
    // A refusal of the program's own is told in its words alone.
    EXPECT_EQ(fileFailureText({FileFault::NoWritePermission, EACCES}),
              ru("Файл защищён от записи"));
    // A failing system call adds the system's words, untranslated.
    auto mark = [](const std::string& t) { return "T:" + t; };
    EXPECT_EQ(fileFailureText({FileFault::CannotWrite, ENOSPC}, mark),
              "T:" + ru("Не удалось записать файл") + ": No space left on device");
    EXPECT_EQ(fileFailureText({FileFault::CannotCreate, 0}, mark),
              "T:" + ru("Не удалось создать файл"));
    EXPECT_EQ(fileFailureText({FileFault::ReadFailed, EIO}),
              ru("Файл не удалось прочитать") + ": Input/output error");

    // Every fault has words of its own.
    std::vector<std::string> seen;
    for (FileFault f : allFileFaults()) {
        const std::string t = fileFaultText(f);
        EXPECT_FALSE(t.empty());
        EXPECT_EQ(std::find(seen.begin(), seen.end(), t), seen.end()) << cp1251ToUtf8(t);
        seen.push_back(t);
    }
}

TEST(SystemText, KeepsWhatTheCodePageHoldsAndMarksTheRest) {
    EXPECT_EQ(platformNameText("/tmp/Дача.cfg"), "/tmp/" + ru("Дача") + ".cfg");
    EXPECT_EQ(platformNameText("a\xe2\x86\x92"
                               "b\xc3"),
              "a?b?"); // an arrow, then a cut sequence
}

} // namespace
} // namespace t6
