// The key file's bytes: the 40 lines written, and what the reader takes from
// well-formed, old, hand-edited and broken files.

#include <gtest/gtest.h>

#include "KeyCells.h"
#include "common/Cp1251.h"
#include "keys/KeyFile.h"

namespace t6::test {
namespace {

TouchKeys sampleKeys() {
    TouchKeys keys;
    keys[0] = {ru("Дверь"), "01a2b3c4d5e6f708"};
    keys[2] = {ru("Двенадцать12"), "0A0B"};
    keys[9] = {"", "ffffffffffffffff"};
    return keys;
}

const char* const kSampleFileUtf8 = "#1\r\nДверь\r\n01a2b3c4d5e6f708\r\n/1\r\n"
                                    "#2\r\n\r\n\r\n/2\r\n"
                                    "#3\r\nДвенадцать12\r\n0A0B\r\n/3\r\n"
                                    "#4\r\n\r\n\r\n/4\r\n"
                                    "#5\r\n\r\n\r\n/5\r\n"
                                    "#6\r\n\r\n\r\n/6\r\n"
                                    "#7\r\n\r\n\r\n/7\r\n"
                                    "#8\r\n\r\n\r\n/8\r\n"
                                    "#9\r\n\r\n\r\n/9\r\n"
                                    "#10\r\n\r\nffffffffffffffff\r\n/10\r\n";

TEST(KeyFileWrite, FortyLinesInWindows1251WithTheWholeDescription) {
    const Bytes file = writeKeyFile(sampleKeys());
    EXPECT_EQ(file, ru(kSampleFileUtf8));
    EXPECT_EQ(file.substr(4, 5), bytesOf({0xC4, 0xE2, 0xE5, 0xF0, 0xFC}));
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = file.find("\r\n", at)) != Bytes::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 40u);
    EXPECT_EQ(writeKeyFile(TouchKeys{}).size(), 40u * 2 + 10 * 2 * 2 + 1 * 2);
}

TEST(KeyFileWrite, ALineBreakInsideACellIsWrittenAsABlank) {
    TouchKeys keys;
    keys[1] = {"a\r\nb", "01\n02"};
    const Bytes file = writeKeyFile(keys);
    EXPECT_NE(file.find("#2\r\na  b\r\n01 02\r\n/2\r\n"), Bytes::npos);
    EXPECT_EQ(cells(readKeyFile(file).rows[1]), (KeyCells{"a  b", "01 02"}));
}

TEST(KeyFileRead, FileToTableToFileKeepsEveryByte) {
    const KeyFileContent content = readKeyFile(ru(kSampleFileUtf8));
    EXPECT_TRUE(content.skippedLines.empty());
    TouchKeys keys;
    for (std::size_t i = 0; i < 10; ++i) {
        ASSERT_TRUE(content.rows[i].has_value()) << i;
        keys[i] = *content.rows[i];
    }
    EXPECT_EQ(cells(keys), cells(sampleKeys()));
    EXPECT_EQ(writeKeyFile(keys), ru(kSampleFileUtf8));
}

TEST(KeyFileRead, OnlyTheRowsOfTheFileChangeAndOtherLinesArePassedOver) {
    // An old file's block for row 3 (11 bytes of description), other text
    // around it, and Unix line ends.
    const KeyFileContent content =
        readKeyFile(ru("keys of the office\n#3\nДвенадцать1\nc4d5\n/3\nnotes\n/4\n"));
    EXPECT_TRUE(content.skippedLines.empty());
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(content.rows[i].has_value(), i == 2) << i;
    EXPECT_EQ(cells(content.rows[2]), (KeyCells{ru("Двенадцать1"), "c4d5"}));

    // Lone CR line ends, a last line without its end, a description that
    // starts with "#", a row given twice (the last wins), "#05" and "#7 ".
    const KeyFileContent more = readKeyFile("#2\r#9 door\rAB\r#2\rsecond\r01\r#05\r\r\r#7 \rx\r0f");
    EXPECT_TRUE(more.skippedLines.empty());
    EXPECT_EQ(cells(more.rows[1]), (KeyCells{"second", "01"}));
    EXPECT_EQ(cells(more.rows[4]), (KeyCells{"", ""}));
    EXPECT_EQ(cells(more.rows[6]), (KeyCells{"x", "0f"}));
    EXPECT_FALSE(more.rows[8].has_value()) << "a description is not a row's head";
}

TEST(KeyFileRead, LinesThatAreNotWellFormedAreListedAndSkipped) {
    const Bytes file = "#\r\n"     // 1: no number
                       "#0\r\n"    // 2: no such row
                       "#11\r\n"   // 3: no such row
                       "#x\r\n"    // 4: not a number
                       "#1x\r\n"   // 5: not a number
                       "#010\r\n"  // 6: three digits
                       "#4\r\n"    // 7: a good block follows
                       "desc\r\n"  // 8
                       "0102\r\n"  // 9
                       "/4\r\n"    // 10
                       "#5\r\n"    // 11: the file ends after its description
                       "five\r\n"; // 12
    const KeyFileContent content = readKeyFile(file);
    EXPECT_EQ(content.skippedLines, (std::vector<int>{1, 2, 3, 4, 5, 6, 11}));
    EXPECT_EQ(cells(content.rows[3]), (KeyCells{"desc", "0102"}));
    EXPECT_FALSE(content.rows[4].has_value()) << "row 5 keeps its contents";
    EXPECT_FALSE(content.rows[0].has_value());

    EXPECT_EQ(readKeyFile("#8\r\n").skippedLines, (std::vector<int>{1}))
        << "the file ends right after the # line";
    EXPECT_EQ(readKeyFile("#8").skippedLines, (std::vector<int>{1}));
    EXPECT_TRUE(readKeyFile("").skippedLines.empty());
}

} // namespace
} // namespace t6::test
