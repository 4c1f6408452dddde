#include "exchange/ExchangeLogs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "common/AtomicFile.h"
#include "common/Bytes.h"

namespace t6 {

ExchangeLogs::~ExchangeLogs() {
    closeFiles();
}

std::string ExchangeLogs::pathOf(const char* fileName) const {
    return (std::filesystem::path(dir_) / fileName).string();
}

namespace {
FileFailure createOne(std::ofstream& f, const std::string& path) {
    errno = 0;
    f.open(path, std::ios::binary | std::ios::trunc);
    if (f.is_open())
        return {};
    return FileFailure{FileFault::CannotCreate, errno};
}
} // namespace

ExchangeLogs::Created ExchangeLogs::createFiles() {
    closeFiles();
    for (auto [file, name] : {std::pair{&protocol_, kProtocolFile}, std::pair{&hex_, kHexFile}}) {
        const std::string path = pathOf(name);
        if (FileFailure f = createOne(*file, path))
            return {f, path};
    }
    return {};
}

void ExchangeLogs::writeLine(std::ofstream& f, std::string_view line) {
    if (!f.is_open())
        return;
    f.write(line.data(), static_cast<std::streamsize>(line.size()));
    f.write("\r\n", 2);
    // Each line reaches the file at once: a log is most needed after a crash.
    f.flush();
}

void ExchangeLogs::protocol(std::string_view line) {
    writeLine(protocol_, line);
}

void ExchangeLogs::hex(std::string_view line) {
    writeLine(hex_, line);
}

void ExchangeLogs::hexBytes(std::string_view head, std::string_view bytes) {
    hex(head);
    hex(hexForm(bytes));
}

void ExchangeLogs::memo(std::string_view line) {
    memo_.emplace_back(line);
}

bool ExchangeLogs::saveMemo() const {
    std::string content;
    for (const auto& l : memo_) {
        content += l;
        content += "\r\n";
    }
    return !writeFileSafely(pathOf(kMemoFile), content);
}

void ExchangeLogs::closeFiles() {
    if (protocol_.is_open())
        protocol_.close();
    if (hex_.is_open())
        hex_.close();
}

} // namespace t6
