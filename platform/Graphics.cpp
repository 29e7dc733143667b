#include "Graphics.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>

#include <cmath>
#include <map>
#include <iterator>
#include <algorithm>
#include <tuple>
#include <memory>

namespace {

String Lower(const String& S)
{
    return LowerCase(S);
}

std::map<String, String>& SubstituteTable()
{
    static std::map<String, String> Table = [] {
        std::map<String, String> T;
        for (const char* Name : {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Arial", "Tahoma", "Verdana",
                                 "Helvetica", "System", "Small Fonts"})
            T[Lower(Name)] = "Liberation Sans";
        for (const char* Name : {"Arial Narrow"})
            T[Lower(Name)] = "Liberation Sans Narrow";
        for (const char* Name : {"Times New Roman", "MS Serif", "Times", "Georgia", "Roman"})
            T[Lower(Name)] = "Liberation Serif";
        for (const char* Name : {"Courier New", "Courier", "Lucida Console", "Fixedsys", "Terminal"})
            T[Lower(Name)] = "Liberation Mono";
        for (const char* Name : {"Wingdings", "Wingdings 2", "Wingdings 3", "Webdings", "Symbol", "Marlett"})
            T[Lower(Name)] = "DejaVu Sans";
        return T;
    }();
    return Table;
}

bool FamilyInstalled(const QString& Family)
{
    static QHash<QString, bool> Known;
    auto It = Known.constFind(Family.toLower());
    if (It != Known.constEnd())
        return *It;
    bool Found = false;
    for (const QString& F : QFontDatabase::families())
        if (F.compare(Family, Qt::CaseInsensitive) == 0) {
            Found = true;
            break;
        }
    Known.insert(Family.toLower(), Found);
    return Found;
}

QFont BaseFont(const QString& Family, int PixelSize, TFontStyles Style)
{
    QFont F(Family);
    F.setPixelSize(std::max(1, PixelSize));
    F.setBold(Style.testFlag(fsBold));
    F.setItalic(Style.testFlag(fsItalic));
    F.setUnderline(Style.testFlag(fsUnderline));
    F.setStrikeOut(Style.testFlag(fsStrikeOut));
    F.setKerning(false);
    F.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias | QFont::PreferMatch));
    F.setHintingPreference(QFont::PreferFullHinting);
    return F;
}

int CellHeight(const QString& Family, int PixelSize, TFontStyles Style)
{
    QFontMetrics M(BaseFont(Family, PixelSize, Style));
    return M.ascent() + M.descent();
}

// The largest pixel size whose cell (ascent + descent) is at most Cell; at least 1.
int PixelSizeForCell(const QString& Family, int Cell, TFontStyles Style)
{
    static QHash<QString, int> Cache;
    const QString Key = Family + QLatin1Char('/') + QString::number(Cell) + QLatin1Char('/') +
                        QString::number(static_cast<int>(Style & (fsBold | fsItalic)));
    auto It = Cache.constFind(Key);
    if (It != Cache.constEnd())
        return *It;
    const int Reference = 100;
    const int RefCell = std::max(1, CellHeight(Family, Reference, Style));
    int P = std::max(1, static_cast<int>(std::lround(static_cast<double>(Cell) * Reference / RefCell)));
    // Step to the exact answer; metrics grow with the size, so a few steps do.
    for (int Guard = 0; Guard < 8 && P > 1 && CellHeight(Family, P, Style) > Cell; ++Guard)
        --P;
    for (int Guard = 0; Guard < 8 && CellHeight(Family, P + 1, Style) <= Cell; ++Guard)
        ++P;
    Cache.insert(Key, P);
    return P;
}

int MulDivRound(int A, int B, int C)
{
    // Rounds half away from zero, as the platform's MulDiv does.
    long long N = static_cast<long long>(A) * B;
    long long Q = (std::llabs(N) * 2 + C) / (2LL * C);
    return static_cast<int>(N < 0 ? -Q : Q);
}

} // namespace

