#include <map>

#include "BlockFixture.h"
#include "config/FixedBlocks.h"

namespace t6::test {
namespace {

// An entry of a block: head, name padded to 10 with 0x00, three code bytes.
Bytes entry(const Bytes& head, const std::string& name, std::initializer_list<int> code) {
    return head + name + std::string(10 - name.size(), '\0') + bytesOf(code);
}

class FixedBlockTest : public BlockTest {
protected:
    FixedBlockTest() { mode = ExchangeMode::ReadOutputs; }

    // Sixteen unused outputs without name or code, with the given entries put in.
    static Bytes outputsBlock(std::map<int, Bytes> entries) {
        Bytes b;
        for (int k = 1; k <= 16; ++k)
            b += entries.count(k) ? entries[k] : entry("0", "", {0, 0, 0});
        return b;
    }
    bool decodeOutputs(const Bytes& body) {
        ExactBytes exact(body);
        return decodeWirelessOutputsBlock(model, exact.view(), log);
    }
    const WirelessOutput& output(int n) const {
        return c().wirelessOutputs[static_cast<std::size_t>(n - 1)];
    }
    std::vector<std::string> list() const {
        return RecordingBlockLog::utf8(model.choiceList().items());
    }
    const std::vector<std::string> Fixed{"Сирена (OUT1)", "Выход 2(OUT2)", "Реле 1(Relay1)",
                                         "Реле 2(Relay2)"};
};

TEST_F(FixedBlockTest, AFourChannelOutputIsUsedRegisteredAndOffersItsChannels) {
    const Bytes body = outputsBlock({{3, entry("4", ru("Насос"), {0x12, 0xAB, 0x0F})}});
    ASSERT_EQ(body.size(), 224u);
    EXPECT_TRUE(decodeOutputs(body));
    EXPECT_TRUE(output(3).used);
    EXPECT_EQ(output(3).type, FourChannelRelay);
    EXPECT_EQ(output(3).name, ru("Насос"));
    EXPECT_EQ(output(3).code, "12ab0f");
    auto items = Fixed;
    for (int k = 1; k <= 4; ++k)
        items.push_back("Насос канал" + std::to_string(k));
    EXPECT_EQ(list(), items);
    const RegistryEntry* e = model.registry().find("bpout_3");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->channels, 4);
    EXPECT_EQ(e->fromWindow, 0);
    EXPECT_EQ(e->code, "12ab0");
    EXPECT_FALSE(output(1).used);
    EXPECT_EQ(output(1).code, "") << "three 0x00 bytes are no code";

