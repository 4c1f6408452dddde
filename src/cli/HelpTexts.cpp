#include "cli/HelpTexts.h"

namespace t6::cli {

namespace {

constexpr const char* kCommon = R"(
Options of every command:
  --lang ru|en   the language of the messages (default ru), through the
                 dictionary trans.dic of the working folder
  --work-dir DIR the working folder: DIR, an existing folder the user may
                 write to, instead of the per-user folder
  --help         this help
  --version      the program's version
)";

constexpr const char* kExitCodes = R"(
Exit codes:
  0    done
  1    diff: the files differ
  2    the command line is wrong
  3    identify: a device of another type
  4    the device did not answer
  5    write --verify: the device holds something else than was written
  6    a file cannot be read or written, or is not a configuration; the
       working folder cannot be used
  7    refused: a failed check, an incomplete or wrong answer of the device,
       a file the window does not take whole, no port, a port error
  130  interrupted (Ctrl+C): the exchange stopped, the port closed, the
       logs written
)";

constexpr const char* kGeneral =
    R"(Usage: torvel6 COMMAND [OPTIONS]
The configurator of the УМНЫЙ ТОРВЕЛ-6 device, on the command line.

Commands:
  ports                               the serial ports, one a line
  identify [--port PORT]              find the device (or probe PORT); prints
                                      its port and its version
  read --port PORT --out FILE [--force] [--site NAME]
                                      read the configuration into FILE
  write --port PORT --in FILE [--verify] [--accept-changes] [--file-clock]
        [--set NAME=VALUE]... [--site NAME]
                                      write the configuration of FILE
  signal --port PORT                  the GSM signal level
  keys read --port PORT --out FILE.key
                                      the access keys into a key file
  keys write --port PORT --in FILE.key
                                      the access keys of a key file written
  show FILE [--json]                  a configuration file field by field
  diff FILE1 FILE2                    the fields two files hold differently
  sheet FILE --out SHEET.pdf [--force]
                                      the configuration sheet of FILE, a
                                      printable A4 summary, as a PDF
  get FILE NAME... [--json]           the named fields of FILE
  set FILE NAME=VALUE... [--out OTHER [--force]]
                                      fields of FILE changed under the
                                      window's rules
  fields                              the name of every field
  history [--site NAME] [--json] [--limit N]
                                      the versions every read and write kept
  history show N [--json]             one version field by field

A FILE to read may also be a version of the history: @N, or @SITE:latest.

"torvel6 COMMAND --help" tells more of a command.

The working folder is the per-user folder $XDG_DATA_HOME/torvel6 (normally
~/.local/share/torvel6), which the window started from the desktop uses too,
or the folder --work-dir names. The logs (protokol.log, protokol_FF.log,
log.log), the load report LoadFile.rep and the dictionary trans.dic lie
there (the window's backup save.000 too: the command line never replaces
it, a read here keeps what it replaces in memory); nothing is written into
the folder the program is started in. The per-user folder is made on first
use (only the user may enter it) and given a copy of the installed trans.dic;
a trans.dic already there is kept. A folder named by --work-dir is not made:
it reads its own trans.dic, or the installed one when it has none.
Messages go to standard error, each line beginning with "torvel6: "; results
(the port list, the port and version, the signal level, the fields) go to
standard output. Files named on the command line are relative to the folder
the program is started in.
)";

constexpr const char* kPorts = R"(Usage: torvel6 ports
The serial ports of the computer, one a line, as the window lists them (with
the paths of the environment variable TORVEL6_EXTRA_PORTS).
)";

constexpr const char* kIdentify = R"(Usage: torvel6 identify [--port PORT]
Identifies the device: without --port every port is probed in turn (1.2 s
each) until a device answers; with --port only PORT is probed. Prints the
port on the first line and the device's version text on the second.
Exits 0 for the УМНЫЙ ТОРВЕЛ-6 only; a device of another type is refused with
the name of the configurator to use (exit 3); no answer gives exit 4.
)";

constexpr const char* kRead = R"(Usage: torvel6 read --port PORT --out FILE [--force]
Reads the whole configuration from the device on PORT (the wireless
outputs, the configuration block, the remote controls, the wireless
temperature sensors) and saves it in FILE as the window saves a
configuration file. The window's backup save.000 is left as it is: the
command line holds only its start-up configuration before a read. A read
that does not complete writes no FILE: a block shorter than its size, a
configuration block without one of the records the device always sends, a
lost port (exit 7), a wait the device leaves unanswered for 10 s (exit 4).
An existing FILE is not replaced (exit 6, nothing is asked of the device)
unless --force is given.
A read that completes keeps its configuration in the history, under the
site --site NAME gives.
)";

constexpr const char* kWrite =
    R"(Usage: torvel6 write --port PORT --in FILE [--verify] [--accept-changes] [--file-clock]
Loads FILE as the window loads a configuration file (everything reset first,
the load report LoadFile.rep written), checks it as the window checks it
before a write, and writes it to the device on PORT: the configuration
block, then the remote controls, the wireless temperature sensors and the
wireless outputs. A refused check sends nothing (exit 7). Exits 0 only once
the device has confirmed the last stage.
A file saved in another encoding than Windows-1251 is refused (exit 6). When
the window does not hold FILE as it is (a section missing, a value a rule
refuses or that is out of range, a text longer than the device keeps),
nothing is sent: the differences are listed on standard output, one a line
(name, caption, the file's value, the window's; a missing section as
"section", its tag), and the exit code is 7.
The device's date and time are set from the computer's clock.
--accept-changes  writes the configuration as the window holds it all the
          same.
