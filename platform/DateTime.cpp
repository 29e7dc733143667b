// Dates and times: encoding, decoding, FormatDateTime and the date/time parsers
// with the runtime's rules.
#include "DateTime.h"

#include <QDateTime>

#include <cmath>
#include <cstring>

// Named rather than anonymous: the library is built as a unity build.
namespace ZenDateTime {

const int MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                              {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// A date-time split into whole days (1 = 0001-01-01) and milliseconds of the day.
struct TTimeStamp {
    int64_t Date;
    int Time;
};

TTimeStamp ToTimeStamp(TDateTime DateTime)
{
    const double Ms = std::nearbyint(DateTime * MSecsPerDay);
    if (!std::isfinite(Ms) || std::fabs(Ms) >= 9.0e18)
        throw EConvertError("Date and time value out of range");
    const int64_t Total = static_cast<int64_t>(Ms);
    // The fraction is the time of day whatever the sign of the value.
    const int64_t Abs = Total < 0 ? -Total : Total;
    int64_t Days = Abs / MSecsPerDay;
    if (Total < 0)
        Days = -Days;
    return {Days + DateDelta, static_cast<int>(Abs % MSecsPerDay)};
}

void DecodeDays(int64_t Date, int& Year, int& Month, int& Day)
{
    if (Date <= 0) {
        Year = Month = Day = 0;
        return;
    }
    constexpr int64_t D1 = 365;
    constexpr int64_t D4 = D1 * 4 + 1;
    constexpr int64_t D100 = D4 * 25 - 1;
    constexpr int64_t D400 = D100 * 4 + 1;
    int64_t T = Date - 1;
    int64_t Y = 1;
    Y += T / D400 * 400;
    T %= D400;
    int64_t I = T / D100;
    int64_t D = T % D100;
    if (I == 4) {
        --I;
        D += D100;
    }
    Y += I * 100;
    Y += D / D4 * 4;
    D %= D4;
    I = D / D1;
    D %= D1;
    if (I == 4) {
        --I;
        D += D1;
    }
    Y += I;
    Year = static_cast<int>(Y);
    const int* Table = MonthDays[IsLeapYear(Year) ? 1 : 0];
    int M = 0;
    while (D >= Table[M]) {
        D -= Table[M];
        ++M;
    }
    Month = M + 1;
    Day = static_cast<int>(D) + 1;
}

int DayOfWeekOf(int64_t Date)
{
    return static_cast<int>(((Date % 7) + 7) % 7) + 1;
}

bool StartsWithText(const char* P, const char* End, const char* Text)
{
    const size_t N = std::strlen(Text);
    if (static_cast<size_t>(End - P) < N)
        return false;
    for (size_t I = 0; I < N; ++I) {
        char C = P[I];
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
        if (C != Text[I])
            return false;
    }
    return true;
}

String Number(int Value, int Digits)
{
    String Text = IntToStr(Value < 0 ? -Value : Value);
    if (static_cast<int>(Text.size()) < Digits)
        Text.insert(0, static_cast<size_t>(Digits) - Text.size(), '0');
    if (Value < 0)
        Text.insert(0, 1, '-');
    return Text;
}

class TDateFormatter {
public:
    TDateFormatter(TDateTime DateTime, const TFormatSettings& Settings) : FDateTime(DateTime), FSettings(Settings) {}

    String Run(const String& Format)
    {
        Append(Format.empty() ? String("C") : Format);
        return FResult;
    }

private:
    void GetDate()
    {
        if (FDateDecoded)
            return;
        DecodeDays(ToTimeStamp(FDateTime).Date, FYear, FMonth, FDay);
        FDateDecoded = true;
    }

    void GetTime()
    {
        if (FTimeDecoded)
            return;
        int Ms = ToTimeStamp(FDateTime).Time;
        FHour = Ms / 3600000;
        Ms %= 3600000;
        FMin = Ms / 60000;
        Ms %= 60000;
        FSec = Ms / 1000;
        FMSec = Ms % 1000;
        FTimeDecoded = true;
    }

    int WeekDay() { return DayOfWeekOf(ToTimeStamp(FDateTime).Date); }

    void Append(const String& Format)
    {
        // Formats nest (ddddd, c, t) at most two levels deep.
        if (FLevel >= 2)
            return;
        ++FLevel;
        char LastToken = ' ';
        bool Use12HourClock = false;
        const char* F = Format.data();
        const char* const End = F + Format.size();
        while (F < End) {
            const char Starter = *F++;
            char Token = Starter;
            if (Token >= 'a' && Token <= 'z')
                Token = static_cast<char>(Token - 32);
            if (Token >= 'A' && Token <= 'Z') {
                if (Token == 'M' && LastToken == 'H')
                    Token = 'N';
                LastToken = Token;
            }
            auto GetCount = [&] {
                const char* P = F;
                while (F < End && *F == Starter)
                    ++F;
                return static_cast<int>(F - P) + 1;
            };
            switch (Token) {
            case 'Y': {
                const int Count = GetCount();
                GetDate();
                FResult += Count <= 2 ? Number(FYear % 100, 2) : Number(FYear, 4);
                break;
            }
            case 'G':
                GetCount();
                GetDate();
                if (FYear > 0)
                    FResult += "A.D.";
                break;
            case 'E': {
                // Year of the (Gregorian) era.
                const int Count = GetCount();
                GetDate();
                if (Count <= 2) {
                    const String Two = Number(FYear % 100, 2);
                    FResult += Count == 1 && Two[0] == '0' ? Two.substr(1) : Two;
                } else {
                    FResult += Number(FYear, 4);
                }
                break;
            }
            case 'M': {
                const int Count = GetCount();
                GetDate();
                if (Count <= 2)
                    FResult += Number(FMonth, Count);
                else if (FMonth >= 1)
                    FResult += Count == 3 ? FSettings.ShortMonthNames[FMonth - 1] : FSettings.LongMonthNames[FMonth - 1];
                break;
            }
            case 'D': {
                const int Count = GetCount();
                if (Count <= 2) {
                    GetDate();
                    FResult += Number(FDay, Count);
                } else if (Count == 3) {
                    FResult += FSettings.ShortDayNames[WeekDay() - 1];
                } else if (Count == 4) {
                    FResult += FSettings.LongDayNames[WeekDay() - 1];
                } else if (Count == 5) {
                    Append(FSettings.ShortDateFormat);
                } else {
                    Append(FSettings.LongDateFormat);
                }
                break;
            }
            case 'H': {
                int Count = GetCount();
                GetTime();
                // A 12-hour clock when the next a/A (before any h/H, outside
                // quotes) starts an am/pm specifier.
                bool BetweenQuotes = false;
                for (const char* P = F; P < End; ++P) {
                    const char C = *P;
                    if ((C == 'A' || C == 'a') && !BetweenQuotes) {
                        if (StartsWithText(P, End, "AM/PM") || StartsWithText(P, End, "A/P") ||
                            StartsWithText(P, End, "AMPM"))
                            Use12HourClock = true;
                        break;
                    }
                    if (C == 'H' || C == 'h')
                        break;
                    if (C == '\'' || C == '"')
                        BetweenQuotes = !BetweenQuotes;
                }
                int H = FHour;
                if (Use12HourClock) {
                    if (H == 0)
                        H = 12;
                    else if (H > 12)
                        H -= 12;
                }
                if (Count > 2)
                    Count = 2;
                FResult += Number(H, Count);
                break;
            }
            case 'N': {
                const int Count = GetCount();
                GetTime();
                FResult += Number(FMin, Count > 2 ? 2 : Count);
                break;
            }
            case 'S': {
                const int Count = GetCount();
                GetTime();
                FResult += Number(FSec, Count > 2 ? 2 : Count);
                break;
            }
            case 'T': {
                const int Count = GetCount();
                Append(Count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat);
                break;
            }
            case 'Z': {
                const int Count = GetCount();
                GetTime();
                FResult += Number(FMSec, Count > 3 ? 3 : Count);
                break;
            }
            case 'A': {
                const char* P = F - 1;
                if (StartsWithText(P, End, "AM/PM")) {
                    GetTime();
                    FResult.append(FHour >= 12 ? P + 3 : P, 2);
                    F += 4;
                    Use12HourClock = true;
                } else if (StartsWithText(P, End, "A/P")) {
                    GetTime();
                    FResult += FHour >= 12 ? P[2] : P[0];
                    F += 2;
                    Use12HourClock = true;
                } else if (StartsWithText(P, End, "AMPM")) {
                    GetTime();
                    FResult += FHour < 12 ? FSettings.TimeAMString : FSettings.TimePMString;
                    F += 3;
                    Use12HourClock = true;
                } else if (StartsWithText(P, End, "AAAA")) {
                    FResult += FSettings.LongDayNames[WeekDay() - 1];
                    F += 3;
                } else if (StartsWithText(P, End, "AAA")) {
                    FResult += FSettings.ShortDayNames[WeekDay() - 1];
                    F += 2;
                } else {
                    FResult += Starter;
                }
                break;
            }
            case 'C':
                GetCount();
                Append(FSettings.ShortDateFormat);
                GetTime();
                if (FHour != 0 || FMin != 0 || FSec != 0) {
                    FResult += ' ';
                    Append(FSettings.LongTimeFormat);
                }
                break;
            case '/':
                if (FSettings.DateSeparator != 0)
                    FResult += FSettings.DateSeparator;
                break;
            case ':':
                if (FSettings.TimeSeparator != 0)
                    FResult += FSettings.TimeSeparator;
                break;
            case '\'':
            case '"': {
                const char* P = F;
                while (F < End && *F != Starter)
                    ++F;
                FResult.append(P, static_cast<size_t>(F - P));
                if (F < End)
                    ++F;
                break;
            }
            default:
                FResult += Starter;
                break;
            }
        }
        --FLevel;
    }

    TDateTime FDateTime;
    const TFormatSettings& FSettings;
    String FResult;
    int FLevel = 0;
    bool FDateDecoded = false;
    bool FTimeDecoded = false;
    int FYear = 0, FMonth = 0, FDay = 0;
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
};

// ---- parsing

class TDateScanner {
public:
    TDateScanner(const String& S, const TFormatSettings& Settings) : FS(S), FSettings(Settings) {}

    bool AtEnd() const { return FPos >= FS.size(); }

    void ScanBlanks()
    {
        while (FPos < FS.size() && FS[FPos] == ' ')
            ++FPos;
    }

    void ScanToNumber()
    {
        while (FPos < FS.size() && !(FS[FPos] >= '0' && FS[FPos] <= '9'))
            ++FPos;
    }

    // Up to four digits after optional blanks.
    bool ScanNumber(int& Number, int& CharCount)
    {
        ScanBlanks();
        size_t I = FPos;
        int N = 0;
        while (I < FS.size() && FS[I] >= '0' && FS[I] <= '9' && N < 1000) {
            N = N * 10 + (FS[I] - '0');
            ++I;
        }
        if (I == FPos)
            return false;
        CharCount = static_cast<int>(I - FPos);
        FPos = I;
        Number = N;
        return true;
    }

    bool ScanChar(char Ch)
    {
        ScanBlanks();
        if (FPos < FS.size() && FS[FPos] == Ch) {
            ++FPos;
            return true;
        }
        return false;
    }

    bool ScanString(const String& Symbol)
    {
        if (Symbol.empty())
            return false;
        ScanBlanks();
        if (AnsiSameText(Symbol, Copy(FS, static_cast<int>(FPos) + 1, Length(Symbol)))) {
            FPos += Symbol.size();
            return true;
        }
        return false;
    }

    bool ScanDate(TDateTime& Date)
    {
        enum { doMDY, doDMY, doYMD } Order = doMDY;
        for (const char C : FSettings.ShortDateFormat) {
            const char U = static_cast<char>(static_cast<unsigned char>(C) & 0xDF);
            if (U == 'E' || U == 'Y') {
                Order = doYMD;
                break;
            }
            if (U == 'M') {
                Order = doMDY;
                break;
            }
            if (U == 'D') {
                Order = doDMY;
                break;
            }
        }
        if (!FSettings.ShortDateFormat.empty() && FSettings.ShortDateFormat[0] == 'g')
            ScanToNumber(); // skip the era name
        int N1, N2, N3, L1, L2, L3;
        if (!(ScanNumber(N1, L1) && ScanChar(FSettings.DateSeparator) && ScanNumber(N2, L2)))
            return false;
        int Y, M, D;
        if (ScanChar(FSettings.DateSeparator)) {
            if (!ScanNumber(N3, L3))
                return false;
            int YearLen;
            switch (Order) {
            case doMDY: Y = N3; YearLen = L3; M = N1; D = N2; break;
            case doDMY: Y = N3; YearLen = L3; M = N2; D = N1; break;
            default: Y = N1; YearLen = L1; M = N2; D = N3; break;
            }
            if (YearLen <= 2) {
                const int Window = FSettings.TwoDigitYearCenturyWindow;
                const int CenturyBase = QDate::currentDate().year() - Window;
                Y += CenturyBase / 100 * 100;
                if (Window > 0 && Y < CenturyBase)
                    Y += 100;
            }
        } else {
            Y = QDate::currentDate().year();
            if (Order == doDMY) {
                D = N1;
                M = N2;
            } else {
                M = N1;
                D = N2;
            }
        }
        ScanChar(FSettings.DateSeparator);
        ScanBlanks();
        return TryEncodeDate(Y, M, D, Date);
    }

    bool ScanTime(TDateTime& Time)
    {
        int BaseHour = -1;
        if (ScanString(FSettings.TimeAMString) || ScanString("AM"))
            BaseHour = 0;
        else if (ScanString(FSettings.TimePMString) || ScanString("PM"))
            BaseHour = 12;
        if (BaseHour >= 0)
            ScanBlanks();
        int Hour, Min = 0, Sec = 0, MSec = 0, Junk;
        if (!ScanNumber(Hour, Junk))
            return false;
        if (ScanChar(FSettings.TimeSeparator)) {
            if (!ScanNumber(Min, Junk))
                return false;
            if (ScanChar(FSettings.TimeSeparator)) {
                if (!ScanNumber(Sec, Junk))
                    return false;
                if (ScanChar(FSettings.DecimalSeparator) && !ScanNumber(MSec, Junk))
                    return false;
            }
        }
        if (BaseHour < 0) {
            if (ScanString(FSettings.TimeAMString) || ScanString("AM"))
                BaseHour = 0;
            else if (ScanString(FSettings.TimePMString) || ScanString("PM"))
                BaseHour = 12;
        }
        if (BaseHour >= 0) {
            if (Hour == 0 || Hour > 12)
                return false;
            if (Hour == 12)
                Hour = 0;
            Hour += BaseHour;
        }
        ScanBlanks();
        return TryEncodeTime(Hour, Min, Sec, MSec, Time);
    }

private:
    const String& FS;
    const TFormatSettings& FSettings;
    size_t FPos = 0;
};

} // namespace ZenDateTime


bool IsLeapYear(int Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInAMonth(int Year, int Month)
{
    if (Month < 1 || Month > 12)
        return 0;
    return ZenDateTime::MonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    const int* Table = ZenDateTime::MonthDays[IsLeapYear(Year) ? 1 : 0];
    for (int M = 0; M < Month - 1; ++M)
        Day += Table[M];
    const int I = Year - 1;
    Value = I * 365 + I / 4 - I / 100 + I / 400 + Day - DateDelta;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    TDateTime Value;
    if (!TryEncodeDate(Year, Month, Day, Value))
        throw EConvertError("Invalid argument to date encode");
    return Value;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value)
{
    const bool Valid = Hour >= 0 && Min >= 0 && Sec >= 0 && MSec >= 0 &&
                       ((Hour < HoursPerDay && Min < 60 && Sec < 60 && MSec < 1000) ||
                        (Hour == HoursPerDay && Min == 0 && Sec == 0 && MSec == 0));
    if (!Valid)
        return false;
    Value = (Hour * 3600000 + Min * 60000 + Sec * 1000 + MSec) / static_cast<double>(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    TDateTime Value;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, Value))
        throw EConvertError("Invalid argument to time encode");
    return Value;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day)
{
    ZenDateTime::DecodeDays(ZenDateTime::ToTimeStamp(Value).Date, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec)
{
    int Ms = ZenDateTime::ToTimeStamp(Value).Time;
    Hour = Ms / 3600000;
    Ms %= 3600000;
    Min = Ms / 60000;
    Ms %= 60000;
    Sec = Ms / 1000;
    MSec = Ms % 1000;
}

int DayOfWeek(TDateTime Value)
{
    return ZenDateTime::DayOfWeekOf(ZenDateTime::ToTimeStamp(Value).Date);
}

TDateTime Now()
{
    const QDateTime Current = QDateTime::currentDateTime();
    const QDate D = Current.date();
    const QTime T = Current.time();
    return EncodeDate(D.year(), D.month(), D.day()) + EncodeTime(T.hour(), T.minute(), T.second(), T.msec());
}

TDateTime Date()
{
    const QDate D = QDate::currentDate();
    return EncodeDate(D.year(), D.month(), D.day());
}

TDateTime Time()
{
    const QTime T = QTime::currentTime();
    return EncodeTime(T.hour(), T.minute(), T.second(), T.msec());
}

String FormatDateTime(const String& Format, TDateTime DateTime)
{
    return FormatDateTime(Format, DateTime, FormatSettings);
}

String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings)
{
    return ZenDateTime::TDateFormatter(DateTime, Settings).Run(Format);
}

String DateToStr(TDateTime Value)
{
    return DateToStr(Value, FormatSettings);
}

String DateToStr(TDateTime Value, const TFormatSettings& Settings)
{
    return FormatDateTime(Settings.ShortDateFormat, Value, Settings);
}

String TimeToStr(TDateTime Value)
{
    return TimeToStr(Value, FormatSettings);
}

String TimeToStr(TDateTime Value, const TFormatSettings& Settings)
{
    return FormatDateTime(Settings.LongTimeFormat, Value, Settings);
}

String DateTimeToStr(TDateTime Value)
{
    return DateTimeToStr(Value, FormatSettings);
}

String DateTimeToStr(TDateTime Value, const TFormatSettings& Settings)
{
    return FormatDateTime("c", Value, Settings);
}

bool TryStrToDate(const String& S, TDateTime& Value)
{
    return TryStrToDate(S, Value, FormatSettings);
}

bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings)
{
    ZenDateTime::TDateScanner Scanner(S, Settings);
    TDateTime D;
    if (!Scanner.ScanDate(D) || !Scanner.AtEnd())
        return false;
    Value = D;
    return true;
}

