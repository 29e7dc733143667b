// Floating-point conversions with the runtime's results.
//
// Digit conversion. The runtime turns a binary value into decimal in two steps:
// first into an 18-digit decimal integer (the value scaled by a power of ten and
// rounded to the nearest integer, ties to even, as the FPU's decimal store does),
// then it rounds that 18-digit string to the wanted number of digits, half away
// from zero, looking only at the first dropped decimal digit. The second step is
// a double rounding, and it is deliberate: 1.005 is stored as
// 1.00499999999999989341858963598497211933135986328125, whose 18 digits are
// 100499999999999989, so "0.00" gives "1.00"; 0.1 + 0.2 is
// 0.3000000000000000444..., whose 18 digits 300000000000000044 round to "0.3" at
// 15 digits; and 2.5 gives "3", not printf's "2".
//
// Step one is done exactly here: std::to_chars with an explicit precision of 17
// digits after the first in scientific form yields the exact binary value
// correctly rounded to 18 significant digits (ties to even on the exact value),
// which is what the runtime's scaling aims at. Step two is ordinary string
// arithmetic in FloatToDecimal. Nothing here uses printf or the shortest
// round-trip form.
#include "FloatFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace {

constexpr int MaxDigits = 18;    // digits of the first conversion step
constexpr int GeneralDigits = 15; // FloatToStr and the general fallbacks
constexpr int NoDecimalLimit = 9999;

// The exact value of a positive finite X rounded to 18 significant digits:
// Digits without trailing zeros, X ≈ 0.Digits × 10^Exponent.
void EighteenDigits(double X, String& Digits, int& Exponent)
{
    char Buf[64];
    const auto Res = std::to_chars(Buf, Buf + sizeof Buf, X, std::chars_format::scientific, MaxDigits - 1);
    // Buf now holds "d.ddddddddddddddddde[+-]xx".
    const char* const Begin = Buf;
    const char* End = Res.ptr;
    const char* E = std::find(Begin, End, 'e');
    Digits.assign(1, Begin[0]);
    Digits.append(Begin + 2, E);
    int Exp10 = 0;
    const char* P = E + 1;
    if (*P == '+')
        ++P;
    std::from_chars(P, End, Exp10);
    Exponent = Exp10 + 1;
    while (!Digits.empty() && Digits.back() == '0')
        Digits.pop_back();
}

void AppendDigitsOf(String& Out, int N, int MinDigits)
{
    String Text = std::to_string(N);
    if (static_cast<int>(Text.size()) < MinDigits)
        Out.append(static_cast<size_t>(MinDigits) - Text.size(), '0');
    Out += Text;
}

// "E+dd" / "E-dd" (AlwaysSign) or "Edd" / "E-dd".
void AppendExponent(String& Out, int Exp, bool AlwaysSign, int MinDigits)
{
    Out += 'E';
    if (Exp < 0)
        Out += '-';
    else if (AlwaysSign)
        Out += '+';
    AppendDigitsOf(Out, std::abs(Exp), MinDigits);
}

// Digit I of the record, '0' beyond its digits.
char DigitAt(const TFloatRec& R, long long I)
{
    return I >= 0 && I < static_cast<long long>(R.Digits.size()) ? R.Digits[static_cast<size_t>(I)] : '0';
}

bool IsSpecial(const TFloatRec& R)
{
    return R.Exponent == FloatRecInfExponent || R.Exponent == FloatRecNanExponent;
}

String SpecialText(const TFloatRec& R)
{
    if (R.Exponent == FloatRecNanExponent)
        return "NAN";
    return R.Negative ? "-INF" : "INF";
}

// ---------------------------------------------------------------- FloatToText

