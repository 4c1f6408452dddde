#include "i18n/Dictionary.h"

#include <system_error>
#include <utility>

#include "common/Cp1251.h"

namespace t6 {
namespace {

// A file name as Windows-1251 text for a message.
std::string pathText(const std::filesystem::path& p) {
    const std::u8string u8 = p.u8string();
    return platformNameText(std::string(u8.begin(), u8.end()));
}

} // namespace

std::filesystem::path dictionaryPathIn(const std::filesystem::path& programDir) {
    return programDir / kDictionaryFileName;
}

std::string dictionaryKey(const std::string& source) {
    std::string key;
    key.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '&')
            continue;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
                ++i;
            key += "\\n";
            continue;
        }
        key += c;
    }
    return key;
}

std::string dictionaryValueText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

Dictionary::Dictionary(std::filesystem::path file) : path_(std::move(file)) {
    std::error_code ec;
    auto full = std::filesystem::absolute(path_, ec);
    if (!ec)
        path_ = std::move(full);
}

void Dictionary::setDefaultFile(std::filesystem::path file) {
    default_ = std::move(file);
    loaded_ = false;
}

bool Dictionary::defaultReadable() const {
    if (default_.empty())
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(default_, ec);
}

bool Dictionary::exists() const {
    std::error_code ec;
    return std::filesystem::exists(path_, ec) || defaultReadable();
}

bool Dictionary::readable() {
    refresh();
    return readable_;
}

bool Dictionary::takeUnreadableNotice() {
    if (readable() || unreadableTold_)
        return false;
    unreadableTold_ = true;
    return true;
}

Dictionary::Stamp Dictionary::currentStamp() const {
    namespace fs = std::filesystem;
    Stamp s;
    std::error_code ec;
    if (!fs::exists(path_, ec) || ec)
        return s;
    s.exists = true;
    s.size = fs::file_size(path_, ec);
    if (ec)
        s.size = 0;
    s.modified = fs::last_write_time(path_, ec);
    if (ec)
        s.modified = {};
    return s;
}

void Dictionary::refresh() {
    if (batchDepth_ > 0 && checkedInBatch_)
        return;
    if (batchDepth_ > 0)
        checkedInBatch_ = true;
    const Stamp now = currentStamp();
    // A file that could not be read is tried again: its rights may have been
    // given back, which its size and time do not show.
    if (loaded_ && readable_ && now == stamp_)
        return;
    FileFailure why;
    std::optional<IniFile> doc;
    // Nothing at the path: the installed dictionary translates, when it can be read.
    if (!now.exists && defaultReadable())
        doc = IniFile::read(default_, nullptr);
    if (!doc)
        doc = IniFile::read(path_, &why);
    if (doc) {
        doc_ = std::move(*doc);
        if (!readable_)
            failure_ = {}; // the reason it could not be read is gone
        readable_ = true;
        unreadableTold_ = false;
        // Keys added but not yet written go into the file as it is now.
        for (const auto& [section, key] : pending_)
            if (!doc_.value(section, key))
                doc_.setValue(section, key, "");
    } else {
        // What was read before goes on translating; nothing is written over the file.
        readable_ = false;
        pending_.clear();
        failure_ = why;
    }
    loaded_ = true;
    stamp_ = now;
}

std::string Dictionary::lookup(const std::string& section, const std::string& source) {
    if (source.empty())
        return {};
    const std::string key = dictionaryKey(source);
    if (!IniFile::isStorableKey(key))
        return source;
    refresh();
    if (auto v = doc_.value(section, key); v && !v->empty())
        return dictionaryValueText(*v);
    if (readable_ && doc_.setValue(section, key, "") == IniFile::SetResult::Changed)
        pending_.emplace_back(section, key);
    if (batchDepth_ == 0)
        flush();
    return source;
}

void Dictionary::beginBatch() {
    if (batchDepth_++ == 0)
        checkedInBatch_ = false;
}

void Dictionary::endBatch() {
    if (batchDepth_ == 0)
        return;
    if (--batchDepth_ == 0)
        flush();
}

bool Dictionary::flush() {
    if (pending_.empty())
        return true;
    // Someone may have changed the file since it was read: add to it as it is now.
    if (currentStamp() != stamp_) {
        const bool inBatch = batchDepth_ > 0;
        checkedInBatch_ = false;
        refresh();
        checkedInBatch_ = inBatch;
        if (pending_.empty())
            return false;
    }
    FileFailure why;
    if (!doc_.write(path_, &why)) {
        failure_ = why;
        return false;
    }
    ++writes_;
    pending_.clear();
    failure_ = {};
    stamp_ = currentStamp();
    return true;
}

std::string sectionForMessages(char languageLetter) {
    return languageLetter == 'E' ? "Eng1" : "Rus1";
}

std::string sectionForWindow(char languageLetter) {
    return languageLetter == 'E' ? "Eng" : "Rus";
}

std::string noDictionaryText(const Dictionary& dict) {
    return "No exists" + pathText(dict.path());
}

void checkDictionaryFile(Dictionary& dict, char languageLetter, Prompts& prompts) {
    if (!dict.exists()) {
        prompts.message(noDictionaryText(dict));
        return;
    }
    if (!dict.takeUnreadableNotice())
        return;
    const std::string section = sectionForMessages(languageLetter);
    auto translate = [&dict, &section](const std::string& text) {
        return dict.lookup(section, text);
    };
    prompts.message(translate(ru("Файл словаря не удалось прочитать:")) + "\r\n" +
                    pathText(dict.path()) + "\r\n" +
                    fileFailureText(dict.lastFailure(), translate));
}

std::string TranslateText(Dictionary& dict, const std::string& text, char languageLetter,
                          Prompts& prompts) {
    checkDictionaryFile(dict, languageLetter, prompts);
    return dict.lookup(sectionForMessages(languageLetter), text);
}

} // namespace t6
