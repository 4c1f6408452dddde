#include "core/AppCore.h"

#include <chrono>
#include <filesystem>

#include "common/Cp1251.h"
#include "core/ConfigComparison.h"
#include "core/FileDialogs.h"
#include "files/ConfigFile.h"

namespace t6 {

AppCore::AppCore(SerialPort& port, Clock& clock, Prompts& prompts, const std::string& programDir)
    : port_(port), clock_(clock), prompts_(prompts), programDir_(programDir),
      history_((std::filesystem::path(programDir) / "history").string()),
      exchange_(port, clock, prompts, logs_), connection_(exchange_), signal_(exchange_),
      dictionary_((std::filesystem::path(programDir) / kDictionaryFile).string()),
      model_(
          prompts, random_, [this] { return ExchangeMode::modelContextOf(exchange_.mode()); },
          [this] { return clock_.localNow(); }),
      files_(model_, exchange_, logs_, prompts,
             [this](const std::string& text) { return translateMessage(text); }),
      read_(exchange_, model_, files_), write_(exchange_, model_), keys_(exchange_, model_),
      keyFiles_(model_, prompts,
                [this](const std::string& text) { return translateMessage(text); }),
      wireless_(exchange_, model_) {
    // After a wait the device did not answer, the sensor panel is usable again.
    keys_.setSensorPanelEnabler([this] { wireless_.zoneSensors().enableIfShown(); });
    signal_.setAfterNoAnswer([this] { keys_.panelsBack(); });
    logs_.setDirectory(programDir_);
    // A read that brought the whole configuration is what the window is compared with.
    read_.setOnCompleted([this] {
        lastRead_.take(model_);
        keepVersion("read");
    });
    write_.setOnCompleted([this] { keepVersion("write"); });
    // The read and the write never cut each other short.
    read_.setBusyCheck([this]() -> std::optional<std::string> {
        if (write_.running())
            return translateMessage(ru("Идёт запись настроек в прибор. Дождитесь её окончания."));
        return std::nullopt;
    });
    write_.setBusyCheck([this]() -> std::optional<std::string> {
        if (read_.running())
            return translateMessage(
                ru("Идёт чтение настроек из прибора. Дождитесь его окончания или отмените его."));
        return std::nullopt;
    });
    write_.setIncompleteRead([this] { return read_.incomplete(); });
    files_.setDialogs(configOpenDialog(), configSaveDialog());
    // Captions named in a refusal or a load report follow the window's language.
    const CaptionText captions = [this](const std::string& text, TextSource source) {
        return captionText()(text, source);
    };
    files_.setCaptionText(captions);
    write_.setCaptionText(captions);
    exchange_.setTranslate([this](const std::string& text) { return translateMessage(text); });
}

std::string AppCore::translateMessage(const std::string& text) {
    return TranslateText(dictionary_, text, language_, prompts_);
}

CaptionText AppCore::captionText() {
    return captionTextIn(dictionary_, language_);
}

void AppCore::keepVersion(const char* operation) {
    HistoryEntry entry;
    entry.time = clock_.localNow();
    entry.operation = operation;
    entry.device = connection_.version();
    entry.port = exchange_.connectedPort();
    entry.site = site_;
    Bytes config;
    Bytes content;
    {
        // The file as a save writes it; the exchange keeps its mode.
        const ExchangeModeValue mode = exchange_.mode();
        exchange_.setMode(ExchangeMode::SavingFile);
        config = saveConfigFile(model_, entry.time);
        content = saveConfigFile(model_, LocalTime{});
        exchange_.setMode(mode);
    }
    lastKept_ = history_.keep(std::move(entry), config, content);
    if (lastKept_->kind == HistoryKept::Kind::Failed)
        exchange_.view().showNotice(translateMessage(ru("Версия не сохранена в истории:")) + " " +
                                    platformNameText(history_.folder()));
}

void AppCore::seedRandom() {
    auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    random_ = SeededRandom(static_cast<std::uint64_t>(ticks));
}

} // namespace t6
