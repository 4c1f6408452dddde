#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../i18n/TempDir.h"
#include "common/Cp1251.h"
#include "exchange/PortAdvice.h"
#include "i18n/Dictionary.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The advice in both languages, the English through a copy of the shipped
// dictionary: a key missing there would be added to the copy.
class PortAdviceTest : public ::testing::Test {
protected:
    PortAdviceTest() {
        fs::copy_file(fs::path(T6_SOURCE_DIR) / "data" / "trans.dic", dir.path() / "trans.dic");
        shipped = fileBytes(dir.path() / "trans.dic");
    }
    ~PortAdviceTest() override {
        EXPECT_EQ(fileBytes(dir.path() / "trans.dic"), shipped)
            << "every message of the advice is in the dictionary";
    }

    std::string advice(const PortSituation& s, char language) {
        const AdviceTranslate translate = [&](const std::string& t) {
            return TranslateText(dictionary, t, language, prompts);
        };
        return cp1251ToUtf8(portAdvice(s, translate, {}));
    }
    static PortSituation one(PortTrouble t) {
        PortSituation s;
        s.troubles.push_back(std::move(t));
        return s;
    }
    static PortTrouble refused(const std::string& port, AccessCause cause, const char* owner,
                               const char* group, unsigned mode, const std::string& device = {}) {
        PortAccess a;
        a.cause = cause;
        a.device = device.empty() ? port : device;
        a.owner = owner;
        a.group = group;
        a.mode = mode;
        return {port, PortFault::NoPermission, EACCES, group, a};
    }

    TempDir dir;
    std::string shipped;
    Dictionary dictionary{dir.path() / "trans.dic"};
    ScriptedPrompts prompts;
};

struct Case {
    const char* what;
    PortSituation situation;
    const char* russian;
    const char* english;
};

