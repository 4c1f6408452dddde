// The key table's bytes: the device's records decoded into rows, the table
// checked and encoded into the 200-byte block.

#include <gtest/gtest.h>

#include "common/Cp1251.h"
#include "keys/KeyTable.h"

namespace t6::test {
namespace {

const Bytes kIdentity = bytesOf({0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08});

Bytes zeros(std::size_t n) {
    return Bytes(n, '\0');
}

TEST(KeyTableDecode, RecordsFillTheirRowsWithCleanDescriptionsAndSmallHexCodes) {
    Bytes reply = ru("Дверь") + zeros(7) + kIdentity;
    reply += zeros(20);
    // Control bytes go wherever they are; blanks and 00 only at the ends.
    reply += bytesOf({0x20, 0x01, 0xC3, 0x0D, 0x20, 0xE0, 0x1F, 0x00, 0x41, 0x00, 0x20, 0x0A}) +
             bytesOf({0xFF, 0xFF, 0, 0, 0, 0, 0, 0x10});
    const std::vector<DecodedKeyRow> rows = decodeKeyTable(reply);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (DecodedKeyRow{1, ru("Дверь"), "01a2b3c4d5e6f708"}));
    EXPECT_EQ(rows[1], (DecodedKeyRow{2, "", "0000000000000000"}));
    EXPECT_EQ(rows[2],
              (DecodedKeyRow{3, bytesOf({0xC3, 0x20, 0xE0, 0x00, 0x41}), "ffff000000000010"}));
}

TEST(KeyTableDecode, APartialRecordBringsADescriptionOnlyFromTwelveBytes) {
    const Bytes two = ru("Первый") + zeros(6) + kIdentity + ru("Второй") + zeros(6) + kIdentity;
    EXPECT_EQ(decodeKeyTable(two).size(), 2u) << "40 bytes: rows 1 and 2";
    EXPECT_EQ(decodeKeyTable(two + "Third-key-x").size(), 2u) << "11 bytes more are ignored";
    const auto rows = decodeKeyTable(two + "Third-key-xy" + "\x01\x02\x03");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2], (DecodedKeyRow{3, "Third-key-xy", std::nullopt}));
    EXPECT_TRUE(decodeKeyTable("").empty());
    EXPECT_TRUE(decodeKeyTable("short").empty());
}

TEST(KeyTableDecode, RecordsPastTheTenthAreNotKept) {
    Bytes reply;
    for (int k = 1; k <= 12; ++k)
        reply += "Key " + std::to_string(k) + zeros(k < 10 ? 7 : 6) + kIdentity;
    const auto rows = decodeKeyTable(reply + "partial-rec-13");
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[9], (DecodedKeyRow{10, "Key 10", "01a2b3c4d5e6f708"}));
}

TEST(KeyTableDecode, OneKeyIsItsFirstEightBytes) {
    EXPECT_EQ(decodeKeyIdentity(kIdentity + "\x55\x66"), "01a2b3c4d5e6f708");
    EXPECT_EQ(decodeKeyIdentity(bytesOf({0x0A, 0xFF, 0x10})), "0aff10");
    EXPECT_EQ(decodeKeyIdentity(""), "");
}

TEST(KeyTableEncode, RowsBecomeTwentyBytesEach) {
    TouchKeys keys;
    keys[0] = {ru("Дверь"), "01A2B3C4D5E6F708"};
    keys[1] = {"", " 0a0b "}; // blanks around a code do not count
    keys[2] = {ru("Двенадцать12"), "01a2b3c4d5e6f708"};
    const std::optional<Bytes> block = encodeKeyTable(keys);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 200u);
    EXPECT_EQ(block->substr(0, 20),
              bytesOf({0xC4, 0xE2, 0xE5, 0xF0, 0xFC, 0, 0, 0, 0, 0, 0, 0}) + kIdentity);
    EXPECT_EQ(block->substr(20, 20), zeros(12) + bytesOf({0x0A, 0x0B}) + zeros(6));
    EXPECT_EQ(block->substr(40, 20), ru("Двенадцать12") + kIdentity);
    for (int row = 4; row <= 10; ++row)
        EXPECT_EQ(block->substr(static_cast<std::size_t>(row - 1) * 20, 20), zeros(20)) << row;

    // What the device sends back decodes to the same table (codes in small letters).
    const auto rows = decodeKeyTable(*block);
    EXPECT_EQ(rows[0], (DecodedKeyRow{1, ru("Дверь"), "01a2b3c4d5e6f708"}));
    EXPECT_EQ(rows[1], (DecodedKeyRow{2, "", "0a0b000000000000"}));
}

