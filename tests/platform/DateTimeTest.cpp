// Date/time encoding, decoding, FormatDateTime and the date/time parsers.
#include <gtest/gtest.h>

#include "DateTime.h"

#include <QDate>

#include <cmath>
#include <functional>

namespace {

// Saturday, 7 March 2009, 14:05:09.045
TDateTime Sample()
{
    return EncodeDate(2009, 3, 7) + EncodeTime(14, 5, 9, 45);
}

String ConvertError(const std::function<void()>& Call)
{
    try {
        Call();
    } catch (const EConvertError& E) {
        return E.Message();
    }
    return "(no EConvertError)";
}

} // namespace

TEST(DateTimeTest, EncodeDateGivesDaysSince1899)
{
    struct Case {
        int Y, M, D;
        double Days;
        int DayOfWeek;
    };
    const Case Cases[] = {
        {1899, 12, 30, 0, 7},      {1899, 12, 31, 1, 1},      {1900, 1, 1, 2, 2},
        {1900, 2, 28, 60, 4},      {1900, 3, 1, 61, 5},       {2000, 1, 1, 36526, 7},
        {2000, 2, 29, 36585, 3},   {2000, 3, 1, 36586, 4},    {2024, 1, 1, 45292, 2},
        {1, 1, 1, -693593, 2},     {9999, 12, 31, 2958465, 6}, {1600, 2, 29, -109512, 3},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(IntToStr(C.Y) + "-" + IntToStr(C.M) + "-" + IntToStr(C.D));
        const TDateTime D = EncodeDate(C.Y, C.M, C.D);
        EXPECT_EQ(D, C.Days);
        EXPECT_EQ(DayOfWeek(D), C.DayOfWeek);
        // A time of day adds to the days, or subtracts before 1899-12-30.
        const TDateTime Afternoon = D >= 0 ? D + 0.75 : D - 0.75;
        EXPECT_EQ(DayOfWeek(Afternoon), C.DayOfWeek);
        int Y, M, Day;
        DecodeDate(Afternoon, Y, M, Day);
        EXPECT_EQ(Y, C.Y);
        EXPECT_EQ(M, C.M);
        EXPECT_EQ(Day, C.D);
    }
}

TEST(DateTimeTest, EveryDayRoundTrips)
{
    // Decode every day of the valid range and encode it again; consecutive days
    // must advance the calendar by exactly one day.
    int PrevY = 0, PrevM = 0, PrevD = 0;
    for (int Days = -693593; Days <= 2958465; ++Days) {
        int Y, M, D;
        DecodeDate(Days, Y, M, D);
        TDateTime Back;
        ASSERT_TRUE(TryEncodeDate(Y, M, D, Back)) << Days;
        ASSERT_EQ(Back, Days);
        if (PrevY != 0) {
            const bool NextDay = Y == PrevY && M == PrevM && D == PrevD + 1;
            const bool NextMonth = Y == PrevY && M == PrevM + 1 && D == 1 && PrevD == DaysInAMonth(PrevY, PrevM);
            const bool NextYear = Y == PrevY + 1 && M == 1 && D == 1 && PrevM == 12 && PrevD == 31;
            ASSERT_TRUE(NextDay || NextMonth || NextYear) << Days;
        }
        PrevY = Y;
        PrevM = M;
        PrevD = D;
    }
}

TEST(DateTimeTest, InvalidDatesAndLeapYears)
{
    struct Case {
        int Y, M, D;
    };
    const Case Invalid[] = {{1900, 2, 29}, {2023, 2, 29}, {2100, 2, 29}, {0, 1, 1},  {10000, 1, 1},
                            {2020, 13, 1}, {2020, 0, 1},  {2020, 4, 31}, {2020, 1, 0}, {2020, 1, 32},
                            {-5, 1, 1}};
    for (const Case& C : Invalid) {
        TDateTime D = 123;
        EXPECT_FALSE(TryEncodeDate(C.Y, C.M, C.D, D)) << C.Y << "-" << C.M << "-" << C.D;
        EXPECT_EQ(D, 123);
        EXPECT_EQ(ConvertError([&] { EncodeDate(C.Y, C.M, C.D); }), "Invalid argument to date encode");
    }

    const std::pair<int, bool> Years[] = {{1600, true}, {1700, false}, {1900, false}, {2000, true},
                                          {2023, false}, {2024, true}, {2100, false}, {4, true}};
    for (const auto& [Year, Leap] : Years) {
        EXPECT_EQ(IsLeapYear(Year), Leap) << Year;
        EXPECT_EQ(DaysInAMonth(Year, 2), Leap ? 29 : 28) << Year;
    }
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInAMonth(2023, 13), 0);

    // Before 0001-01-01 nothing decodes.
    int Y = 1, M = 1, D = 1;
    DecodeDate(EncodeDate(1, 1, 1) - 1, Y, M, D);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 0);

    EXPECT_THROW(DecodeDate(NAN, Y, M, D), EConvertError);
    EXPECT_THROW(DecodeDate(1e300, Y, M, D), EConvertError);
}