TEST_F(PortAdviceTest, EachCauseIsToldWithWhatHelpsInBothLanguages) {
    std::vector<Case> cases;
    cases.push_back({"not in the group that may use the port",
                     one(refused("/dev/ttyUSB0", AccessCause::NotInGroup, "root", "dialout", 0660)),
                     "Порт /dev/ttyUSB0: Отказано в доступе\r\n"
                     "Порт могут открывать члены группы dialout. Добавьте себя в неё командой\r\n"
                     "sudo usermod -aG dialout $USER\r\n"
                     "затем выйдите из сеанса и войдите снова.",
                     "Port /dev/ttyUSB0: Permission denied\r\n"
                     "The port may be opened by the members of the group dialout. Join it with the "
                     "command\r\n"
                     "sudo usermod -aG dialout $USER\r\n"
                     "then log out and log in again."});
    cases.push_back(
        {"in the group since after the session began",
         one(refused("ttyUSB0", AccessCause::NewLogin, "root", "dialout", 0660, "/dev/ttyUSB0")),
         "Порт ttyUSB0: Отказано в доступе\r\n"
         "Порт могут открывать члены группы dialout. Вы уже в ней, но этот сеанс начат раньше: "
         "выйдите из сеанса и войдите снова.",
         "Port ttyUSB0: Permission denied\r\n"
         "The port may be opened by the members of the group dialout. You are in it already, "
         "but this session began before that: log out and log in again."});
    cases.push_back(
        {"in the group, which may not: the mode, and the rule that keeps it",
         one(refused("/dev/serial/by-id/usb-FTDI-if00", AccessCause::GroupLacksRights, "root",
                     "dialout", 0600, "/dev/ttyUSB0")),
         "Порт /dev/serial/by-id/usb-FTDI-if00: Отказано в доступе\r\n"
         "Вы в группе dialout, но у группы нет права читать и писать порт (права 0600). Дайте "
         "ей права командой\r\n"
         "sudo chmod g+rw /dev/ttyUSB0\r\n"
         "При следующем подключении адаптера или запуске системы права станут прежними, если их "
         "не задаст правило udev:\r\n"
         "echo 'SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB0\", MODE=\"0660\"' | sudo tee -a "
         "/etc/udev/rules.d/70-torvel6.rules\r\n"
         "sudo udevadm control --reload-rules && sudo udevadm trigger",
         "Port /dev/serial/by-id/usb-FTDI-if00: Permission denied\r\n"
         "You are in the group dialout, but the group may not read and write the port (mode "
         "0600). Give it the rights with the command\r\n"
         "sudo chmod g+rw /dev/ttyUSB0\r\n"
         "When the adapter is plugged in again or the system starts, the old mode comes back "
         "unless a udev rule sets it:\r\n"
         "echo 'SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB0\", MODE=\"0660\"' | sudo tee -a "
         "/etc/udev/rules.d/70-torvel6.rules\r\n"
         "sudo udevadm control --reload-rules && sudo udevadm trigger"});
    cases.push_back(
        {"a pseudo-terminal is no device of udev: no rule",
         one(refused("/dev/pts/3", AccessCause::GroupLacksRights, "root", "tty", 0600)),
         "Порт /dev/pts/3: Отказано в доступе\r\n"
         "Вы в группе tty, но у группы нет права читать и писать порт (права 0600). Дайте ей "
         "права командой\r\n"
         "sudo chmod g+rw /dev/pts/3",
         "Port /dev/pts/3: Permission denied\r\n"
         "You are in the group tty, but the group may not read and write the port (mode 0600). "
         "Give it the rights with the command\r\n"
         "sudo chmod g+rw /dev/pts/3"});
    cases.push_back(
        {"the owner without rights changes them without sudo",
         one(refused("/tmp/port", AccessCause::OwnerLacksRights, "user", "user", 0000)),
         "Порт /tmp/port: Отказано в доступе\r\n"
         "Порт принадлежит вам, но у владельца нет права читать и писать его (права 0000). "
         "Дайте их командой\r\n"
         "chmod u+rw /tmp/port",
         "Port /tmp/port: Permission denied\r\n"
         "The port is yours, but its owner may not read and write it (mode 0000). Give them "
         "with the command\r\n"
         "chmod u+rw /tmp/port"});
    cases.push_back(
        {"a built-in port only root may open: no group is named",
         one(refused("ttyS0", AccessCause::OwnerOnly, "root", "root", 0600, "/dev/ttyS0")),
         "Порт ttyS0: Отказано в доступе\r\n"
         "Права порта 0600 (владелец root, группа root) не позволяют открыть его обычному "
         "пользователю: вступление в группу не поможет.\r\n"
         "Встроенный порт ttyS0 часто ни к чему не подключён; USB-адаптер появляется в системе "
         "как ttyUSB или ttyACM.",
         "Port ttyS0: Permission denied\r\n"
         "The port's mode 0600 (owner root, group root) lets no ordinary user open it: joining "
         "a group would not help.\r\n"
         "The built-in port ttyS0 is often connected to nothing; a USB adapter appears in the "
         "system as ttyUSB or ttyACM."});
    cases.push_back(
        {"root's group may: never told to join it",
         one(refused("/dev/ttyUSB1", AccessCause::OwnerOnly, "root", "root", 0660)),
         "Порт /dev/ttyUSB1: Отказано в доступе\r\n"
         "Права порта 0660 (владелец root, группа root) не позволяют открыть его обычному "
         "пользователю.",
         "Port /dev/ttyUSB1: Permission denied\r\n"
         "The port's mode 0660 (owner root, group root) lets no ordinary user open it."});
    cases.push_back(
        {"refused although the mode allows: the reason alone",
         one(refused("/dev/ttyUSB0", AccessCause::Unexplained, "root", "dialout", 0660)),
         "Порт /dev/ttyUSB0: Отказано в доступе", "Port /dev/ttyUSB0: Permission denied"});
    for (const Case& c : cases) {
        EXPECT_EQ(advice(c.situation, 'R'), c.russian) << c.what;
        EXPECT_EQ(advice(c.situation, 'E'), c.english) << c.what;
    }
}

