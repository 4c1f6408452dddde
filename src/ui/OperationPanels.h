#pragma once
// The window's side of the device operations that own a panel or a row of
// buttons: the key panel, the wireless zone sensor panel, the read buttons of
// the remote controls and of the wireless temperature sensors, and the attach
// and test buttons of the wireless outputs. The operations keep their state;
// this class connects the buttons to them and renders their state whenever
// they say it changed. Captions are the operations' Russian ones, shown in
// the window's language.

#include <QObject>
#include <functional>
#include <string>

#include "ui/ObjectIndex.h"

class QAbstractButton;
class QWidget;
class QTabWidget;

namespace t6 {

class AppCore;
class KeyGrid;

class OperationPanels : public QObject {
    Q_OBJECT
public:
    // guard runs a step that comes from the event loop (errors become boxes).
    using Guard = std::function<void(const std::function<void()>&)>;

    OperationPanels(QWidget* root, AppCore& core, KeyGrid& keyGrid, QTabWidget& pages, Guard guard);
    ~OperationPanels() override;

    // Everything again, as after a switch of the language.
    void renderAll();
    // A part of the window built after this object (a tab page first shown).
    void attach(QWidget* part);
    // Called after a render changed captions of buttons, so that their
    // accessible names follow.
    void onCaptionsChanged(std::function<void()> f) { renamed_ = std::move(f); }

private:
    void connectKeys();
    void connectSensorPanel();
    void connectLearning();
    void connectOutputs();
    void renderKeys();
    void renderSensorPanel();
    void renderRemotes();
    void renderThermoCodes();
    QString caption(const std::string& russian) const;
    void setText(QAbstractButton* b, const QString& text);
    void renameChanged();
    template <class W> W* find(const QString& name) const;
    void onClick(const QString& button, std::function<void()> step);

    ObjectIndex index_;
    const ObjectIndex* scope_ = nullptr; // while a part is attached: that part only
    AppCore& core_;
    KeyGrid& keyGrid_;
    QTabWidget& pages_;
    Guard guard_;
    int rendering_ = 0;
    bool captionsChanged_ = false;
    std::function<void()> renamed_;
};

} // namespace t6
