// Colours: the TColor value type with its names, the system colour table and
// the system metrics.
//
// A TColor is a 32-bit value. Explicit colours are $00BBGGRR (red in the low
// byte). A value whose top byte is $FF names a system colour by the index in
// its low byte (clBtnFace is $FF00000F) and is resolved through ColorToRGB.
// clNone ($1FFFFFFF) and clDefault ($20000000) are markers that ColorToRGB
// leaves alone.
//
// The system colour table and the system metrics hold the classic desktop
// values by default, so pictures come out the same on every machine;
// UseDesktopColors(true) takes the colours from the application palette
// instead. TColor is registered as an integer type with names of its own, so
// form files store colours as "clBtnFace" or "$00C0DCC0".
#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>
#include <functional>
#include <span>

#include "SysUtils.h"

// Its own type, so reflection can tell a colour property from an integer.
enum TColor : int32_t {};

constexpr TColor MakeColor(uint32_t Value)
{
    return TColor(static_cast<int32_t>(Value));
}

// ---------------------------------------------------------------- system colour indices

enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    // Number of entries of the system colour table (index 25 is unused).
    COLOR_ENDCOLORS = 31,
    COLOR_DESKTOP = COLOR_BACKGROUND,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT,
};

// ---------------------------------------------------------------- named colours

constexpr TColor clSystemColor = MakeColor(0xFF000000);