--file-clock  sets the device's date and time from FILE instead (restoring
          an old backup otherwise would not set the clock back).
--verify  reads the configuration back afterwards and compares the blocks
          the device gives with the blocks sent, record by record and entry
          by entry, byte for byte. Each part that differs is listed, one a
          line on standard output (block:PART, its name, the bytes written,
          the bytes read, in hexadecimal), then each field that differs
          (name, caption, value written, value read); exit 5 when any
          differs. Only the device's clock is left out, which runs on: with
          --file-clock it must lie within two minutes after what was sent.
--set NAME=VALUE  sets a field after FILE is loaded and before anything is
          sent, as "torvel6 set" does (repeatable, in order); a value the
          window would refuse sends nothing (exit 7). No file is written.
--site NAME  the site the written configuration is kept under in the
          history.
)";

constexpr const char* kSignal = R"(Usage: torvel6 signal --port PORT
The GSM signal level of the device on PORT, as the window shows it: a value
in dBm, or the text for no network or for no signal.
)";

constexpr const char* kKeys = R"(Usage: torvel6 keys read --port PORT --out FILE.key
       torvel6 keys write --port PORT --in FILE.key
The Touch Memory keys, as the key panel of the window handles them: the
panel opens with the device's key table.
  keys read   saves the table in FILE.key (".key" is added unless the name
              ends in it; an existing file is replaced, as in the window).
              A table that does not come whole (a reply shorter than its
              200 bytes, a lost port) writes no file and leaves an existing
              one as it was (exit 7; no answer: exit 4)
  keys write  loads FILE.key over the table (rows the file does not name
              keep the device's keys), checks the codes and writes the table
              to the device; a refused check sends nothing (exit 7). When
              the device's table came cut short and the file does not fill
              the rows it did not reach, nothing is written (exit 7)
)";

constexpr const char* kShow = R"(Usage: torvel6 show FILE [--json]
Every field of a configuration file: its name, where the window shows it and
its value; with --json one JSON object. The device is not used.
)";

constexpr const char* kDiff = R"(Usage: torvel6 diff FILE1 FILE2
The fields two configuration files hold differently. Exit 0 when they hold
the same configuration, 1 when any field differs. The device is not used.
)";

constexpr const char* kSheet = R"(Usage: torvel6 sheet FILE --out SHEET.pdf [--force]
The configuration sheet of a configuration file, to leave with the customer:
an A4 PDF with the site's telephones, the active zones (message, input type,
entry delay, outputs and their times, telephones), the temperature sensors,
the wireless outputs, remote controls and wireless sensors by name, and the
access keys by description with only the last four digits of each code. In
the language of --lang. An existing SHEET.pdf is replaced only with --force
(exit 6 otherwise). The device is not used; no display is needed.
)";

constexpr const char* kGet = R"(Usage: torvel6 get FILE NAME... [--json]
The named fields of a configuration file (or of a version, @N), as "torvel6
show" prints them, in the order given; with --json one JSON object. A name no
field has: exit 7. "torvel6 fields" lists the names.
)";

constexpr const char* kSet = R"(Usage: torvel6 set FILE NAME=VALUE... [--out OTHER [--force]]
Changes fields of a configuration file in the order given, exactly as a user
would in the window: only a field the window lets the user edit, only while
its control is enabled; a tick box as 1 or 0, a number within its editor's
range, a text no longer than its editor takes, a list's item as "torvel6
show" prints it. A value the window would refuse is refused with the
window's message, the file is left as it was and the exit code is 7.
Otherwise FILE (or OTHER, FILE then untouched; an existing OTHER only with
--force) is written safely, as every save is, and the fields that changed are
listed on standard output (name, caption, before, after), the changes the
window's rules made besides included.
)";

constexpr const char* kFields = R"(Usage: torvel6 fields
The name of every field, one a line, as "show", "get" and "set" name them.
)";

constexpr const char* kHistory = R"(Usage: torvel6 history [--site NAME] [--json]
       torvel6 history --limit N
       torvel6 history show N [--json]
Every read and every write that completes, in the window or here, keeps the
configuration it leaves as a version in the folder "history" of the working
folder (made with mode 0700: the versions hold telephone numbers), with its
time, the operation, the device's version, the port and the site (--site of
read and write, the window's "Объект" field).
  history         the versions, newest first: @N, time, operation, site,
                  device, port, tab-separated (--json: an array); --site NAME
                  only that site's. A damaged version is skipped with a notice.
  history show N  one version, field by field, as "show" prints a file
  --limit N       keep at most N versions (500 by default); the oldest go
A version equal to the newest one of the same site is kept once. Where a
command reads a configuration file (show, diff, get, sheet, set), a version
may be named instead: @N, or @SITE:latest for the site's newest version.
)";

} // namespace

std::string helpText(const std::string& command) {
    const char* text = kGeneral;
    if (command == "ports")
        text = kPorts;
    else if (command == "identify")
        text = kIdentify;
    else if (command == "read")
        text = kRead;
    else if (command == "write")
        text = kWrite;
    else if (command == "signal")
        text = kSignal;
    else if (command == "keys" || command == "keys read" || command == "keys write")
        text = kKeys;
    else if (command == "show")
        text = kShow;
    else if (command == "diff")
        text = kDiff;
    else if (command == "sheet")
        text = kSheet;
    else if (command == "get")
        text = kGet;
    else if (command == "set")
        text = kSet;
    else if (command == "fields")
        text = kFields;
    else if (command == "history" || command == "history show")
        text = kHistory;
    return std::string(text) + kCommon + kExitCodes;
}

} // namespace t6::cli
