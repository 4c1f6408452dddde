#include "ui/Cp1251Validator.h"

#include "common/Cp1251.h"

namespace t6 {

bool Cp1251Validator::holds(const QString& text) {
    return utf8ToCp1251(text.toStdString()).has_value();
}

QValidator::State Cp1251Validator::validate(QString& input, int&) const {
    return holds(input) ? Acceptable : Invalid;
}

QValidator::State TelephoneValidator::validate(QString& input, int& pos) const {
    for (QChar c : input)
        if (!(c.isDigit() && c.unicode() < 128) && c != u'+' && c != u'%' && c != u'\'' &&
            c != u' ')
            return Invalid;
    return Cp1251Validator::validate(input, pos);
}

} // namespace t6
