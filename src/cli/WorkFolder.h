#pragma once
// The working folder of the command-line program: where it writes its logs
// (protokol.log, protokol_FF.log, log.log), the backup save.000 and the load
// report LoadFile.rep, and where it reads the dictionary trans.dic. It is the
// per-user folder the window started from the desktop works in, made and
// given a copy of the installed dictionary on first use, unless the command
// line names a folder of its own (--work-dir DIR), which must already exist.
// Nothing is written into the folder the program is started in.

#include <filesystem>
#include <functional>
#include <string>

namespace t6::cli {

struct WorkFolder {
    enum class Problem {
        None,
        NoHome,       // neither XDG_DATA_HOME nor HOME says where the user's folder is
        NotFound,     // --work-dir names nothing
        NotAFolder,   // a file (or a pipe, a device) where the folder should be
        NotWritable,  // the user may not add files to it
        CannotCreate, // the user's folder could not be made
    };
    std::filesystem::path path; // absolute
    Problem problem = Problem::None;
    int error = 0; // the system's error number where a call failed
    explicit operator bool() const { return problem == Problem::None; }
};

// given: the value of --work-dir, empty when none. xdgDataHome, home: the
// environment's. installedDictionary: the dictionary the user's folder gets a
// copy of when it is made; may be empty.
WorkFolder chooseWorkFolder(const std::string& given, const char* xdgDataHome, const char* home,
                            const std::filesystem::path& installedDictionary);

// Why the folder cannot be used, in a message of the program (Windows-1251)
// through translate: "Рабочая папка недоступна: PATH" and the reason on the
// next line.
std::string workFolderProblemText(const WorkFolder& folder,
                                  const std::function<std::string(const std::string&)>& translate);

} // namespace t6::cli
