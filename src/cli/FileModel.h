#pragma once
// A configuration named on the command line, read into a model of its own as
// the window's file load reads it: a file, or a version of the history
// ("@N", "@SITE:latest").

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliPrompts.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "config/ModelContext.h"
#include "files/ConfigFile.h"

namespace t6::cli {

struct CommandContext;

// A model made as the program makes it, with the window's start-up steps; its
// boxes go to the prompts given. The random generator has a fixed seed, so
// that a code the load has to make up (a used wireless output without one)
// comes out the same every time and for both files of a diff.
class FileModel {
public:
    explicit FileModel(Prompts& prompts);

    ConfigModel& model() { return model_; }
    // What the model is used for: a load and a save set it for their time.
    ModelContext& context() { return context_; }

    // Reads the file into the model as a file load fills it, with what follows
    // a load in the window.
    ConfigFileLoad load(std::string_view bytes);

private:
    SeededRandom random_{1};
    ModelContext context_ = ModelContext::Editing;
    ConfigModel model_;
};

// The prompts of a file's model: its boxes on standard error, in the language
// of the messages.
CliPrompts filePrompts(CommandContext& context);

// A message of the program in the language of the messages.
std::string translated(const CommandContext& context, const std::string& cp1251);
// A message on standard error, as the terminal shows it.
void errorLine(CommandContext& context, const std::string& cp1251);

// Loads a file or a version of the history into a fresh model; nothing (after
// saying why) when it cannot be read or is no configuration. The load's report
// lines go to standard error. `load`, when given, receives the load itself.
std::unique_ptr<FileModel> loadFile(CommandContext& context, const std::string& source,
                                    Prompts& prompts, ConfigFileLoad* load = nullptr);

// The fields as "show" prints them: one line each (name, caption, value,
// tab-separated), or one JSON object naming the file.
std::string fieldsText(const std::vector<FieldValue>& fields);
std::string fieldsJson(const std::string& path, const std::vector<FieldValue>& fields);

// The bytes of a file or a version; nothing (after saying why) when they cannot be read.
std::optional<std::string> readSource(CommandContext& context, const std::string& source);

} // namespace t6::cli
