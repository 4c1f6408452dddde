#pragma once
// A configuration file in a model of its own, made as the window makes its
// model at start-up, then loaded as the window loads a file, with what follows
// a load there. Nothing is asked or shown meanwhile; a code the load has to
// make up comes out the same every time. Used to compare and to describe
// files without touching the window's model.

#include <optional>
#include <string_view>

#include "config/DetachedModel.h"
#include "files/ConfigFile.h"

namespace t6 {

class StandaloneConfig {
public:
    StandaloneConfig() = default;
    StandaloneConfig(const StandaloneConfig&) = delete;
    StandaloneConfig& operator=(const StandaloneConfig&) = delete;

    // The file's fault when it is no configuration (the model is then untouched).
    std::optional<ConfigFileError> load(std::string_view bytes) {
        const ModelContextScope loading = detached_.use(ModelContext::FillingFromFile);
        const ConfigFileLoad result = loadConfigFile(bytes, detached_.model());
        if (!result.error)
            refreshAfterLoad(detached_.model());
        return result.error;
    }
    const ConfigModel& model() const { return detached_.model(); }

private:
    DetachedModel detached_;
};

} // namespace t6
