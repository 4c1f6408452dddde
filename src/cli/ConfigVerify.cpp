#include "cli/ConfigVerify.h"

#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigModel.h"
#include "files/ConfigFile.h"

namespace t6::cli {

namespace {

// A configuration as a file loads it into a window that has just started,
// with what follows a load there.
// Nothing is asked or shown; a code the load has to make up comes out the
// same for both sides.
class LoadedConfig {
public:
    explicit LoadedConfig(const Bytes& file) {
        model_.startUp();
        mode_ = ExchangeMode::LoadingFile;
        if (!loadConfigFile(file, model_).error)
            refreshAfterLoad(model_);
        mode_ = ExchangeMode::Idle;
    }
    const ConfigModel& model() const { return model_; }

private:
    SilentPrompts prompts_;
    SeededRandom random_{1};
    ExchangeModeValue mode_ = ExchangeMode::Idle;
    ConfigModel model_{prompts_, random_, [this] { return mode_; }};
};

} // namespace

bool isKeptByDevice(const std::string& fieldName) {
    // The device's clock runs on from what was written.
    return isSentToDevice(fieldName) && fieldName != "deviceDate" && fieldName != "deviceTime";
}

std::vector<FieldDifference> verifyDifferences(const Bytes& written, const ConfigModel& readBack,
                                               const LocalTime& now) {
    const LoadedConfig expected(written);
    const LoadedConfig actual(saveConfigFile(readBack, now));
    std::vector<FieldDifference> out;
    for (FieldDifference& d : compareConfigs(expected.model(), actual.model()))
        if (isKeptByDevice(d.name))
            out.push_back(std::move(d));
    return out;
}

} // namespace t6::cli
