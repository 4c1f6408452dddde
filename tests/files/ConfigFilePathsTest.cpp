// The file flows with the names a user may give: a pipe, a device, a folder, a
// huge file or one the user may not read, in the open dialog; a write-protected
// file or folder, another user's file, a hard-linked file or a symbolic link in
// the save dialog. What cannot be read or replaced is refused at once, with the
// reason, and nothing changes.

#include <sys/stat.h>
#include <unistd.h>

#include "FilesFixture.h"
#include "common/PathTraps.h"
#include "i18n/Dictionary.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;
using Kind = ScriptedPrompts::Kind;

class ConfigFilePathsTest : public FilesTest {
protected:
    ConfigFiles files{model, exchange, logs, prompts,
                      [](const std::string& t) { return "T:" + t; }};

    std::vector<std::pair<Kind, std::string>> shown() const {
        std::vector<std::pair<Kind, std::string>> out;
        for (const auto& s : prompts.shown)
            out.push_back({s.kind, cp1251ToUtf8(s.text)});
        return out;
    }
    int entries() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir.path()), {}));
    }
    void someWindowContent() {
        tick("CheckBox_in1");
        type("Edit1", "Склад");
        logs.memo(ru("входная строка: OK"));
    }
};

TEST_F(ConfigFilePathsTest, ALoadOfWhatIsNoConfigurationFileIsRefusedAtOnce) {
    Fifo fifo(dir.path() / "pipe.cfg");
    ASSERT_TRUE(fifo.made());
    fs::create_directory(dir.path() / "folder.cfg");
    const std::string huge = dir / "huge.cfg";
    writeFile(huge, "");
    fs::resize_file(huge, std::uintmax_t{1} << 30); // sparse: nothing is read of it
    const std::string large = dir / "large.cfg";
    writeFile(large, withTrailer(lines({"#02", "Окно"})) + std::string(1u << 20, ' '));
    const std::string privateFile = dir / "private.cfg";
    writeFile(privateFile, withTrailer(lines({"#01", "a", "1", "1", "0"})));
    fs::permissions(privateFile, fs::perms::owner_write);

    struct Case {
        std::string path;
        std::string reason;
    };
    const std::string notRegular = "T:Это не обычный файл (канал, устройство или сокет)";
    someWindowContent();
    const Bytes before = saved();
    const auto memo = logs.memoLines();
    for (const Case& c :
         {Case{fifo.str(), notRegular}, Case{"/dev/zero", notRegular},
          Case{dir / "folder.cfg", "T:Это папка, а не файл"}, Case{huge, "T:Файл слишком большой"},
          Case{large, "T:Файл слишком большой"}, Case{privateFile, "T:Нет прав на чтение файла"}}) {
        SCOPED_TRACE(c.path);
        prompts.clear();
        prompts.fileNames = {c.path};
        ConfigFiles::LoadResult result{};
        const double seconds = secondsTaken([&] {
            AsOtherUser other; // the rights of an ordinary user
            ASSERT_TRUE(other.ok());
            result = files.loadConfiguration();
        });
        EXPECT_LT(seconds, 1.0);
        EXPECT_EQ(result, ConfigFiles::LoadResult::Unreadable);
        EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                               {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                               {Kind::Message, "T:Ошибка чтения файла\r\n" + c.reason}}));
        EXPECT_EQ(saved(), before);
        EXPECT_EQ(logs.memoLines(), memo);
        EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
        EXPECT_FALSE(fs::exists(files.reportPath()));
    }
    EXPECT_FALSE(fifo.rescued());
    EXPECT_TRUE(isFifo(fifo.path()));
}

