#pragma once
// Refuses, as it is typed or pasted, text that Windows-1251 cannot hold: the
// device and every file speak that code page, and nothing may be replaced
// silently on the way.

#include <QValidator>

namespace t6 {

class Cp1251Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    // Whether the code page holds every character of the text.
    static bool holds(const QString& text);
};

// A telephone: Windows-1251 and, besides, only what the key filter lets in
// (digits, "%", "'"), the leading "+" and the blanks of an old mask.
class TelephoneValidator : public Cp1251Validator {
    Q_OBJECT
public:
    using Cp1251Validator::Cp1251Validator;
    State validate(QString& input, int& pos) const override;
};

} // namespace t6