// General form: fixed while -3 <= Exponent <= Precision (values from 0.0001 on
// with at most Precision integer digits), else "d.dddE-x" without a '+' sign.
String GeneralText(const TFloatRec& R, int Precision, int ExpDigits, const TFormatSettings& S)
{
    String Out;
    if (R.Negative && !R.Digits.empty())
        Out += '-';
    const int N = static_cast<int>(R.Digits.size());
    if (R.Digits.empty()) {
        Out += '0';
    } else if (R.Exponent > Precision || R.Exponent < -3) {
        Out += R.Digits[0];
        if (N > 1) {
            Out += S.DecimalSeparator;
            Out.append(R.Digits, 1);
        }
        AppendExponent(Out, R.Exponent - 1, false, ExpDigits);
    } else if (R.Exponent <= 0) {
        Out += '0';
        Out += S.DecimalSeparator;
        Out.append(static_cast<size_t>(-R.Exponent), '0');
        Out += R.Digits;
    } else {
        for (int I = 0; I < R.Exponent; ++I)
            Out += DigitAt(R, I);
        if (N > R.Exponent) {
            Out += S.DecimalSeparator;
            Out.append(R.Digits, static_cast<size_t>(R.Exponent));
        }
    }
    return Out;
}

// "-d.dddE+dd" with Precision digits in all.
String ExponentText(const TFloatRec& R, int Precision, int ExpDigits, const TFormatSettings& S)
{
    String Out;
    if (R.Negative)
        Out += '-';
    Out += DigitAt(R, 0);
    if (Precision > 1) {
        Out += S.DecimalSeparator;
        for (int I = 1; I < Precision; ++I)
            Out += DigitAt(R, I);
    }
    AppendExponent(Out, R.Digits.empty() ? 0 : R.Exponent - 1, true, ExpDigits);
    return Out;
}

// The unsigned "ddd,ddd.dd" of ffFixed, ffNumber and ffCurrency.
String FixedText(const TFloatRec& R, int Decimals, bool Thousands, const TFormatSettings& S)
{
    String Out;
    const bool Separate = Thousands && S.ThousandSeparator != '\0';
    if (R.Exponent <= 0) {
        Out += '0';
    } else {
        for (int I = 0; I < R.Exponent; ++I) {
            Out += DigitAt(R, I);
            const int Place = R.Exponent - I; // 1 = units
            if (Separate && Place > 1 && Place % 3 == 1)
                Out += S.ThousandSeparator;
        }
    }
    if (Decimals > 0) {
        Out += S.DecimalSeparator;
        for (int J = 0; J < Decimals; ++J)
            Out += DigitAt(R, static_cast<long long>(R.Exponent) + J);
    }
    return Out;
}

