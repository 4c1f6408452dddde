// "history": the versions every completed read and write kept.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/CommandContext.h"
#include "cli/FieldCommands.h"
#include "cli/FileCommands.h"
#include "cli/FileModel.h"
#include "common/Cp1251.h"
#include "common/TextNumbers.h"
#include "core/ConfigHistory.h"

namespace t6::cli {

namespace {

ConfigHistory historyOf(const CommandContext& context) {
    return ConfigHistory((std::filesystem::path(context.programDir) / "history").string());
}

std::string operationWord(CommandContext& context, const std::string& operation) {
    return translated(context, operation == "read" ? ru("чтение") : ru("запись"));
}

} // namespace

int historyCommand(CommandContext& context, const HistoryOptions& options) {
    ConfigHistory history = historyOf(context);
    if (options.limit) {
        if (!history.setLimit(*options.limit)) {
            errorLine(context, translated(context, ru("Предел истории не сохранён:")) + " " +
                                   platformNameText(history.folder()));
            return Exit::FileError;
        }
        errorLine(context, translated(context, ru("Предел истории, версий:")) + " " +
                               std::to_string(*options.limit));
        return Exit::Ok;
    }
    const HistoryList list = history.list();
    for (const std::string& name : list.damaged)
        errorLine(context, translated(context, ru("Версия истории повреждена и пропущена:")) + " " +
                               platformNameText(name));
    std::string text;
    nlohmann::ordered_json versions = nlohmann::ordered_json::array();
    for (const HistoryEntry& e : list.entries) {
        if (options.site && e.site != *options.site)
            continue;
        if (options.json) {
            versions.push_back({{"version", "@" + std::to_string(e.number)},
                                {"time", ConfigHistory::timeText(e.time)},
                                {"operation", e.operation},
                                {"site", e.site},
                                {"device", cp1251ToUtf8(e.device)},
                                {"port", e.port}});
            continue;
        }
        text += "@" + std::to_string(e.number) + "\t" + ConfigHistory::timeText(e.time) + "\t" +
                terminalText(operationWord(context, e.operation)) + "\t" + e.site + "\t" +
                terminalText(e.device) + "\t" + terminalText(platformNameText(e.port)) + "\n";
    }
    if (options.json)
        text =
            versions.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    context.out << text;
    context.out.flush();
    return Exit::Ok;
}

int historyShowCommand(CommandContext& context, const std::string& version, bool json) {
    // A version is shown as a file is.
    return showCommand(context, ConfigHistory::isReference(version) ? version : "@" + version,
                       json);
}

} // namespace t6::cli
