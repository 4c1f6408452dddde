#pragma once
// Refuses, as it is typed or pasted, text that Windows-1251 cannot hold: the
// device and every file speak that code page, and nothing may be replaced
// silently on the way.

#include <QValidator>
#include <functional>

namespace t6 {

class Cp1251Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    // Whether the code page holds every character of the text.
    static bool holds(const QString& text);
};

// A bound edit field: Windows-1251, and what the user types or pastes no
// longer than the field takes. A text the program put in the field is shown
// whole however long it is, so an edit that does not lengthen the text the
// field holds now (deleting from an over-long value) is let through.
class FieldValidator : public Cp1251Validator {
    Q_OBJECT
public:
    // current gives the text the field holds now; maxLength 0 means no limit.
    FieldValidator(int maxLength, std::function<QString()> current, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    int maxLength_;
    std::function<QString()> current_;
};

// A telephone: Windows-1251 and, besides, a text the model takes for a
// telephone, so a paste that would break it is refused whole. A value with
// the blanks of an old mask may still be shortened.
class TelephoneValidator : public Cp1251Validator {
    Q_OBJECT
public:
    TelephoneValidator(std::function<QString()> current, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    std::function<QString()> current_;
};

} // namespace t6