int PenModeToRop2(TPenMode Mode)
{
    static constexpr int Codes[] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};
    int I = static_cast<int>(Mode);
    return I >= 0 && I < 16 ? Codes[I] : 13;
}

// ---------------------------------------------------------------- substitution

QString MapFontName(const String& Name, TFontPitch Pitch)
{
    auto& T = SubstituteTable();
    auto It = T.find(Lower(Name));
    if (It != T.end())
        return ToQString(It->second);
    QString Q = ToQString(Name);
    if (!Q.isEmpty() && FamilyInstalled(Q))
        return Q;
    return Pitch == fpFixed ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Sans");
}

void AddFontSubstitute(const String& FaceName, const String& Family)
{
    SubstituteTable()[Lower(FaceName)] = Family;
}

String FontSubstitute(const String& FaceName)
{
    auto& T = SubstituteTable();
    auto It = T.find(Lower(FaceName));
    return It == T.end() ? String() : It->second;
}

// ---------------------------------------------------------------- TFont

TFont::TFont(QObject* Parent) : QObject(Parent) {}

TFont::~TFont() = default;

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::Invalidate()
{
    FValid = false;
    Changed();
}

void TFont::SetCharset(int Value)
{
    Value &= 0xFF;
    if (Value == FCharset)
        return;
    FCharset = Value;
    Invalidate();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetHeight(int Value)
{
    if (Value == 0)
        Value = -11;
    // Heights beyond any screen are clipped; they would only exhaust memory.
    Value = std::clamp(Value, -4096, 4096);
    if (Value == FHeight)
        return;
    FHeight = Value;
    Invalidate();
}

void TFont::SetName(const String& Value)
{
    if (Value == FName || Value.empty())
        return;
    FName = Value;
    Invalidate();
}

void TFont::SetOrientation(int Value)
{
    Value %= 3600;
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == FPitch)
        return;
    FPitch = Value;
    Invalidate();
}