TEST_F(PortAdviceTest, AMissingPortIsToldWithThePortsThatExist) {
    PortSituation s = one({"/dev/ttyUSB7", PortFault::NotFound, ENOENT, {}, {}});
    s.systemPorts = std::vector<std::string>{"ttyS0", "/dev/serial/by-id/usb-FTDI-if00"};
    EXPECT_EQ(advice(s, 'R'), "Порт /dev/ttyUSB7: Нет такого файла или устройства\r\n"
                              "Такого порта нет. Порты в системе: ttyS0, "
                              "/dev/serial/by-id/usb-FTDI-if00");
    EXPECT_EQ(advice(s, 'E'), "Port /dev/ttyUSB7: No such file or directory\r\n"
                              "There is no such port. The system's ports: ttyS0, "
                              "/dev/serial/by-id/usb-FTDI-if00");
    s.systemPorts = std::vector<std::string>{};
    EXPECT_EQ(advice(s, 'R'), "Порт /dev/ttyUSB7: Нет такого файла или устройства\r\n"
                              "Такого порта нет. В системе нет ни одного последовательного порта.");
    EXPECT_EQ(advice(s, 'E'), "Port /dev/ttyUSB7: No such file or directory\r\n"
                              "There is no such port. The system has no serial port.");
    s.systemPorts.reset(); // the ports could not be listed
    EXPECT_EQ(advice(s, 'E'),
              "Port /dev/ttyUSB7: No such file or directory\r\nThere is no such port.");
    // A file that is no port.
    s = one({"/tmp/dev3.tty", PortFault::NotAPort, ENOTTY, {}, {}});
    s.systemPorts = std::vector<std::string>{"ttyS0"};
    EXPECT_EQ(advice(s, 'R'), "Порт /tmp/dev3.tty: Это не последовательный порт\r\n"
                              "Порты в системе: ttyS0");
    EXPECT_EQ(advice(s, 'E'), "Port /tmp/dev3.tty: Not a serial port\r\n"
                              "The system's ports: ttyS0");
}

TEST_F(PortAdviceTest, ABusyPortNamesItsHolderWhenTheSystemTells) {
    PortSituation s = one({"/dev/ttyUSB0", PortFault::Busy, EBUSY, "minicom", {}});
    EXPECT_EQ(advice(s, 'R'), "Порт /dev/ttyUSB0: Устройство или ресурс занято\r\n"
                              "Порт занят другой программой: minicom\r\n"
                              "Закройте эту программу и повторите попытку.");
    EXPECT_EQ(advice(s, 'E'), "Port /dev/ttyUSB0: Device or resource busy\r\n"
                              "The port is busy, held by another program: minicom\r\n"
                              "Close that program and try again.");
    s.troubles[0].detail.clear();
    EXPECT_EQ(advice(s, 'E'), "Port /dev/ttyUSB0: Device or resource busy\r\n"
                              "The port is held by another program.\r\n"
                              "Close that program and try again.");
}

TEST_F(PortAdviceTest, PortsWithTheSameReasonAndAdviceAreToldOnce) {
    PortSituation s;
    s.troubles.push_back(refused("/dev/pts/9", AccessCause::NotInGroup, "root", "dialout", 0660));
    s.troubles.push_back({"ttyUSB1", PortFault::Other, EIO, {}, {}});
    s.troubles.push_back(refused("ttyUSB0", AccessCause::NotInGroup, "root", "dialout", 0660));
    s.troubles.push_back({"ttyUSB2", PortFault::Other, 0, {}, {}}); // nothing known: not told
    s.troubles.push_back({"ttyUSB3", PortFault::Other, 1234, {}, {}});
    EXPECT_EQ(advice(s, 'R'), "Порты /dev/pts/9, ttyUSB0: Отказано в доступе\r\n"
                              "Порт могут открывать члены группы dialout. Добавьте себя в неё "
                              "командой\r\n"
                              "sudo usermod -aG dialout $USER\r\n"
                              "затем выйдите из сеанса и войдите снова.\r\n"
                              "Порт ttyUSB1: Ошибка ввода/вывода\r\n"
                              "Порт ttyUSB3: Системная ошибка 1234");
    EXPECT_EQ(advice(s, 'E').substr(advice(s, 'E').rfind("Port ttyUSB1")),
              "Port ttyUSB1: Input/output error\r\nPort ttyUSB3: System error 1234");
}

} // namespace
} // namespace t6::test