TDateTime StrToDate(const String& S)
{
    return StrToDate(S, FormatSettings);
}

TDateTime StrToDate(const String& S, const TFormatSettings& Settings)
{
    TDateTime Value;
    if (!TryStrToDate(S, Value, Settings))
        throw EConvertError("'" + S + "' is not a valid date");
    return Value;
}

bool TryStrToTime(const String& S, TDateTime& Value)
{
    return TryStrToTime(S, Value, FormatSettings);
}

bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings)
{
    ZenDateTime::TDateScanner Scanner(S, Settings);
    TDateTime T;
    if (!Scanner.ScanTime(T) || !Scanner.AtEnd())
        return false;
    Value = T;
    return true;
}

TDateTime StrToTime(const String& S)
{
    return StrToTime(S, FormatSettings);
}

TDateTime StrToTime(const String& S, const TFormatSettings& Settings)
{
    TDateTime Value;
    if (!TryStrToTime(S, Value, Settings))
        throw EConvertError("'" + S + "' is not a valid time");
    return Value;
}

bool TryStrToDateTime(const String& S, TDateTime& Value)
{
    return TryStrToDateTime(S, Value, FormatSettings);
}

bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings)
{
    ZenDateTime::TDateScanner Scanner(S, Settings);
    TDateTime D;
    if (Scanner.ScanDate(D)) {
        TDateTime T = 0;
        if (Scanner.AtEnd() || (Scanner.ScanTime(T) && Scanner.AtEnd())) {
            Value = D >= 0 ? D + T : D - T;
            return true;
        }
    }
    return TryStrToTime(S, Value, Settings);
}

TDateTime StrToDateTime(const String& S)
{
    return StrToDateTime(S, FormatSettings);
}

TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings)
{
    TDateTime Value;
    if (!TryStrToDateTime(S, Value, Settings))
        throw EConvertError("'" + S + "' is not a valid date and time");
    return Value;
}
