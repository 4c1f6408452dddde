#include "cli/ConfigVerify.h"

#include "config/ConfigModel.h"
#include "files/ConfigFile.h"
#include "files/StandaloneConfig.h"

namespace t6::cli {

bool isKeptByDevice(const std::string& fieldName) {
    // The device's clock runs on from what was written.
    return isSentToDevice(fieldName) && fieldName != "deviceDate" && fieldName != "deviceTime";
}

std::vector<FieldDifference> verifyDifferences(const Bytes& written, const ConfigModel& readBack,
                                               const LocalTime& now) {
    StandaloneConfig expected;
    expected.load(written);
    StandaloneConfig actual;
    actual.load(saveConfigFile(readBack, now));
    std::vector<FieldDifference> out;
    for (FieldDifference& d : compareConfigs(expected.model(), actual.model()))
        if (isKeptByDevice(d.name))
            out.push_back(std::move(d));
    return out;
}

} // namespace t6::cli
