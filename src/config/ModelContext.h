#pragma once
// What the configuration model is being used for at the moment: the rules that
// warn the user, move the focus or ask a question hold only while the user
// edits; a read from the device or a file load fills the fields without them.

namespace t6 {

enum class ModelContext {
    Editing,           // nothing runs: the user edits the fields
    Exchanging,        // an exchange with the device runs that does not fill the fields
    FillingFromDevice, // the wireless outputs' or the configuration block of a read
    FillingFromFile,   // a configuration file is being loaded
    SavingFile,        // a configuration file is being written
};

// The user edits: the activation and empty-telephone warnings are shown.
constexpr bool isEditing(ModelContext c) {
    return c == ModelContext::Editing;
}

// The fields are being filled from the device or from a file: focus moves and
// prompts are skipped.
constexpr bool isFilling(ModelContext c) {
    return c == ModelContext::FillingFromDevice || c == ModelContext::FillingFromFile;
}

// Holds a context for the life of the scope and then puts back the one before.
class ModelContextScope {
public:
    ModelContextScope(ModelContext& slot, ModelContext context) : slot_(slot), before_(slot) {
        slot_ = context;
    }
    ~ModelContextScope() { slot_ = before_; }
    ModelContextScope(const ModelContextScope&) = delete;
    ModelContextScope& operator=(const ModelContextScope&) = delete;

private:
    ModelContext& slot_;
    ModelContext before_;
};

} // namespace t6
