// Dates and times as the runtime keeps them: a double counting days since
// 1899-12-30 whose fraction is the time of day, with encoding, decoding,
// formatting and parsing under the locale settings.
#pragma once

#include "SysUtils.h"

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = HoursPerDay * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 0001-01-01 to 1899-12-30.
constexpr int DateDelta = 693594;

bool IsLeapYear(int Year);
// Days in Month (1..12) of Year; 0 for a month outside 1..12.
int DaysInAMonth(int Year, int Month);

// Year 1..9999, Month 1..12, Day 1..days of that month.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
TDateTime EncodeDate(int Year, int Month, int Day); // EConvertError "Invalid argument to date encode"
// Hour 0..23, Min and Sec 0..59, MSec 0..999 (24:00:00.000 is allowed too).
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec); // EConvertError "Invalid argument to time encode"

// Dates before 0001-01-01 decode as 0/0/0. The time of day is the fraction's
// absolute value rounded to milliseconds. Values too large for a timestamp
// raise EConvertError.
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Date);

TDateTime Now();
TDateTime Date(); // today, no time part
TDateTime Time(); // time of day, no date part

// The runtime's date/time format letters (case-insensitive):
//   c            short date, then a blank and the long time unless the time is 00:00:00
//   d dd         day; ddd dddd short/long day name; ddddd short date; dddddd long date
//   aaa aaaa     short/long day name
//   m mm         month; mmm mmmm short/long month name; m right after h/hh means minutes
//   yy yyyy      two-/four-digit year; e ee eee year of the era, g gg era name
//   h hh         hour (12-hour clock when an am/pm specifier follows)
//   n nn s ss    minutes, seconds; z zzz milliseconds
//   t tt         short/long time
//   am/pm a/p    the letters as written; ampm the settings' AM/PM strings
//   / :          date/time separator of the settings
//   '..' ".."    literal text
// An empty Format means "c".
String FormatDateTime(const String& Format, TDateTime DateTime);
String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings);

String DateToStr(TDateTime Date);                 // short date
String DateToStr(TDateTime Date, const TFormatSettings& Settings);
String TimeToStr(TDateTime Time);                 // long time
String TimeToStr(TDateTime Time, const TFormatSettings& Settings);
String DateTimeToStr(TDateTime DateTime);         // "c"
String DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);

// Dates are two or three numbers separated by the settings' DateSeparator in the
// order of ShortDateFormat (the current year when omitted; two-digit years fall
// in the window of TwoDigitYearCenturyWindow years before today). Times are
// hours[:minutes[:seconds[.milliseconds]]] with an optional AM/PM before or after.
bool TryStrToDate(const String& S, TDateTime& Value);
bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDate(const String& S); // EConvertError "'S' is not a valid date"
TDateTime StrToDate(const String& S, const TFormatSettings& Settings);
bool TryStrToTime(const String& S, TDateTime& Value);
bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToTime(const String& S); // EConvertError "'S' is not a valid time"
TDateTime StrToTime(const String& S, const TFormatSettings& Settings);
// A date followed by an optional time, or a time alone.
bool TryStrToDateTime(const String& S, TDateTime& Value);
bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateTime(const String& S); // EConvertError "'S' is not a valid date and time"
TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings);