    EXPECT_EQ(log.hexLines,
              (std::vector<std::string>{ru("<< чтение беспроводных выходов"), hexForm(body)}));
    EXPECT_EQ(log.protocolLines,
              std::vector<std::string>{ru("<<< чтение беспроводных выходов: ") + body});
}

TEST_F(FixedBlockTest, AnOutputNotInUseStillShowsItsNameAndCode) {
    EXPECT_TRUE(decodeOutputs(outputsBlock({{5, entry("0", ru("Свет"), {1, 2, 3})},
                                            {6, entry("7", "odd", {4, 5, 6})},
                                            {7, entry("1", "0123456789", {7, 8, 9})}})));
    EXPECT_FALSE(output(5).used);
    EXPECT_EQ(output(5).name, ru("Свет"));
    EXPECT_EQ(output(5).code, "010203");
    EXPECT_FALSE(output(6).used) << "an unknown digit leaves the use as it was";
    EXPECT_EQ(output(6).name, "odd");
    EXPECT_EQ(output(7).name, "0123456789") << "ten bytes without 0x00 are taken whole";
    EXPECT_EQ(output(7).type, WirelessRelay);
    auto items = Fixed;
    items.push_back("0123456789");
    EXPECT_EQ(list(), items);
}

TEST_F(FixedBlockTest, AUsedOutputWithoutCodeGetsANewOneAsItIsMarkedUsed) {
    decodeOutputs(outputsBlock({{2, entry("2", "S", {0, 0, 0})}}));
    EXPECT_TRUE(output(2).used);
    EXPECT_EQ(output(2).type, WirelessSiren);
    EXPECT_EQ(output(2).code.size(), 6u);
    EXPECT_EQ(model.registry().find("bpout_2")->code, output(2).code.substr(0, 5));
}

TEST_F(FixedBlockTest, AShortReplyChangesNothingAndALongerOneIsReadToItsBlock) {
    Bytes body = outputsBlock({{1, entry("1", "A", {1, 2, 3})}});
    EXPECT_FALSE(decodeOutputs(body.substr(0, 223)));
    EXPECT_FALSE(output(1).used);
    EXPECT_TRUE(log.hexLines.empty());
    EXPECT_TRUE(decodeOutputs(body + "1B"));
    EXPECT_TRUE(output(1).used);
    EXPECT_EQ(output(2).name, "") << "the extra bytes are not an entry";
}

TEST_F(FixedBlockTest, OutputsAreWrittenInTheirFourteenBytes) {
    model.setOutputName(5, ru("Свет"));
    model.setOutputCode(9, "0A0b0C");
    model.setOutputType(9, WirelessSocket);
    model.setOutputName(9, "abcdefghijkl");
    model.setOutputUsed(9, true);
    const FixedBlockEncoding e = encodeWirelessOutputsBlock(model);
    ASSERT_TRUE(e.ok());
    ASSERT_EQ(e.bytes.size(), 224u);
    EXPECT_EQ(e.bytes.substr(4 * 14, 14),
              bytesOf({0x30, 0xD1, 0xE2, 0xE5, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(e.bytes.substr(8 * 14, 14), entry("3", "abcdefghij", {0x0A, 0x0B, 0x0C}))
        << "a name longer than ten bytes is cut so that later entries keep their place";
    EXPECT_EQ(e.bytes.substr(0, 14), Bytes(1, '0') + Bytes(13, '\0'));
}

TEST_F(FixedBlockTest, CodesThatCannotBeSentRefuseTheBlock) {
    for (const char* good : {"", "ab", "12AB", "12ab0f"})
        EXPECT_TRUE(isSendableCode(good)) << good;
    for (const char* bad : {"1", "abc", "12ab0f00", "zz", "12 ab0"})
        EXPECT_FALSE(isSendableCode(bad)) << bad;

    model.setRemoteCode(2, "abc");
    model.setRemoteCode(5, "zz12ab");
    model.setRemoteCode(6, "12ab");
    const FixedBlockEncoding e = encodeRemoteControlsBlock(model);
    EXPECT_EQ(e.refusedEntries, (std::vector<int>{2, 5}));
    EXPECT_TRUE(e.bytes.empty());
    model.setSensorCode(6, "1234567");
    EXPECT_EQ(encodeThermoNamesBlock(model).refusedEntries, std::vector<int>{6});
    model.setOutputCode(16, "12345");
    EXPECT_EQ(encodeWirelessOutputsBlock(model).refusedEntries, std::vector<int>{16});
}

TEST_F(FixedBlockTest, RemoteControlsTravelAsThirteenBytesEach) {
    model.setRemoteName(1, ru("Пульт 1"));
    model.setRemoteCode(1, "12ab");
    model.setRemoteCode(10, "A1B2C3");
    const FixedBlockEncoding e = encodeRemoteControlsBlock(model);
    ASSERT_EQ(e.bytes.size(), 130u);
    EXPECT_EQ(e.bytes.substr(0, 13), entry("", ru("Пульт 1"), {0x12, 0xAB, 0x00}));
    EXPECT_EQ(e.bytes.substr(117), entry("", ru("Пульт 10"), {0xA1, 0xB2, 0xC3}));

    Bytes body = e.bytes;
    body.replace(13, 13, entry("", "", {0, 0, 0}));
    body.replace(26, 10, "0123456789");
    EXPECT_FALSE(decodeRemoteControlsBlock(model, body.substr(0, 129)));
    EXPECT_EQ(c().remoteControls[1].name, ru("Пульт 2")) << "a short reply changes nothing";
    EXPECT_TRUE(decodeRemoteControlsBlock(model, body));
    EXPECT_EQ(c().remoteControls[0].name, ru("Пульт 1"));
    EXPECT_EQ(c().remoteControls[0].code, "12ab00");
    EXPECT_EQ(c().remoteControls[1].name, "");
    EXPECT_EQ(c().remoteControls[1].code, "000000");
    EXPECT_EQ(c().remoteControls[2].name, "0123456789");
    EXPECT_EQ(c().remoteControls[9].code, "a1b2c3");
}

TEST_F(FixedBlockTest, SensorNamesAreReadAndRegistered) {
    Bytes body;
    for (int k = 1; k <= 6; ++k)
        body +=
            k == 4 ? entry("", "", {0, 0, 0}) : entry("", "T" + std::to_string(k), {k, 0, 0x0F});
    ASSERT_EQ(body.size(), 78u);
    EXPECT_FALSE(decodeThermoNamesBlock(model, body.substr(0, 77)));
    EXPECT_EQ(model.registry().find("btd1"), nullptr);
    EXPECT_TRUE(decodeThermoNamesBlock(model, body));
    EXPECT_EQ(c().wirelessThermoSensors[0].name, "T1");
    EXPECT_EQ(c().wirelessThermoSensors[5].code, "06000f");
    const RegistryEntry* e = model.registry().find("btd6");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "T6");
    EXPECT_EQ(e->code, "06000");
    EXPECT_EQ(e->channels, 1);
    EXPECT_EQ(model.registry().find("btd4"), nullptr) << "a sensor without a name is not kept";
    EXPECT_EQ(list(), Fixed) << "sensors are no outputs";

    const FixedBlockEncoding written = encodeThermoNamesBlock(model);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.bytes, body);
}

} // namespace
} // namespace t6::test