constexpr TColor clScrollBar = MakeColor(0xFF000000 | COLOR_SCROLLBAR);
constexpr TColor clBackground = MakeColor(0xFF000000 | COLOR_BACKGROUND);
constexpr TColor clActiveCaption = MakeColor(0xFF000000 | COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = MakeColor(0xFF000000 | COLOR_INACTIVECAPTION);
constexpr TColor clMenu = MakeColor(0xFF000000 | COLOR_MENU);
constexpr TColor clWindow = MakeColor(0xFF000000 | COLOR_WINDOW);
constexpr TColor clWindowFrame = MakeColor(0xFF000000 | COLOR_WINDOWFRAME);
constexpr TColor clMenuText = MakeColor(0xFF000000 | COLOR_MENUTEXT);
constexpr TColor clWindowText = MakeColor(0xFF000000 | COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = MakeColor(0xFF000000 | COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = MakeColor(0xFF000000 | COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = MakeColor(0xFF000000 | COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = MakeColor(0xFF000000 | COLOR_APPWORKSPACE);
constexpr TColor clHighlight = MakeColor(0xFF000000 | COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = MakeColor(0xFF000000 | COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = MakeColor(0xFF000000 | COLOR_BTNFACE);
constexpr TColor clBtnShadow = MakeColor(0xFF000000 | COLOR_BTNSHADOW);
constexpr TColor clGrayText = MakeColor(0xFF000000 | COLOR_GRAYTEXT);
constexpr TColor clBtnText = MakeColor(0xFF000000 | COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = MakeColor(0xFF000000 | COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = MakeColor(0xFF000000 | COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = MakeColor(0xFF000000 | COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = MakeColor(0xFF000000 | COLOR_3DLIGHT);
constexpr TColor clInfoText = MakeColor(0xFF000000 | COLOR_INFOTEXT);
constexpr TColor clInfoBk = MakeColor(0xFF000000 | COLOR_INFOBK);
constexpr TColor clHotLight = MakeColor(0xFF000000 | COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = MakeColor(0xFF000000 | COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = MakeColor(0xFF000000 | COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = MakeColor(0xFF000000 | COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = MakeColor(0xFF000000 | COLOR_MENUBAR);

constexpr TColor clBlack = MakeColor(0x000000);
constexpr TColor clMaroon = MakeColor(0x000080);
constexpr TColor clGreen = MakeColor(0x008000);
constexpr TColor clOlive = MakeColor(0x008080);
constexpr TColor clNavy = MakeColor(0x800000);
constexpr TColor clPurple = MakeColor(0x800080);
constexpr TColor clTeal = MakeColor(0x808000);
constexpr TColor clGray = MakeColor(0x808080);
constexpr TColor clSilver = MakeColor(0xC0C0C0);
constexpr TColor clRed = MakeColor(0x0000FF);
constexpr TColor clLime = MakeColor(0x00FF00);
constexpr TColor clYellow = MakeColor(0x00FFFF);
constexpr TColor clBlue = MakeColor(0xFF0000);
constexpr TColor clFuchsia = MakeColor(0xFF00FF);
constexpr TColor clAqua = MakeColor(0xFFFF00);
constexpr TColor clLtGray = MakeColor(0xC0C0C0);
constexpr TColor clDkGray = MakeColor(0x808080);
constexpr TColor clWhite = MakeColor(0xFFFFFF);
constexpr TColor clMoneyGreen = MakeColor(0xC0DCC0);
constexpr TColor clSkyBlue = MakeColor(0xF0CAA6);
constexpr TColor clCream = MakeColor(0xF0FBFF);
constexpr TColor clMedGray = MakeColor(0xA4A0A0);

constexpr TColor clNone = MakeColor(0x1FFFFFFF);
constexpr TColor clDefault = MakeColor(0x20000000);

// ---------------------------------------------------------------- components

constexpr TColor RGB(int R, int G, int B)
{
    return MakeColor(static_cast<uint32_t>(R & 0xFF) | static_cast<uint32_t>(G & 0xFF) << 8 |
                     static_cast<uint32_t>(B & 0xFF) << 16);
}
constexpr int GetRValue(TColor C)
{
    return static_cast<uint32_t>(C) & 0xFF;
}
constexpr int GetGValue(TColor C)
{
    return (static_cast<uint32_t>(C) >> 8) & 0xFF;
}
constexpr int GetBValue(TColor C)
{
    return (static_cast<uint32_t>(C) >> 16) & 0xFF;
}
constexpr bool IsSystemColor(TColor C)
{
    return (static_cast<uint32_t>(C) & 0xFF000000u) == 0xFF000000u;
}

// ---------------------------------------------------------------- system colour table

// The explicit colour of a system colour: the table entry for the index in the
// low byte. Every other value comes back unchanged (clNone, clDefault too).
TColor ColorToRGB(TColor Color);
// The table entry as $00BBGGRR; 0 for an index outside the table.
uint32_t GetSysColor(int Index);
// Replaces one table entry (an explicit colour; system colours are resolved
// first). Raises EInvalidOperation for an index outside the table.
void SetSysColor(int Index, TColor Color);
// The classic value of a table entry, whatever the table holds now.
TColor DefaultSysColor(int Index);
// With true, fills the table from the application palette (entries the
// palette has no role for keep their classic value); with false, restores the
// classic values. Later palette changes are not followed automatically: call
// it again.
void UseDesktopColors(bool Value);
bool DesktopColorsUsed();

// Resolved colour as a Qt colour (opaque; clNone and clDefault give their low
// 24 bits).
QRgb ColorToQRgb(TColor Color);
QColor ColorToQColor(TColor Color);
// The explicit TColor of a Qt colour (alpha dropped).
TColor QRgbToColor(QRgb Rgb);
TColor QColorToColor(const QColor& Color);

// ---------------------------------------------------------------- names

struct TColorIdent {
    TColor Value;
    const char* Name;
};

// The table of named colours in the framework's order: the standard colours
// clBlack .. clMedGray, then the system colours and clNone and clDefault in
// alphabetical order of their names. Aliases (clLtGray, clDkGray) are not in it.
std::span<const TColorIdent> ColorIdents();

// The name of a colour value ("clRed"); false when the value has none.
bool ColorToIdent(int32_t Color, String& Ident);
// The value of a colour name, compared case-insensitively; the aliases
// clLtGray and clDkGray are accepted. False for an unknown name.
bool IdentToColor(const String& Ident, int32_t& Color);
// The name, or "$" and eight hexadecimal digits for an unnamed value.
String ColorToString(TColor Color);
// A name or an integer text ("$FF0000", "255"); EConvertError for anything else.
TColor StringToColor(const String& S);
// Calls Proc with every name of ColorIdents(), in order.
void GetColorValues(const std::function<void(const String&)>& Proc);

// Registers the names with the reflection layer (TypInfo.h), so colour
// properties are written as names in form files. Runs automatically in every
// program that includes this header; calling it again does no harm.
bool RegisterColorIdents();
namespace ZenColorRegistration {
[[maybe_unused]] inline const bool ColorIdentsRegistered = RegisterColorIdents();
}

// ---------------------------------------------------------------- system metrics

enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17,
    SM_MOUSEPRESENT = 19,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_SWAPBUTTON = 23,
    SM_CXMIN = 28,
    SM_CYMIN = 29,
    SM_CXSIZE = 30,
    SM_CYSIZE = 31,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXMINTRACK = 34,
    SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXICONSPACING = 38,
    SM_CYICONSPACING = 39,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXMENUCHECK = 71,
    SM_CYMENUCHECK = 72,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
    SM_CMOUSEBUTTONS = 43,
    SM_CXFOCUSBORDER = 83,
    SM_CYFOCUSBORDER = 84,
    SM_METRICCOUNT = 100,
};
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;

// The classic desktop values at 96 dpi (scroll bars 17, borders 1, edges 2,
// frames 4, ...). SM_CXSCREEN/SM_CYSCREEN and the full-screen sizes come from
// the primary screen (1024 x 768 without one). 0 for an unknown index.
int GetSystemMetrics(int Index);
// Overrides one metric (tests, special programs); raises EInvalidOperation for
// an index outside 0 .. SM_METRICCOUNT - 1.
void SetSystemMetric(int Index, int Value);
// Restores every metric to its classic value.
void ResetSystemMetrics();