// A save that may not replace the file is refused before the user is asked to
// replace it; the file keeps its bytes, its mode and its owner.
TEST_F(ConfigFilePathsTest, ASaveNeverReplacesAFileTheUserMayNotWrite) {
    struct Case {
        const char* what;
        std::string reason;
    };
    someWindowContent();
    for (const Case& c : {Case{"mode 444", "T:Файл защищён от записи"},
                          Case{"folder 555", "T:Папка защищена от записи"},
                          Case{"another user's", "T:Файл принадлежит другому пользователю"},
                          Case{"hard-linked", "T:У файла есть другие имена (жёсткие ссылки)"}}) {
        const std::string what = c.what;
        SCOPED_TRACE(what);
        const FilesDir place;
        const std::string path = place / "site.cfg";
        writeFile(path, "previous bytes");
        if (what == "mode 444")
            ::chmod(path.c_str(), 0444);
        else if (what == "folder 555")
            ::chmod(place.path().c_str(), 0555);
        else if (what == "another user's" && !giveToOtherUser(path))
            continue; // only root can give a file away
        else if (what == "hard-linked")
            fs::create_hard_link(path, place / "site-copy.cfg");
        struct stat old {};
        ::stat(path.c_str(), &old);

        prompts.clear();
        prompts.fileNames = {path};
        EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Failed);
        EXPECT_EQ(shown(),
                  (std::vector<std::pair<Kind, std::string>>{
                      {Kind::SaveFile, "Сохранить конфигурацию в файл"},
                      {Kind::Error, "T:Конфигурация не сохранена в файл:\r\n" + path + "\r\n" +
                                        c.reason + "\r\nT:Прежний файл не изменён."}}));
        EXPECT_EQ(readFile(path), "previous bytes");
        struct stat now {};
        ::stat(path.c_str(), &now);
        EXPECT_EQ(now.st_ino, old.st_ino);
        EXPECT_EQ(now.st_mode, old.st_mode);
        EXPECT_EQ(now.st_uid, old.st_uid);
        EXPECT_EQ(std::distance(fs::directory_iterator(place.path()), {}),
                  what == "hard-linked" ? 2 : 1);
        EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
        ::chmod(place.path().c_str(), 0755);
    }
}

TEST_F(ConfigFilePathsTest, ASaveThroughASymbolicLinkReplacesTheFileBehindIt) {
    const std::string real = dir / "real.cfg";
    const std::string link = dir / "link.cfg";
    writeFile(real, "previous bytes");
    fs::create_symlink(real, link);
    someWindowContent();
    prompts.fileNames = {link};
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Saved);
    EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                           {Kind::SaveFile, "Сохранить конфигурацию в файл"},
                           {Kind::Question, "Файл с таким именем существует.  Заменить?"},
                           {Kind::Message, "Конфигурация успешно сохранена в файл:\r\n" + link}}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(real), saved());
    EXPECT_EQ(entries(), 2);
}

// After the switch to English the failures speak English: the program's
// words come from the dictionary shipped with it.
TEST_F(ConfigFilePathsTest, FailuresAreToldInTheLanguageOfTheWindow) {
    const fs::path dic = dir.path() / "trans.dic";
    fs::copy_file(fs::path(T6_SOURCE_DIR) / "data" / "trans.dic", dic);
    Dictionary dictionary(dic);
    ConfigFiles english{model, exchange, logs, prompts, [&](const std::string& t) {
                            return TranslateText(dictionary, t, 'E', prompts);
                        }};
    someWindowContent();

    // The backup before a read from the device.
    writeFile(files.backupPath(), "old backup");
    ::chmod(files.backupPath().c_str(), 0444);
    EXPECT_FALSE(english.saveBackup());
    EXPECT_EQ(shown(),
              (std::vector<std::pair<Kind, std::string>>{
                  {Kind::Error, "The backup of the configuration was not saved to the file:\r\n" +
                                    files.backupPath() +
                                    "\r\nThe file is write-protected\r\n"
                                    "The previous file is unchanged."}}));
    EXPECT_EQ(readFile(files.backupPath()), "old backup");

    // The load report after a load.
    prompts.clear();
    const std::string good = dir / "good.cfg";
    writeFile(good, saved());
    fs::create_directory(files.reportPath());
    prompts.fileNames = {good};
    EXPECT_EQ(english.loadConfiguration(), ConfigFiles::LoadResult::Loaded);
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(shown()[1],
              std::make_pair(Kind::Error, "The load report was not saved to the file:\r\n" +
                                              files.reportPath() +
                                              "\r\nThis is a folder, not a file"));
    EXPECT_TRUE(fs::is_directory(files.reportPath()));

    // A file that cannot be loaded, and one that cannot be saved for want of room.
    prompts.clear();
    prompts.fileNames = {"/dev/zero"};
    EXPECT_EQ(english.loadConfiguration(), ConfigFiles::LoadResult::Unreadable);
    EXPECT_EQ(prompts.lastUtf8(), "Error reading the file\r\n"
                                  "This is not a regular file (a pipe, a device or a socket)");
    prompts.clear();
    prompts.fileNames = {(dir / "missing") + "/x.cfg"};
    EXPECT_EQ(english.saveConfiguration(), ConfigFiles::SaveResult::Failed);
    EXPECT_EQ(prompts.lastUtf8(), "The configuration was not saved to the file:\r\n" +
                                      (dir / "missing") +
                                      "/x.cfg\r\nCannot create file: No such file or directory");
    EXPECT_EQ(dictionary.writeCount(), 0) << "every text has its English";
}

} // namespace
} // namespace t6::test
