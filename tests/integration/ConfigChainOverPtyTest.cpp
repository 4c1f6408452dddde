// The configuration written to and read back from the simulated device
// program over a pseudo-terminal, through the real port adapter, at the real
// line rate and with replies in pieces.

#include "PtyFixture.h"
#include "config/ConfigModel.h"
#include "device/ConfigRead.h"
#include "device/ConfigWrite.h"
#include "files/ConfigFile.h"
#include "files/ConfigFiles.h"

namespace t6::test {
namespace {

class Counting : public Random {
public:
    int next(int range) override { return range > 0 ? ++n_ % range : 0; }

private:
    int n_ = 0;
};

class ConfigChainOverPty : public PtyDeviceTest {
protected:
    void attach() override {
        model = std::make_unique<ConfigModel>(
            prompts, random, [this] { return ExchangeMode::modelContextOf(exchange->mode()); },
            [this] { return clock.localNow(); });
        model->startUp();
        files = std::make_unique<ConfigFiles>(*model, *exchange, logs, prompts);
        read = std::make_unique<ConfigRead>(*exchange, *model, *files);
        write = std::make_unique<ConfigWrite>(*exchange, *model);
    }
    void detach() override {
        write.reset();
        read.reset();
        files.reset();
        model.reset();
    }
    Bytes savedWithoutTrailer() {
        const Bytes f = saveConfigFile(*model, clock.localNow());
        return f.substr(0, f.find("@message"));
    }
    bool finishedWith(const char* utf8, int ms) {
        return waitFor([&] { return !prompts.shown.empty() && prompts.lastUtf8() == utf8; }, ms);
    }

    Counting random;
    std::unique_ptr<ConfigModel> model;
    std::unique_ptr<ConfigFiles> files;
    std::unique_ptr<ConfigRead> read;
    std::unique_ptr<ConfigWrite> write;
};

TEST_F(ConfigChainOverPty, WrittenAndReadBackAtTheLineRateInPieces) {
    startDevice({"--pace", "--split", "7"});
    read->readConfiguration();
    ASSERT_TRUE(finishedWith("Процесс чтения завершился. Все OK.", 5000)) << prompts.lastUtf8();
    EXPECT_EQ(cp1251ToUtf8(model->config().wiredZones[0].message), "Входная дверь");

    model->setZoneActive(wiredZone(3), true);
    model->setZoneMessage(wiredZone(3), ru("Подвал"));
    model->setTelephone(4, "+78005553535");
    const Bytes written = savedWithoutTrailer();
    prompts.clear();
    write->writeConfiguration();
    ASSERT_TRUE(finishedWith("Процесс записи завершился. Все OK.", 5000)) << prompts.lastUtf8();

    model->resetConfig();
    prompts.clear();
    read->readConfiguration();
    ASSERT_TRUE(finishedWith("Процесс чтения завершился. Все OK.", 5000)) << prompts.lastUtf8();
    EXPECT_EQ(savedWithoutTrailer(), written);
    ASSERT_TRUE(waitFor([this] { return !port.isOpen(); }, 2500));
    EXPECT_EQ(exchange->mode(), ExchangeMode::Idle);
}

TEST_F(ConfigChainOverPty, ATruncatedBlockIsToldAtOnce) {
    startDevice({"--reply", "Pt=\\x99\\x99\\x11"
                            "7916"});
    read->readConfiguration();
    ASSERT_TRUE(waitFor([this] { return !prompts.shown.empty(); }, 3000));
    EXPECT_EQ(prompts.lastUtf8().substr(0, prompts.lastUtf8().find("\r\n")),
              "Ответ прибора неполный: блок настроек оборвался внутри записи.");
}

} // namespace
} // namespace t6::test
