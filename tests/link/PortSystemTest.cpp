#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // A file this user may use: refused by the toolkit means held elsewhere.
    const fs::path port = dir.path() / "ttyUSB0";
    writeText(port, "");
    f = diagnoseOpenFailure(port.string(), true, 13);
    EXPECT_EQ(f.fault, PortFault::Busy);
    EXPECT_EQ(f.code, EBUSY);
    // Any other failure keeps the toolkit's reason.
    f = diagnoseOpenFailure(port.string(), false, 5);
    EXPECT_EQ(f.fault, PortFault::Other);
    EXPECT_EQ(f.code, 5);

    // Without the rights (only an ordinary user is refused by mode bits).
    if (::geteuid() != 0) {
        fs::permissions(port, fs::perms::none);
        f = diagnoseOpenFailure(port.string(), true, 13);
        EXPECT_EQ(f.fault, PortFault::NoPermission);
        EXPECT_EQ(f.code, EACCES);
        EXPECT_FALSE(f.detail.empty());
    }
}

TEST(PortSystem, TheGroupToJoinIsThePortsGroupWhenItMayReadAndWrite) {
    test::TempDir dir;
    const fs::path port = dir.path() / "ttyS0";
    writeText(port, "");
    const group* tty = ::getgrnam("tty");
    if (::geteuid() != 0 || !tty)
        GTEST_SKIP() << "needs root to give the file another group";
    ASSERT_EQ(::chown(port.c_str(), 0, tty->gr_gid), 0);
    ::chmod(port.c_str(), 0660);
    EXPECT_EQ(accessGroupOf(port.string()), "tty");
    // The group may not write: joining it would not help; the usual group is named.
    ::chmod(port.c_str(), 0640);
    EXPECT_EQ(accessGroupOf(port.string()), "dialout");
    ASSERT_EQ(::chown(port.c_str(), 0, 0), 0);
    ::chmod(port.c_str(), 0660);
    EXPECT_EQ(accessGroupOf(port.string()), "dialout") << "root's group is no help";
}

} // namespace
} // namespace t6
