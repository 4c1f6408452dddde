#pragma once
// The boxes and file dialogs of the window. All are modal: timers and received
// data keep being handled while one is up.

#include <QString>
#include <functional>

#include "common/Prompts.h"

class QWidget;

namespace t6 {

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    // The application title of the boxes, Windows-1251; changes with the language.
    void setTitle(const std::string& title) { title_ = title; }
    const std::string& title() const { return title_; }
    // Dialog titles and filters pass through the dictionary like captions.
    void setCaptionTranslate(std::function<std::string(const std::string&)> t) {
        tr_ = std::move(t);
    }

    void message(const std::string& text) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& text) override;
    bool question(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;

private:
    std::optional<std::string> fileDialog(const FileDialogRequest& request, bool save);
    QWidget* parent_;
    std::string title_;
    std::function<std::string(const std::string&)> tr_;
};

} // namespace t6
