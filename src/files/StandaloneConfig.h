#pragma once
// A configuration file in a model of its own, made as the window makes its
// model at start-up, then loaded as the window loads a file, with what follows
// a load there. Nothing is asked or shown meanwhile; a code the load has to
// make up comes out the same every time. Used to compare and to describe
// files without touching the window's model.

#include <optional>
#include <string_view>

#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeMode.h"
#include "files/ConfigFile.h"

namespace t6 {

class StandaloneConfig {
public:
    StandaloneConfig() { model_.startUp(); }
    StandaloneConfig(const StandaloneConfig&) = delete;
    StandaloneConfig& operator=(const StandaloneConfig&) = delete;

    // The file's fault when it is no configuration (the model is then untouched).
    std::optional<ConfigFileError> load(std::string_view bytes) {
        mode_ = ExchangeMode::LoadingFile;
        const ConfigFileLoad result = loadConfigFile(bytes, model_);
        if (!result.error)
            refreshAfterLoad(model_);
        mode_ = ExchangeMode::Idle;
        return result.error;
    }
    const ConfigModel& model() const { return model_; }

private:
    SilentPrompts prompts_;
    SeededRandom random_{1};
    ExchangeModeValue mode_ = ExchangeMode::Idle;
    ConfigModel model_{prompts_, random_, [this] { return mode_; }};
};

} // namespace t6
