// The command line, the boxes without a window, the progress line and the
// texts for the terminal, in-process.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/CliPrompts.h"
#include "cli/CommandContext.h"
#include "cli/CommandLine.h"
#include "cli/ConfigVerify.h"
#include "cli/HelpTexts.h"
#include "cli/ProgressLine.h"
#include "common/Cp1251.h"

namespace t6::test {
namespace {

using namespace t6::cli;

Invocation parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

std::string usageError(std::vector<std::string> args) {
    try {
        parseCommandLine(args);
    } catch (const UsageError& e) {
        return e.text;
    }
    return "<accepted>";
}

TEST(CommandLine, CommandsAndTheirOptions) {
    Invocation i = parse({"write", "--port", "/dev/ttyUSB0", "--in=site.cfg", "--verify"});
    EXPECT_EQ(i.command, "write");
    EXPECT_EQ(i.port, "/dev/ttyUSB0");
    EXPECT_EQ(i.in, "site.cfg");
    EXPECT_TRUE(i.verify);
    EXPECT_EQ(i.language, 'R');

    i = parse({"--lang", "en", "keys", "read", "--out", "k.key", "--port", "COM3"});
    EXPECT_EQ(i.command, "keys read");
    EXPECT_EQ(i.out, "k.key");
    EXPECT_EQ(i.language, 'E');

    i = parse({"diff", "a.cfg", "--", "-b.cfg"});
    EXPECT_EQ(i.files, (std::vector<std::string>{"a.cfg", "-b.cfg"}));

    i = parse({"identify"});
    EXPECT_EQ(i.port, "");
    EXPECT_TRUE(parse({"read", "--help"}).help) << "help needs no other option";
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_EQ(parse({"keys", "--help"}).command, "keys");
}

TEST(CommandLine, MistakesAreUsageErrors) {
    EXPECT_EQ(usageError({"flash"}), "unknown command \"flash\"");
    EXPECT_EQ(usageError({"read", "--out", "a.cfg"}), "\"read\" needs --port PORT");
    EXPECT_EQ(usageError({"read", "--port", "P"}), "\"read\" needs --out FILE");
    EXPECT_EQ(usageError({"write", "--port", "P", "--in", "a", "--force"}),
              "the option --force does not belong to \"write\"");
    EXPECT_EQ(usageError({"show", "a.cfg", "--port", "P"}),
              "the option --port does not belong to \"show\"");
    EXPECT_EQ(usageError({"signal", "--port"}), "the option --port needs a value");
    EXPECT_EQ(usageError({"signal", "--port="}), "the option --port needs a value");
    EXPECT_EQ(usageError({"ports", "--lang", "de"}), "--lang takes ru or en, not de");
    EXPECT_EQ(usageError({"ports", "--verify=yes"}), "the option --verify takes no value");
    EXPECT_EQ(usageError({"diff", "a.cfg"}), "\"diff\" needs 2 files");
    EXPECT_EQ(usageError({"sheet", "a.cfg"}), "\"sheet\" needs --out FILE");
    EXPECT_EQ(usageError({"sheet", "--out", "a.pdf"}), "\"sheet\" needs a file");
    EXPECT_EQ(usageError({"sheet", "a.cfg", "--out", "a.pdf", "--json"}),
              "the option --json does not belong to \"sheet\"");
    EXPECT_EQ(usageError({"show", "a.cfg", "b.cfg"}), "too many arguments for \"show\": b.cfg");
    EXPECT_EQ(usageError({"keys"}), "\"keys\" needs read or write");
    EXPECT_EQ(usageError({"keys", "erase"}), "unknown command \"keys erase\"");
    EXPECT_EQ(usageError({"ports", "-x"}), "unknown option -x");
    EXPECT_EQ(usageError({"--port", "P"}), "an option without a command");
}

int runWith(std::vector<std::string> args, std::string& out, std::string& err) {
    std::vector<char*> argv;
    static char name[] = "torvel6";
    argv.push_back(name);
    for (auto& a : args)
        argv.push_back(a.data());
    std::ostringstream o, e;
    const int rc = runCommandLine(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return rc;
}

TEST(CommandLine, HelpVersionAndUsageExits) {
    std::string out, err;
    EXPECT_EQ(runWith({"--help"}, out, err), Exit::Ok);
    EXPECT_NE(out.find("Usage: torvel6 COMMAND"), std::string::npos);
    EXPECT_NE(out.find("  5    write --verify"), std::string::npos) << "the exit codes are listed";
    EXPECT_EQ(runWith({"write", "--help"}, out, err), Exit::Ok);
    EXPECT_NE(out.find("Usage: torvel6 write --port PORT --in FILE [--verify]"), std::string::npos);
    EXPECT_NE(out.find("  130  interrupted"), std::string::npos);
    EXPECT_EQ(runWith({"--version"}, out, err), Exit::Ok);
    EXPECT_EQ(out.rfind("torvel6 ", 0), 0u) << out;

    EXPECT_EQ(runWith({"read", "--out", "x"}, out, err), Exit::Usage);
    EXPECT_EQ(err, "torvel6: \"read\" needs --port PORT\ntorvel6: Try \"torvel6 read --help\".\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(runWith({}, out, err), Exit::Usage);
    EXPECT_EQ(err, "torvel6: a command is needed\ntorvel6: Try \"torvel6 --help\".\n");
    // Every command has a help of its own.
    for (const char* c :
         {"ports", "identify", "read", "write", "signal", "keys read", "show", "diff", "sheet"})
        EXPECT_NE(helpText(c), helpText({})) << c;
    EXPECT_NE(helpText({}).find("sheet FILE --out SHEET.pdf"), std::string::npos);
}

TEST(TerminalText, ConvertsAndDisarmsControlBytes) {
    // "Да" in Windows-1251, a CR LF, an escape sequence, the undefined byte 98.
    EXPECT_EQ(terminalText(std::string("\xC4\xE0\r\nA\x1B[31m\x98\tB\rC")), "Да\nA?[31m?\tB\nC");
    EXPECT_EQ(fieldLineText(std::string("a\\b\r\nc\td\x1A\x98")), "a\\\\b\\r\\nc\\td\\x1A\\x98");
}

TEST(CliPrompts, AnswersAsTheWindowsDefaultButtonsAndKeepsWhatWasShown) {
    std::ostringstream err;
    CliPrompts p(err);
    p.setTranslate([](const std::string& t) { return t == ru("Нет") ? std::string("No") : t; });
    int shown = 0;
    p.setOnShown([&] { ++shown; });
    EXPECT_TRUE(p.confirm(ru("Процесс записи завершился. Все OK.")));
    EXPECT_FALSE(p.question(ru("Заменить?")));
    p.answerYes(ru("Заменить?"));
    EXPECT_TRUE(p.question(ru("Заменить?")));
    p.message("No exists/tmp/trans.dic");
    p.information(ru("Используйте\r\nдругой"));
    EXPECT_EQ(err.str(), "torvel6: Процесс записи завершился. Все OK.\ntorvel6: Заменить? [No]\n"
                         "torvel6: Заменить? [Да]\ntorvel6: No exists/tmp/trans.dic\n"
                         "torvel6: Используйте\ntorvel6: другой\n");
    EXPECT_EQ(shown, 5);
    ASSERT_EQ(p.shown().size(), 5u);
    EXPECT_EQ(p.shown()[0].kind, CliPrompts::Kind::Confirm);
    EXPECT_EQ(p.shown()[1].kind, CliPrompts::Kind::Question);

    EXPECT_EQ(p.openFileName({}), std::nullopt);
    p.setOpenFile("in.cfg");
    p.setSaveFile("out.cfg");
    EXPECT_EQ(p.openFileName({}), "in.cfg");
    EXPECT_EQ(p.saveFileName({}), "out.cfg");

    // Quiet: kept, not written.
    err.str({});
    p.setQuiet(true);
    p.information(ru("Окно восстановлено"));
    p.note(ru("Прервано"));
    EXPECT_EQ(err.str(), "torvel6: Прервано\n");
    EXPECT_EQ(p.shown().back().text, ru("Окно восстановлено"));
}

TEST(ErrorLines, EveryLineIsThePrograms_AndAPathStaysWithItsMessage) {
    struct Case {
        const char* text; // UTF-8, made Windows-1251
        const char* lines;
    };
    const Case cases[] = {
        {"Конфигурация успешно сохранена в файл:\r\n/home/ann/site.cfg",
         "torvel6: Конфигурация успешно сохранена в файл: /home/ann/site.cfg\n"},
        {"Конфигурация не сохранена в файл:\r\n/a/b.cfg\r\nПапка защищена от записи\r\nПрежний "
         "файл не изменён.",
         "torvel6: Конфигурация не сохранена в файл: /a/b.cfg\ntorvel6: Папка защищена от "
         "записи\ntorvel6: Прежний файл не изменён.\n"},
        {"Файл не найден\r\n/a/b.cfg", "torvel6: Файл не найден: /a/b.cfg\n"},
        {"Файл не загружен: ошибка формата.\r\n/a/b.cfg\r\nСтрока 6: коротко",
         "torvel6: Файл не загружен: ошибка формата: /a/b.cfg\ntorvel6: Строка 6: коротко\n"},
        // A message that begins with a path: the reason follows it.
        {"/a/protokol.log\r\nФайл защищён от записи",
         "torvel6: /a/protokol.log: Файл защищён от записи\n"},
        {"/dev/ttyUSB0", "torvel6: /dev/ttyUSB0\n"},
        // A line that goes on after its path is a sentence of its own.
        {"Нет ответа.\r\n/dev/ttyS0: Permission denied",
         "torvel6: Нет ответа.\ntorvel6: /dev/ttyS0: Permission denied\n"},
        {"Используйте\nдругой\rпорт", "torvel6: Используйте\ntorvel6: другой\ntorvel6: порт\n"},
        {"A\x1B[31m", "torvel6: A?[31m\n"},
        {"", "torvel6: \n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorLines(ru(c.text)), c.lines) << c.text;
}

TEST(ProgressLine, RewritesOneLineOnATerminalOnly) {
    std::ostringstream off;
    ProgressLine quiet(off, false, 80, ru("передано байт:"), ru("получено байт:"));
    quiet.setStage(ru("Запись настроек: основной блок"), 0);
    quiet.setBytes(10, 2, 500);
    quiet.clear();
    EXPECT_EQ(off.str(), "");

    std::ostringstream on;
    ProgressLine line(on, true, 80, ru("передано байт:"), ru("получено байт:"));
    line.setBytes(4, 0, 0); // no stage: nothing to show
    EXPECT_EQ(on.str(), "");
    line.setStage(ru("Чтение настроек: основной блок"), 0);
    EXPECT_EQ(on.str(), "\rЧтение настроек: основной блок — передано байт: 4, получено байт: 0"
                        "\x1b[K");
    on.str("");
    line.setBytes(12, 300, 50); // within a tenth of a second: not redrawn
    EXPECT_EQ(on.str(), "");
    line.setBytes(12, 301, 120);
    EXPECT_EQ(on.str(), "\rЧтение настроек: основной блок — передано байт: 12, получено байт: 301"
                        "\x1b[K");
    on.str("");
    line.clear();
    line.clear();
    EXPECT_EQ(on.str(), "\r\x1b[K");
    on.str("");
    line.setStage({}, 200);
    EXPECT_EQ(on.str(), "") << "a cleared line is not cleared again";

    std::ostringstream narrow;
    ProgressLine cut(narrow, true, 11, "s", "r");
    cut.setStage(ru("Чтение настроек"), 0);
    EXPECT_EQ(cut.text(), "Чтение нас") << "the last column stays free";
}

TEST(ConfigVerify, FieldsTheDeviceDoesNotKeepAreLeftOut) {
    for (const char* name : {"deviceDate", "deviceTime", "clockFromPc", "messageLanguage",
                             "sirenOutput", "touchKeys[1].code", "touchKeys[10].description"})
        EXPECT_FALSE(isKeptByDevice(name)) << name;
    for (const char* name : {"telephones[1]", "wiredZones[1].message", "remoteControls[2].code",
                             "armingDelay", "wirelessOutputs[16].used"})
        EXPECT_TRUE(isKeptByDevice(name)) << name;
}

} // namespace
} // namespace t6::test

// The manual page's synopsis names every command the help lists.
TEST(CommandLine, TheManualPageListsEveryCommandOfTheHelp) {
    std::ifstream page(std::string(T6_SOURCE_DIR) + "/packaging/man/torvel6.1");
    std::stringstream man;
    man << page.rdbuf();
    ASSERT_FALSE(man.str().empty());
    std::istringstream help(t6::cli::helpText(""));
    std::string line;
    bool inCommands = false;
    int commands = 0;
    while (std::getline(help, line)) {
        if (line == "Commands:") {
            inCommands = true;
            continue;
        }
        if (inCommands && line.empty())
            break;
        // "  keys read --port ..." names the command "keys read".
        if (!inCommands || line.size() < 3 || line[2] == ' ')
            continue;
        std::istringstream words(line);
        std::string command, word;
        while (words >> word && word[0] >= 'a' && word[0] <= 'z' && word != "the")
            command += (command.empty() ? "" : " ") + word;
        ASSERT_FALSE(command.empty()) << line;
        EXPECT_NE(man.str().find(".B torvel6 " + command), std::string::npos) << command;
        ++commands;
    }
    EXPECT_GE(commands, 10);
}