TEST(DateTimeTest, EncodeAndDecodeTime)
{
    struct Case {
        int H, N, S, Ms;
    };
    const Case Valid[] = {{0, 0, 0, 0}, {12, 0, 0, 0}, {23, 59, 59, 999}, {14, 5, 9, 45}, {24, 0, 0, 0}};
    for (const Case& C : Valid) {
        const TDateTime T = EncodeTime(C.H, C.N, C.S, C.Ms);
        EXPECT_DOUBLE_EQ(T, (C.H * 3600000.0 + C.N * 60000.0 + C.S * 1000.0 + C.Ms) / MSecsPerDay);
        if (C.H < 24) {
            int H, N, S, Ms;
            DecodeTime(T + 40000, H, N, S, Ms);
            EXPECT_EQ(H * 10000000 + N * 100000 + S * 1000 + Ms, C.H * 10000000 + C.N * 100000 + C.S * 1000 + C.Ms);
        }
    }
    const Case Invalid[] = {{24, 0, 0, 1}, {25, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const Case& C : Invalid)
        EXPECT_EQ(ConvertError([&] { EncodeTime(C.H, C.N, C.S, C.Ms); }), "Invalid argument to time encode")
            << C.H << ":" << C.N << ":" << C.S << "." << C.Ms;

    // Negative values: the date counts back, the fraction is still the time of day.
    int Y, M, D, H, N, S, Ms;
    DecodeDate(-1.25, Y, M, D);
    DecodeTime(-1.25, H, N, S, Ms);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 18991229);
    EXPECT_EQ(H, 6);
    // Times round to the millisecond, carrying into the next day.
    DecodeDate(36526.9999999999, Y, M, D);
    DecodeTime(36526.9999999999, H, N, S, Ms);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 20000102);
    EXPECT_EQ(H + N + S + Ms, 0);
}

TEST(DateTimeTest, CurrentDateAndTime)
{
    const QDate Today = QDate::currentDate();
    const TDateTime D = Date();
    EXPECT_EQ(D, std::floor(D));
    const TDateTime N = Now();
    // Allow for midnight passing between the calls.
    EXPECT_GE(N, D);
    EXPECT_LT(N, D + 2);
    EXPECT_GE(Time(), 0);
    EXPECT_LT(Time(), 1);
    int Y, M, Day;
    DecodeDate(D, Y, M, Day);
    EXPECT_LE(std::abs(QDate(Y, M, Day).daysTo(Today)), 1);
}

