// Feeds arbitrary bytes to the configuration file reader and checks what a
// load promises: a refused file leaves the model exactly as it was; a read
// file saves again into a file that reads without a fault and saves to the
// same bytes. Some files leave a state that a saved file cannot hold exactly
// (a section given twice, a wireless output line cut short, whose code has
// fewer than six digits); their saved file must then settle after one round.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/Random.h"
#include "config/ConfigModel.h"
#include "files/ConfigFile.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

Bytes loadAndSave(ConfigModel& model, ModelContext& context, std::string_view file,
                  const LocalTime& now) {
    context = ModelContext::FillingFromFile;
    const ConfigFileLoad r = loadConfigFile(file, model);
    context = ModelContext::Editing;
    check(!r.error);
    return saveConfigFile(model, now);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const LocalTime now{2026, 5, 4, 12, 30, 15};
    SilentPrompts prompts{true};
    SeededRandom random(size + 1);
    ModelContext context = ModelContext::Editing;
    ConfigModel model(
        prompts, random, [&] { return context; }, [&] { return now; });
    model.startUp();
    // The start-up state is the same for every input (no output is used, so
    // no random code is drawn): its file is written once.
    static const Bytes before = saveConfigFile(model, now);

    context = ModelContext::FillingFromFile;
    const ConfigFileLoad first = loadConfigFile(file, model);
    context = ModelContext::Editing;
    if (first.error) {
        check(first.error->line >= 1 || first.error->fault == ConfigFileFault::NoSections);
        check(first.reportLines.empty());
        check(saveConfigFile(model, now) == before);
        return 0;
    }

    const Bytes saved = saveConfigFile(model, now);
    const Bytes again = loadAndSave(model, context, saved, now);
    if (again == saved)
        return 0;
    check(loadAndSave(model, context, again, now) == again);
    return 0;
}
