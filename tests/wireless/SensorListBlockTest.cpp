// The sensor list of a wireless zone in both directions, and the device's
// short answers, as literal bytes.

#include <gtest/gtest.h>

#include "common/Cp1251.h"
#include "wireless/ReplyText.h"
#include "wireless/SensorListBlock.h"

namespace t6 {
namespace {

// Six slots: the first as given, the others empty (ten 0x00, four 0x00).
Bytes listWithFirst(const Bytes& name10, const Bytes& code4) {
    Bytes b = name10 + code4;
    b += Bytes(5 * SensorSlotBytes, '\0');
    return b;
}

TEST(SensorListBlockTest, DecodesNamesAndCodesOfTheSixSlots) {
    Bytes block = listWithFirst(ru("Окно") + "      ", bytesOf({0x12, 0xAB, 0x00, 0xFF}));
    ASSERT_EQ(block.size(), 84u);
    // Slot 6: a name between control characters and blanks, 0x00 inside kept.
    block.replace(70, 14, Bytes("\0 A\0B\x01 \t\0\0", 10) + bytesOf({0xDE, 0xAD, 0xBE, 0xEF}));

    const auto list = decodeSensorListBlock(block);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(cp1251ToUtf8((*list)[0].name), "Окно");
    EXPECT_EQ((*list)[0].code, "12ab00ff");
    EXPECT_EQ((*list)[1], (SensorSlot{"", "00000000"}));
    EXPECT_EQ((*list)[5].name, Bytes("A\0B", 3));
    EXPECT_EQ((*list)[5].code, "deadbeef");
}

TEST(SensorListBlockTest, AShortListIsNoListAndExtraBytesAreIgnored) {
    const Bytes block =
        listWithFirst(Bytes("Door\0\0\0\0\0\0", 10), bytesOf({0x01, 0x02, 0x03, 0x04}));
    EXPECT_FALSE(decodeSensorListBlock(block.substr(0, 83)).has_value());
    EXPECT_FALSE(decodeSensorListBlock({}).has_value());
    const auto longer = decodeSensorListBlock(block + "tail");
    ASSERT_TRUE(longer.has_value());
    EXPECT_EQ((*longer)[0], (SensorSlot{"Door", "01020304"}));
    EXPECT_EQ((*longer)[5].code, "00000000");
}

TEST(SensorListBlockTest, EncodesNamePaddedAndCodeBytesPadded) {
    SensorList list;
    list[0] = {"Kuhnj", "1a2b"};
    list[1] = {ru("Спальня"), "12AB00ff"};
    list[2] = {"0123456789AB", ""}; // longer than a slot's name: cut to 10
    const SensorListEncoding e = encodeSensorListBlock(list);
    ASSERT_TRUE(e.ok());
    ASSERT_EQ(e.bytes.size(), 84u);
    EXPECT_EQ(e.bytes.substr(0, 14),
              bytesOf({'K', 'u', 'h', 'n', 'j', 0, 0, 0, 0, 0, 0x1A, 0x2B, 0x00, 0x00}));
    EXPECT_EQ(e.bytes.substr(14, 14),
              ru("Спальня") + Bytes(3, '\0') + bytesOf({0x12, 0xAB, 0x00, 0xFF}));
    EXPECT_EQ(e.bytes.substr(28, 14), Bytes("0123456789") + Bytes(4, '\0'));
    EXPECT_EQ(e.bytes.substr(42), Bytes(42, '\0'));
    // What the panel shows of a list it wrote is that list.
    const auto back = decodeSensorListBlock(e.bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)[0], (SensorSlot{"Kuhnj", "1a2b0000"}));
    EXPECT_EQ((*back)[1].code, "12ab00ff");
}

TEST(SensorListBlockTest, CodesTheDeviceCannotTakeRefuseTheWholeList) {
    for (const char* good : {"", "1a", "1A2b", "1a2b3c", "1a2b3c4d"})
        EXPECT_TRUE(isSendableSensorCode(good)) << good;
    for (const char* bad : {"1", "1a2", "1a2b3c4d5e", "1a2b3c4d5", "zz", "1a 2b", " 1a2"})
        EXPECT_FALSE(isSendableSensorCode(bad)) << bad;

    SensorList list;
    list[1].code = "123";
    list[4].code = "1a2b3c4d5e";
    list[5].code = "12345678";
    const SensorListEncoding e = encodeSensorListBlock(list);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.refusedRows, (std::vector<int>{2, 5}));
    EXPECT_TRUE(e.bytes.empty()) << "nothing half-built";
}

TEST(ReplyTextTest, TheDeviceWordForDone) {
    EXPECT_EQ(trimBlanks(Bytes(" \0\tOk\r\n\0", 8)), "Ok");
    EXPECT_TRUE(isDoneReply("Ok"));
    EXPECT_TRUE(isDoneReply(" OK\r\n"));
    EXPECT_FALSE(isDoneReply("ok"));
    EXPECT_FALSE(isDoneReply("OkOk"));
    EXPECT_FALSE(isDoneReply("xOk"));
    EXPECT_TRUE(containsDone("xxOkyy"));
    EXPECT_TRUE(containsDone("READY OK"));
    EXPECT_FALSE(containsDone("oK"));
    EXPECT_FALSE(containsDone(""));
}

} // namespace
} // namespace t6
