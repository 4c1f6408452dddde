// "get", "set", "write --set" and "history" as processes: fields by name
// under the window's rules, a template programmed with per-device values, and
// the versions every read and write keeps.

#include "CliFixture.h"

#include "cli/CommandContext.h"
#include "config/ConfigCompare.h"
#include "config/FieldDescription.h"

namespace t6::test {
namespace {

using namespace t6::cli;

QString nameOf(FieldRole role, int unit = 0, int sub = 0) {
    return QString::fromStdString(fieldModelName(fieldIdOf(role, unit, sub)));
}

class CliFieldsTest : public CliTest {
protected:
    // A configuration file read from a device of its own, kept as `site`.
    void readFile(const std::string& name, const QString& site = {}) {
        Device& source = startDevice();
        QStringList args{"read", "--port", source.port(), "--out", qpath(name)};
        if (!site.isEmpty())
            args << "--site" << site;
        const CliRun r = run(args);
        ASSERT_EQ(r.code, Exit::Ok) << r.err;
    }
    // The value "get" prints for a field.
    std::string get(const std::string& file, const QString& name) {
        const CliRun r = run({"get", qpath(file), name});
        EXPECT_EQ(r.code, Exit::Ok) << r.err;
        const auto tab = r.out.rfind('\t');
        return tab == std::string::npos ? "?" : r.out.substr(tab + 1, r.out.size() - tab - 2);
    }
};

TEST_F(CliFieldsTest, SetChangesTheFieldsInOrderAndGetReadsThemBack) {
    readFile("site.cfg");
    const QString telephone = nameOf(FieldRole::Telephone, 3);
    const QString message = nameOf(FieldRole::ZoneMessage, 4);
    const QString active = nameOf(FieldRole::ZoneActive, 4);
    const CliRun r = run(
        {"set", qpath("site.cfg"), telephone + "=+79035550101", active + "=1", message + "=Гараж"});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(contains(r.out, telephone.toStdString() + "\t")) << r.out;
    EXPECT_TRUE(contains(r.out, "\tГараж\n")) << r.out;
    EXPECT_EQ(get("site.cfg", telephone), "+79035550101");
    EXPECT_EQ(get("site.cfg", message), "Гараж");
    // --out leaves the file as it was.
    const std::string before = bytes("site.cfg");
    ASSERT_EQ(run({"set", qpath("site.cfg"), message + "=Склад", "--out", qpath("other.cfg")}).code,
              Exit::Ok);
    EXPECT_EQ(bytes("site.cfg"), before);
    EXPECT_EQ(get("other.cfg", message), "Склад");
    // JSON names the file and each field asked for, in that order.
    const CliRun json = run({"get", qpath("other.cfg"), message, telephone, "--json"});
    EXPECT_LT(json.out.find(message.toStdString()), json.out.find(telephone.toStdString()));
}

TEST_F(CliFieldsTest, ARefusedSettingLeavesTheFileAsItWasWithTheWindowsWords) {
    readFile("site.cfg");
    const std::string before = bytes("site.cfg");
    struct Row {
        QStringList settings;
        std::string words;
    };
    const std::vector<Row> rows{
        // The third telephone emptied first: the zone may not call it.
        {{nameOf(FieldRole::Telephone, 3) + "=", nameOf(FieldRole::ZonePhone, 1, 3) + "=1"},
         "torvel6: Не введен 3 номер телефона\n"},
        {{nameOf(FieldRole::ArmingDelay) + "=999"},
         "torvel6: Значение вне пределов поля " + nameOf(FieldRole::ArmingDelay).toStdString()},
        {{"noSuchField=1"}, "torvel6: Нет такого поля: noSuchField\n"},
    };
    for (const Row& row : rows) {
        const CliRun r = run(QStringList{"set", qpath("site.cfg")} + row.settings);
        EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
        EXPECT_TRUE(contains(r.err, row.words)) << r.err;
        EXPECT_TRUE(contains(r.err, "Файл оставлен как был: " + path("site.cfg"))) << r.err;
        EXPECT_EQ(bytes("site.cfg"), before);
    }
    const CliRun en = run({"--lang", "en", "set", qpath("site.cfg"), "noSuchField=1"});
    EXPECT_TRUE(contains(en.err, "torvel6: No such field: noSuchField\n")) << en.err;
}

TEST_F(CliFieldsTest, WriteSetsTheTemplatesPerDeviceValuesAndWritesNoFile) {
    readFile("template.cfg");
    const std::string before = bytes("template.cfg");
    Device& dev = startDevice();
    const QString telephone = nameOf(FieldRole::Telephone, 2);
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("template.cfg"), "--set",
                          telephone + "=+79161112233", "--verify", "--site", "Дом 7"});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(bytes("template.cfg"), before);
    // The telephone went out in the block and came back in the verifying read.
    EXPECT_TRUE(contains(dev.requests().front(), "/79161112233/")) << dev.requests().front();
    Device& again = dev;
    ASSERT_EQ(run({"read", "--port", again.port(), "--out", qpath("back.cfg")}).code, Exit::Ok);
    EXPECT_EQ(get("back.cfg", telephone), "+79161112233");

