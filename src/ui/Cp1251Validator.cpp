#include "ui/Cp1251Validator.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"

namespace t6 {

bool Cp1251Validator::holds(const QString& text) {
    return utf8ToCp1251(text.toStdString()).has_value();
}

QValidator::State Cp1251Validator::validate(QString& input, int&) const {
    return holds(input) ? Acceptable : Invalid;
}

FieldValidator::FieldValidator(int maxLength, std::function<QString()> current, QObject* parent)
    : Cp1251Validator(parent), maxLength_(maxLength), current_(std::move(current)) {}

QValidator::State FieldValidator::validate(QString& input, int& pos) const {
    if (maxLength_ > 0 && input.size() > maxLength_ &&
        (!current_ || input.size() > current_().size()))
        return Invalid;
    return Cp1251Validator::validate(input, pos);
}

TelephoneValidator::TelephoneValidator(std::function<QString()> current, QObject* parent)
    : Cp1251Validator(parent), current_(std::move(current)) {}

QValidator::State TelephoneValidator::validate(QString& input, int&) const {
    const auto bytes = utf8ToCp1251(input.toStdString());
    if (!bytes)
        return Invalid;
    // A pasted number is judged without its blanks, dashes and brackets; the
    // model takes them away when it takes the text. The text itself is left
    // as it is: a value the program shows is never changed on the screen alone.
    const auto held = current_ ? utf8ToCp1251(current_().toStdString()) : std::nullopt;
    return ConfigModel::userTelephone(*bytes, held.value_or(std::string())) ? Acceptable : Invalid;
}

} // namespace t6
