#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <array>

#include "TypInfo.h"

namespace {

// The classic desktop values ($00BBGGRR), by system colour index.
constexpr std::array<uint32_t, COLOR_ENDCOLORS> ClassicColors = {
    0xC8D0D4, // COLOR_SCROLLBAR
    0xA56E3A, // COLOR_BACKGROUND
    0x6A240A, // COLOR_ACTIVECAPTION
    0x808080, // COLOR_INACTIVECAPTION
    0xC8D0D4, // COLOR_MENU
    0xFFFFFF, // COLOR_WINDOW
    0x000000, // COLOR_WINDOWFRAME
    0x000000, // COLOR_MENUTEXT
    0x000000, // COLOR_WINDOWTEXT
    0xFFFFFF, // COLOR_CAPTIONTEXT
    0xC8D0D4, // COLOR_ACTIVEBORDER
    0xC8D0D4, // COLOR_INACTIVEBORDER
    0x808080, // COLOR_APPWORKSPACE
    0x6A240A, // COLOR_HIGHLIGHT
    0xFFFFFF, // COLOR_HIGHLIGHTTEXT
    0xC8D0D4, // COLOR_BTNFACE
    0x808080, // COLOR_BTNSHADOW
    0x808080, // COLOR_GRAYTEXT
    0x000000, // COLOR_BTNTEXT
    0xC8D0D4, // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF, // COLOR_BTNHIGHLIGHT
    0x404040, // COLOR_3DDKSHADOW
    0xC8D0D4, // COLOR_3DLIGHT
    0x000000, // COLOR_INFOTEXT
    0xE1FFFF, // COLOR_INFOBK
    0xB5B5B5, // 25, unused
    0x800000, // COLOR_HOTLIGHT
    0xF0CAA6, // COLOR_GRADIENTACTIVECAPTION
    0xC0C0C0, // COLOR_GRADIENTINACTIVECAPTION
    0x6A240A, // COLOR_MENUHILIGHT
    0xC8D0D4, // COLOR_MENUBAR
};

std::array<uint32_t, COLOR_ENDCOLORS> SysColors = ClassicColors;
bool DesktopColors = false;

constexpr TColorIdent Idents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

constexpr TColorIdent Aliases[] = {
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

uint32_t FromQColor(const QColor& C)
{
    return static_cast<uint32_t>(C.red()) | static_cast<uint32_t>(C.green()) << 8 |
           static_cast<uint32_t>(C.blue()) << 16;
}

// ---------------------------------------------------------------- metrics

std::array<int, SM_METRICCOUNT> ClassicMetrics()
{
    std::array<int, SM_METRICCOUNT> M{};
    M[SM_CXVSCROLL] = 17;
    M[SM_CYHSCROLL] = 17;
    M[SM_CYVSCROLL] = 17;
    M[SM_CXHSCROLL] = 17;
    M[SM_CYVTHUMB] = 17;
    M[SM_CXHTHUMB] = 17;
    M[SM_CYCAPTION] = 19;
    M[SM_CXBORDER] = 1;
    M[SM_CYBORDER] = 1;
    M[SM_CXDLGFRAME] = 3;
    M[SM_CYDLGFRAME] = 3;
    M[SM_CXFRAME] = 4;
    M[SM_CYFRAME] = 4;
    M[SM_CXEDGE] = 2;
    M[SM_CYEDGE] = 2;
    M[SM_CXICON] = 32;
    M[SM_CYICON] = 32;
    M[SM_CXCURSOR] = 32;
    M[SM_CYCURSOR] = 32;
    M[SM_CXSMICON] = 16;
    M[SM_CYSMICON] = 16;
    M[SM_CYSMCAPTION] = 15;
    M[SM_CYMENU] = 19;
    M[SM_MOUSEPRESENT] = 1;
    M[SM_CMOUSEBUTTONS] = 3;
    M[SM_SWAPBUTTON] = 0;
    M[SM_CXMIN] = 112;
    M[SM_CYMIN] = 27;
    M[SM_CXSIZE] = 18;
    M[SM_CYSIZE] = 18;
    M[SM_CXMINTRACK] = 112;
    M[SM_CYMINTRACK] = 27;
    M[SM_CXDOUBLECLK] = 4;
    M[SM_CYDOUBLECLK] = 4;
    M[SM_CXICONSPACING] = 75;
    M[SM_CYICONSPACING] = 75;
    M[SM_CXDRAG] = 4;
    M[SM_CYDRAG] = 4;
    M[SM_CXMENUCHECK] = 13;
    M[SM_CYMENUCHECK] = 13;
    M[SM_CXFOCUSBORDER] = 1;
    M[SM_CYFOCUSBORDER] = 1;
    return M;
}

std::array<int, SM_METRICCOUNT> Metrics = ClassicMetrics();
std::array<bool, SM_METRICCOUNT> MetricSet{};

} // namespace

// ---------------------------------------------------------------- system colours

TColor ColorToRGB(TColor Color)
{
    if (IsSystemColor(Color))
        return MakeColor(GetSysColor(static_cast<uint32_t>(Color) & 0xFF));
    return Color;
}

uint32_t GetSysColor(int Index)
{
    if (Index < 0 || Index >= COLOR_ENDCOLORS)
        return 0;
    return SysColors[Index];
}

void SetSysColor(int Index, TColor Color)
{
    if (Index < 0 || Index >= COLOR_ENDCOLORS)
        throw EInvalidOperation("System colour index " + IntToStr(Index) + " out of range");
    SysColors[Index] = static_cast<uint32_t>(ColorToRGB(Color)) & 0xFFFFFF;
}

TColor DefaultSysColor(int Index)
{
    if (Index < 0 || Index >= COLOR_ENDCOLORS)
        return clBlack;
    return MakeColor(ClassicColors[Index]);
}

void UseDesktopColors(bool Value)
{
    SysColors = ClassicColors;
    DesktopColors = Value;
    if (!Value || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QPalette P = QGuiApplication::palette();
    auto Set = [&](int Index, QPalette::ColorGroup Group, QPalette::ColorRole Role) {
        SysColors[Index] = FromQColor(P.color(Group, Role));
    };
    using G = QPalette::ColorGroup;
    Set(COLOR_SCROLLBAR, G::Active, QPalette::Button);
    Set(COLOR_MENU, G::Active, QPalette::Window);
    Set(COLOR_MENUBAR, G::Active, QPalette::Window);
    Set(COLOR_MENUTEXT, G::Active, QPalette::WindowText);
    Set(COLOR_WINDOW, G::Active, QPalette::Base);
    Set(COLOR_WINDOWTEXT, G::Active, QPalette::Text);
    Set(COLOR_WINDOWFRAME, G::Active, QPalette::Shadow);
    Set(COLOR_ACTIVEBORDER, G::Active, QPalette::Window);
    Set(COLOR_INACTIVEBORDER, G::Inactive, QPalette::Window);
    Set(COLOR_APPWORKSPACE, G::Active, QPalette::Dark);
    Set(COLOR_HIGHLIGHT, G::Active, QPalette::Highlight);
    Set(COLOR_MENUHILIGHT, G::Active, QPalette::Highlight);
    Set(COLOR_HIGHLIGHTTEXT, G::Active, QPalette::HighlightedText);
    Set(COLOR_BTNFACE, G::Active, QPalette::Button);
    Set(COLOR_BTNSHADOW, G::Active, QPalette::Dark);
    Set(COLOR_GRAYTEXT, G::Disabled, QPalette::Text);
    Set(COLOR_BTNTEXT, G::Active, QPalette::ButtonText);
    Set(COLOR_BTNHIGHLIGHT, G::Active, QPalette::Light);
    Set(COLOR_3DDKSHADOW, G::Active, QPalette::Shadow);
    Set(COLOR_3DLIGHT, G::Active, QPalette::Midlight);
    Set(COLOR_INFOTEXT, G::Active, QPalette::ToolTipText);
    Set(COLOR_INFOBK, G::Active, QPalette::ToolTipBase);
    Set(COLOR_HOTLIGHT, G::Active, QPalette::Link);
}

bool DesktopColorsUsed()
{
    return DesktopColors;
}

QRgb ColorToQRgb(TColor Color)
{
    uint32_t C = static_cast<uint32_t>(ColorToRGB(Color));
    return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

QColor ColorToQColor(TColor Color)
{
    return QColor(ColorToQRgb(Color));
}

TColor QRgbToColor(QRgb Rgb)
{
    return RGB(qRed(Rgb), qGreen(Rgb), qBlue(Rgb));
}

TColor QColorToColor(const QColor& Color)
{
    return MakeColor(FromQColor(Color));
}

// ---------------------------------------------------------------- names

std::span<const TColorIdent> ColorIdents()
{
    return Idents;
}

bool ColorToIdent(int32_t Color, String& Ident)
{
    for (const TColorIdent& I : Idents)
        if (I.Value == Color) {
            Ident = I.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const String& Ident, int32_t& Color)
{
    for (const TColorIdent& I : Idents)
        if (SameText(Ident, I.Name)) {
            Color = I.Value;
            return true;
        }
    for (const TColorIdent& I : Aliases)
        if (SameText(Ident, I.Name)) {
            Color = I.Value;
            return true;
        }
    return false;
}

String ColorToString(TColor Color)
{
    String S;
    if (ColorToIdent(Color, S))
        return S;
    return "$" + IntToHex(static_cast<int>(Color), 8);
}

TColor StringToColor(const String& S)
{
    int32_t V = 0;
    if (IdentToColor(S, V))
        return TColor(V);
    int I = 0;
    if (!TryStrToInt(S, I))
        throw EConvertError("'" + S + "' is not a valid integer value");
    return TColor(I);
}

void GetColorValues(const std::function<void(const String&)>& Proc)
{
    if (!Proc)
        return;
    for (const TColorIdent& I : Idents)
        Proc(I.Name);
}

bool RegisterColorIdents()
{
    RegisterIntegerIdents(QMetaType::fromType<TColor>(),
                          TIntegerIdents{[](int64_t Value, String& Ident) {
                                             return Value >= INT32_MIN && Value <= INT32_MAX &&
                                                    ColorToIdent(static_cast<int32_t>(Value), Ident);
                                         },
                                         [](const String& Ident, int64_t& Value) {
                                             int32_t C = 0;
                                             if (!IdentToColor(Ident, C))
                                                 return false;
                                             Value = C;
                                             return true;
                                         }});
    return true;
}

// ---------------------------------------------------------------- metrics

int GetSystemMetrics(int Index)
{
    if (Index < 0 || Index >= SM_METRICCOUNT)
        return 0;
    if (MetricSet[Index])
        return Metrics[Index];
    switch (Index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN: {
        QSize Size(1024, 768);
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            if (QScreen* S = QGuiApplication::primaryScreen())
                Size = S->geometry().size();
        if (Index == SM_CXSCREEN)
            return Size.width();
        if (Index == SM_CYSCREEN)
            return Size.height();
        if (Index == SM_CXFULLSCREEN)
            return Size.width();
        return Size.height() - Metrics[SM_CYCAPTION];
    }
    default: return Metrics[Index];
    }
}

void SetSystemMetric(int Index, int Value)
{
    if (Index < 0 || Index >= SM_METRICCOUNT)
        throw EInvalidOperation("System metric index " + IntToStr(Index) + " out of range");
    Metrics[Index] = Value;
    MetricSet[Index] = true;
}

void ResetSystemMetrics()
{
    Metrics = ClassicMetrics();
    MetricSet.fill(false);
}
