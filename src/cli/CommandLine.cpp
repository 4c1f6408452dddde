#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <unistd.h>

#include "cli/CliPrompts.h"
#include "cli/CommandContext.h"
#include "cli/DeviceCommands.h"
#include "cli/FieldCommands.h"
#include "cli/FileCommands.h"
#include "cli/HelpTexts.h"
#include "cli/Session.h"
#include "cli/WorkFolder.h"
#include "core/ConfigComparison.h"
#include "core/ConfigHistory.h"
#include "core/ProgramFolders.h"
#include "i18n/Dictionary.h"

#ifndef T6_VERSION
#define T6_VERSION "0"
#endif

namespace t6::cli {

namespace {

// What a command takes.
struct CommandShape {
    const char* name;
    int minFiles, maxFiles; // positional words; maxFiles -1: any number
    char port;              // '-' not taken, 'o' optional, 'r' required
    bool in;                // --in FILE (required when taken)
    char out;               // --out FILE: '-', 'o' or 'r' as the port
    bool write;             // --verify, --accept-changes, --file-clock, --set
    bool json, force;
    bool site;  // --site NAME
    bool limit; // --limit N
};

constexpr CommandShape kCommands[] = {
    {"ports", 0, 0, '-', false, '-', false, false, false, false, false},
    {"identify", 0, 0, 'o', false, '-', false, false, false, false, false},
    {"read", 0, 0, 'r', false, 'r', false, false, true, true, false},
    {"write", 0, 0, 'r', true, '-', true, false, false, true, false},
    {"signal", 0, 0, 'r', false, '-', false, false, false, false, false},
    {"keys read", 0, 0, 'r', false, 'r', false, false, false, false, false},
    {"keys write", 0, 0, 'r', true, '-', false, false, false, false, false},
    {"show", 1, 1, '-', false, '-', false, true, false, false, false},
    {"diff", 2, 2, '-', false, '-', false, false, false, false, false},
    {"sheet", 1, 1, '-', false, 'r', false, false, true, false, false},
    {"get", 2, -1, '-', false, '-', false, true, false, false, false},
    {"set", 2, -1, '-', false, 'o', false, false, true, false, false},
    {"history", 0, 0, '-', false, '-', false, true, false, true, true},
    {"history show", 1, 1, '-', false, '-', false, true, false, false, false},
    {"fields", 0, 0, '-', false, '-', false, false, false, false, false},
};

const CommandShape* findCommand(const std::string& name) {
    for (const CommandShape& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

// What was given, before it is checked against the command.
struct Given {
    bool port = false, in = false, out = false, verify = false, json = false, force = false;
    bool acceptChanges = false, fileClock = false, site = false, set = false, limit = false;
    bool any() const {
        return port || in || out || verify || json || force || acceptChanges || fileClock || site ||
               set || limit;
    }
};

// The toolkit's own warnings go to standard error as the program's messages
// do, while a command runs.
class QtMessagesToErr {
public:
    explicit QtMessagesToErr(std::ostream& err) {
        stream() = &err;
        previous_ =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                if (std::ostream* to = stream())
                    *to << "torvel6: " << text.toStdString() << "\n" << std::flush;
            });
    }
    ~QtMessagesToErr() {
        qInstallMessageHandler(previous_);
        stream() = nullptr;
    }
    QtMessagesToErr(const QtMessagesToErr&) = delete;
    QtMessagesToErr& operator=(const QtMessagesToErr&) = delete;

private:
    static std::ostream*& stream() {
        static std::ostream* to = nullptr;
        return to;
    }
    QtMessageHandler previous_;
};

// A file named on the command line, absolute (the user's name when the
// system cannot tell the current folder).
std::string absolutePath(const std::string& name) {
    if (name.empty())
        return name;
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    return ec ? name : full.string();
}

[[noreturn]] void usage(const std::string& text, const std::string& command = {}) {
    throw UsageError{text, command};
}

void check(const CommandShape& shape, const Given& g, const Invocation& inv) {
    const std::string cmd = shape.name;
    auto notHere = [&cmd](const char* option) {
        usage(std::string("the option ") + option + " does not belong to \"" + cmd + "\"", cmd);
    };
    if (g.port && shape.port == '-')
        notHere("--port");
    if (g.in && !shape.in)
        notHere("--in");
    if (g.out && shape.out == '-')
        notHere("--out");
    if (g.verify && !shape.write)
        notHere("--verify");
    if (g.acceptChanges && !shape.write)
        notHere("--accept-changes");
    if (g.fileClock && !shape.write)
        notHere("--file-clock");
    if (g.json && !shape.json)
        notHere("--json");
    if (g.force && !shape.force)
        notHere("--force");
    if (g.site && !shape.site)
        notHere("--site");
    if (g.set && !shape.write)
        notHere("--set");
    if (g.limit && !shape.limit)
        notHere("--limit");
    if (inv.help)
        return;
    if (shape.port == 'r' && !g.port)
        usage("\"" + cmd + "\" needs --port PORT", cmd);
    if (shape.in && !g.in)
        usage("\"" + cmd + "\" needs --in FILE", cmd);
    if (shape.out == 'r' && !g.out)
        usage("\"" + cmd + "\" needs --out FILE", cmd);
    const int files = static_cast<int>(inv.files.size());
    if (files < shape.minFiles) {
        if (cmd == "get")
            usage("\"get\" needs a file and the names of fields", cmd);
        if (cmd == "set")
            usage("\"set\" needs a file and NAME=VALUE", cmd);
        if (cmd == "history show")
            usage("\"history show\" needs a version", cmd);
        usage("\"" + cmd + "\" needs " +
                  (shape.minFiles == 1 ? std::string("a file")
                                       : std::to_string(shape.minFiles) + " files"),
              cmd);
    }
    if (shape.maxFiles >= 0 && files > shape.maxFiles)
        usage("too many arguments for \"" + cmd +
                  "\": " + inv.files[static_cast<std::size_t>(shape.maxFiles)],
              cmd);
}

} // namespace

Invocation parseCommandLine(const std::vector<std::string>& args) {
    Invocation inv;
    Given g;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            words.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> value;
        if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        auto takeValue = [&]() -> std::string {
            if (!value) {
                if (i + 1 >= args.size())
                    usage("the option " + name + " needs a value");
                value = args[++i];
            }
            if (value->empty())
                usage("the option " + name + " needs a value");
            return *value;
        };
        auto flag = [&](bool& slot) {
            if (value)
                usage("the option " + name + " takes no value");
            slot = true;
        };
        if (name == "--help" || name == "-h") {
            flag(inv.help);
        } else if (name == "--version") {
            flag(inv.version);
        } else if (name == "--lang") {
            const std::string lang = takeValue();
            if (lang == "ru")
                inv.language = 'R';
            else if (lang == "en")
                inv.language = 'E';
            else
                usage("--lang takes ru or en, not " + lang);
        } else if (name == "--work-dir") {
            inv.workDir = takeValue();
        } else if (name == "--port") {
            inv.port = takeValue();
            g.port = true;
        } else if (name == "--in") {
            inv.in = takeValue();
            g.in = true;
        } else if (name == "--out") {
            inv.out = takeValue();
            g.out = true;
        } else if (name == "--verify") {
            flag(inv.verify);
            g.verify = true;
        } else if (name == "--accept-changes") {
            flag(inv.acceptChanges);
            g.acceptChanges = true;
        } else if (name == "--file-clock") {
            flag(inv.fileClock);
            g.fileClock = true;
        } else if (name == "--json") {
            flag(inv.json);
            g.json = true;
        } else if (name == "--force") {
            flag(inv.replace);
            g.force = true;
        } else if (name == "--site") {
            inv.site = takeValue();
            g.site = true;
        } else if (name == "--set") {
            inv.sets.push_back(takeValue());
            g.set = true;
        } else if (name == "--limit") {
            const std::string text = takeValue();
            const bool digits = text.find_first_not_of("0123456789") == std::string::npos;
            const int most = digits && text.size() <= 6 ? std::stoi(text) : 0;
            if (most < 1 || most > ConfigHistory::kMaxLimit)
                usage("--limit takes a number of versions from 1 to " +
                      std::to_string(ConfigHistory::kMaxLimit) + ", not " + text);
            inv.limit = most;
            g.limit = true;
        } else {
            usage("unknown option " + a);
        }
    }
    if (words.empty()) {
        if (g.any())
            usage("an option without a command");
        return inv;
    }
    std::size_t used = 1;
    inv.command = words[0];
    if (inv.command == "keys") {
        if (words.size() < 2) {
            if (inv.help)
                return inv; // the help of both key commands
            usage("\"keys\" needs read or write", "keys");
        }
        inv.command += " " + words[1];
        used = 2;
    } else if (inv.command == "history" && words.size() >= 2 && words[1] == "show") {
        inv.command = "history show";
        used = 2;
    }
    const CommandShape* shape = findCommand(inv.command);
    if (!shape)
        usage("unknown command \"" + inv.command + "\"");
    inv.files.assign(words.begin() + static_cast<std::ptrdiff_t>(used), words.end());
    check(*shape, g, inv);
    return inv;
}

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Invocation inv;
    try {
        inv = parseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    } catch (const UsageError& e) {
        err << "torvel6: " << e.text << "\n"
            << "torvel6: Try \"torvel6 " << (e.command.empty() ? "" : e.command + " ")
            << "--help\".\n";
        return Exit::Usage;
    }
    if (inv.help) {
        out << helpText(inv.command);
        return Exit::Ok;
    }
    if (inv.version) {
        out << "torvel6 " T6_VERSION "\n";
        return Exit::Ok;
    }
    if (inv.command.empty()) {
        err << "torvel6: a command is needed\n"
            << "torvel6: Try \"torvel6 --help\".\n";
        return Exit::Usage;
    }
    const QtMessagesToErr qtMessages(err);

    // The logs, the backup and the dictionary lie in the working folder, never
    // in the folder the program was started in.
    const std::filesystem::path installedDic = installedDictionary(executableFolder());
    const WorkFolder folder = chooseWorkFolder(inv.workDir, std::getenv("XDG_DATA_HOME"),
                                               std::getenv("HOME"), installedDic);
    if (!folder) {
        // Told through the folder's own dictionary when it has one, else the
        // installed one; a key it lacks is never added to the installed one.
        const std::filesystem::path own =
            folder.path.empty() ? std::filesystem::path() : dictionaryPathIn(folder.path);
        std::error_code ec;
        CliPrompts prompts(err);
        if (installedDic.empty() && (own.empty() || !std::filesystem::is_regular_file(own, ec))) {
            prompts.error(workFolderProblemText(folder, [](const std::string& t) { return t; }));
        } else {
            Dictionary dictionary(own);
            dictionary.setDefaultFile(installedDic);
            prompts.error(workFolderProblemText(folder, [&](const std::string& text) {
                return TranslateText(dictionary, text, inv.language, prompts);
            }));
        }
        return Exit::FileError;
    }
    const std::string programDir = folder.path.string();
    // Messages name the files in full: the folder they lie in is not the program's.
    for (std::string* file : {&inv.in, &inv.out})
        *file = absolutePath(*file);
    // get and set name fields after their file; history show names a version.
    const bool onlyFirst = inv.command == "get" || inv.command == "set";
    for (std::size_t i = 0; i < inv.files.size() && inv.command != "history show"; ++i)
        if ((!onlyFirst || i == 0) && !ConfigHistory::isReference(inv.files[i]))
            inv.files[i] = absolutePath(inv.files[i]);
    const bool errIsTerminal = ::isatty(STDERR_FILENO) == 1;

    const bool filesOnly = inv.command == "show" || inv.command == "diff" ||
                           inv.command == "sheet" || inv.command == "get" || inv.command == "set" ||
                           inv.command.rfind("history", 0) == 0 || inv.command == "fields";
    if (filesOnly) {
        // Files only: no port, no event loop, no logs.
        Dictionary dictionary(dictionaryPathIn(programDir));
        dictionary.setDefaultFile(installedDic);
        CliPrompts prompts(err);
        CommandContext context{out, err, programDir,
                               [&](const std::string& text) {
                                   return TranslateText(dictionary, text, inv.language, prompts);
                               },
                               errIsTerminal};
        int rc = Exit::Ok;
        if (inv.command == "sheet") {
            // The sheet is drawn with fonts, which only a GUI application has:
            // on the offscreen platform, so that no display is needed.
            std::unique_ptr<QGuiApplication> gui;
            if (!QCoreApplication::instance()) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                gui = std::make_unique<QGuiApplication>(argc, argv);
            }
            if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
                err << "torvel6: the sheet needs a graphical application\n";
                return Exit::FileError;
            }
            Dictionary::Batch batch(dictionary);
            rc = sheetCommand(context, inv.files[0], inv.out, inv.replace,
                              captionTextIn(dictionary, inv.language));
        } else if (inv.command == "show") {
            rc = showCommand(context, inv.files[0], inv.json);
        } else if (inv.command == "diff") {
            rc = diffCommand(context, inv.files[0], inv.files[1]);
        } else if (inv.command == "get") {
            rc = getCommand(context, inv.files[0], {inv.files.begin() + 1, inv.files.end()},
                            inv.json);
        } else if (inv.command == "set") {
            rc = setCommand(context, inv.files[0], {inv.files.begin() + 1, inv.files.end()},
                            inv.out, inv.replace);
        } else if (inv.command == "history") {
            rc = historyCommand(context, {inv.site, inv.json, inv.limit});
        } else if (inv.command == "history show") {
            rc = historyShowCommand(context, inv.files[0], inv.json);
        } else {
            rc = fieldsCommand(context);
        }
        out.flush();
        return rc;
    }

    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);
    SessionSetup setup;
    setup.programDir = programDir;
    setup.language = inv.language;
    setup.errIsTerminal = errIsTerminal;
    setup.device = inv.command != "ports";
    setup.site = inv.site.value_or(std::string());
    int rc = Exit::Ok;
    {
        Session session(out, err, setup);
        if (inv.command == "ports")
            rc = portsCommand(session);
        else if (inv.command == "identify")
            rc = identifyCommand(session, inv.port);
        else if (inv.command == "signal")
            rc = signalCommand(session, inv.port);
        else if (inv.command == "read")
            rc = readCommand(session, inv.port, inv.out, inv.replace);
        else if (inv.command == "write")
            rc = writeCommand(session, inv.port, inv.in,
                              {inv.verify, inv.acceptChanges, inv.fileClock, inv.sets});
        else if (inv.command == "keys read")
            rc = keysReadCommand(session, inv.port, inv.out);
        else if (inv.command == "keys write")
            rc = keysWriteCommand(session, inv.port, inv.in);
        session.finish();
    }
    out.flush();
    return rc;
}

} // namespace t6::cli
