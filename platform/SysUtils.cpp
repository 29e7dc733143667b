// Runtime library: exceptions, locale settings, string and integer helpers and
// the Format function, with the runtime's exact results.
#include "SysUtils.h"

#include "FloatFormat.h"

#include <QFileInfo>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

// Internal helpers live in a named namespace: the library is built as a unity
// build, where anonymous namespaces of several files share one translation unit.
namespace ZenSysUtils {

inline unsigned char UC(char C) { return static_cast<unsigned char>(C); }

char AnsiUpper(char C)
{
    const unsigned char U = UC(C);
    if ((U >= 'a' && U <= 'z') || (U >= 0xE0 && U <= 0xFE && U != 0xF7))
        return static_cast<char>(U - 0x20);
    return C;
}

char AnsiLower(char C)
{
    const unsigned char U = UC(C);
    if ((U >= 'A' && U <= 'Z') || (U >= 0xC0 && U <= 0xDE && U != 0xD7))
        return static_cast<char>(U + 0x20);
    return C;
}

// ---- collation for AnsiCompareStr/AnsiCompareText

struct TCollationKey {
    int Primary;   // punctuation < digits < letters
    int Secondary; // accent
    int Tertiary;  // 0 lower case, 1 upper case
};

// Base letter (a..z) of a lower-case Latin-1 letter, 0 when it is none.
char BaseLetter(unsigned char L)
{
    if (L >= 'a' && L <= 'z')
        return static_cast<char>(L);
    if (L >= 0xE0 && L <= 0xE6) return 'a'; // a with accents, ae
    if (L == 0xE7) return 'c';
    if (L >= 0xE8 && L <= 0xEB) return 'e';
    if (L >= 0xEC && L <= 0xEF) return 'i';
    if (L == 0xF0) return 'd'; // eth
    if (L == 0xF1) return 'n';
    if ((L >= 0xF2 && L <= 0xF6) || L == 0xF8) return 'o';
    if (L >= 0xF9 && L <= 0xFC) return 'u';
    if (L == 0xFD || L == 0xFF) return 'y';
    if (L == 0xDF) return 's'; // sharp s
    if (L == 0xAA) return 'a'; // feminine ordinal
    if (L == 0xBA) return 'o'; // masculine ordinal
    return 0;
}

TCollationKey CollationKey(char C)
{
    const unsigned char U = UC(C);
    if (U >= '0' && U <= '9')
        return {0x200 + (U - '0'), 0, 0};
    const unsigned char Lower = UC(AnsiLower(C));
    const int Upper = Lower != U ? 1 : 0;
    if (Lower == 0xFE) // thorn sorts after z
        return {0x300 + 26, 0, Upper};
    if (const char Base = BaseLetter(Lower))
        return {0x300 + (Base - 'a'), Lower >= 0x80 ? Lower : 0, Upper};
    return {U, 0, 0};
}

int AnsiCompare(const String& S1, const String& S2, bool CaseSensitive)
{
    // The keys of all 256 characters, computed once (sorting compares a lot).
    static const std::array<TCollationKey, 256> Keys = [] {
        std::array<TCollationKey, 256> K{};
        for (int C = 0; C < 256; ++C)
            K[size_t(C)] = CollationKey(static_cast<char>(C));
        return K;
    }();
    const size_t N = std::min(S1.size(), S2.size());
    int Secondary = 0;
    int Tertiary = 0;
    for (size_t I = 0; I < N; ++I) {
        const TCollationKey& A = Keys[UC(S1[I])];
        const TCollationKey& B = Keys[UC(S2[I])];
        if (A.Primary != B.Primary)
            return A.Primary < B.Primary ? -1 : 1;
        if (Secondary == 0 && A.Secondary != B.Secondary)
            Secondary = A.Secondary < B.Secondary ? -1 : 1;
        if (Tertiary == 0 && A.Tertiary != B.Tertiary)
            Tertiary = A.Tertiary < B.Tertiary ? -1 : 1;
    }
    if (S1.size() != S2.size())
        return S1.size() < S2.size() ? -1 : 1;
    if (Secondary != 0)
        return Secondary;
    return CaseSensitive ? Tertiary : 0;
}

// ---- integer text

bool IsPathDelimiter(char C) { return C == '/' || C == '\\'; }

// The runtime's Val for integers of Bits width: leading blanks, a sign, then
// decimal digits or hexadecimal digits after '$', 'x', 'X', '0x' or '0X'.
bool ScanInteger(const String& S, int Bits, int64_t& Value)
{
    const uint64_t Mask = Bits == 64 ? ~uint64_t(0) : (uint64_t(1) << Bits) - 1;
    const uint64_t SignedMax = Mask >> 1; // 2^(Bits-1) - 1
    size_t I = 0;
    const size_t N = S.size();
    while (I < N && S[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < N && (S[I] == '+' || S[I] == '-')) {
        Negative = S[I] == '-';
        ++I;
    }
    bool Hex = false;
    if (I < N && (S[I] == '$' || S[I] == 'x' || S[I] == 'X')) {
        Hex = true;
        ++I;
    } else if (I + 1 < N && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        Hex = true;
        I += 2;
    }
    if (I >= N)
        return false;
    uint64_t Acc = 0;
    for (; I < N; ++I) {
        const unsigned char C = UC(S[I]);
        int Digit;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (Hex && C >= 'a' && C <= 'f')
            Digit = C - 'a' + 10;
        else if (Hex && C >= 'A' && C <= 'F')
            Digit = C - 'A' + 10;
        else
            return false;
        if (Hex) {
            if (Acc > (Mask >> 4))
                return false;
            Acc = (Acc << 4) | uint64_t(Digit);
        } else {
            // Up to 2^(Bits-1), the magnitude of the most negative value.
            if (Acc > (SignedMax + 1 - uint64_t(Digit)) / 10)
                return false;
            Acc = Acc * 10 + uint64_t(Digit);
        }
    }
    if (!Hex && Acc > SignedMax + (Negative ? 1 : 0))
        return false;
    uint64_t Bitsval = Negative ? (~Acc + 1) & Mask : Acc;
    // Sign-extend the Bits-wide pattern.
    if (Bits < 64 && (Bitsval & (uint64_t(1) << (Bits - 1))))
        Bitsval |= ~Mask;
    Value = static_cast<int64_t>(Bitsval);
    return true;
}

String HexDigits(uint64_t Value, int Digits)
{
    static const char Hex[] = "0123456789ABCDEF";
    char Buf[16];
    int N = 0;
    do {
        Buf[N++] = Hex[Value & 0xF];
        Value >>= 4;
    } while (Value != 0);
    String Result;
    if (Digits > N)
        Result.assign(static_cast<size_t>(Digits - N), '0');
    while (N > 0)
        Result += Buf[--N];
    return Result;
}

String DecimalDigits(uint64_t Value)
{
    char Buf[24];
    int N = 0;
    do {
        Buf[N++] = static_cast<char>('0' + Value % 10);
        Value /= 10;
    } while (Value != 0);
    String Result;
    while (N > 0)
        Result += Buf[--N];
    return Result;
}

String SignedDecimal(int64_t Value)
{
    if (Value < 0)
        return "-" + DecimalDigits(uint64_t(0) - static_cast<uint64_t>(Value));
    return DecimalDigits(static_cast<uint64_t>(Value));
}

// ---- Format

[[noreturn]] void FormatError(bool ArgumentMissing, const String& Fmt)
{
    // The message quotes at most the first 31 characters of the format.
    const String Shown = Fmt.substr(0, 31);
    if (ArgumentMissing)
        throw EConvertError("No argument for format '" + Shown + "'");
    throw EConvertError("Format '" + Shown + "' invalid or incompatible with argument");
}

// Largest width or precision a format accepts.
constexpr int MaxFormatNumber = 1 << 20;

class TFormatter {
public:
    TFormatter(const String& Fmt, const TVarRec* Args, size_t Count, const TFormatSettings& Settings)
        : FFmt(Fmt), FArgs(Args), FCount(Count), FSettings(Settings)
    {
    }

    String Run()
    {
        String Result;
        const size_t N = FFmt.size();
        size_t I = 0;
        while (I < N) {
            const size_t Next = FFmt.find('%', I);
            if (Next == String::npos) {
                Result.append(FFmt, I, String::npos);
                break;
            }
            Result.append(FFmt, I, Next - I);
            I = Next + 1;
            if (I < N && FFmt[I] == '%') {
                Result += '%';
                ++I;
                continue;
            }
            I = Convert(I, Result);
        }
        return Result;
    }

private:
    const TVarRec& NextArg()
    {
        if (FArgIndex >= FCount)
            FormatError(true, FFmt);
        return FArgs[FArgIndex++];
    }

    [[noreturn]] void Bad() const { FormatError(false, FFmt); }

    // A number or '*' at I; -1 when there is neither.
    int ReadNumber(size_t& I)
    {
        if (I < FFmt.size() && FFmt[I] == '*') {
            ++I;
            const TVarRec& Arg = NextArg();
            int64_t V;
            if (Arg.Kind == TVarRec::vtInteger || Arg.Kind == TVarRec::vtInt64)
                V = Arg.Int;
            else if (Arg.Kind == TVarRec::vtUInt64 && Arg.UInt <= uint64_t(INT_MAX))
                V = static_cast<int64_t>(Arg.UInt);
            else
                Bad();
            if (V > MaxFormatNumber)
                Bad();
            // A negative width or precision from the arguments counts as none.
            return V < 0 ? -1 : static_cast<int>(V);
        }
        if (I >= FFmt.size() || FFmt[I] < '0' || FFmt[I] > '9')
            return -1;
        int V = 0;
        while (I < FFmt.size() && FFmt[I] >= '0' && FFmt[I] <= '9') {
            V = V * 10 + (FFmt[I] - '0');
            if (V > MaxFormatNumber)
                Bad();
            ++I;
        }
        return V;
    }

    size_t Convert(size_t I, String& Result)
    {
        const size_t N = FFmt.size();
        bool LeftJustify = false;
        if (I < N && FFmt[I] == '-') {
            LeftJustify = true;
            ++I;
        }
        int Width = ReadNumber(I);
        if (I < N && FFmt[I] == ':') {
            if (Width < 0 || LeftJustify)
                Bad();
            FArgIndex = static_cast<size_t>(Width);
            ++I;
            if (I < N && FFmt[I] == '-') {
                LeftJustify = true;
                ++I;
            }
            Width = ReadNumber(I);
        }
        int Prec = -1;
        if (I < N && FFmt[I] == '.') {
            ++I;
            const bool Star = I < N && FFmt[I] == '*';
            Prec = ReadNumber(I);
            if (Prec < 0 && !Star)
                Prec = 0; // "%.d": no digits after the point mean 0
        }
        if (I >= N)
            Bad();
        const char Type = static_cast<char>(UC(FFmt[I]) & ~0x20u);
        ++I;
        String Text;
        switch (Type) {
        case 'D': Text = Integer(NextArg(), Prec, 'D'); break;
        case 'U': Text = Integer(NextArg(), Prec, 'U'); break;
        case 'X': Text = Integer(NextArg(), Prec, 'X'); break;
        case 'E': Text = Float(NextArg(), ffExponent, Prec); break;
        case 'F': Text = Float(NextArg(), ffFixed, Prec); break;
        case 'G': Text = Float(NextArg(), ffGeneral, Prec); break;
        case 'N': Text = Float(NextArg(), ffNumber, Prec); break;
        case 'M': Text = Float(NextArg(), ffCurrency, Prec); break;
        case 'P': {
            const TVarRec& Arg = NextArg();
            if (Arg.Kind != TVarRec::vtPointer)
                Bad();
            Text = HexDigits(reinterpret_cast<uintptr_t>(Arg.Pointer), 8);
            break;
        }
        case 'S': {
            const TVarRec& Arg = NextArg();
            if (Arg.Kind == TVarRec::vtString)
                Text = String(Arg.Str);
            else if (Arg.Kind == TVarRec::vtChar)
                Text = String(1, Arg.Char);
            else
                Bad();
            if (Prec >= 0 && static_cast<size_t>(Prec) < Text.size())
                Text.resize(static_cast<size_t>(Prec));
            break;
        }
        default:
            Bad();
        }
        const size_t Pad = Width > 0 && static_cast<size_t>(Width) > Text.size()
                               ? static_cast<size_t>(Width) - Text.size()
                               : 0;
        if (!LeftJustify)
            Result.append(Pad, ' ');
        Result += Text;
        if (LeftJustify)
            Result.append(Pad, ' ');
        return I;
    }

    String Integer(const TVarRec& Arg, int Prec, char Type)
    {
        bool Negative = false;
        uint64_t Magnitude = 0; // for D and U
        uint64_t Pattern = 0;   // two's complement for X and U
        switch (Arg.Kind) {
        case TVarRec::vtInteger:
            Negative = Arg.Int < 0;
            Magnitude = Negative ? uint64_t(0) - static_cast<uint64_t>(Arg.Int) : static_cast<uint64_t>(Arg.Int);
            Pattern = static_cast<uint32_t>(Arg.Int);
            break;
        case TVarRec::vtInt64:
            Negative = Arg.Int < 0;
            Magnitude = Negative ? uint64_t(0) - static_cast<uint64_t>(Arg.Int) : static_cast<uint64_t>(Arg.Int);
            Pattern = static_cast<uint64_t>(Arg.Int);
            break;
        case TVarRec::vtUInt64:
            Magnitude = Pattern = Arg.UInt;
            break;
        default:
            Bad();
        }
        // A precision beyond 32 digits is ignored, as the runtime does.
        const int Digits = Prec > 32 ? 0 : std::max(Prec, 0);
        if (Type == 'X')
            return HexDigits(Pattern, Digits);
        String Text = DecimalDigits(Type == 'U' ? Pattern : Magnitude);
        if (static_cast<int>(Text.size()) < Digits)
            Text.insert(0, static_cast<size_t>(Digits) - Text.size(), '0');
        if (Type == 'D' && Negative)
            Text.insert(0, 1, '-');
        return Text;
    }

    String Float(const TVarRec& Arg, TFloatFormat Kind, int Prec)
    {
        if (Arg.Kind != TVarRec::vtExtended)
            Bad();
        // Unspecified precisions and those beyond 18 digits take the defaults:
        // 15 significant digits for e and g, 2 decimals for f and n, the
        // settings' currency decimals for m.
        if (Prec < 0 || Prec > 18) {
            switch (Kind) {
            case ffExponent:
            case ffGeneral: Prec = 15; break;
            case ffCurrency: Prec = FSettings.CurrencyDecimals; break;
            default: Prec = 2; break;
            }
        }
        if (Kind == ffExponent || Kind == ffGeneral)
            return FloatToStrF(Arg.Float, Kind, Prec, 3, FSettings);
        return FloatToStrF(Arg.Float, Kind, 18, Prec, FSettings);
    }

    const String& FFmt;
    const TVarRec* FArgs;
    size_t FCount;
    const TFormatSettings& FSettings;
    size_t FArgIndex = 0;
};

// ---- system locale

bool IsLatin1(const QString& S)
{
    for (const QChar C : S)
        if (C.unicode() > 0xFF)
            return false;
    return true;
}

// A single 8-bit character for a separator, or Fallback.
char SeparatorChar(const QString& S, char Fallback)
{
    if (S.size() != 1)
        return Fallback;
    const char16_t U = S.at(0).unicode();
    if (U == 0x202F || U == 0x2009) // narrow and thin spaces: the no-break space
        return '\xA0';
    return U <= 0xFF ? static_cast<char>(U) : Fallback;
}

bool IsFormatLetter(QChar C)
{
    const char16_t U = C.unicode();
    return (U >= 'a' && U <= 'z') || (U >= 'A' && U <= 'Z');
}

// The first non-letter, non-blank character after the first field of a Qt
// date/time format; 0 when there is none or it is outside Latin-1.
char FindSeparator(const QString& Fmt)
{
    bool SeenField = false;
    bool Quoted = false;
    for (const QChar C : Fmt) {
        if (C == u'\'') {
            Quoted = !Quoted;
            continue;
        }
        if (Quoted)
            continue;
        if (IsFormatLetter(C))
            SeenField = true;
        else if (SeenField && !C.isSpace())
            return C.unicode() <= 0xFF ? static_cast<char>(C.unicode()) : 0;
    }
    return 0;
}

// Appends literal text to a runtime date/time format, quoting what would
// otherwise be read as a specifier.
void AppendLiteral(String& Out, char C)
{
    const unsigned char U = UC(C);
    if ((U >= 'a' && U <= 'z') || (U >= 'A' && U <= 'Z') || C == '/' || C == ':' || C == '"') {
        Out += '\'';
        Out += C;
        Out += '\'';
    } else if (C == '\'') {
        Out += "\"'\"";
    } else {
        Out += C;
    }
}

// Appends text that is to appear as written.
void AppendQuoted(String& Out, const String& Text)
{
    if (Text.find('"') == String::npos)
        Out += '"' + Text + '"';
    else if (Text.find('\'') == String::npos)
        Out += '\'' + Text + '\'';
    else
        for (const char C : Text)
            AppendLiteral(Out, C);
}

// Converts a Qt date/time format to the runtime's format letters. The
// separator character becomes '/' (dates) or ':' (times). Gives "" when the
// format has characters outside Latin-1.
String ConvertQtFormat(const QString& Fmt, char Separator, bool IsDate)
{
    if (!IsLatin1(Fmt))
        return String();
    const String F = FromQString(Fmt);
    String Out;
    const size_t N = F.size();
    size_t I = 0;
    while (I < N) {
        const char C = F[I];
        if (C == '\'') {
            // Quoted text; '' stands for one quote.
            String Text;
            ++I;
            if (I < N && F[I] == '\'') {
                Text = "'";
                ++I;
            } else {
                while (I < N) {
                    if (F[I] == '\'') {
                        if (I + 1 < N && F[I + 1] == '\'') {
                            Text += '\'';
                            I += 2;
                            continue;
                        }
                        ++I;
                        break;
                    }
                    Text += F[I++];
                }
            }
            AppendQuoted(Out, Text);
            continue;
        }
        size_t Count = 1;
        while (I + Count < N && F[I + Count] == C)
            ++Count;
        switch (C) {
        case 'd': Out += String(std::min<size_t>(Count, 4), 'd'); break;
        case 'M':
        case 'L': Out += String(std::min<size_t>(Count, 4), 'M'); break;
        case 'y': Out += Count <= 2 ? "yy" : "yyyy"; break;
        case 'h':
        case 'H': Out += Count == 1 ? "h" : "hh"; break;
        case 'm': Out += Count == 1 ? "n" : "nn"; break;
        case 's': Out += Count == 1 ? "s" : "ss"; break;
        case 'z': Out += Count < 3 ? "z" : "zzz"; break;
        case 'a':
        case 'A':
            Out += "AMPM";
            // "AP" and "ap" are one specifier.
            if (Count == 1 && I + 1 < N && (F[I + 1] == 'p' || F[I + 1] == 'P'))
                ++I;
            Count = 1;
            break;
        case 't':
            // Time zone: not shown; drop the blanks before it.
            while (!Out.empty() && Out.back() == ' ')
                Out.pop_back();
            break;
        default:
            for (size_t K = 0; K < Count; ++K) {
                if (Separator != 0 && C == Separator)
                    Out += IsDate ? '/' : ':';
                else
                    AppendLiteral(Out, C);
            }
            break;
        }
        I += Count;
    }
    while (!Out.empty() && Out.back() == ' ')
        Out.pop_back();
    return Out;
}

// Positions of the currency symbol ($), the number (1), the sign (-), blanks
// and parentheses in the runtime's numbering of currency formats.
const char* const PositiveCurrencyPatterns[] = {"$1", "1$", "$ 1", "1 $"};
const char* const NegativeCurrencyPatterns[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",
                                                "1-$",  "1$-",  "-1 $", "-$ 1", "1 $-",  "$ 1-",
                                                "$ -1", "1- $", "($ 1)", "(1 $)"};

String CurrencyPattern(const QString& Text, const QString& Symbol, const QString& Minus)
{
    QString T = Text;
    T.replace(Symbol, QStringLiteral("$"));
    if (!Minus.isEmpty())
        T.replace(Minus, QStringLiteral("-"));
    String P;
    for (const QChar C : T) {
        if (C == u'$' || C == u'1' || C == u'-' || C == u'(' || C == u')')
            P += static_cast<char>(C.unicode());
        else if (C.isSpace() || C.unicode() == 0xA0 || C.unicode() == 0x202F)
            P += ' ';
    }
    return P;
}

int PatternIndex(const String& Pattern, const char* const* Table, int Count, int Fallback)
{
    for (int I = 0; I < Count; ++I)
        if (Pattern == Table[I])
            return I;
    return Fallback;
}

} // namespace ZenSysUtils


// ---------------------------------------------------------------- exceptions, Qt

void Abort()
{
    throw EAbort("Operation aborted");
}

QString ToQString(const String& S)
{
    return QString::fromLatin1(S.data(), static_cast<qsizetype>(S.size()));
}

String FromQString(const QString& S)
{
    const QByteArray Bytes = S.toLatin1();
    return String(Bytes.constData(), static_cast<size_t>(Bytes.size()));
}

// ---------------------------------------------------------------- locale settings

TFormatSettings FormatSettings = TFormatSettings::FromSystemLocale();

TFormatSettings TFormatSettings::Default()
{
    return TFormatSettings();
}

TFormatSettings TFormatSettings::FromSystemLocale()
{
    return FromLocale(QLocale::system());
}

TFormatSettings TFormatSettings::FromLocale(const QLocale& L)
{
    TFormatSettings S;
    if (L.language() == QLocale::C)
        return S;

    S.DecimalSeparator = ZenSysUtils::SeparatorChar(L.decimalPoint(), '.');
    S.ThousandSeparator = ZenSysUtils::SeparatorChar(L.groupSeparator(), S.DecimalSeparator == ',' ? '.' : ',');
    if (S.ThousandSeparator == S.DecimalSeparator)
        S.ThousandSeparator = S.DecimalSeparator == ',' ? '.' : ',';
    S.ListSeparator = S.DecimalSeparator == ',' ? ';' : ',';

    QString Symbol = L.currencySymbol(QLocale::CurrencySymbol);
    if (Symbol.isEmpty() || !ZenSysUtils::IsLatin1(Symbol))
        Symbol = L.currencySymbol(QLocale::CurrencyIsoCode);
    if (!Symbol.isEmpty() && ZenSysUtils::IsLatin1(Symbol))
        S.CurrencyString = FromQString(Symbol);
    const QString Marker = QStringLiteral("\u00A4");
    S.CurrencyFormat = ZenSysUtils::PatternIndex(ZenSysUtils::CurrencyPattern(L.toCurrencyString(1.0, Marker, 0), Marker, L.negativeSign()),
                                    ZenSysUtils::PositiveCurrencyPatterns, 4, 0);
    S.NegCurrFormat = ZenSysUtils::PatternIndex(ZenSysUtils::CurrencyPattern(L.toCurrencyString(-1.0, Marker, 0), Marker, L.negativeSign()),
                                   ZenSysUtils::NegativeCurrencyPatterns, 16, S.CurrencyFormat % 2 == 0 ? 1 : 5);
    {
        const QString One = L.toCurrencyString(1.0, Marker);
        const qsizetype Point = One.indexOf(L.decimalPoint());
        int Decimals = 0;
        if (Point >= 0)
            for (qsizetype K = Point + 1; K < One.size() && One.at(K).isDigit(); ++K)
                ++Decimals;
        S.CurrencyDecimals = Decimals;
    }

    const QString ShortDate = L.dateFormat(QLocale::ShortFormat);
    const QString LongDate = L.dateFormat(QLocale::LongFormat);
    const QString ShortTime = L.timeFormat(QLocale::ShortFormat);
    const QString LongTime = L.timeFormat(QLocale::LongFormat);
    char DateSep = ZenSysUtils::FindSeparator(ShortDate);
    if (DateSep == 0)
        DateSep = ZenSysUtils::FindSeparator(LongDate);
    char TimeSep = ZenSysUtils::FindSeparator(LongTime);
    if (TimeSep == 0)
        TimeSep = ZenSysUtils::FindSeparator(ShortTime);
    if (DateSep != 0)
        S.DateSeparator = DateSep;
    if (TimeSep != 0)
        S.TimeSeparator = TimeSep;
    auto SetFormat = [](String& Target, const String& Converted) {
        if (!Converted.empty())
            Target = Converted;
    };
    SetFormat(S.ShortDateFormat, ZenSysUtils::ConvertQtFormat(ShortDate, DateSep, true));
    SetFormat(S.LongDateFormat, ZenSysUtils::ConvertQtFormat(LongDate, DateSep, true));
    SetFormat(S.ShortTimeFormat, ZenSysUtils::ConvertQtFormat(ShortTime, TimeSep, false));
    SetFormat(S.LongTimeFormat, ZenSysUtils::ConvertQtFormat(LongTime, TimeSep, false));

    auto SetName = [](String& Target, const QString& Name) {
        if (!Name.isEmpty() && ZenSysUtils::IsLatin1(Name))
            Target = FromQString(Name);
    };
    SetName(S.TimeAMString, L.amText());
    SetName(S.TimePMString, L.pmText());
    for (int M = 0; M < 12; ++M) {
        SetName(S.ShortMonthNames[M], L.monthName(M + 1, QLocale::ShortFormat));
        SetName(S.LongMonthNames[M], L.monthName(M + 1, QLocale::LongFormat));
    }
    for (int D = 0; D < 7; ++D) {
        // Qt counts 1 = Monday .. 7 = Sunday; the settings start on Sunday.
        const int QtDay = D == 0 ? 7 : D;
        SetName(S.ShortDayNames[D], L.dayName(QtDay, QLocale::ShortFormat));
        SetName(S.LongDayNames[D], L.dayName(QtDay, QLocale::LongFormat));
    }
    return S;
}

// ---------------------------------------------------------------- strings

int Length(const String& S)
{
    return static_cast<int>(S.size());
}

int Pos(const String& Sub, const String& S)
{
    return PosEx(Sub, S, 1);
}

int PosEx(const String& Sub, const String& S, int Offset)
{
    if (Sub.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size())
        return 0;
    const size_t P = S.find(Sub, static_cast<size_t>(Offset - 1));
    return P == String::npos ? 0 : static_cast<int>(P) + 1;
}

String Copy(const String& S, int Index, int Count)
{
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || static_cast<size_t>(Index) > S.size())
        return String();
    return S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

void Delete(String& S, int Index, int Count)
{
    if (Index < 1 || static_cast<size_t>(Index) > S.size() || Count <= 0)
        return;
    S.erase(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

void Insert(const String& Sub, String& S, int Index)
{
    const size_t At = Index < 1 ? 0 : std::min(static_cast<size_t>(Index - 1), S.size());
    S.insert(At, Sub);
}

String UpperCase(const String& S)
{
    String R = S;
    for (char& C : R)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    return R;
}

String LowerCase(const String& S)
{
    String R = S;
    for (char& C : R)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C + 32);
    return R;
}

String AnsiUpperCase(const String& S)
{
    String R = S;
    for (char& C : R)
        C = ZenSysUtils::AnsiUpper(C);
    return R;
}

String AnsiLowerCase(const String& S)
{
    String R = S;
    for (char& C : R)
        C = ZenSysUtils::AnsiLower(C);
    return R;
}

int CompareStr(const String& S1, const String& S2)
{
    const size_t N = std::min(S1.size(), S2.size());
    for (size_t I = 0; I < N; ++I)
        if (S1[I] != S2[I])
            return int(ZenSysUtils::UC(S1[I])) - int(ZenSysUtils::UC(S2[I]));
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

int CompareText(const String& S1, const String& S2)
{
    auto Up = [](char C) {
        const int U = static_cast<unsigned char>(C);
        return U >= 'a' && U <= 'z' ? U - 32 : U;
    };
    const size_t N = std::min(S1.size(), S2.size());
    for (size_t I = 0; I < N; ++I) {
        const int A = Up(S1[I]);
        const int B = Up(S2[I]);
        if (A != B)
            return A - B;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

bool SameText(const String& S1, const String& S2)
{
    return CompareText(S1, S2) == 0;
}

int AnsiCompareStr(const String& S1, const String& S2)
{
    return ZenSysUtils::AnsiCompare(S1, S2, true);
}

int AnsiCompareText(const String& S1, const String& S2)
{
    return ZenSysUtils::AnsiCompare(S1, S2, false);
}

bool AnsiSameText(const String& S1, const String& S2)
{
    return AnsiCompareText(S1, S2) == 0;
}

String Trim(const String& S)
{
    return TrimLeft(TrimRight(S));
}

String TrimLeft(const String& S)
{
    size_t I = 0;
    while (I < S.size() && ZenSysUtils::UC(S[I]) <= ' ')
        ++I;
    return S.substr(I);
}

String TrimRight(const String& S)
{
    size_t N = S.size();
    while (N > 0 && ZenSysUtils::UC(S[N - 1]) <= ' ')
        --N;
    return S.substr(0, N);
}

String StringOfChar(char Ch, int Count)
{
    return Count > 0 ? String(static_cast<size_t>(Count), Ch) : String();
}

String QuotedStr(const String& S)
{
    return AnsiQuotedStr(S, '\'');
}

String AnsiQuotedStr(const String& S, char Quote)
{
    String R(1, Quote);
    for (const char C : S) {
        R += C;
        if (C == Quote)
            R += C;
    }
    R += Quote;
    return R;
}

String AnsiDequotedStr(const String& S, char Quote)
{
    if (S.empty() || S[0] != Quote)
        return S;
    String R;
    size_t I = 1;
    while (I < S.size()) {
        if (S[I] == Quote) {
            if (I + 1 < S.size() && S[I + 1] == Quote) {
                R += Quote;
                I += 2;
                continue;
            }
            break; // closing quote: whatever follows is dropped
        }
        R += S[I++];
    }
    return R.empty() ? S : R;
}

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags)
{
    if (OldPattern.empty())
        return S;
    const bool IgnoreCase = (Flags & rfIgnoreCase) != 0;
    const String Haystack = IgnoreCase ? AnsiUpperCase(S) : S;
    const String Needle = IgnoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
    String R;
    size_t From = 0;
    while (From <= S.size()) {
        const size_t At = Haystack.find(Needle, From);
        if (At == String::npos)
            break;
        R.append(S, From, At - From);
        R += NewPattern;
        From = At + Needle.size();
        if (!(Flags & rfReplaceAll))
            break;
    }
    R.append(S, std::min(From, S.size()), String::npos);
    return R;
}

int LastDelimiter(const String& Delimiters, const String& S)
{
    const size_t P = S.find_last_of(Delimiters);
    return P == String::npos ? 0 : static_cast<int>(P) + 1;
}

bool IsDelimiter(const String& Delimiters, const String& S, int Index)
{
    if (Index < 1 || static_cast<size_t>(Index) > S.size())
        return false;
    return Delimiters.find(S[static_cast<size_t>(Index - 1)]) != String::npos;
}

String ExtractFilePath(const String& FileName)
{
    return Copy(FileName, 1, LastDelimiter("/\\", FileName));
}

String ExtractFileName(const String& FileName)
{
    return FileName.substr(static_cast<size_t>(LastDelimiter("/\\", FileName)));
}

String ExtractFileExt(const String& FileName)
{
    const int I = LastDelimiter("./\\", FileName);
    if (I > 0 && FileName[static_cast<size_t>(I - 1)] == '.')
        return FileName.substr(static_cast<size_t>(I - 1));
    return String();
}

String ChangeFileExt(const String& FileName, const String& Extension)
{
    const int I = LastDelimiter("./\\", FileName);
    if (I > 0 && FileName[static_cast<size_t>(I - 1)] == '.')
        return FileName.substr(0, static_cast<size_t>(I - 1)) + Extension;
    return FileName + Extension;
}

String IncludeTrailingPathDelimiter(const String& S)
{
    if (!S.empty() && ZenSysUtils::IsPathDelimiter(S.back()))
        return S;
    return S + '/';
}

bool FileExists(const String& FileName)
{
    if (FileName.empty())
        return false;
    String Path = FileName;
    std::replace(Path.begin(), Path.end(), '\\', '/');
    return QFileInfo(ToQString(Path)).isFile();
}

// ---------------------------------------------------------------- integers

String IntToStr(int Value)
{
    return ZenSysUtils::SignedDecimal(Value);
}

String IntToStr(int64_t Value)
{
    return ZenSysUtils::SignedDecimal(Value);
}

String IntToStr(unsigned Value)
{
    return ZenSysUtils::DecimalDigits(Value);
}

String IntToStr(uint64_t Value)
{
    return ZenSysUtils::DecimalDigits(Value);
}

String IntToHex(int Value, int Digits)
{
    return IntToHex(static_cast<unsigned>(Value), Digits);
}

String IntToHex(unsigned Value, int Digits)
{
    return ZenSysUtils::HexDigits(Value, Digits > 32 ? 0 : Digits);
}

String IntToHex(int64_t Value, int Digits)
{
    return IntToHex(static_cast<uint64_t>(Value), Digits);
}

String IntToHex(uint64_t Value, int Digits)
{
    return ZenSysUtils::HexDigits(Value, Digits > 32 ? 0 : Digits);
}

bool TryStrToInt(const String& S, int& Value)
{
    int64_t V;
    if (!ZenSysUtils::ScanInteger(S, 32, V))
        return false;
    Value = static_cast<int>(V);
    return true;
}

int StrToInt(const String& S)
{
    int V;
    if (!TryStrToInt(S, V))
        throw EConvertError("'" + S + "' is not a valid integer value");
    return V;
}

int StrToIntDef(const String& S, int Default)
{
    int V;
    return TryStrToInt(S, V) ? V : Default;
}

bool TryStrToInt64(const String& S, int64_t& Value)
{
    return ZenSysUtils::ScanInteger(S, 64, Value);
}

int64_t StrToInt64(const String& S)
{
    int64_t V;
    if (!TryStrToInt64(S, V))
        throw EConvertError("'" + S + "' is not a valid integer value");
    return V;
}

int64_t StrToInt64Def(const String& S, int64_t Default)
{
    int64_t V;
    return TryStrToInt64(S, V) ? V : Default;
}

String BoolToStr(bool B, bool UseBoolStrs)
{
    if (UseBoolStrs)
        return B ? "True" : "False";
    return B ? "-1" : "0";
}

bool TryStrToBool(const String& S, bool& Value)
{
    double Number;
    if (TryStrToFloat(S, Number)) {
        Value = Number != 0;
        return true;
    }
    if (SameText(S, "True")) {
        Value = true;
        return true;
    }
    if (SameText(S, "False")) {
        Value = false;
        return true;
    }
    return false;
}

bool StrToBool(const String& S)
{
    bool B;
    if (!TryStrToBool(S, B))
        throw EConvertError("'" + S + "' is not a valid boolean value");
    return B;
}

bool StrToBoolDef(const String& S, bool Default)
{
    bool B;
    return TryStrToBool(S, B) ? B : Default;
}

// ---------------------------------------------------------------- Format

String Format(const String& Fmt, std::initializer_list<TVarRec> Args)
{
    return Format(Fmt, Args, FormatSettings);
}

String Format(const String& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings)
{
    return ZenSysUtils::TFormatter(Fmt, Args.begin(), Args.size(), Settings).Run();
}
