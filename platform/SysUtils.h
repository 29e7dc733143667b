// Runtime library: the 8-bit string type, exceptions, locale settings and the
// string and integer conversions that the controls rely on for exact results.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class QString;
class QByteArray;
class QLocale;

// Strings are 8-bit character strings (Latin-1 when they meet Qt) with
// 1-based positions in the helpers below; position 0 means "not found".
using String = std::string;

// ---------------------------------------------------------------- exceptions

class Exception : public std::exception {
public:
    explicit Exception(String Message) : FMessage(std::move(Message)) {}
    const String& Message() const noexcept { return FMessage; }
    void SetMessage(String Value) { FMessage = std::move(Value); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    // Name of the exception class as the default exception display shows it.
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    String FMessage;
};

#define ZEN_DECLARE_EXCEPTION(Name, Base)                                       \
    class Name : public Base {                                                  \
    public:                                                                     \
        using Base::Base;                                                       \
        const char* ClassName() const noexcept override { return #Name; }       \
    }

ZEN_DECLARE_EXCEPTION(EAbort, Exception);
ZEN_DECLARE_EXCEPTION(EConvertError, Exception);
ZEN_DECLARE_EXCEPTION(EInvalidOperation, Exception);
ZEN_DECLARE_EXCEPTION(EInvalidCast, Exception);
ZEN_DECLARE_EXCEPTION(EListError, Exception);
ZEN_DECLARE_EXCEPTION(EOutOfResources, Exception);
ZEN_DECLARE_EXCEPTION(EOutOfMemory, Exception);
ZEN_DECLARE_EXCEPTION(EDatabaseError, Exception);
ZEN_DECLARE_EXCEPTION(EComponentError, Exception);
ZEN_DECLARE_EXCEPTION(EStreamError, Exception);
ZEN_DECLARE_EXCEPTION(EFCreateError, EStreamError);
ZEN_DECLARE_EXCEPTION(EFOpenError, EStreamError);
ZEN_DECLARE_EXCEPTION(EFilerError, EStreamError);
ZEN_DECLARE_EXCEPTION(EReadError, EFilerError);
ZEN_DECLARE_EXCEPTION(EWriteError, EFilerError);
ZEN_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
ZEN_DECLARE_EXCEPTION(EMathError, Exception);
ZEN_DECLARE_EXCEPTION(EZeroDivide, EMathError);
ZEN_DECLARE_EXCEPTION(EOverflow, EMathError);
ZEN_DECLARE_EXCEPTION(EInvalidOp, EMathError);

// Raises the silent exception that unwinds without being shown.
[[noreturn]] void Abort();

// ---------------------------------------------------------------- Qt meeting point

QString ToQString(const String& S);
String FromQString(const QString& S);

// ---------------------------------------------------------------- locale settings

// Number, currency and date formats of the locale, in one object. It is filled
// from the system locale at start-up; tests replace it with fixed values.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    String CurrencyString = "$";
    // 0 = "$1", 1 = "1$", 2 = "$ 1", 3 = "1 $"
    int CurrencyFormat = 0;
    // 0 = "($1)", 1 = "-$1", ... 15 = "(1 $)" as the runtime numbers them
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    String ShortDateFormat = "M/d/yyyy";
    String LongDateFormat = "dddd, MMMM d, yyyy";
    String TimeAMString = "AM";
    String TimePMString = "PM";
    String ShortTimeFormat = "h:mm AMPM";
    String LongTimeFormat = "h:mm:ss AMPM";
    String ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    String LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
    String ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    String LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    int TwoDigitYearCenturyWindow = 50;

    // Fixed United States English settings (the values above).
    static TFormatSettings Default();
    // Settings read from the system locale.
    static TFormatSettings FromSystemLocale();
    // Settings read from a Qt locale: separators (a character outside Latin-1
    // falls back to '.' or ','), currency symbol (its ISO code when the symbol is
    // not Latin-1) and layout, date and time formats converted to the runtime's
    // letters, AM/PM strings and month and day names (the English ones stay where
    // the locale's are not Latin-1). The "C" locale gives Default().
    static TFormatSettings FromLocale(const QLocale& Locale);
};

// The settings every conversion uses unless it is given others.
extern TFormatSettings FormatSettings;

// ---------------------------------------------------------------- strings (1-based positions)

int Length(const String& S);
// Position of the first occurrence of Sub in S; 0 when absent or Sub is empty.
int Pos(const String& Sub, const String& S);
// As Pos, searching from Offset on; 0 when Offset is outside 1..Length(S).
int PosEx(const String& Sub, const String& S, int Offset = 1);
// Count characters from Index; Index < 1 counts from 1, an Index past the end or
// a negative Count gives "".
String Copy(const String& S, int Index, int Count);
// Removes Count characters from Index; nothing when Index is outside the string.
void Delete(String& S, int Index, int Count);
// Inserts Sub before Index (clamped to 1..Length(S) + 1).
void Insert(const String& Sub, String& S, int Index);

String UpperCase(const String& S);     // a..z only
String LowerCase(const String& S);     // A..Z only
String AnsiUpperCase(const String& S); // Latin-1 letters too
String AnsiLowerCase(const String& S);
// Difference of the first differing characters, else of the lengths.
int CompareStr(const String& S1, const String& S2);
// As CompareStr with a..z taken as A..Z.
int CompareText(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);
// Locale-style comparison (-1, 0, 1): punctuation before digits before letters,
// accented letters beside their base letters, lower case before upper case.
int AnsiCompareStr(const String& S1, const String& S2);
// As AnsiCompareStr, ignoring case.
int AnsiCompareText(const String& S1, const String& S2);
bool AnsiSameText(const String& S1, const String& S2);

// Remove leading and/or trailing characters <= ' '.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);
String StringOfChar(char Ch, int Count);
String QuotedStr(const String& S);
String AnsiQuotedStr(const String& S, char Quote);
// The text between a leading Quote and its closing partner with doubled quotes
// made single; S itself when S does not start with Quote or the result is empty.
String AnsiDequotedStr(const String& S, char Quote);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags);