TEST(DateTimeTest, FormatDateTimeSpecifiers)
{
    const TDateTime T = Sample();
    const TDateTime Midnight = EncodeDate(2009, 3, 7);
    struct Case {
        const char* Format;
        TDateTime Value;
        const char* Want;
    };
    const Case Cases[] = {
        {"d", T, "7"},
        {"dd", T, "07"},
        {"ddd", T, "Sat"},
        {"dddd", T, "Saturday"},
        {"ddddd", T, "3/7/2009"},
        {"dddddd", T, "Saturday, March 7, 2009"},
        {"Dd", T, "77"},
        {"aaa aaaa", T, "Sat Saturday"},
        {"m", T, "3"},
        {"mm", T, "03"},
        {"mmm", T, "Mar"},
        {"mmmm", T, "March"},
        {"MMMMM", T, "March"},
        {"y", T, "09"},
        {"yy", T, "09"},
        {"yyy", T, "2009"},
        {"yyyy", T, "2009"},
        {"e", T, "9"},
        {"ee", T, "09"},
        {"eee", T, "2009"},
        {"g", T, "A.D."},
        {"h", T, "14"},
        {"hh", EncodeTime(9, 0, 0, 0), "09"},
        {"n", T, "5"},
        {"nn", T, "05"},
        {"s", T, "9"},
        {"ss", T, "09"},
        {"nnn:sss", T, "05:09"},
        {"z", T, "45"},
        {"zz", EncodeTime(0, 0, 0, 5), "05"},
        {"zzz", T, "045"},
        {"zzzz", T, "045"},
        {"t", T, "2:05 PM"},
        {"tt", T, "2:05:09 PM"},
        // m right after h or hh (separators between them allowed) is minutes
        {"h:m", T, "14:5"},
        {"hh:mm:ss", T, "14:05:09"},
        {"hh mm", T, "14 05"},
        {"hh d m", T, "14 7 3"},
        {"mm/dd/yyyy hh:nn", T, "03/07/2009 14:05"},
        // am/pm
        {"h:nn am/pm", T, "2:05 pm"},
        {"h:nn AM/PM", T, "2:05 PM"},
        {"h Am/pM", EncodeTime(9, 0, 0, 0), "9 Am"},
        {"h Am/pM", T, "2 pM"},
        {"h a/p", T, "2 p"},
        {"h A/P", EncodeTime(1, 0, 0, 0), "1 A"},
        {"hh ampm", T, "02 PM"},
        {"h ampm", Midnight, "12 AM"},
        {"h ampm", EncodeTime(12, 30, 0, 0), "12 PM"},
        {"h ampm", EncodeTime(23, 0, 0, 0), "11 PM"},
        {"h 'am/pm'", T, "14 am/pm"},
        {"h \"x\" ampm", T, "2 x PM"},
        {"h aaa", T, "14 Sat"},
        {"ampm h", T, "PM 2"},
        // literal text
        {"'Date:' d", T, "Date: 7"},
        {"\"m\" m", T, "m 3"},
        {"'it\"s' d", T, "it\"s 7"},
        {"'open", T, "open"},
        {"bx #", T, "bx #"},
        {"d/m", T, "7/3"},
        // c: short date, plus long time when there is a time
        {"c", T, "3/7/2009 2:05:09 PM"},
        {"c", Midnight, "3/7/2009"},
        {"c", Midnight + EncodeTime(0, 0, 0, 500), "3/7/2009"},
        {"", T, "3/7/2009 2:05:09 PM"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatDateTime(C.Format, C.Value), C.Want) << C.Format;
}

TEST(DateTimeTest, FormatDateTimeUsesTheSettings)
{
    TFormatSettings S = TFormatSettings::Default();
    S.DateSeparator = '-';
    S.TimeSeparator = '.';
    S.ShortDateFormat = "yyyy/mm/dd";
    S.LongTimeFormat = "hh:nn:ss";
    S.ShortTimeFormat = "hh:nn";
    S.TimeAMString = "vorm.";
    S.TimePMString = "nachm.";
    S.LongMonthNames[2] = "M\xE4rz";
    S.ShortDayNames[6] = "Sa";
    const TDateTime T = Sample();
    EXPECT_EQ(FormatDateTime("c", T, S), "2009-03-07 14.05.09");
    EXPECT_EQ(FormatDateTime("t", T, S), "14.05");
    EXPECT_EQ(FormatDateTime("d mmmm ddd", T, S), "7 M\xE4rz Sa");
    EXPECT_EQ(FormatDateTime("h ampm", T, S), "2 nachm.");
    EXPECT_EQ(DateToStr(T, S), "2009-03-07");
    EXPECT_EQ(TimeToStr(T, S), "14.05.09");
    EXPECT_EQ(DateTimeToStr(T, S), "2009-03-07 14.05.09");

    S.DateSeparator = 0;
    EXPECT_EQ(FormatDateTime("d/m", T, S), "73");

    // Formats nest two levels deep at most, so a format naming itself ends.
    S.ShortDateFormat = "c";
    EXPECT_EQ(FormatDateTime("c", T, S), "  14.05.09");

    EXPECT_EQ(DateToStr(T), "3/7/2009");
    EXPECT_EQ(TimeToStr(T), "2:05:09 PM");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2009, 3, 7)), "3/7/2009");
}