int TFont::Size() const
{
    return -MulDivRound(FHeight, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDivRound(std::clamp(Value, -3072, 3072), ScreenPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Invalidate();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        if (F == this)
            return;
        bool Same = FCharset == F->FCharset && FColor == F->FColor && FHeight == F->FHeight &&
                    FName == F->FName && FOrientation == F->FOrientation && FPitch == F->FPitch &&
                    FStyle == F->FStyle;
        if (Same)
            return;
        FCharset = F->FCharset;
        FColor = F->FColor;
        FHeight = F->FHeight;
        FName = F->FName;
        FOrientation = F->FOrientation;
        FPitch = F->FPitch;
        FStyle = F->FStyle;
        FValid = false;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

namespace {

// What a font of one description measures; the same description always
// gives the same Qt font and figures, so they are worked out once.
struct TFontFigures {
    QFont Font;
    int PixelSize = 0;
    TTextMetric Metrics;
    int CharWidths[256] = {};
};

using TFontKey = std::tuple<String, int, int, int, int>;

const TFontFigures& FiguresFor(const String& Name, TFontPitch Pitch, int Height, TFontStyles Style, int Charset)
{
    thread_local std::map<TFontKey, std::unique_ptr<TFontFigures>> Known;
    const TFontKey Key(Name, int(Pitch), Height, int(Style.toInt()), Charset);
    std::unique_ptr<TFontFigures>& Slot = Known[Key];
    if (Slot)
        return *Slot;
    auto F = std::make_unique<TFontFigures>();
    const QString Family = MapFontName(Name, Pitch);
    F->PixelSize = Height < 0 ? -Height : PixelSizeForCell(Family, Height, Style);
    F->Font = BaseFont(Family, F->PixelSize, Style);
    if (Pitch == fpFixed)
        F->Font.setFixedPitch(true);
    QFontMetrics M(F->Font);
    TTextMetric& T = F->Metrics;
    T.tmAscent = M.ascent();
    T.tmDescent = M.descent();
    T.tmHeight = T.tmAscent + T.tmDescent;
    T.tmInternalLeading = std::max(0, T.tmHeight - F->PixelSize);
    T.tmExternalLeading = std::max(0, M.leading());
    T.tmAveCharWidth = std::max(1, M.averageCharWidth());
    T.tmMaxCharWidth = std::max(1, M.maxWidth());
    T.tmWeight = Style.testFlag(fsBold) ? 700 : 400;
    T.tmItalic = Style.testFlag(fsItalic);
    T.tmUnderlined = Style.testFlag(fsUnderline);
    T.tmStruckOut = Style.testFlag(fsStrikeOut);
    T.tmFixedPitch = QFontInfo(F->Font).fixedPitch();
    T.tmCharSet = Charset;
    T.tmUnderlineThickness = std::max(1, M.lineWidth());
    T.tmUnderlinePos = std::clamp(M.underlinePos(), 1, std::max(1, T.tmDescent - T.tmUnderlineThickness));
    for (int C = 0; C < 256; ++C)
        F->CharWidths[C] = C < 32 ? 0 : M.horizontalAdvance(QChar(C));
    Slot = std::move(F);
    return *Slot;
}

} // namespace

const QFont& TFont::QtFont() const
{
    if (!FValid) {
        const TFontFigures& F = FiguresFor(FName, FPitch, FHeight, FStyle, FCharset);
        FPixelSize = F.PixelSize;
        FQtFont = F.Font;
        FMetrics = F.Metrics;
        std::copy(std::begin(F.CharWidths), std::end(F.CharWidths), std::begin(FCharWidths));
        FValid = true;
    }
    return FQtFont;
}

int TFont::PixelSize() const
{
    QtFont();
    return FPixelSize;
}

const TTextMetric& TFont::Metrics() const
{
    QtFont();
    return FMetrics;
}

const int* TFont::CharWidths() const
{
    QtFont();
    return FCharWidths;
}

int TFont::TextWidth(const String& Text) const
{
    const int* W = CharWidths();
    int Sum = 0;
    for (unsigned char C : Text)
        Sum += W[C];
    return Sum;
}

// ---------------------------------------------------------------- TPen

TPen::TPen(QObject* Parent) : QObject(Parent) {}

TPen::~TPen() = default;

void TPen::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    Value = std::clamp(Value, 0, 4096);
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* P = dynamic_cast<TPen*>(Source)) {
        if (P == this)
            return;
        if (FColor == P->FColor && FMode == P->FMode && FStyle == P->FStyle && FWidth == P->FWidth)
            return;
        FColor = P->FColor;
        FMode = P->FMode;
        FStyle = P->FStyle;
        FWidth = P->FWidth;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TBrush

TBrush::TBrush(QObject* Parent) : QObject(Parent) {}

TBrush::~TBrush() = default;

void TBrush::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor && FStyle != bsClear)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (FStyle == bsClear)
        FColor = clWhite;
    Changed();
}

void TBrush::SetBitmap(const QImage& Pattern)
{
    if (!Pattern.isNull() && (Pattern.width() > 4096 || Pattern.height() > 4096))
        throw EInvalidOperation("Brush pattern too large");
    if (Pattern.isNull() && FBitmap.isNull())
        return;
    FBitmap = Pattern;
    Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* B = dynamic_cast<TBrush*>(Source)) {
        if (B == this)
            return;
        FColor = B->FColor;
        FStyle = B->FStyle;
        FBitmap = B->FBitmap;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

const uint8_t* HatchPattern(TBrushStyle Style)
{
    static constexpr uint8_t None[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    static constexpr uint8_t Horizontal[8] = {0, 0, 0, 0, 0, 0, 0, 0xFF};
    static constexpr uint8_t Vertical[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    // Forward diagonal: from the top left down to the bottom right.
    static constexpr uint8_t FDiagonal[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    static constexpr uint8_t BDiagonal[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    static constexpr uint8_t Cross[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF};
    static constexpr uint8_t DiagCross[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    switch (Style) {
    case bsHorizontal: return Horizontal;
    case bsVertical: return Vertical;
    case bsFDiagonal: return FDiagonal;
    case bsBDiagonal: return BDiagonal;
    case bsCross: return Cross;
    case bsDiagCross: return DiagCross;
    default: return None;
    }
}
