// Conversions of texts to numbers and truth values, as the stored settings and the answers
// typed into input boxes need them. A text that is no number fails with "Type mismatch", a
// number out of range with "Overflow" (both as AppError).
#pragma once

#include <QString>

#include <optional>

namespace Convert {

// A decimal number: optional blanks, an optional sign, digits with an optional decimal point
// (at least one digit), an optional exponent, optional blanks. The empty text is no number.
bool IsNumeric(const QString &text);
// The number's value, or nothing when the text is not numeric.
std::optional<double> ToDouble(const QString &text);

// Rounds to the nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// A 16-bit signed integer after rounding half to even.
short ToInteger16(const QString &text);

// "True" and "False" (in any letter case), or any number: 0 is false, every other true.
bool ToBool(const QString &text);

}  // namespace Convert
