#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "../i18n/TempDir.h"
#include "link/PortSystem.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

// A process table of its own: "<pid>/comm" and "<pid>/fd/<n>" links.
struct FakeProc {
    test::TempDir root;
    void process(int pid, const std::string& name, const std::vector<fs::path>& files = {}) {
        const fs::path dir = root.path() / std::to_string(pid);
        fs::create_directories(dir / "fd");
        writeText(dir / "comm", name + "\n");
        int fd = 3;
        for (const fs::path& f : files)
            fs::create_symlink(f, dir / "fd" / std::to_string(fd++));
    }
};

TEST(PortSystem, StableNamesMapEachDeviceToItsLink) {
    test::TempDir dir;
    const fs::path devices = dir.path() / "dev";
    const fs::path byId = dir.path() / "by-id";
    fs::create_directories(devices);
    fs::create_directories(byId);
    writeText(devices / "ttyUSB0", "");
    writeText(devices / "ttyUSB1", "");
    fs::create_symlink("../dev/ttyUSB0", byId / "usb-FTDI_FT232R_A1-if00-port0");
    fs::create_symlink(devices / "ttyUSB1", byId / "usb-1a86_USB_Serial-if00-port0");
    fs::create_symlink(devices / "gone", byId / "usb-dangling");
    writeText(byId / "not-a-link", "");
    const auto names = stableNames(byId);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.at(fs::canonical(devices / "ttyUSB0").string()),
              (byId / "usb-FTDI_FT232R_A1-if00-port0").string());
    EXPECT_EQ(names.at(fs::canonical(devices / "ttyUSB1").string()),
              (byId / "usb-1a86_USB_Serial-if00-port0").string());
    EXPECT_TRUE(stableNames(dir.path() / "missing").empty());
}

TEST(PortSystem, RunningProgramsAndTheHolderOfAPortComeFromTheProcessTable) {
    FakeProc proc;
    test::TempDir dir;
    const fs::path port = dir.path() / "ttyUSB0";
    writeText(port, "");
    writeText(dir.path() / "log", "");
    proc.process(812, "ModemManager");
    proc.process(4711, "minicom", {dir.path() / "log", port});
    writeText(proc.root.path() / "self", ""); // not a process
    EXPECT_TRUE(programRunning("ModemManager", proc.root.path()));
    EXPECT_FALSE(programRunning("brltty", proc.root.path()));
    EXPECT_FALSE(programRunning("Modem", proc.root.path())) << "the whole name only";
    EXPECT_EQ(holderOf(port.string(), proc.root.path()), "minicom");
    EXPECT_EQ(holderOf((dir.path() / "other").string(), proc.root.path()), "");
}

TEST(PortSystem, AnOpenFailureIsToldByThePortFile) {
    test::TempDir dir;
    const std::string missing = (dir.path() / "ttyUSB9").string();
    OpenFailure f = diagnoseOpenFailure(missing, true, 13);
    EXPECT_EQ(f.fault, PortFault::NotFound);
    EXPECT_EQ(f.code, ENOENT);
    writeText(dir.path() / "file", "");
    f = diagnoseOpenFailure((dir.path() / "file" / "ttyUSB0").string(), true, 13);
    EXPECT_EQ(f.fault, PortFault::NotFound);
    EXPECT_EQ(f.code, ENOTDIR);

    // Files that are there but are no port: a plain file, a pipe, a folder.
    const fs::path plain = dir.path() / "dev3.tty";
    writeText(plain, "");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    for (const fs::path& p : {plain, dir.path() / "fifo"}) {
        f = diagnoseOpenFailure(p.string(), false, 95);
        EXPECT_EQ(f.fault, PortFault::NotAPort) << p;
        EXPECT_EQ(f.code, ENOTTY) << p;
    }
    f = diagnoseOpenFailure(dir.path().string(), false, 95);
    EXPECT_EQ(f.fault, PortFault::NotAPort);
    EXPECT_EQ(f.code, EISDIR);

    // A device this user may use: refused by the toolkit means held elsewhere.
    f = diagnoseOpenFailure("/dev/null", true, 13);
    EXPECT_EQ(f.fault, PortFault::Busy);
    EXPECT_EQ(f.code, EBUSY);
    // Any other failure keeps the toolkit's reason.
    f = diagnoseOpenFailure("/dev/null", false, 5);
    EXPECT_EQ(f.fault, PortFault::Other);
    EXPECT_EQ(f.code, 5);
}