// Position of the last character of S that occurs in Delimiters; 0 when none.
int LastDelimiter(const String& Delimiters, const String& S);
bool IsDelimiter(const String& Delimiters, const String& S, int Index);

// File names: both '/' and '\' separate folders.
String ExtractFilePath(const String& FileName); // up to and including the last delimiter
String ExtractFileName(const String& FileName); // after the last delimiter
String ExtractFileExt(const String& FileName);  // from the last '.', with the '.'
String ChangeFileExt(const String& FileName, const String& Extension);
String IncludeTrailingPathDelimiter(const String& S);
// True for an existing file that is not a folder ('\' is read as '/').
bool FileExists(const String& FileName);

// ---------------------------------------------------------------- integers

String IntToStr(int Value);
String IntToStr(int64_t Value);
String IntToStr(unsigned Value);
String IntToStr(uint64_t Value);
// Upper-case hexadecimal with at least Digits digits; negative values show as
// the two's complement of the argument's width (32 or 64 bits).
String IntToHex(int Value, int Digits);
String IntToHex(unsigned Value, int Digits);
String IntToHex(int64_t Value, int Digits);
String IntToHex(uint64_t Value, int Digits);

// Integer text: leading blanks, an optional sign, decimal digits or hexadecimal
// digits after '$', 'x' or '0x'; nothing may follow. Decimal values must fit the
// signed range, hexadecimal ones the unsigned range of the width (and wrap).
bool TryStrToInt(const String& S, int& Value);
int StrToInt(const String& S); // EConvertError "'S' is not a valid integer value"
int StrToIntDef(const String& S, int Default);
bool TryStrToInt64(const String& S, int64_t& Value);
int64_t StrToInt64(const String& S);
int64_t StrToInt64Def(const String& S, int64_t Default);

// "-1"/"0", or "True"/"False" when UseBoolStrs is set.
String BoolToStr(bool B, bool UseBoolStrs = false);
// A number (non-zero is true) or "True"/"False" in any case.
bool TryStrToBool(const String& S, bool& Value);
bool StrToBool(const String& S); // EConvertError "'S' is not a valid boolean value"
bool StrToBoolDef(const String& S, bool Default);

// ---------------------------------------------------------------- Format

// One argument of Format: an integer, a floating-point value, a string, a
// character, a boolean or a pointer, taken implicitly from the C++ value.
struct TVarRec {
    enum TKind { vtInteger, vtInt64, vtUInt64, vtExtended, vtString, vtChar, vtBoolean, vtPointer };

    TVarRec(int V) : Kind(vtInteger), Int(V) {}
    TVarRec(unsigned V) : Kind(vtInt64), Int(V) {}
    TVarRec(long V) : Kind(vtInt64), Int(V) {}
    TVarRec(long long V) : Kind(vtInt64), Int(V) {}
    TVarRec(unsigned long V) : Kind(vtUInt64), UInt(V) {}
    TVarRec(unsigned long long V) : Kind(vtUInt64), UInt(V) {}
    TVarRec(double V) : Kind(vtExtended), Float(V) {}
    TVarRec(long double V) : Kind(vtExtended), Float(static_cast<double>(V)) {}
    TVarRec(char V) : Kind(vtChar), Char(V) {}
    TVarRec(bool V) : Kind(vtBoolean), Bool(V) {}
    TVarRec(const char* V) : Kind(vtString), Str(V ? std::string_view(V) : std::string_view()) {}
    TVarRec(const String& V) : Kind(vtString), Str(V) {}
    TVarRec(std::string_view V) : Kind(vtString), Str(V) {}
    TVarRec(const void* V) : Kind(vtPointer), Pointer(V) {}

    TKind Kind;
    union {
        int64_t Int;
        uint64_t UInt;
        double Float;
        char Char;
        bool Bool;
        const void* Pointer;
    };
    std::string_view Str;
};

// The runtime's format language: %[index:][-][width][.precision]type with the
// types d u x (integers; precision = minimum digits), e f g n m (floating point),
// s (precision = maximum characters), p (pointer) and %% for '%'; '*' takes a
// width, precision or index from the arguments. Raises EConvertError
// "Format '...' invalid or incompatible with argument" for a bad specifier or an
// argument of the wrong kind and "No argument for format '...'" when the
// arguments run out.
String Format(const String& Fmt, std::initializer_list<TVarRec> Args);
String Format(const String& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings);
