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
  read --port PORT --out FILE [--force]
                                      read the configuration into FILE
  write --port PORT --in FILE [--verify] [--accept-changes] [--file-clock]
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
    return std::string(text) + kCommon + kExitCodes;
}

} // namespace t6::cli
