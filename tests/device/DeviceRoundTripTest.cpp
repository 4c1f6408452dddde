// The promise to an installer, as a property over hundreds of random device
// contents made by a generator of their own (not the configurator's
// encoders): what the window reads from a device, keeps in a file and
// writes back is the device's configuration, whole. Read, save the file,
// load it, write: the device holds again exactly what it held, byte for
// byte, its date and time included (the window keeps the device's clock
// after a read). And read, write straight from the window: the same.

#include "DeviceFixture.h"
#include "config/FieldEncodings.h"
#include "support/DeviceContents.h"

namespace t6::test {
namespace {

class DeviceRoundTripTest : public DeviceTest {
protected:
    // The four blocks as the device holds them.
    static DeviceBlocks held(const t6sim::SimMemory& m) {
        return {m.wirelessOutputs, m.configBlock, m.remoteControls, m.thermoNames};
    }
    // Where two sets of blocks first part, for a readable failure.
    static std::string firstDifference(const DeviceBlocks& want, const DeviceBlocks& got) {
        const std::pair<const char*, const Bytes DeviceBlocks::*> blocks[] = {
            {"outputs", &DeviceBlocks::outputs},
            {"config", &DeviceBlocks::config},
            {"remotes", &DeviceBlocks::remotes},
            {"thermoNames", &DeviceBlocks::thermoNames}};
        for (const auto& [name, member] : blocks) {
            const Bytes& a = want.*member;
            const Bytes& b = got.*member;
            if (a == b)
                continue;
            std::size_t i = 0;
            while (i < a.size() && i < b.size() && a[i] == b[i])
                ++i;
            const std::size_t from = i > 8 ? i - 8 : 0;
            return std::string(name) + " at byte " + std::to_string(i) + ":\n  held    " +
                   bytesToHex(a.substr(from, 32)) + "\n  written " + bytesToHex(b.substr(from, 32));
        }
        return {};
    }
    void readDevice() {
        read.readConfiguration();
        run(2000);
        ASSERT_TRUE(read.outcome());
        ASSERT_TRUE(read.outcome()->completed()) << outcomeKindName(read.outcome()->kind);
    }
    void writeDevice() {
        write.writeConfiguration();
        run(2000);
        ASSERT_TRUE(write.outcome()) << prompts.lastUtf8();
        ASSERT_TRUE(write.outcome()->completed())
            << outcomeKindName(write.outcome()->kind) << " " << prompts.lastUtf8();
    }
    // Boxes other than the ends of the read, the write and the file flows
    // would be a rule refusing something the device held.
    void expectOnlyResultBoxes() {
        for (const ScriptedPrompts::Shown& shown : prompts.shown) {
            if (shown.kind == ScriptedPrompts::Kind::OpenFile ||
                shown.kind == ScriptedPrompts::Kind::SaveFile)
                continue;
            const std::string text = cp1251ToUtf8(shown.text);
            EXPECT_TRUE(text == "Процесс чтения завершился. Все OK." ||
                        text == "Процесс записи завершился. Все OK." ||
                        text.rfind("Конфигурация успешно", 0) == 0)
                << text;
        }
        prompts.clear();
    }
};

TEST_F(DeviceRoundTripTest, ReadFileLoadWriteGivesTheDeviceBackWhatItHeld) {
    constexpr std::uint32_t kSeeds = 300;
    const std::string file = (dir / "backup.cfg").string();
    for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const t6sim::SimMemory contents = randomDeviceContents(seed);
        const DeviceBlocks before = held(contents);

        // Through a file: read, save, something else in the window, load, write.
        port.device().memory() = contents;
        ASSERT_NO_FATAL_FAILURE(readDevice());
        std::filesystem::remove(file);
        prompts.fileNames = {file};
        ASSERT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Saved);
        model.resetConfig();
        prompts.fileNames = {file};
        ASSERT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Loaded) << prompts.lastUtf8();
        port.device().memory() = t6sim::SimMemory::demo();
        ASSERT_NO_FATAL_FAILURE(writeDevice());
        const DeviceBlocks viaFile = held(port.device().memory());
        ASSERT_TRUE(viaFile == before) << firstDifference(before, viaFile);
        expectOnlyResultBoxes();

        // Straight from the window.
        port.device().memory() = contents;
        ASSERT_NO_FATAL_FAILURE(readDevice());
        port.device().memory() = t6sim::SimMemory::demo();
        ASSERT_NO_FATAL_FAILURE(writeDevice());
        const DeviceBlocks straight = held(port.device().memory());
        ASSERT_TRUE(straight == before) << firstDifference(before, straight);
        expectOnlyResultBoxes();
    }
}

} // namespace
} // namespace t6::test