TEST(PortSystem, APortNameStandsForAFile) {
    EXPECT_EQ(portFilePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(portFilePath("serial/by-id/usb-x"), "/dev/serial/by-id/usb-x");
    EXPECT_EQ(portFilePath("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(portFilePath("./port"), "./port");
    EXPECT_EQ(portFilePath("../port"), "../port");
}

TEST(PortSystem, TheFactsOfAPortFileAreItsOwnersAndThisProcesss) {
    test::TempDir dir;
    const fs::path port = dir.path() / "ttyUSB0";
    writeText(port, "");
    ::chmod(port.c_str(), 0640);
    fs::create_symlink(port, dir.path() / "link");
    const std::optional<PortFacts> f = portFacts((dir.path() / "link").string());
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->device, fs::canonical(port).string()) << "the link followed";
    EXPECT_EQ(f->mode, 0640u);
    EXPECT_EQ(f->ownerId, ::geteuid());
    EXPECT_EQ(f->userId, ::geteuid());
    EXPECT_FALSE(f->owner.empty());
    EXPECT_FALSE(f->group.empty());
    ASSERT_FALSE(f->sessionGroups.empty());
    EXPECT_EQ(f->sessionGroups.front(), ::getegid());
    EXPECT_FALSE(portFacts((dir.path() / "missing").string()).has_value());
}

// Who may open a port, as the kernel judges the mode bits: the owner by the
// owner's bits, a member of the group (in this session) by the group's, the
// rest by the others'.
TEST(PortSystem, WhyTheModeBitsKeepTheUserOut) {
    const unsigned user = 1000, dialout = 20, tty = 5;
    struct Row {
        const char* what;
        unsigned owner, group, mode;
        std::vector<unsigned> session, database;
        unsigned userId;
        AccessCause cause;
    };
    const Row rows[] = {
        {"not in a group that may",
         0,
         dialout,
         0660,
         {1000},
         {1000},
         user,
         AccessCause::NotInGroup},
        {"in the group only since this session",
         0,
         dialout,
         0660,
         {1000},
         {1000, 20},
         user,
         AccessCause::NewLogin},
        {"a member, but the group may not",
         0,
         dialout,
         0600,
         {1000, 20},
         {1000, 20},
         user,
         AccessCause::GroupLacksRights},
        {"a member: the others' bits do not count",
         0,
         dialout,
         0606,
         {1000, 20},
         {1000, 20},
         user,
         AccessCause::GroupLacksRights},
        {"the owner without rights",
         user,
         user,
         0000,
         {1000},
         {1000},
         user,
         AccessCause::OwnerLacksRights},
        {"the owner: the group's bits do not count",
         user,
         dialout,
         0066,
         {1000, 20},
         {1000, 20},
         user,
         AccessCause::OwnerLacksRights},
        {"root's port, no group may", 0, 0, 0600, {1000}, {1000}, user, AccessCause::OwnerOnly},
        {"root's group is never one to join",
         0,
         0,
         0660,
         {1000},
         {1000},
         user,
         AccessCause::OwnerOnly},
        {"a group that may not, not a member",
         0,
         tty,
         0000,
         {1000},
         {1000},
         user,
         AccessCause::OwnerOnly},
        {"joining a group that may not is no help",
         0,
         dialout,
         0600,
         {1000},
         {1000, 20},
         user,
         AccessCause::OwnerOnly},
        {"the mode lets everyone",
         0,
         dialout,
         0666,
         {1000},
         {1000},
         user,
         AccessCause::Unexplained},
        {"the mode lets this member",
         0,
         dialout,
         0660,
         {1000, 20},
         {1000},
         user,
         AccessCause::Unexplained},
        {"the mode lets this owner",
         user,
         user,
         0600,
         {1000},
         {1000},
         user,
         AccessCause::Unexplained},
        {"root is not kept out by modes", 0, 0, 0000, {0}, {0}, 0, AccessCause::Unexplained},
    };
    for (const Row& r : rows) {
        PortFacts f;
        f.device = "/dev/ttyUSB0";
        f.ownerId = r.owner;
        f.owner = r.owner == 0 ? "root" : "user";
        f.groupId = r.group;
        f.group = "g" + std::to_string(r.group);
        f.mode = r.mode;
        f.userId = r.userId;
        f.sessionGroups = r.session;
        f.databaseGroups = r.database;
        const PortAccess a = accessCause(f);
        EXPECT_EQ(a.cause, r.cause) << r.what;
        EXPECT_EQ(a.device, "/dev/ttyUSB0") << r.what;
        EXPECT_EQ(a.group, f.group) << r.what;
        EXPECT_EQ(a.owner, f.owner) << r.what;
        EXPECT_EQ(a.mode, r.mode) << r.what;
    }
}

} // namespace
} // namespace t6
