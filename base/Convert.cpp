#include "base/Convert.h"

#include "base/ErrorReport.h"

#include <cmath>
#include <limits>

namespace Convert {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The text with its blanks cut, when it is shaped like a number.
std::optional<QString> numberText(const QString &text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < end && isDigit(text[i]))
        ++i, ++digits;
    if (i < end && text[i] == u'.') {
        ++i;
        while (i < end && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < end && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    return text.mid(begin, end - begin);
}

double toNumberOrThrow(const QString &text) {
    const std::optional<double> value = ToDouble(text);
    if (!value)
        throw AppError(ErrorText::TypeMismatch);
    return *value;
}

}  // namespace

bool IsNumeric(const QString &text) {
    return numberText(text).has_value();
}

std::optional<double> ToDouble(const QString &text) {
    const std::optional<QString> number = numberText(text);
    if (!number)
        return std::nullopt;
    bool ok = false;
    const double value = number->toDouble(&ok);
    // toDouble fails only for values beyond the double range; they are numbers all the same.
    if (!ok)
        return number->startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                        : std::numeric_limits<double>::infinity();
    return value;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

short ToInteger16(const QString &text) {
    const double rounded = RoundHalfEven(toNumberOrThrow(text));
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw AppError(ErrorText::Overflow);
    return static_cast<short>(rounded);
}

bool ToBool(const QString &text) {
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    return toNumberOrThrow(text) != 0.0;
}

}  // namespace Convert
