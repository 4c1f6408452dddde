// The installed tab completion for bash: commands, each command's options,
// and the field names the program itself lists.

#include "CliFixture.h"

#include <QProcess>

namespace t6::test {
namespace {

class CompletionTest : public CliTest {
protected:
    // What bash offers for the words typed so far (the last one being completed).
    std::vector<std::string> complete(const std::string& line) {
        const std::string script = "source /usr/share/bash-completion/bash_completion\n"
                                   "source '" T6_SOURCE_DIR "/packaging/torvel6.bash-completion'\n"
                                   "COMP_LINE='" +
                                   line +
                                   "'; COMP_POINT=${#COMP_LINE}\n"
                                   "read -ra COMP_WORDS <<< \"$COMP_LINE\"\n"
                                   "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
                                   "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                                   "_torvel6; printf '%s\\n' \"${COMPREPLY[@]}\"\n";
        QProcess bash;
        QProcessEnvironment env = environment();
        // "torvel6" is the program just built.
        env.insert("PATH",
                   QString::fromStdString(std::filesystem::path(T6_CLI).parent_path().string() +
                                          ":" + env.value("PATH").toStdString()));
        bash.setProcessEnvironment(env);
        bash.setWorkingDirectory(qpath(""));
        bash.start("bash", {"--norc", "-c", QString::fromStdString(script)});
        EXPECT_TRUE(bash.waitForFinished(20000));
        std::vector<std::string> offered;
        std::istringstream lines(bash.readAllStandardOutput().toStdString());
        for (std::string l; std::getline(lines, l);)
            if (!l.empty())
                offered.push_back(l);
        return offered;
    }
    static bool has(const std::vector<std::string>& offered, const std::string& word) {
        return std::find(offered.begin(), offered.end(), word) != offered.end();
    }
};

TEST_F(CompletionTest, CommandsOptionsAndFieldNamesAreOffered) {
    if (!std::filesystem::exists("/usr/share/bash-completion/bash_completion"))
        GTEST_SKIP() << "bash-completion is not installed";
    const auto commands = complete("torvel6 ");
    for (const char* c : {"get", "set", "history", "write", "show", "diff"})
        EXPECT_TRUE(has(commands, c)) << c;
    const auto writeOptions = complete("torvel6 write --s");
    EXPECT_TRUE(has(writeOptions, "--set"));
    EXPECT_TRUE(has(writeOptions, "--site"));
    EXPECT_FALSE(has(complete("torvel6 show --"), "--set"));
    const auto names = complete("torvel6 set site.cfg telep");
    ASSERT_FALSE(names.empty());
    for (const std::string& n : names)
        EXPECT_EQ(n.rfind("telep", 0), 0u) << n;
    EXPECT_EQ(names.front().back(), '=') << "a setting's value follows its name";
    EXPECT_TRUE(has(complete("torvel6 history "), "show"));
    EXPECT_TRUE(has(complete("torvel6 --lang "), "en"));
}

} // namespace
} // namespace t6::test