String CurrencyText(const String& Number, bool Negative, const TFormatSettings& S)
{
    // '$' stands for the currency string, '1' for the number.
    static const char* const Positive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const NegativeForms[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",  "1-$",   "1$-",
                                                "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* Layout;
    if (Negative) {
        if (S.NegCurrFormat < 0 || S.NegCurrFormat > 15)
            throw EConvertError("Invalid negative currency format " + std::to_string(S.NegCurrFormat));
        Layout = NegativeForms[S.NegCurrFormat];
    } else {
        if (S.CurrencyFormat < 0 || S.CurrencyFormat > 3)
            throw EConvertError("Invalid currency format " + std::to_string(S.CurrencyFormat));
        Layout = Positive[S.CurrencyFormat];
    }
    String Out;
    for (const char* P = Layout; *P; ++P) {
        if (*P == '$')
            Out += S.CurrencyString;
        else if (*P == '1')
            Out += Number;
        else
            Out += *P;
    }
    return Out;
}

// ---------------------------------------------------------------- FloatToTextFmt

struct TSectionInfo {
    size_t Begin = 0, End = 0; // the section's characters in the format
    int DigitCount = 0;        // '0' and '#' placeholders, exponent digits excluded
    int DecimalIndex = -1;     // placeholders before the decimal point
    int FirstDigit = -1;       // index of the first '0' placeholder (-1: none)
    int LastDigit = 0;         // placeholders up to and including the last '0'
    bool ThousandSep = false;
    bool Scientific = false;
    bool Empty() const { return Begin == End; }
};

// Index just past a quoted text starting at I (the quote itself); an
// unterminated text runs to Limit.
size_t SkipQuoted(const String& F, size_t I, size_t Limit)
{
    const char Quote = F[I];
    size_t J = I + 1;
    while (J < Limit && F[J] != Quote)
        ++J;
    return J < Limit ? J + 1 : Limit;
}

// The bounds of up to three sections separated by ';' outside quotes.
int SplitSections(const String& F, TSectionInfo (&Sections)[3])
{
    int Count = 0;
    size_t Start = 0, I = 0;
    while (Count < 3) {
        if (I >= F.size() || F[I] == ';') {
            Sections[Count].Begin = Start;
            Sections[Count].End = std::min(I, F.size());
            ++Count;
            if (I >= F.size())
                break;
            Start = ++I;
        } else if (F[I] == '\'' || F[I] == '"') {
            I = SkipQuoted(F, I, F.size());
        } else {
            ++I;
        }
    }
    return Count;
}

// Index after "E+" / "e-" and the zeros following it, and the number of those
// zeros; I is at the 'E'.
size_t ScanExponent(const String& F, size_t I, size_t End, int& Zeros)
{
    I += 2;
    Zeros = 0;
    while (I < End && F[I] == '0') {
        ++I;
        ++Zeros;
    }
    return I;
}

bool IsExponentAt(const String& F, size_t I, size_t End)
{
    return (F[I] == 'E' || F[I] == 'e') && I + 1 < End && (F[I + 1] == '+' || F[I + 1] == '-');
}

void ScanSection(const String& F, TSectionInfo& Sec)
{
    for (size_t I = Sec.Begin; I < Sec.End;) {
        const char C = F[I];
        switch (C) {
        case '#':
            ++Sec.DigitCount;
            ++I;
            break;
        case '0':
            if (Sec.FirstDigit < 0)
                Sec.FirstDigit = Sec.DigitCount;
            ++Sec.DigitCount;
            Sec.LastDigit = Sec.DigitCount;
            ++I;
            break;
        case '.':
            if (Sec.DecimalIndex < 0)
                Sec.DecimalIndex = Sec.DigitCount;
            ++I;
            break;
        case ',':
            Sec.ThousandSep = true;
            ++I;
            break;
        case '\'':
        case '"':
            I = SkipQuoted(F, I, Sec.End);
            break;
        default:
            if (IsExponentAt(F, I, Sec.End)) {
                int Zeros;
                Sec.Scientific = true;
                I = ScanExponent(F, I, Sec.End, Zeros);
            } else {
                ++I;
            }
            break;
        }
    }
    if (Sec.DecimalIndex < 0)
        Sec.DecimalIndex = Sec.DigitCount;
}

// The digits of a section's picture: the value's significant digits for a
// scientific picture, else the value rounded to the picture's decimals.
void SectionDecimal(TFloatRec& R, double Value, const TSectionInfo& Sec)
{
    if (Sec.Scientific)
        FloatToDecimal(R, Value, Sec.DigitCount, NoDecimalLimit);
    else
        FloatToDecimal(R, Value, MaxDigits, Sec.DigitCount - Sec.DecimalIndex);
}

// Writes the value R through the section's picture. Digit places count from the
// decimal point: 1 is the units place, 0 the first decimal, -1 the next...
class TPictureWriter {
public:
    TPictureWriter(const String& F, const TSectionInfo& Sec, const TFloatRec& R, const TFormatSettings& S)
        : FFormat(F), FSec(Sec), FRec(R), FSettings(S)
    {
        const int Exponent = R.Digits.empty() ? 0 : R.Exponent;
        if (Sec.Scientific) {
            FDigitPlace = Sec.DecimalIndex;
            FDigitDelta = 0;
            FShownExponent = R.Digits.empty() ? 0 : Exponent - Sec.DecimalIndex;
        } else {
            // More integer digits than placeholders: the extra ones go out at the
            // first placeholder. Fewer: the first placeholders stand for places
            // above the value's digits.
            FDigitDelta = Exponent - Sec.DecimalIndex;
            FDigitPlace = FDigitDelta > 0 ? Exponent : Sec.DecimalIndex;
        }
        // Integer places from the leftmost '0' on always show a digit, as do the
        // decimals up to the rightmost '0'.
        const int First = Sec.FirstDigit < 0 ? Sec.DecimalIndex : std::min(Sec.FirstDigit, Sec.DecimalIndex);
        FFirstPlace = Sec.DecimalIndex - First;
        FLastPlace = std::min(0, Sec.DecimalIndex - Sec.LastDigit);
    }

    String Write(bool MinusSign)
    {
        if (MinusSign)
            FOut += '-';
        for (size_t I = FSec.Begin; I < FSec.End;) {
            const char C = FFormat[I];
            switch (C) {
            case '#':
            case '0':
                PutPlaceholder();
                ++I;
                break;
            case '.':
            case ',':
                ++I; // placed by the digits themselves
                break;
            case '\'':
            case '"': {
                // The text up to the closing quote, or to the section's end.
                size_t Close = I + 1;
                while (Close < FSec.End && FFormat[Close] != C)
                    ++Close;
                FOut.append(FFormat, I + 1, Close - (I + 1));
                I = Close < FSec.End ? Close + 1 : Close;
                break;
            }
            default:
                if (FSec.Scientific && IsExponentAt(FFormat, I, FSec.End)) {
                    const bool PlusSign = FFormat[I + 1] == '+';
                    FOut += C;
                    if (FShownExponent < 0)
                        FOut += '-';
                    else if (PlusSign)
                        FOut += '+';
                    int Zeros;
                    I = ScanExponent(FFormat, I, FSec.End, Zeros);
                    AppendDigitsOf(FOut, std::abs(FShownExponent), std::min(Zeros, 4));
                } else {
                    FOut += C;
                    ++I;
                }
                break;
            }
        }
        return FOut;
    }

private:
    void PutPlaceholder()
    {
        if (FDigitDelta < 0) {
            ++FDigitDelta;
            if (FDigitPlace <= FFirstPlace)
                PutDigit('0');
            else
                --FDigitPlace;
            return;
        }
        for (; FDigitDelta > 0; --FDigitDelta)
            PutDigit(NextDigit());
        if (FNext < FRec.Digits.size() || FDigitPlace > FLastPlace)
            PutDigit(NextDigit());
        else
            --FDigitPlace;
    }

    char NextDigit() { return FNext < FRec.Digits.size() ? FRec.Digits[FNext++] : '0'; }

    void PutDigit(char D)
    {
        if (FDigitPlace == 0)
            FOut += FSettings.DecimalSeparator;
        FOut += D;
        if (FSec.ThousandSep && FSettings.ThousandSeparator != '\0' && FDigitPlace > 1 && FDigitPlace % 3 == 1)
            FOut += FSettings.ThousandSeparator;
        --FDigitPlace;
    }

    const String& FFormat;
    const TSectionInfo& FSec;
    const TFloatRec& FRec;
    const TFormatSettings& FSettings;
    String FOut;
    size_t FNext = 0;
    int FDigitPlace = 0;
    int FDigitDelta = 0;
    int FFirstPlace = 0;
    int FLastPlace = 0;
    int FShownExponent = 0;
};

String FloatToTextFmt(const String& Format, double Value, const TFormatSettings& S)
{
    TSectionInfo Sections[3];
    const int Count = SplitSections(Format, Sections);
    if (Sections[0].Empty() || !std::isfinite(Value))
        return FloatToStrF(Value, ffGeneral, GeneralDigits, 0, S);

    ScanSection(Format, Sections[0]);
    TFloatRec R;
    SectionDecimal(R, Value, Sections[0]);
    if (!Sections[0].Scientific && R.Exponent > MaxDigits)
        return FloatToStrF(Value, ffGeneral, GeneralDigits, 0, S);

    // The section follows the value as the first section rounds it: a value
    // that shows as zero takes the zero section, a negative one the negative
    // section (written without a sign). An absent or empty section leaves the
    // first one in charge, where a negative value gets a minus sign and a value
    // rounded to zero gets none.
    int Section = 0;
    if (R.Digits.empty()) {
        if (Count > 2 && !Sections[2].Empty()) {
            Section = 2;
            ScanSection(Format, Sections[2]);
            R = TFloatRec();
        }
    } else if (R.Negative && Count > 1 && !Sections[1].Empty()) {
        Section = 1;
        ScanSection(Format, Sections[1]);
        SectionDecimal(R, -Value, Sections[1]);
        if (!Sections[1].Scientific && R.Exponent > MaxDigits)
            return FloatToStrF(Value, ffGeneral, GeneralDigits, 0, S);
    }
    const bool MinusSign = Section == 0 && R.Negative && !R.Digits.empty();
    return TPictureWriter(Format, Sections[Section], R, S).Write(MinusSign);
}

// ---------------------------------------------------------------- TextToFloat

bool TextToFloat(const String& S, double& Value, const TFormatSettings& Settings)
{
    const size_t N = S.size();
    size_t I = 0;
    while (I < N && S[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < N && (S[I] == '+' || S[I] == '-')) {
        Negative = S[I] == '-';
        ++I;
    }
    const auto IsDigit = [&](size_t K) { return K < N && S[K] >= '0' && S[K] <= '9'; };
    String Digits;
    while (IsDigit(I))
        Digits += S[I++];
    const long long IntDigits = static_cast<long long>(Digits.size());
    if (I < N && S[I] == Settings.DecimalSeparator) {
        ++I;
        while (IsDigit(I))
            Digits += S[I++];
    }
    if (Digits.empty())
        return false;
    long long Exp = 0;
    if (I < N && (S[I] == 'E' || S[I] == 'e')) {
        ++I;
        bool ExpNegative = false;
        if (I < N && (S[I] == '+' || S[I] == '-')) {
            ExpNegative = S[I] == '-';
            ++I;
        }
        if (!IsDigit(I))
            return false;
        while (IsDigit(I)) {
            if (Exp < 1000000) // far beyond any double; the value is decided already
                Exp = Exp * 10 + (S[I] - '0');
            ++I;
        }
        if (ExpNegative)
            Exp = -Exp;
    }
    while (I < N && S[I] == ' ')
        ++I;
    if (I != N)
        return false;

    const size_t FirstNonZero = Digits.find_first_not_of('0');
    if (FirstNonZero == String::npos) {
        Value = Negative ? -0.0 : 0.0;
        return true;
    }
    // 0.DDDD × 10^(IntDigits + Exp), from the first significant digit on.
    const long long Scale = IntDigits + Exp - static_cast<long long>(FirstNonZero);
    if (Scale > 400)
        return false;
    if (Scale < -400) {
        Value = Negative ? -0.0 : 0.0;
        return true;
    }
    String Text = "0.";
    Text.append(Digits, FirstNonZero);
    Text += 'e';
    Text += std::to_string(Scale);
    double Parsed = 0;
    const auto Res = std::from_chars(Text.data(), Text.data() + Text.size(), Parsed);
    if (Res.ec == std::errc::result_out_of_range) {
        if (Scale > 0)
            return false; // beyond the largest double
        Parsed = 0;       // below the smallest one
    } else if (Res.ec != std::errc() || std::isinf(Parsed)) {
        return false;
    }
    Value = Negative ? -Parsed : Parsed;
    return true;
}

} // namespace

// ---------------------------------------------------------------- public functions

void FloatToDecimal(TFloatRec& Result, double Value, int Precision, int Decimals)
{
    Result.Digits.clear();
    Result.Negative = std::signbit(Value);
    if (std::isnan(Value)) {
        Result.Exponent = FloatRecNanExponent;
        Result.Negative = false;
        return;
    }
    if (std::isinf(Value)) {
        Result.Exponent = FloatRecInfExponent;
        return;
    }
    if (Value == 0) {
        Result.Exponent = 0;
        Result.Negative = false;
        return;
    }
    EighteenDigits(std::fabs(Value), Result.Digits, Result.Exponent);

    // Keep the digits up to the Decimals-th decimal, at most Precision of them,
    // and round on the first dropped digit.
    const long long Keep =
        std::min<long long>(static_cast<long long>(Result.Exponent) + Decimals, std::min(Precision, MaxDigits));
    String& D = Result.Digits;
    if (Keep < 0) {
        D.clear();
    } else if (Keep < static_cast<long long>(D.size())) {
        const bool Up = D[static_cast<size_t>(Keep)] >= '5';
        D.resize(static_cast<size_t>(Keep));
        if (Up) {
            while (!D.empty() && D.back() == '9')
                D.pop_back();
            if (D.empty()) {
                D = "1";
                ++Result.Exponent;
            } else {
                ++D.back();
            }
        }
        while (!D.empty() && D.back() == '0')
            D.pop_back();
    }
    if (D.empty())
        Result.Exponent = 0;
}

String FloatToStr(double Value)
{
    return FloatToStrF(Value, ffGeneral, GeneralDigits, 0, FormatSettings);
}

String FloatToStr(double Value, const TFormatSettings& Settings)
{
    return FloatToStrF(Value, ffGeneral, GeneralDigits, 0, Settings);
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits)
{
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits, const TFormatSettings& Settings)
{
    Precision = std::clamp(Precision, 2, MaxDigits);
    const int ExpDigits = std::clamp(Digits, 0, 4);
    const int Decimals = std::clamp(Digits, 0, MaxDigits);
    TFloatRec R;
    switch (Format) {
    case ffGeneral:
    case ffExponent:
        FloatToDecimal(R, Value, Precision, NoDecimalLimit);
        if (IsSpecial(R))
            return SpecialText(R);
        return Format == ffGeneral ? GeneralText(R, Precision, ExpDigits, Settings)
                                   : ExponentText(R, Precision, ExpDigits, Settings);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        FloatToDecimal(R, Value, Precision, Decimals);
        if (IsSpecial(R))
            return SpecialText(R);
        if (R.Exponent > Precision)
            return ExponentText(R, Precision, ExpDigits, Settings);
        const String Number = FixedText(R, Decimals, Format != ffFixed, Settings);
        if (Format == ffCurrency)
            return CurrencyText(Number, R.Negative, Settings);
        return R.Negative ? "-" + Number : Number;
    }
    }
    throw EConvertError("Invalid floating point format " + std::to_string(static_cast<int>(Format)));
}