TEST(DateTimeTest, StrToDateFollowsTheShortDateOrder)
{
    const int ThisYear = QDate::currentDate().year();
    struct Case {
        const char* Text;
        int Y, M, D; // Y == 0: invalid
    };
    const Case Cases[] = {
        {"3/7/2009", 2009, 3, 7},
        {"03/07/2009", 2009, 3, 7},
        {" 3 / 7 / 2009 ", 2009, 3, 7},
        {"3/7/2009/", 2009, 3, 7},
        {"2/29/2000", 2000, 2, 29},
        {"3/7/09", 2009, 3, 7},
        {"3/7/99", 1999, 3, 7},
        {"3/7/999", 999, 3, 7},
        {"3/7", ThisYear, 3, 7},
        {"2/29/2009", 0, 0, 0},
        {"13/1/2009", 0, 0, 0},
        {"3-7-2009", 0, 0, 0},
        {"3/7/2009x", 0, 0, 0},
        {"3/7/12345", 0, 0, 0},
        {"3", 0, 0, 0},
        {"", 0, 0, 0},
        {"abc", 0, 0, 0},
        {"3/7/2009 10:00", 0, 0, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        TDateTime D = -7;
        EXPECT_EQ(TryStrToDate(C.Text, D), C.Y != 0);
        if (C.Y != 0) {
            EXPECT_EQ(D, EncodeDate(C.Y, C.M, C.D));
            EXPECT_EQ(StrToDate(C.Text), D);
        } else {
            EXPECT_EQ(D, -7);
            EXPECT_EQ(ConvertError([&] { StrToDate(C.Text); }), String("'") + C.Text + "' is not a valid date");
        }
    }

    TFormatSettings S = TFormatSettings::Default();
    S.ShortDateFormat = "dd.MM.yyyy";
    S.DateSeparator = '.';
    EXPECT_EQ(StrToDate("7.3.2009", S), EncodeDate(2009, 3, 7));
    EXPECT_EQ(StrToDate("7.3", S), EncodeDate(ThisYear, 3, 7));
    S.ShortDateFormat = "yyyy-MM-dd";
    S.DateSeparator = '-';
    EXPECT_EQ(StrToDate("2009-3-7", S), EncodeDate(2009, 3, 7));
    EXPECT_EQ(StrToDate("3-7", S), EncodeDate(ThisYear, 3, 7));
    EXPECT_THROW(StrToDate("7.3.2009", S), EConvertError);
}

TEST(DateTimeTest, StrToTimeAndStrToDateTime)
{
    struct Case {
        const char* Text;
        int H, N, S, Ms; // H < 0: invalid
    };
    const Case Times[] = {
        {"14:05", 14, 5, 0, 0},
        {"14:05:09", 14, 5, 9, 0},
        {"14:05:09.045", 14, 5, 9, 45},
        {" 9 : 5 ", 9, 5, 0, 0},
        {"7", 7, 0, 0, 0},
        {"2:05 PM", 14, 5, 0, 0},
        {"2:05pm", 14, 5, 0, 0},
        {"PM 2:05", 14, 5, 0, 0},
        {"12:00 AM", 0, 0, 0, 0},
        {"12:00 PM", 12, 0, 0, 0},
        {"13:00 PM", -1, 0, 0, 0},
        {"0:00 AM", -1, 0, 0, 0},
        {"25:00", -1, 0, 0, 0},
        {"14:60", -1, 0, 0, 0},
        {"14:", -1, 0, 0, 0},
        {"14:05 x", -1, 0, 0, 0},
        {"", -1, 0, 0, 0},
        {"abc", -1, 0, 0, 0},
    };
    for (const Case& C : Times) {
        SCOPED_TRACE(C.Text);
        TDateTime T = -1;
        EXPECT_EQ(TryStrToTime(C.Text, T), C.H >= 0);
        if (C.H >= 0)
            EXPECT_EQ(StrToTime(C.Text), EncodeTime(C.H, C.N, C.S, C.Ms));
        else
            EXPECT_EQ(ConvertError([&] { StrToTime(C.Text); }), String("'") + C.Text + "' is not a valid time");
    }

    TFormatSettings German = TFormatSettings::Default();
    German.TimeSeparator = '.';
    German.DecimalSeparator = ',';
    German.TimeAMString = "vorm.";
    German.TimePMString = "nachm.";
    EXPECT_EQ(StrToTime("2.05 nachm.", German), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToTime("14.05.09,5", German), EncodeTime(14, 5, 9, 5));

    const TDateTime Day = EncodeDate(2009, 3, 7);
    EXPECT_EQ(StrToDateTime("3/7/2009 14:05:09"), Day + EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("3/7/2009 2:05 PM"), Day + EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("3/7/2009"), Day);
    EXPECT_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
    for (const char* Bad : {"3/7/2009 junk", "3/7/2009 25:00", "", "x"})
        EXPECT_EQ(ConvertError([&] { StrToDateTime(Bad); }), String("'") + Bad + "' is not a valid date and time");

    // What DateTimeToStr writes, StrToDateTime reads back.
    const TDateTime T = EncodeDate(2009, 3, 7) + EncodeTime(14, 5, 9, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(T)), T);
}
