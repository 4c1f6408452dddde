// The window with files the user points at that are not what they seem: the
// dictionary a pipe, a folder or write-protected; a pipe or a device chosen in
// the open dialog; a backup or a report that cannot be written. The window
// never hangs, says what is wrong in its own language, and changes nothing.

#include <sys/stat.h>

#include "WindowFixture.h"
#include "common/PathTraps.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

class UnsafePathsTest : public WindowFixture {
protected:
    void english() { child<QAction>("menu_english")->trigger(); }
    void russian() { child<QAction>("menu_russian")->trigger(); }
    std::vector<std::string> boxesStartingWith(const std::string& head) const {
        std::vector<std::string> out;
        for (const auto& t : shownTexts())
            if (t.rfind(head, 0) == 0)
                out.push_back(t);
        return out;
    }
};

TEST_F(UnsafePathsTest, ADictionaryThatIsAPipeIsToldOnceAndTheWindowStaysRussian) {
    Fifo fifo(dir / "trans.dic");
    ASSERT_TRUE(fifo.made());
    const double seconds = secondsTaken([&] {
        open();
        english();
        russian();
        english();
    });
    EXPECT_LT(seconds, 5.0) << "nothing waits for the pipe";
    EXPECT_FALSE(fifo.rescued());
    EXPECT_EQ(boxesStartingWith("Файл словаря не удалось прочитать:"),
              std::vector<std::string>{"Файл словаря не удалось прочитать:\r\n" +
                                       (dir / "trans.dic").string() +
                                       "\r\nЭто не обычный файл (канал, устройство или сокет)"});
    EXPECT_TRUE(boxesStartingWith("No exists").empty()) << "the file is there";
    EXPECT_EQ(child<QAction>("N2")->text(), u("Загрузить конфигурацию из файла"));
    EXPECT_TRUE(child<QAction>("menu_english")->isChecked());
    EXPECT_TRUE(isFifo(dir / "trans.dic"));
}

TEST_F(UnsafePathsTest, ADictionaryReplacedByAFolderGoesOnSpeakingEnglish) {
    withShippedDictionary();
    open();
    english();
    ASSERT_EQ(child<QAction>("N2")->text(), u("Load configuration from file"));
    fs::remove(dir / "trans.dic");
    fs::create_directory(dir / "trans.dic");
    prompts.clear();
    child<QAction>("N2")->trigger(); // cancelled: "file not found"
    child<QAction>("N2")->trigger();
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{
                  "Загрузить конфигурацию из файла",
                  "The dictionary file could not be read:\r\n" + (dir / "trans.dic").string() +
                      "\r\nThis is a folder, not a file",
                  "File not found", "Загрузить конфигурацию из файла", "File not found"}));
    EXPECT_TRUE(fs::is_empty(dir / "trans.dic"));
}

TEST_F(UnsafePathsTest, AWriteProtectedDictionaryGetsNoKeysAndNoBox) {
    withShippedDictionary();
    const std::string shipped = file("trans.dic");
    ::chmod((dir / "trans.dic").c_str(), 0444);
    open();
    english();
    EXPECT_EQ(core->translateMessage(ru("Текст, которого нет в словаре")),
              ru("Текст, которого нет в словаре"));
    ::chmod((dir / "trans.dic").c_str(), 0644);
    ::chmod(dir.c_str(), 0555); // now the folder
    EXPECT_EQ(core->translateMessage(ru("Ещё один текст")), ru("Ещё один текст"));
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(file("trans.dic"), shipped);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.lastUtf8();
    EXPECT_EQ(child<QAction>("N2")->text(), u("Load configuration from file"));
}

TEST_F(UnsafePathsTest, InEnglishAPipeOrADeviceIsRefusedAtOnceAndFailedFilesAreToldInEnglish) {
    withShippedDictionary();
    open();
    english();
    child<QCheckBox>("CheckBox_in1")->click();
    Fifo fifo(dir / "pipe.cfg");
    ASSERT_TRUE(fifo.made());
    for (const std::string& path : {fifo.str(), std::string("/dev/zero")}) {
        prompts.clear();
        prompts.fileNames = {path};
        EXPECT_LT(secondsTaken([&] { child<QAction>("N2")->trigger(); }), 1.0) << path;
        EXPECT_EQ(prompts.lastUtf8(), "Error reading the file\r\n"
                                      "This is not a regular file (a pipe, a device or a socket)");
        EXPECT_TRUE(child<QCheckBox>("CheckBox_in1")->isChecked());
        EXPECT_EQ(core->exchange().mode(), ExchangeMode::Idle);
    }
    EXPECT_FALSE(fifo.rescued());

    // The backup a read from the device takes first, over a write-protected one.
    prompts.clear();
    std::ofstream(dir / "save.000") << "old backup";
    ::chmod((dir / "save.000").c_str(), 0444);
    EXPECT_FALSE(core->files().saveBackup());
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{
                  "The backup of the configuration was not saved to the file:\r\n" +
                  (dir / "save.000").string() +
                  "\r\nThe file is write-protected\r\nThe previous file is unchanged."});
    EXPECT_EQ(file("save.000"), "old backup");

    // The load report, when another user's file is in its place.
    const std::string good = (dir / "good.cfg").string();
    prompts.fileNames = {good};
    child<QAction>("N3")->trigger();
    std::ofstream(dir / "LoadFile.rep") << "their report";
    if (!giveToOtherUser(dir / "LoadFile.rep"))
        GTEST_SKIP() << "only root can give a file to another user";
    prompts.clear();
    prompts.fileNames = {good};
    child<QAction>("N2")->trigger();
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(shownTexts()[1], "The load report was not saved to the file:\r\n" +
                                   (dir / "LoadFile.rep").string() +
                                   "\r\nThe file belongs to another user");
    EXPECT_EQ(file("LoadFile.rep"), "their report");
}

} // namespace
} // namespace t6::test
