// The shipped dictionary speaks English for everything the window shows: every
// caption the language switch translates, and every message the program passes
// through the dictionary. A caption or message added without its English fails here.

#include <QRegularExpression>
#include <algorithm>

#include "WindowFixture.h"
#include "core/FileDialogs.h"
#include "i18n/Dictionary.h"
#include "i18n/IniFile.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"

namespace t6::test {
namespace {

class DictionaryCoverageTest : public WindowFixture {
protected:
    IniFile shipped() {
        auto ini = IniFile::read(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic");
        EXPECT_TRUE(ini.has_value());
        return ini.value_or(IniFile());
    }
    // Every caption as the switch would look it up, in walking order.
    std::vector<std::string> captions() {
        std::vector<std::string> all{cpOf(window->windowTitle()), window->appTitle()};
        translateWidgetTree(window.get(), [&all](const std::string& caption) {
            all.push_back(caption);
            return caption;
        });
        return all;
    }
    static std::string listed(const std::vector<std::string>& texts) {
        std::string s;
        for (const auto& t : texts)
            s += "\n  " + cp1251ToUtf8(t);
        return s;
    }
};

TEST_F(DictionaryCoverageTest, EveryCaptionOfTheWindowHasEnglish) {
    open();
    const IniFile dic = shipped();
    auto texts = captions();
    for (const auto& t : fileDialogCaptions())
        texts.push_back(t);
    for (const auto& t : OutputChoiceList::fixedOutputs())
        texts.push_back(t);
    ASSERT_GT(texts.size(), 300u) << "the walk reaches the whole window";
    std::vector<std::string> missing;
    for (const auto& t : texts) {
        auto v = dic.value("Eng", dictionaryKey(t));
        if (!v || v->empty())
            missing.push_back(t);
    }
    EXPECT_TRUE(missing.empty()) << "captions without English:" << listed(missing);
}

TEST_F(DictionaryCoverageTest, EnglishAndBackGivesEveryCaptionItsRussianAgain) {
    // Two Russian captions sharing one English text would come back as one of
    // them; the round trip catches it, and any English caption missing from [Rus].
    withShippedDictionary();
    open();
    window->buildAllParts();
    const auto before = captions();
    child<QAction>("menu_english")->trigger();
    const auto english = captions();
    child<QAction>("menu_russian")->trigger();
    const auto after = captions();
    ASSERT_EQ(before.size(), after.size());
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            changed.push_back(before[i] + " -> " + english[i] + " -> " + after[i]);
    EXPECT_TRUE(changed.empty()) << "captions that did not come back:" << listed(changed);
    EXPECT_NE(before, english);
    EXPECT_TRUE(prompts.shown.empty());
}

// The texts the sources pass to the dictionary as messages: the literal given
// to ru() inside a call of translate, translateMessage, TranslateText or a
// sequence's tr(), or given to tr() itself. A literal broken into adjacent
// pieces counts as one.
std::vector<std::string> translatedMessagesInSources() {
    static const QString literals = QStringLiteral(R"re(((?:"(?:[^"\\]|\\.)*"\s*)+))re");
    static const QRegularExpression calls(
        QStringLiteral(
            R"re((?:\btranslate|\btranslateMessage|\bTranslateText|\btr)\s*\([^;]*?\bru\(\s*)re") +
            literals + QStringLiteral(R"re(\))re") + QStringLiteral("|") +
            QStringLiteral(R"re(\btr\(\s*)re") + literals + QStringLiteral(R"re(\))re"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression piece(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    std::vector<std::string> found;
    const auto src = std::filesystem::path(T6_SOURCE_DIR) / "src";
    for (const auto& e : std::filesystem::recursive_directory_iterator(src)) {
        const auto ext = e.path().extension();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream f(e.path(), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        const QString text = QString::fromStdString(s.str());
        for (auto it = calls.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString all = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            QString literal;
            for (auto p = piece.globalMatch(all); p.hasNext();)
                literal += p.next().captured(1);
            literal.replace(QStringLiteral("\\r"), QStringLiteral("\r"))
                .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                .replace(QStringLiteral("\\\""), QStringLiteral("\""))
                .replace(QStringLiteral("\\x97"), QString(QChar(0x2014)))
                .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            found.push_back(ru(literal.toStdString()));
        }
    }
    return found;
}

TEST_F(DictionaryCoverageTest, EveryTranslatedMessageHasEnglishAndItsRussian) {
    const IniFile dic = shipped();
    const auto messages = translatedMessagesInSources();
    ASSERT_GE(messages.size(), 5u) << "the scan finds the messages of the exchange";
    std::vector<std::string> missing;
    for (const auto& m : messages) {
        const std::string key = dictionaryKey(m);
        auto eng = dic.value("Eng1", key);
        auto rus = dic.value("Rus1", key);
        if (!eng || eng->empty() || !rus || rus->empty())
            missing.push_back(m);
    }
    EXPECT_TRUE(missing.empty()) << "messages without [Eng1] and [Rus1]:" << listed(missing);
}

} // namespace
} // namespace t6::test