    // A refused setting sends nothing at all.
    Device& other = startDevice();
    const CliRun refused = run({"write", "--port", other.port(), "--in", qpath("template.cfg"),
                                "--set", nameOf(FieldRole::ArmingDelay) + "=999"});
    EXPECT_EQ(refused.code, Exit::DeviceError) << refused.err;
    EXPECT_TRUE(contains(refused.err, "В прибор ничего не отправлено.")) << refused.err;
    EXPECT_FALSE(other.asked("Wp"));
}

TEST_F(CliFieldsTest, ReadsAndWritesAreKeptInTheHistoryAndTakenWhereFilesAre) {
    readFile("site.cfg", "Школа");
    Device& dev = startDevice();
    ASSERT_EQ(run({"write", "--port", dev.port(), "--in", qpath("site.cfg"), "--site", "Школа",
                   "--set", nameOf(FieldRole::Telephone, 3) + "=+79035550101"})
                  .code,
              Exit::Ok);
    const CliRun list = run({"history"});
    ASSERT_EQ(list.code, Exit::Ok) << list.err;
    EXPECT_EQ(list.out.rfind("@2\t", 0), 0u) << list.out;
    EXPECT_TRUE(contains(list.out, "\tзапись\tШкола\t")) << list.out;
    EXPECT_TRUE(contains(list.out, "@1\t")) << list.out;
    EXPECT_TRUE(contains(list.out, "\tчтение\tШкола\t")) << list.out;
    EXPECT_TRUE(contains(run({"history", "--json", "--site", "Школа"}).out, "\"@2\""));
    EXPECT_EQ(run({"history", "--site", "Нет"}).out, "");

    // A version is shown as a file is, and compared where a file is.
    EXPECT_EQ(run({"history", "show", "1"}).out, run({"show", qpath("site.cfg")}).out);
    EXPECT_EQ(run({"diff", "@1", qpath("site.cfg")}).code, Exit::Ok);
    const CliRun diff = run({"diff", "@1", "@Школа:latest"});
    EXPECT_EQ(diff.code, Exit::Differs);
    EXPECT_TRUE(contains(diff.out, "+79035550101")) << diff.out;
    const CliRun missing = run({"diff", "@9", qpath("site.cfg")});
    EXPECT_EQ(missing.code, Exit::FileError);
    EXPECT_TRUE(contains(missing.err, "Нет такой версии в истории: @9")) << missing.err;

    // A damaged entry is skipped with a notice.
    {
        std::ofstream cut(dir / "history" / "000001.version", std::ios::binary | std::ios::app);
        cut << "x";
    }
    const CliRun damaged = run({"history"});
    EXPECT_EQ(damaged.code, Exit::Ok);
    EXPECT_TRUE(contains(damaged.err, "000001.version")) << damaged.err;
    EXPECT_FALSE(contains(damaged.out, "@1\t"));
    // A version is never rewritten: set takes it only with --out.
    const CliRun version = run({"set", "@2", nameOf(FieldRole::ArmingDelay) + "=10"});
    EXPECT_EQ(version.code, Exit::Usage) << version.err;
    EXPECT_FALSE(exists("@2"));
    ASSERT_EQ(
        run({"set", "@2", nameOf(FieldRole::ArmingDelay) + "=10", "--out", qpath("v.cfg")}).code,
        Exit::Ok);
    EXPECT_EQ(get("v.cfg", nameOf(FieldRole::ArmingDelay)), "10");
    EXPECT_EQ(run({"history", "--limit", "1"}).code, Exit::Ok);
    EXPECT_EQ(run({"history", "--limit", "0"}).code, Exit::Usage);
}

} // namespace
} // namespace t6::test
