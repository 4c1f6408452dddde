// Dictionary files come from outside: any bytes must parse, give themselves back
// unchanged, answer lookups, and take a new value that reads back, changing one
// line only.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "common/Cp1251.h"
#include "i18n/Dictionary.h"
#include "i18n/IniFile.h"

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::string trimmedBlanks(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// What a value reads back as once written.
std::string readBack(const std::string& value) {
    std::string v = trimmedBlanks(value);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string folded(const std::string& s) {
    return t6::cp1251Lower(trimmedBlanks(s));
}

const std::pair<std::string, std::string> kProbes[] = {
    {"Rus1", "a"}, {"Eng", "OK"}, {"rus", "\xCE\xD2\xCC\xC5\xCD\xC0"}, {"Eng1", "k"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    const std::string section = fdp.ConsumeRandomLengthString(24);
    const std::string key = fdp.ConsumeRandomLengthString(48);
    const std::string value = fdp.ConsumeRandomLengthString(48);
    const std::string file = fdp.ConsumeRemainingBytesAsString();

    // The key rule never leaves a line break, and values turn back into CR LF.
    const std::string dictKey = t6::dictionaryKey(key);
    check(dictKey.find_first_of("\r\n&") == std::string::npos);
    check(t6::dictionaryValueText(value).size() >= value.size());

    t6::IniFile ini(file);
    check(ini.bytes() == file);

    std::optional<std::string> before[std::size(kProbes)];
    for (std::size_t i = 0; i < std::size(kProbes); ++i)
        before[i] = ini.value(kProbes[i].first, kProbes[i].second);
    (void)ini.value(section, key);

    const auto result = ini.setValue(section, key, value);
    const std::string after = ini.bytes();
    if (result != t6::IniFile::SetResult::Changed) {
        check(after == file);
        if (result == t6::IniFile::SetResult::Refused)
            return 0;
    }

    // The value reads back, from the document and from its bytes parsed again.
    const std::string expected = readBack(value);
    check(ini.value(section, key) == expected);
    t6::IniFile again(after);
    check(again.bytes() == after);
    check(again.value(section, key) == expected);

    // Other entries keep their values.
    for (std::size_t i = 0; i < std::size(kProbes); ++i) {
        if (folded(kProbes[i].first) == folded(section) && folded(kProbes[i].second) == folded(key))
            continue;
        check(again.value(kProbes[i].first, kProbes[i].second) == before[i]);
    }

    // Only one place changed: the bytes before and after it are the old ones, and
    // what was replaced lies within one line.
    std::size_t p = 0;
    while (p < file.size() && p < after.size() && file[p] == after[p])
        ++p;
    std::size_t s = 0;
    while (s < file.size() - p && s < after.size() - p &&
           file[file.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    const std::string removed = file.substr(p, file.size() - p - s);
    check(removed.find('\n') == std::string::npos);
    return 0;
}