String FormatFloat(const String& Format, double Value)
{
    return FloatToTextFmt(Format, Value, FormatSettings);
}

String FormatFloat(const String& Format, double Value, const TFormatSettings& Settings)
{
    return FloatToTextFmt(Format, Value, Settings);
}

String CurrToStr(double Value)
{
    return CurrToStr(Value, FormatSettings);
}

String CurrToStr(double Value, const TFormatSettings& Settings)
{
    // A currency is a 64-bit count of ten-thousandths; the value is rounded to
    // it exactly (ties to even, as the FPU's integer store does).
    if (!std::isfinite(Value) || std::fabs(Value) >= 1e15)
        throw EInvalidOp("Invalid floating point operation");
    char Buf[64];
    const auto Res = std::to_chars(Buf, Buf + sizeof Buf, std::fabs(Value), std::chars_format::fixed, 4);
    String Text(Buf, Res.ptr);
    const size_t Point = Text.find('.');
    String Int = Text.substr(0, Point);
    String Frac = Text.substr(Point + 1);
    const String Count = Int + Frac;
    // Beyond 922337203685477.5807 (…5808 for negative values) there is no currency.
    const String Limit = std::signbit(Value) ? "9223372036854775808" : "9223372036854775807";
    const String Padded = String(Limit.size() > Count.size() ? Limit.size() - Count.size() : 0, '0') + Count;
    if (Padded.size() == Limit.size() && Padded > Limit)
        throw EInvalidOp("Invalid floating point operation");
    while (!Frac.empty() && Frac.back() == '0')
        Frac.pop_back();
    String Out;
    if (std::signbit(Value) && (Int != "0" || !Frac.empty()))
        Out += '-';
    Out += Int;
    if (!Frac.empty()) {
        Out += Settings.DecimalSeparator;
        Out += Frac;
    }
    return Out;
}

bool TryStrToFloat(const String& S, double& Value)
{
    return TextToFloat(S, Value, FormatSettings);
}

bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings)
{
    return TextToFloat(S, Value, Settings);
}

double StrToFloat(const String& S)
{
    return StrToFloat(S, FormatSettings);
}

double StrToFloat(const String& S, const TFormatSettings& Settings)
{
    double Value;
    if (!TextToFloat(S, Value, Settings))
        throw EConvertError("'" + S + "' is not a valid floating point value");
    return Value;
}

double StrToFloatDef(const String& S, double Default)
{
    return StrToFloatDef(S, Default, FormatSettings);
}

double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings)
{
    double Value;
    return TextToFloat(S, Value, Settings) ? Value : Default;
}