TEST(KeyTableCheck, TheFirstRowBreakingARuleIsNamedAndNothingIsEncoded) {
    using K = KeyTableFault::Kind;
    auto fault = [](std::initializer_list<std::pair<int, TouchKey>> rows) {
        TouchKeys keys;
        for (const auto& [row, key] : rows)
            keys[static_cast<std::size_t>(row - 1)] = key;
        EXPECT_EQ(checkKeyTable(keys).has_value(), !encodeKeyTable(keys).has_value());
        return checkKeyTable(keys);
    };
    EXPECT_EQ(fault({}), std::nullopt) << "empty rows pass";
    EXPECT_EQ(fault({{1, {"", "abcdef0123456789"}}, {2, {"", "ABCDEF"}}}), std::nullopt)
        << "small letters as the device shows them, and capitals";
    EXPECT_EQ(fault({{3, {"", "01G2"}}, {5, {"", "012"}}}), (KeyTableFault{3, K::BadCharacter}));
    EXPECT_EQ(fault({{2, {"", "0 12"}}}), (KeyTableFault{2, K::BadCharacter}))
        << "a blank inside a code";
    EXPECT_EQ(fault({{4, {"", "01G"}}}), (KeyTableFault{4, K::BadCharacter}))
        << "characters come before the count";
    EXPECT_EQ(fault({{4, {"", "012"}}}), (KeyTableFault{4, K::OddDigits}));
    EXPECT_EQ(fault({{6, {"", std::string(17, 'a')}}}), (KeyTableFault{6, K::OddDigits}));
    EXPECT_EQ(fault({{6, {"", std::string(18, 'a')}}}), (KeyTableFault{6, K::TooManyDigits}));
    EXPECT_EQ(fault({{7, {std::string(12, 'x'), std::string(16, 'a')}}}), std::nullopt);
    EXPECT_EQ(fault({{7, {std::string(13, 'x'), "01"}}}), (KeyTableFault{7, K::LongDescription}));
    EXPECT_EQ(fault({{2, {std::string(13, 'x'), ""}}, {1, {"", "1"}}}),
              (KeyTableFault{1, K::OddDigits}))
        << "rows in order";
    EXPECT_EQ(fault({{10, {std::string(13, 'x'), "1"}}}), (KeyTableFault{10, K::OddDigits}))
        << "within a row the code first";
}

TEST(KeyTableCheck, MessagesNameTheRowThroughTheDictionary) {
    using K = KeyTableFault::Kind;
    auto mark = [](const std::string& t) { return "[" + t + "]"; };
    auto text = [&](int row, K kind) { return cp1251ToUtf8(keyTableFaultText({row, kind}, mark)); };
    EXPECT_EQ(text(3, K::BadCharacter), "[Код Ключа №3 содержит недопустимые символы]");
    EXPECT_EQ(text(10, K::BadCharacter), "[Код Ключа №10 содержит недопустимые символы]");
    EXPECT_EQ(text(4, K::OddDigits),
              "[Ключ] 4: [в коде нечётное число цифр (каждый байт ключа "
              "записывается двумя цифрами). В прибор ничего не отправлено.]");
    EXPECT_EQ(text(6, K::TooManyDigits),
              "[Ключ] 6: [в коде больше 16 цифр (ключ хранит 8 байт). В прибор ничего не "
              "отправлено.]");
    EXPECT_EQ(text(7, K::LongDescription),
              "[Ключ] 7: [описание длиннее 12 символов (прибор хранит 12). В прибор ничего не "
              "отправлено.]");
    EXPECT_EQ(cp1251ToUtf8(keyTableFaultText({1, K::BadCharacter}, {})),
              "Код Ключа №1 содержит недопустимые символы");
}

} // namespace
} // namespace t6::test
