// Runtime library: floating-point values to text and back, with the runtime's
// own rounding and exponent forms (not printf's). All conversions work on the
// value's decimal digits as FloatToDecimal produces them; see FloatFormat.cpp.
#pragma once

#include "SysUtils.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// A value in decimal: 0.Digits × 10^Exponent. Digits holds the significant
// digits without trailing zeros and is empty for zero (Exponent is then 0).
// Infinities carry Exponent == FloatRecInfExponent (with Negative for -INF),
// NaN carries FloatRecNanExponent.
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    String Digits;
};

constexpr int FloatRecInfExponent = 0x7FFF;
constexpr int FloatRecNanExponent = -0x8000;

// Converts Value to at most Precision significant digits (at most 18) and at
// most Decimals digits after the decimal point, rounding the decimal digits
// half away from zero. A value that rounds to zero keeps its Negative flag;
// +0 and -0 give a positive zero.
void FloatToDecimal(TFloatRec& Result, double Value, int Precision, int Decimals);

// General format with 15 significant digits: "1234.5", "0.0001", "1E-5",
// "1.5E-7", "1E15", "-2.5E20", "NAN", "INF", "-INF".
String FloatToStr(double Value);
String FloatToStr(double Value, const TFormatSettings& Settings);

// The runtime's FloatToStrF. Precision (significant digits) is taken in 2..18.
//  ffGeneral  shortest of fixed and exponent form; fixed while the value has at
//             most Precision integer digits and is at least 0.0001; Digits (0..4)
//             is the minimum number of exponent digits ("1.5E7", "1.5E07").
//  ffExponent "-d.dddE+dd": Precision digits in all, the exponent always signed
//             with at least Digits (0..4) digits.
//  ffFixed    "-ddd.dd" with Digits (0..18) decimals; a value with more than
//             Precision integer digits is written as ffExponent (with at least
//             min(Digits, 4) exponent digits). A negative value that rounds to
//             zero keeps its sign: "-0.00".
//  ffNumber   as ffFixed with thousands separators.
//  ffCurrency as ffNumber placed by the settings' CurrencyFormat (0..3) and
//             NegCurrFormat (0..15) with their CurrencyString; EConvertError
//             for a layout number outside those ranges.
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings);

// The runtime's picture formatting: '0' and '#' digit placeholders, '.' decimal
// point, ',' thousands separators, "E+" "E-" "e+" "e-" with up to four '0's for
// scientific notation, text in '...' or "..." and other characters copied as
// they are; up to three sections "positive;negative;zero". An empty format or
// empty first section gives FloatToStr's general format, as does a value of
// 1E18 or more in a picture without exponent. The value is rounded by the
// first section first: if it shows as zero there, the zero section is used,
// and without one the first section shows it unsigned ("0.00" for -0.001).
String FormatFloat(const String& Format, double Value);
String FormatFloat(const String& Format, double Value, const TFormatSettings& Settings);

// Currency text: the value rounded to 4 decimals (halves to even) in general
// format. EInvalidOp when the value is not finite or outside the currency range
// (±922337203685477.5807).
String CurrToStr(double Value);
String CurrToStr(double Value, const TFormatSettings& Settings);

// Text to number: blanks (' ') before and after, an optional sign, digits with
// at most one DecimalSeparator (at least one digit in all), and an optional
// exponent 'E' or 'e' with an optional sign and at least one digit. Thousands
// separators are not accepted. A value beyond the double range is invalid; one
// below it becomes zero.
bool TryStrToFloat(const String& S, double& Value);
bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings);
// EConvertError "'S' is not a valid floating point value".
double StrToFloat(const String& S);
double StrToFloat(const String& S, const TFormatSettings& Settings);
double StrToFloatDef(const String& S, double Default);
double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings);
