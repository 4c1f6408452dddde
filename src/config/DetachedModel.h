#pragma once
// A configuration model of its own, apart from the window's: made as the
// window makes its model at start-up, it asks and shows nothing, the codes it
// makes up come out the same every time, and its context is what its owner
// sets. Files and device blocks are read into one to be compared or described
// without touching the window.

#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigModel.h"
#include "config/ModelContext.h"

namespace t6 {

class DetachedModel {
public:
    DetachedModel() { model_.startUp(); }
    DetachedModel(const DetachedModel&) = delete;
    DetachedModel& operator=(const DetachedModel&) = delete;

    ConfigModel& model() { return model_; }
    const ConfigModel& model() const { return model_; }
    // The model's rules see this context until the scope ends.
    [[nodiscard]] ModelContextScope use(ModelContext context) { return {context_, context}; }

private:
    SilentPrompts prompts_;
    SeededRandom random_{1};
    ModelContext context_ = ModelContext::Editing;
    ConfigModel model_{prompts_, random_, [this] { return context_; }};
};

} // namespace t6
