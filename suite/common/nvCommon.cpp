// Common helpers of the suite (see nvCommon.h).
#include "nvCommon.h"

#include <QCoreApplication>
#include <QThread>
#include <QVariant>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "FloatFormat.h"
#include "Forms.h"
#include "Regions.h"
#include "TypInfo.h"

// ---------------------------------------------------------------- integers, rectangles, points

int IntMin(int A, int B)
{
    return A < B ? A : B;
}

int IntMax(int A, int B)
{
    return A > B ? A : B;
}

double MaxFloat(double A, double B)
{
    return A > B ? A : B;
}

int ClampInt(int Value, int Low, int High)
{
    return IntMin(IntMax(Value, Low), High);
}

int RectWidth(const TRect& R)
{
    return R.Right - R.Left;
}

int RectHeight(const TRect& R)
{
    return R.Bottom - R.Top;
}

TPoint MakePoint(int X, int Y)
{
    return TPoint(X, Y);
}

bool PointsEqual(const TPoint& P, const TPoint& Q)
{
    return P.X == Q.X && P.Y == Q.Y;
}

bool RectIsEmptyZero(const TRect& R)
{
    return R.Left == 0 && R.Top == 0 && R.Right == 0 && R.Bottom == 0;
}

bool IntersectRects(const TRect& A, const TRect& B, TRect& Out)
{
    return IntersectRect(Out, A, B);
}

int IfThenInt(bool Flag, int A, int B)
{
    return Flag ? A : B;
}

void SetFlagBits(bool On, unsigned& Flags, unsigned Bits)
{
    if (On)
        Flags |= Bits;
    else
        Flags &= ~Bits;
}

namespace {

int ClampToInt(int64_t V)
{
    return static_cast<int>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
}

// Whether the image fits the rectangle's height (true) or its width (false):
// height / H >= width / W compared as floating-point quotients.
bool FitsByHeight(int W, int H, int Width, int Height)
{
    return static_cast<double>(Height) / H >= static_cast<double>(Width) / W;
}

} // namespace

TRect FitRectProportional(const TRect& R, int Width, int Height)
{
    const int W = RectWidth(R), H = RectHeight(R);
    if (Width == 0 && Height == 0)
        return TRect(R.Left, R.Top, R.Left, R.Top);
    if (FitsByHeight(W, H, Width, Height))
        return TRect(R.Left, R.Top, ClampToInt(R.Left + int64_t(Width) * H / Height), R.Top + H);
    return TRect(R.Left, R.Top, R.Left + W, ClampToInt(R.Top + int64_t(Height) * W / Width));
}

TRect FitRectProportionalCentered(const TRect& R, int Width, int Height)
{
    const int W = RectWidth(R), H = RectHeight(R);
    if (Width == 0 && Height == 0)
        return TRect(R.Left, R.Top, R.Left, R.Top);
    if (FitsByHeight(W, H, Width, Height)) {
        const int64_t Offset = static_cast<int64_t>(std::trunc((W - Width * (static_cast<double>(H) / Height)) / 2));
        return TRect(ClampToInt(R.Left + Offset), R.Top, ClampToInt(R.Left + int64_t(Width) * H / Height + Offset),
                     R.Top + H);
    }
    const int64_t Offset = static_cast<int64_t>(std::trunc((H - Height * (static_cast<double>(W) / Width)) / 2));
    return TRect(R.Left, ClampToInt(R.Top + Offset), R.Left + W, ClampToInt(R.Top + int64_t(Height) * W / Width + Offset));
}

// ---------------------------------------------------------------- strings

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

// 0-based index of Sub in S at or after From, or npos.
size_t FindFrom(const String& Sub, const String& S, size_t From)
{
    if (Sub.empty() || From >= S.size())
        return String::npos;
    return S.find(Sub, From);
}

// 0-based indexes of every (overlapping) occurrence of Sep in S.
std::vector<size_t> Occurrences(const String& S, const String& Sep)
{
    std::vector<size_t> R;
    if (Sep.empty())
        return R;
    for (size_t I = S.find(Sep); I != String::npos; I = S.find(Sep, I + 1))
        R.push_back(I);
    return R;
}

} // namespace

String TrimBlanksLeft(const String& S)
{
    size_t I = 0;
    while (I < S.size() && IsBlank(S[I]))
        ++I;
    return S.substr(I);
}

String TrimBlanksRight(const String& S)
{
    size_t N = S.size();
    while (N > 0 && IsBlank(S[N - 1]))
        --N;
    return S.substr(0, N);
}

String TrimBlanks(const String& S)
{
    return TrimBlanksLeft(TrimBlanksRight(S));
}

String SubStr(const String& S, int From, int To)
{
    if (To == 0)
        return Copy(S, From, INT32_MAX);
    return Copy(S, From, To - From);
}

int PosFrom(const String& Sub, const String& S, int Start)
{
    const size_t I = FindFrom(Sub, S, static_cast<size_t>(std::max(Start, 1) - 1));
    return I == String::npos ? 0 : static_cast<int>(I) + 1;
}

int NthPos(const String& Sub, const String& S, int N)
{
    if (N < 0 || Sub.empty())
        return 0;
    size_t I = S.find(Sub);
    for (int K = 0; K < N && I != String::npos; ++K)
        I = S.find(Sub, I + 1);
    return I == String::npos ? 0 : static_cast<int>(I) + 1;
}

int TokenCount(const String& S, const String& Sep)
{
    if (S.empty())
        return 0;
    int Count = 1;
    if (!Sep.empty())
        for (size_t I = S.find(Sep); I != String::npos; I = S.find(Sep, I + 1))
            ++Count;
    return Count;
}

String GetToken(const String& S, const String& Sep, int N)
{
    if (S.empty() || N < 0)
        return String();
    const std::vector<size_t> Occ = Occurrences(S, Sep);
    if (static_cast<size_t>(N) > Occ.size())
        return String();
    const size_t Start = N == 0 ? 0 : Occ[size_t(N) - 1] + Sep.size();
    const size_t End = static_cast<size_t>(N) < Occ.size() ? Occ[size_t(N)] : S.size();
    return End > Start ? S.substr(Start, End - Start) : String();
}

int TokenIndex(const String& S, const String& Sep, const String& Text)
{
    if (S.empty())
        return -1;
    // One pass over the pieces instead of GetToken for every index.
    const std::vector<size_t> Occ = Occurrences(S, Sep);
    for (size_t N = 0; N <= Occ.size(); ++N) {
        const size_t Start = N == 0 ? 0 : Occ[N - 1] + Sep.size();
        const size_t End = N < Occ.size() ? Occ[N] : S.size();
        const size_t Len = End > Start ? End - Start : 0;
        if (Len == Text.size() && S.compare(std::min(Start, S.size()), Len, Text) == 0)
            return static_cast<int>(N);
    }
    return -1;
}

String ReplaceAll(const String& S, const String& Old, const String& New)
{
    if (Old.empty())
        return S;
    String R;
    R.reserve(S.size());
    size_t From = 0;
    for (size_t I = S.find(Old); I != String::npos; I = S.find(Old, From)) {
        R.append(S, From, I - From);
        R += New;
        From = I + Old.size();
    }
    R.append(S, From, String::npos);
    return R;
}

String StripAccelerators(const String& S)
{
    // One scan: "&&" gives "&", any other '&' goes. Characters of the text
    // itself (a NUL included) pass unchanged.
    String R;
    R.reserve(S.size());
    for (size_t I = 0; I < S.size(); ++I) {
        if (S[I] != '&') {
            R += S[I];
        } else if (I + 1 < S.size() && S[I + 1] == '&') {
            R += '&';
            ++I;
        }
    }
    return R;
}

String RemoveChar(const String& S, char C)
{
    String R;
    R.reserve(S.size());
    for (char X : S)
        if (X != C)
            R += X;
    return R;
}

TnvCharSet CharSetOf(const String& Chars)
{
    TnvCharSet R;
    for (char C : Chars)
        R.set(static_cast<unsigned char>(C));
    return R;
}

void NextToken(const String& S, int& Pos, unsigned Flags, String& Token, const TnvCharSet& Delimiters)
{
    const int Len = static_cast<int>(S.size());
    Token.clear();
    if (Pos < 1 || Pos > Len)
        return;
    auto At = [&](int I) { return static_cast<unsigned char>(S[size_t(I) - 1]); };
    int I = Pos;
    if (Flags & ntSkipBlanks) {
        while (I <= Len && IsBlank(static_cast<char>(At(I))))
            ++I;
        Pos = I;
    }
    if ((Flags & ntQuoted) && I <= Len && At(I) == '"') {
        ++I;
        while (I <= Len && At(I) != '"')
            ++I;
        if (I <= Len) {
            Token = S.substr(size_t(Pos) - 1, size_t(I - Pos + 1));
            Pos = I + 1;
        } else {
            Token = S.substr(size_t(Pos) - 1);
            Pos = Len + 1;
        }
        if ((Flags & ntStripQuotes) && !Token.empty() && (Token.front() == '"' || Token.front() == '\'')) {
            Token.erase(0, 1);
            if (!Token.empty() && (Token.back() == '"' || Token.back() == '\''))
                Token.pop_back();
        }
        return;
    }
    const unsigned char Stop = (Flags & ntBlankInToken) ? ' ' : '!';
    while (I <= Len) {
        const unsigned char C = At(I);
        if (C < Stop || Delimiters.test(C))
            break;
        ++I;
    }
    Token = Copy(S, Pos, std::max(I - Pos, 1));
    Pos = Token.size() < 2 ? I + 1 : I;
}

char KeyToChar(Word Key)
{
    if (Key >= 96 && Key <= 105)
        return static_cast<char>(Key - 48);
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return static_cast<char>(Key);
    switch (Key) {
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return '\x1B';
    case VK_SPACE: return ' ';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return ';';
    case VK_OEM_PLUS: return '=';
    case VK_OEM_COMMA: return ',';
    case VK_OEM_MINUS: return '-';
    case VK_OEM_PERIOD: return '.';
    case VK_OEM_2: return '/';
    case VK_OEM_3: return '`';
    case VK_OEM_4: return '[';
    case VK_OEM_5: return '\\';
    case VK_OEM_6: return ']';
    case VK_OEM_7: return '\'';
    default: return 0;
    }
}

// ---------------------------------------------------------------- numbers from text

bool ParseFloatLoose(const String& S, double& Value, const String& Format)
{
    Value = 0;
    if (S.empty())
        return true;
    const char Dec = FormatSettings.DecimalSeparator;
    auto IsDigit = [](char C) { return C >= '0' && C <= '9'; };
    const size_t N = S.size();

    // The start: the first '(', '-', digit or decimal separator; after a '-',
    // the first '(', digit or decimal separator.
    size_t Start = 0;
    while (Start < N && !(S[Start] == '(' || S[Start] == '-' || IsDigit(S[Start]) || S[Start] == Dec))
        ++Start;
    bool Negative = false;
    if (Start < N && S[Start] == '-') {
        Negative = true;
        while (Start < N && !(S[Start] == '(' || IsDigit(S[Start]) || S[Start] == Dec))
            ++Start;
    }

    // The clean text: '(' gives '-', digits and the decimal separator stay,
    // an exponent 'E' stays between a digit and a sign or digit (with its
    // sign); everything else (')', grouping, currency, letters) goes.
    String Clean;
    if (Negative)
        Clean += '-';
    for (size_t I = Start; I < N; ++I) {
        const char C = S[I];
        if (C == '(') {
            Clean += '-';
        } else if (IsDigit(C) || C == Dec) {
            Clean += C;
        } else if (C == 'E' && I > 0 && IsDigit(S[I - 1]) && I + 1 < N &&
                   (S[I + 1] == '+' || S[I + 1] == '-' || IsDigit(S[I + 1]))) {
            Clean += 'E';
            if (S[I + 1] == '+' || S[I + 1] == '-')
                Clean += S[++I];
        }
    }
    double V = 0;
    if (!TryStrToFloat(Clean, V))
        return false;
    if (V > 0 && !Format.empty()) {
        try {
            if (FormatFloat(Format, V) != S && FormatFloat(Format, -V) == S)
                V = -V;
        } catch (const Exception&) {
            // A format the runtime cannot apply leaves the value as parsed.
        }
    }
    Value = V;
    return true;
}

double StrToFloatLoose(const String& S, const String& Format)
{
    double V = 0;
    return ParseFloatLoose(S, V, Format) ? V : 0.0;
}

double StrToFloatDefault(const String& S, double Default)
{
    double V = 0;
    return TryStrToFloat(S, V) ? V : Default;
}

// ---------------------------------------------------------------- name=value lists

namespace {

void CheckList(const TStrings* List)
{
    if (!List)
        throw EInvalidOperation("No string list given");
}

String NamePart(const String& Entry)
{
    const size_t I = Entry.find('=');
    return I == String::npos ? String() : Entry.substr(0, I);
}

String ValuePart(const String& Entry)
{
    const size_t I = Entry.find('=');
    return TrimBlanks(I == String::npos ? Entry : Entry.substr(I + 1));
}

} // namespace

String ListName(TStrings* List, int Index)
{
    if (Index == -1)
        return String();
    CheckList(List);
    return NamePart(List->Get(Index));
}

String ListValue(TStrings* List, int Index)
{
    CheckList(List);
    return ValuePart(List->Get(Index));
}

TColor ListValueAsColor(TStrings* List, int Index)
{
    return StringToColor("$" + ListValue(List, Index));
}

int IndexOfListValue(const String& Text, TStrings* List)
{
    CheckList(List);
    for (int I = 0, N = List->Count(); I < N; ++I)
        if (ValuePart(List->Get(I)) == Text)
            return I;
    return -1;
}

int IndexOfListName(const String& Text, TStrings* List)
{
    CheckList(List);
    for (int I = 0, N = List->Count(); I < N; ++I)
        if (AnsiSameText(NamePart(List->Get(I)), Text))
            return I;
    return -1;
}

void QuickSortStrings(TStrings* List, int Low, int High, const TnvGetSortText& Get, const TnvCompareText& Compare)
{
    CheckList(List);
    if (!Get || !Compare)
        throw EInvalidOperation("QuickSortStrings needs a text and a compare function");
    if (Low >= High)
        return;
    const int Count = List->Count();
    int I;
    do {
        I = Low;
        int J = High;
        const String Pivot = Get(List, static_cast<int>((static_cast<unsigned>(I) + static_cast<unsigned>(J)) >> 1));
        do {
            while (I < Count && Compare(Get(List, I), Pivot) < 0)
                ++I;
            while (J > 0 && Compare(Get(List, J), Pivot) > 0)
                --J;
            if (I <= J) {
                const String T = List->Get(I);
                List->Put(I, List->Get(J));
                List->Put(J, T);
                ++I;
                --J;
            }
        } while (I <= J);
        if (Low < J)
            QuickSortStrings(List, Low, J, Get, Compare);
        Low = I;
    } while (I < High);
}

// ---------------------------------------------------------------- colours

void ColorToBytes(TColor Color, uint8_t& B3, uint8_t& Blue, uint8_t& Green, uint8_t& Red)
{
    const uint32_t C = static_cast<uint32_t>(ColorToRGB(Color));
    B3 = static_cast<uint8_t>(C >> 24);
    Blue = static_cast<uint8_t>(C >> 16);
    Green = static_cast<uint8_t>(C >> 8);
    Red = static_cast<uint8_t>(C);
}

String ColorToHex(int A, int B, int C)
{
    return Format("%2.2x%2.2x%2.2x", {A, B, C});
}

String ColorToRGBText(TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return "RGB: " + IntToStr(GetRValue(C)) + ", " + IntToStr(GetGValue(C)) + ", " + IntToStr(GetBValue(C));
}

int ColorMaxChannel(TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return std::max({GetRValue(C), GetGValue(C), GetBValue(C)});
}

TColor AdjustColor(TColor Color, int Amount, bool Percent)
{
    const TColor C = ColorToRGB(Color);
    auto Adjust = [&](int V) {
        int64_t R;
        if (Percent)
            R = Amount > 0 ? V + int64_t(255 - V) * Amount / 100 : V + int64_t(V) * Amount / 100;
        else
            R = int64_t(V) + Amount;
        return static_cast<int>(std::clamp<int64_t>(R, 0, 255));
    };
    const int Red = Adjust(GetRValue(C));
    const int Blue = Adjust(GetBValue(C));
    const int Green = Adjust(GetGValue(C));
    return RGB(Red, Green, Blue);
}

uint32_t ImageListColor(TColor Color)
{
    if (Color == clNone)
        return ImageListNoneColor;
    if (Color == clDefault)
        return ImageListDefaultColor;
    return static_cast<uint32_t>(ColorToRGB(Color));
}

// ---------------------------------------------------------------- regions

namespace {

// Adds the runs of one row whose pixels are not transparent. Transparent(X)
// tells whether pixel X of the row is transparent.
template <class F>
void AddRowRuns(TRegionBuilder& B, int Y, int Width, F Transparent)
{
    int X = 0;
    while (X < Width) {
        while (X < Width && Transparent(X))
            ++X;
        if (X >= Width)
            break;
        const int X1 = X;
        while (X < Width && !Transparent(X))
            ++X;
        B.AddRun(Y, X1, X);
    }
}

} // namespace

QRegion RegionFromGraphic(TGraphic* Graphic, TColor TransparentColor)
{
    if (!Graphic || Graphic->Empty() || Graphic->Width() <= 0 || Graphic->Height() <= 0)
        return QRegion();

    // The picture as a bitmap: a bitmap is read in place, any other graphic
    // is copied into a new one first (TBitmap::Assign).
    TBitmap* Bitmap = dynamic_cast<TBitmap*>(Graphic);
    std::unique_ptr<TBitmap> Copy;
    if (!Bitmap) {
        Copy = std::make_unique<TBitmap>();
        Copy->Assign(Graphic);
        Bitmap = Copy.get();
    }
    const QImage& Image = Bitmap->Image();
    if (Image.isNull())
        return QRegion();
    const int W = Image.width(), H = Image.height();
    TRegionBuilder B;

    const bool BGR = Image.format() == QImage::Format_BGR888, RGB = Image.format() == QImage::Format_RGB888;
    if (Bitmap->PixelFormat() == pf24bit && (BGR || RGB)) {
        // Colour values compared unresolved: a value with a non-zero top byte
        // (a system colour, clNone, ...) matches no pixel.
        const uint32_t Key = static_cast<uint32_t>(TransparentColor);
        if (Key >> 24)
            return CreateRectRgn(0, 0, W, H);
        const uint8_t KR = uint8_t(Key), KG = uint8_t(Key >> 8), KB = uint8_t(Key >> 16);
        // Bytes in memory: blue, green, red (BGR888) or red, green, blue.
        const uint8_t K0 = BGR ? KB : KR, K2 = BGR ? KR : KB;
        for (int Y = 0; Y < H; ++Y) {
            const uchar* Row = Image.constScanLine(Y);
            AddRowRuns(B, Y, W, [&](int X) {
                const uchar* P = Row + 3 * X;
                return P[0] == K0 && P[1] == KG && P[2] == K2;
            });
        }
        return B.Build();
    }

    // Other formats: the monochrome mask of the resolved colour (as
    // TBitmap::Mask makes it), computed on the 32-bit pixels.
    const uint32_t Key = ColorToQRgb(TransparentColor) & 0xFFFFFFu;
    QImage Pixels;
    const QImage* Src = &Image;
    if (Image.format() != QImage::Format_RGB32 && Image.format() != QImage::Format_ARGB32) {
        Pixels = Bitmap->ToImage32();
        Src = &Pixels;
    }
    for (int Y = 0; Y < H; ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Src->constScanLine(Y));
        AddRowRuns(B, Y, W, [&](int X) { return (Row[X] & 0xFFFFFFu) == Key; });
    }
    return B.Build();
}

void CombineOpaqueChildren(TWinControl* Control, QRegion& Region, int Mode, TPoint Offset)
{
    if (!Control)
        return;
    for (int I = 0, N = Control->ControlCount(); I < N; ++I) {
        TControl* Child = Control->Controls(I);
        if (!Child || !Child->Visible() || GetOrdPropByName(Child, "Transparent") != 0)
            continue;
        TRect R = dynamic_cast<TWinControl*>(Child) ? TRect::FromQRect(Child->geometry()) : Child->BoundsRect();
        OffsetRect(R, Offset.X, Offset.Y);
        CombineRgn(Region, Region, CreateRectRgnIndirect(R), Mode);
    }
}

// ---------------------------------------------------------------- drawing

namespace {

// Restores the canvas state that the transfers below change.
class TCanvasStateSaver {
public:
    explicit TCanvasStateSaver(TCanvas* Canvas)
        : FCanvas(Canvas), FBrushColor(Canvas->Brush()->Color()), FBrushStyle(Canvas->Brush()->Style()),
          FBrushBitmap(Canvas->Brush()->Bitmap())
    {
        Canvas->RequireAllState();
        FText = Canvas->TextColor();
        FBk = Canvas->BkColor();
        FBkMode = Canvas->BkMode();
    }
    ~TCanvasStateSaver()
    {
        TBrush* B = FCanvas->Brush();
        B->SetBitmap(FBrushBitmap);
        B->SetColor(FBrushColor);
        B->SetStyle(FBrushStyle);
        FCanvas->RequireAllState();
        FCanvas->SetTextColor(FText);
        FCanvas->SetBkColor(FBk);
        FCanvas->SetBkMode(FBkMode);
    }
    TCanvasStateSaver(const TCanvasStateSaver&) = delete;
    TCanvasStateSaver& operator=(const TCanvasStateSaver&) = delete;

private:
    TCanvas* FCanvas;
    TColor FBrushColor;
    TBrushStyle FBrushStyle;
    QImage FBrushBitmap;
    TColor FText = clBlack;
    TColor FBk = clWhite;
    int FBkMode = OPAQUE;
};

// Selects a solid brush of Color and then the text and background colours
// (selecting a brush sets the background colour, so those come after it).
void SetBrushAndColors(TCanvas* Canvas, TColor Brush, TColor Text, TColor Bk)
{
    TBrush* B = Canvas->Brush();
    B->SetBitmap(QImage());
    B->SetStyle(bsSolid);
    B->SetColor(Brush);
    Canvas->RequireAllState();
    Canvas->SetTextColor(Text);
    Canvas->SetBkColor(Bk);
}

// A monochrome bitmap holding Mask (Format_Mono), index 0 black, 1 white.
void SetMonoImage(TBitmap& Bitmap, QImage Mask)
{
    Mask.setColorCount(2);
    Mask.setColor(0, qRgb(0, 0, 0));
    Mask.setColor(1, qRgb(255, 255, 255));
    Bitmap.SetImage(Mask);
}

// Paints the brush where the (monochrome) mask is black, through the
// transfer $E20746 with text colour white and background black, first in
// clBtnHighlight one pixel right and down, then in clBtnShadow in place.
constexpr uint32_t ROP_PaintWhereSourceSet = 0x00E20746; // (D xor P) and S xor D: S ? P : D
constexpr uint32_t ROP_ClearWhereSourceSet = 0x00220326; // D and not S

void EmbossMask(TCanvas* Canvas, TBitmap& Mask, int X, int Y, TColor Text, TColor Bk)
{
    const int W = Mask.Width(), H = Mask.Height();
    SetBrushAndColors(Canvas, clBtnHighlight, Text, Bk);
    BitBlt(Canvas, X + 1, Y + 1, W, H, Mask.Canvas(), 0, 0, ROP_PaintWhereSourceSet);
    SetBrushAndColors(Canvas, clBtnShadow, Text, Bk);
    BitBlt(Canvas, X, Y, W, H, Mask.Canvas(), 0, 0, ROP_PaintWhereSourceSet);
}

void DrawImageListImageAt(TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, bool Enabled,
                          TDrawingStyle Style, bool EvenX)
{
    if (!List || !Canvas || Index < 0 || Index >= List->Count())
        return;
    if (Enabled) {
        List->Draw(Canvas, EvenX ? X - (X & 1) : X, Y, Index, Style, itImage, true);
        return;
    }
    // The mask (1 = transparent, white), so the opaque pixels are black.
    TBitmap Mask;
    SetMonoImage(Mask, List->MaskAt(Index));
    TCanvasStateSaver Saver(Canvas);
    EmbossMask(Canvas, Mask, X, Y, clWhite, clBlack);
}

} // namespace

void DrawImageListImage(TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, bool Enabled,
                        TDrawingStyle Style)
{
    DrawImageListImageAt(List, Index, Canvas, X, Y, Enabled, Style, false);
}

void DrawImageListImageEven(TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, bool Enabled,
                            TDrawingStyle Style)
{
    DrawImageListImageAt(List, Index, Canvas, X, Y, Enabled, Style, true);
}

void MakeDisabledBitmap(TBitmap* Source, TBitmap* Target)
{
    if (!Source || !Target)
        throw EInvalidOperation("MakeDisabledBitmap needs a source and a target bitmap");
    const int W = Source->Width(), H = Source->Height();
    // The mask: white where the source is black. (The platform's way: a
    // monochrome copy made against a black background colour; a monochrome
    // source is first inverted through white text and background colours,
    // which gives the same bits.)
    QImage M(std::max(W, 1), std::max(H, 1), QImage::Format_Mono);
    M.fill(0);
    if (!Source->Empty()) {
        const QImage Pixels = Source->ToImage32();
        for (int Y = 0; Y < H; ++Y) {
            const auto* S = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
            uchar* D = M.scanLine(Y);
            for (int X = 0; X < W; ++X)
                if ((S[X] & 0xFFFFFFu) == 0)
                    D[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
        }
    }
    TBitmap Mask;
    SetMonoImage(Mask, M);

    Target->SetPixelFormat(pfDevice);
    Target->SetSize(W, H);
    if (W <= 0 || H <= 0)
        return;
    TCanvas* C = Target->Canvas();
    FillSolidRect(C, TRect(0, 0, W, H), clBtnFace);
    TCanvasStateSaver Saver(C);
    EmbossMask(C, Mask, 0, 0, clBlack, clWhite);
}

void DrawTransparentBitmap(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, bool Buffered, TBitmap* Mask)
{
    if (!Canvas || !Bitmap || !Mask || Rect.IsEmpty())
        return;
    const int W = RectWidth(Rect), H = RectHeight(Rect);
    auto Draw = [&](TCanvas* C, int X, int Y) {
        C->RequireAllState();
        C->SetBkColor(clWhite);
        C->SetTextColor(clBlack);
        BitBlt(C, X, Y, W, H, Bitmap->Canvas(), 0, 0, SRCINVERT);
        BitBlt(C, X, Y, W, H, Mask->Canvas(), 0, 0, ROP_ClearWhereSourceSet);
        BitBlt(C, X, Y, W, H, Bitmap->Canvas(), 0, 0, SRCINVERT);
    };
    Canvas->RequireAllState();
    const TColor OldBk = Canvas->BkColor(), OldText = Canvas->TextColor();
    if (Buffered) {
        TBitmap Scratch;
        Scratch.SetSize(W, H);
        TCanvas* SC = Scratch.Canvas();
        BitBlt(SC, 0, 0, W, H, Canvas, Rect.Left, Rect.Top, SRCCOPY);
        Draw(SC, 0, 0);
        BitBlt(Canvas, Rect.Left, Rect.Top, W, H, SC, 0, 0, SRCCOPY);
    } else {
        Draw(Canvas, Rect.Left, Rect.Top);
    }
    Canvas->SetBkColor(OldBk);
    Canvas->SetTextColor(OldText);
}

std::unique_ptr<TBrush> CreateCheckerBrush()
{
    QImage Pattern(8, 8, QImage::Format_Mono);
    Pattern.setColorCount(2);
    Pattern.setColor(0, qRgb(0, 0, 0));
    Pattern.setColor(1, qRgb(255, 255, 255));
    for (int Y = 0; Y < 8; ++Y)
        Pattern.scanLine(Y)[0] = (Y % 2 == 0) ? 0xAA : 0x55;
    auto Brush = std::make_unique<TBrush>();
    Brush->SetBitmap(Pattern);
    return Brush;
}

void TileGraphic(TGraphic* Graphic, TCanvas* Canvas, const TRect& Rect)
{
    if (!Graphic || !Canvas || Graphic->Empty())
        return;
    const int W = Graphic->Width(), H = Graphic->Height();
    const int RW = RectWidth(Rect), RH = RectHeight(Rect);
    if (W <= 0 || H <= 0 || RW <= 0 || RH <= 0)
        return;
    const int64_t NX = (int64_t(RW) + W - 1) / W, NY = (int64_t(RH) + H - 1) / H;

    // An opaque bitmap copied as it is: one pass over the tiled area instead
    // of one transfer per tile (small tiles over large areas).
    auto* Bitmap = dynamic_cast<TBitmap*>(Graphic);
    QImage Tile;
    if (Bitmap && !Bitmap->Transparent() && Bitmap->PixelFormat() != pf1bit && Canvas->CopyMode() == cmSrcCopy &&
        !Canvas->Monochrome() && NX * NY > 4)
        Tile = Bitmap->ToImage32();
    if (!Tile.isNull() && Tile.format() == QImage::Format_RGB32) {
        const TRect Area(0, 0, ClampToInt(NX * W), ClampToInt(NY * H));
        EditCanvasPixels(Canvas, Area, [&](QImage& P, TPoint O) {
            for (int Y = 0; Y < P.height(); ++Y) {
                auto* D = reinterpret_cast<QRgb*>(P.scanLine(Y));
                const auto* S = reinterpret_cast<const QRgb*>(Tile.constScanLine((Y + O.Y) % H));
                int SX = O.X % W;
                for (int X = 0; X < P.width(); ++X) {
                    D[X] = S[SX] | 0xFF000000u;
                    if (++SX == W)
                        SX = 0;
                }
            }
        });
        return;
    }
    for (int64_t X = 0; X < RW; X += W)
        for (int64_t Y = 0; Y < RH; Y += H)
            Canvas->Draw(static_cast<int>(X), static_cast<int>(Y), Graphic);
}

void DrawEllipsisButton(TCanvas* Canvas, const TRect& Rect, int State, unsigned Flags, bool NoFill, bool NoEdge)
{
    if (!Canvas)
        return;
    const bool Pressed = State == bsDown;
    if (!NoEdge) {
        TRect R = Rect;
        unsigned EdgeFlags = BF_RECT;
        if (Pressed && !(Flags & 0x80))
            EdgeFlags |= BF_FLAT;
        if (!NoFill)
            EdgeFlags |= BF_MIDDLE;
        DrawEdge(Canvas, R, EDGE_RAISED, EdgeFlags);
    }
    const int Width = RectWidth(Rect), Height = RectHeight(Rect);
    const int W = std::max(1, (Width + 1) / 8);
    const int K = Pressed ? 0 : 1;
    const int Y = Rect.Top + (Height + 1) / 2 - K;
    const int X = Rect.Left + Width / 2 - K;
    for (int DX : {-2 * W, 0, 2 * W})
        FillSolidRect(Canvas, TRect(X + DX, Y, X + DX + W, Y + W), clBlack);
}

void DrawComboArrowButton(TCanvas* Canvas, const TRect& Rect, bool Pressed, unsigned Flags, bool Enabled)
{
    if (!Canvas)
        return;
    unsigned State = DFCS_SCROLLCOMBOBOX;
    if (!Enabled)
        State |= DFCS_INACTIVE;
    else if (Pressed && !(Flags & 0x80))
        State |= DFCS_PUSHED | DFCS_FLAT;
    TRect R = Rect;
    DrawFrameControl(Canvas, R, DFC_SCROLL, State);
}

int TextHeightInWidth(TCanvas* Canvas, unsigned DrawFlags, int Width, const String& Text)
{
    if (!Canvas)
        return 0;
    TRect R(0, 0, Width, 0);
    return DrawText(Canvas, Text, R, DrawFlags | DT_CALCRECT);
}

TSize MultiLineTextExtent(TCanvas* Canvas, const String& Text, int LineSpacing, unsigned Flags, int Width)
{
    if (!Canvas)
        return TSize();
    static const String CRLF = "\r\n";
    const int Lines = TokenCount(Text, CRLF);
    // The lines in one pass (GetToken for each index would rescan the text).
    std::vector<size_t> Occ = Occurrences(Text, CRLF);
    int MaxWidth = 0, Total = 0;
    for (int I = 0; I < Lines; ++I) {
        const size_t Start = I == 0 ? 0 : Occ[size_t(I) - 1] + CRLF.size();
        const size_t End = size_t(I) < Occ.size() ? Occ[size_t(I)] : Text.size();
        const String Line = End > Start ? Text.substr(Start, End - Start) : String();
        int LW, LH;
        if (Width != 0) {
            TRect R(0, 0, Width, 0);
            LH = DrawText(Canvas, Line, R, Flags | DT_CALCRECT);
            LW = RectWidth(R);
        } else {
            const TSize E = Canvas->TextExtent(Line);
            LW = E.cx;
            LH = E.cy;
        }
        MaxWidth = std::max(MaxWidth, LW);
        Total += LH;
        if (I > 0)
            Total += LineSpacing;
    }
    return TSize(MaxWidth, Total);
}

void CalcGlyphTextLayout(TPoint Center, TRect* TextRect, TRect* GlyphRect, int Spacing, TButtonLayout Layout,
                         TSize GlyphSize, TSize TextSize)
{
    const int GW = GlyphSize.cx, GH = GlyphSize.cy, TW = TextSize.cx, TH = TextSize.cy;
    const int S = (GW == 0 || GH == 0) ? (Spacing - 6) / 2 : Spacing;
    struct TCodes {
        int TextX, TextY, GlyphX, GlyphY;
    };
    TCodes C;
    switch (Layout) {
    case blGlyphRight: C = {3, 2, 7, 1}; break;
    case blGlyphTop: C = {2, 7, 1, 3}; break;
    case blGlyphBottom: C = {2, 3, 1, 7}; break;
    case blGlyphLeft:
    default: C = {7, 2, 3, 1}; break;
    }
    auto PosX = [&](int F, int Other) {
        const int SX = ((F & 3) == 3 ? S : 0) + ((F & 1) ? GW : 0) + ((F & 2) ? TW : 0);
        return Center.X - SX / 2 + ((F & 4) ? S + Other : 0);
    };
    auto PosY = [&](int F, int Other) {
        const int SY = ((F & 3) == 3 ? S : 0) + ((F & 1) ? GH + 1 : 0) + ((F & 2) ? TH : 0);
        return Center.Y - SY / 2 + ((F & 4) ? S + Other : 0);
    };
    if (TextRect) {
        const int X = PosX(C.TextX, GW), Y = PosY(C.TextY, GH);
        *TextRect = TRect(X, Y, X + TW, Y + TH);
    }
    if (GlyphRect) {
        const int X = PosX(C.GlyphX, TW), Y = PosY(C.GlyphY, TH);
        *GlyphRect = TRect(X, Y, X + GW, Y + GH);
    }
}

// ---------------------------------------------------------------- components and classes

bool InheritsFromClassName(const QMetaObject* Class, const String& Name)
{
    for (const QMetaObject* M = Class; M; M = M->superClass())
        if (SameText(M->className(), Name))
            return true;
    return false;
}

bool InheritsFromClassName(const QObject* Object, const String& Name)
{
    return Object && InheritsFromClassName(Object->metaObject(), Name);
}

namespace {

TWinControl* ParentOf(const TControl* Control)
{
    return Control ? Control->Parent() : nullptr;
}

bool PaintingCopy(const TControl* Control)
{
    return Control->ControlState().testFlag(csPaintCopy);
}

} // namespace

bool ParentIsGrid(const TControl* Control)
{
    return InheritsFromClassName(ParentOf(Control), "TCustomGrid");
}

bool ParentIsZrDBGrid(const TControl* Control)
{
    return InheritsFromClassName(ParentOf(Control), "TzrDBGrid");
}

bool ParentIsZrDataInspector(const TControl* Control)
{
    return InheritsFromClassName(ParentOf(Control), "TzrDataInspector");
}

bool FocusedInZrDBGrid(const TControl* Control)
{
    return ParentIsZrDBGrid(Control) && ParentOf(Control)->Focused();
}

bool PaintCopyInGrid(const TControl* Control)
{
    return ParentIsGrid(Control) && PaintingCopy(Control);
}

bool PaintCopyInZrDataInspector(const TControl* Control)
{
    return ParentIsZrDataInspector(Control) && PaintingCopy(Control);
}

int ZrDBGridOptions(const TControl* Control)
{
    if (!ParentIsZrDBGrid(Control))
        return 0;
    return static_cast<int>(GetOrdPropByName(ParentOf(Control), "Options") & 0xFF);
}

int64_t GetOrdPropByName(const QObject* Object, const String& Name)
{
    if (!Object)
        return 0;
    const QMetaProperty P = FindPublishedProperty(Object, Name);
    if (!P.isValid())
        return 0;
    return ReadOrdinal(Object, P).value_or(0);
}

void SetOrdPropByName(QObject* Object, const String& Name, int64_t Value)
{
    if (!Object)
        return;
    const QMetaProperty P = FindPublishedProperty(Object, Name);
    if (P.isValid())
        WriteOrdinal(Object, P, Value);
}

void ListBooleanProps(const QObject* Object, TStrings* List)
{
    if (!Object)
        return;
    CheckList(List);
    for (const String& Name : GetBooleanPropertyNames(Object))
        List->Add(Name);
}

String UniqueComponentName(const TComponent* Owner, const String& Base)
{
    std::unordered_set<String> Names;
    if (Owner)
        for (int I = 0, N = Owner->ComponentCount(); I < N; ++I)
            Names.insert(Owner->Components(I)->Name());
    for (int64_t N = 1;; ++N) {
        String Candidate = Base + IntToStr(N);
        if (!Names.count(Candidate))
            return Candidate;
    }
}

bool IsDesigning(const TControl* Control)
{
    if (!Control)
        return false;
    if (const TCustomForm* Form = Control->GetParentForm())
        return Form->IsDesigning();
    return Control->IsDesigning();
}

namespace {

const char* const NoClipChildrenProperty = "zenNoClipChildren";

} // namespace

bool HasClipChildren(const TControl* Control)
{
    const auto* W = dynamic_cast<const TWinControl*>(Control);
    return W && W->ControlStyle().testFlag(csAcceptsControls) && !W->property(NoClipChildrenProperty).toBool();
}

void RemoveClipChildren(TControl* Control)
{
    if (auto* W = dynamic_cast<TWinControl*>(Control))
        W->setProperty(NoClipChildrenProperty, true);
}

namespace {

bool GThemeServices = false;

// The DisableThemes property of the object: true/false, or nothing without one.
std::optional<bool> DisableThemesOf(const QObject* Object)
{
    if (!Object)
        return std::nullopt;
    const QMetaProperty P = FindPublishedProperty(Object, "DisableThemes");
    if (!P.isValid())
        return std::nullopt;
    return ReadOrdinal(Object, P).value_or(0) != 0;
}

} // namespace

bool ThemeServicesEnabled()
{
    return GThemeServices;
}

void SetThemeServicesEnabled(bool Value)
{
    GThemeServices = Value;
}

bool UseThemes(const TControl* Control)
{
    if (!GThemeServices || !Control)
        return GThemeServices;
    std::optional<bool> Disabled = DisableThemesOf(Control);
    if (!Disabled)
        Disabled = DisableThemesOf(Control->Parent());
    return !Disabled.value_or(false);
}

uint32_t ComCtlVersion()
{
    static uint32_t Cached = 0;
    if (Cached)
        return Cached;
    // qVersion() is the version of the Qt libraries the program runs with.
    const char* V = qVersion();
    unsigned Major = 0, Minor = 0;
    if (V && std::sscanf(V, "%u.%u", &Major, &Minor) == 2 && Major > 0 && Major <= 0xFFFF && Minor <= 0xFFFF)
        Cached = (Major << 16) | Minor;
    return Cached;
}

TControl* TnvControlList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)];
}

int TnvControlList::IndexOf(const TControl* Control) const
{
    for (size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I] == Control)
            return static_cast<int>(I);
    return -1;
}

void TnvControlList::Purge()
{
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(), [](const QPointer<TControl>& P) { return P.isNull(); }),
                 FItems.end());
}

void TnvControlList::Add(TControl* Control)
{
    Purge();
    if (Control && IndexOf(Control) < 0)
        FItems.emplace_back(Control);
}

void TnvControlList::Remove(TControl* Control)
{
    Purge();
    const int I = IndexOf(Control);
    if (I >= 0)
        FItems.erase(FItems.begin() + I);
}

namespace {

TnvControlList* ControlListOf(TComponent* Component)
{
    QObject* O = Component ? Component->AsObject() : nullptr;
    if (!O)
        return nullptr;
    const QMetaProperty P = FindPublishedProperty(O, "ControlList");
    return P.isValid() ? qobject_cast<TnvControlList*>(ReadObject(O, P)) : nullptr;
}

} // namespace

void RegisterControlList(TComponent*& Field, TComponent* Component, TControl* Control)
{
    if (Component && Control)
        Component->FreeNotification(Control);
    if (Field == Component)
        return;
    if (TnvControlList* Old = ControlListOf(Field))
        Old->Remove(Control);
    if (Component) {
        if (TnvControlList* New = ControlListOf(Component))
            New->Add(Control);
    }
    Field = Component;
}

// ---------------------------------------------------------------- invalidation

namespace {

// A window in the framework's sense: a windowed control or a plain Qt widget
// inside one (a graphic control is drawn on its parent's window).
bool IsChildWindow(QWidget* W)
{
    if (!W || W->isWindow())
        return false;
    auto* C = dynamic_cast<TControl*>(W);
    return !C || dynamic_cast<TWinControl*>(W);
}

void InvalidateWidget(QWidget* W)
{
    if (auto* C = dynamic_cast<TControl*>(W))
        C->Invalidate();
    else
        W->update();
}

QRect GlobalRect(QWidget* W)
{
    return QRect(W->mapToGlobal(QPoint(0, 0)), W->size());
}

} // namespace

void InvalidateWindowTree(QWidget* Window)
{
    if (!Window)
        return;
    InvalidateWidget(Window);
    for (QObject* O : Window->children())
        if (auto* W = qobject_cast<QWidget*>(O); IsChildWindow(W))
            InvalidateWindowTree(W);
}

void InvalidateChildrenInRect(QWidget* Parent, QWidget* Window)
{
    if (!Parent || !Window)
        return;
    const QRect Target = GlobalRect(Window);
    for (QObject* O : Parent->children())
        if (auto* W = qobject_cast<QWidget*>(O); IsChildWindow(W) && GlobalRect(W).intersects(Target))
            InvalidateWindowTree(W);
}

void InvalidateControlArea(TControl* Control, bool Erase)
{
    (void)Erase; // Qt repaints an area whole, background first
    if (!Control || !Control->Parent())
        return;
    Control->Parent()->update(Control->BoundsRect().ToQRect());
}

// ---------------------------------------------------------------- slide animation

namespace {

int Interpolate(int Start, int End, int K, int Steps)
{
    // Start + Trunc((End - Start) * K / Steps), exact in 64-bit integers.
    return ClampToInt(int64_t(Start) + (int64_t(End) - Start) * K / Steps);
}

void ProcessPendingMessages()
{
    if (Application)
        Application->ProcessMessages();
    else
        QCoreApplication::processEvents();
}

} // namespace

void AnimateControls(TControl* Control, const TnvAnimateList& List, const TnvSetBoundsEvent& Callback, int Steps,
                     int Interval)
{
    if (List.empty() || Steps <= 0)
        return;
    for (const auto& G : List)
        if (!G || !G->Primary)
            throw EInvalidOperation("Every group of a slide animation needs a primary control");
    const QPointer<TControl> Owner(Control);

    for (int K = 1; K <= Steps; ++K) {
        for (const auto& G : List) {
            for (TnvAnimateListItem* Item : {G->Primary.get(), G->Secondary.get()}) {
                if (!Item || !Item->Control)
                    continue;
                Item->CurrentRect = Item->Control->BoundsRect();
                const TRect R(Interpolate(Item->StartRect.Left, Item->EndRect.Left, K, Steps),
                              Interpolate(Item->StartRect.Top, Item->EndRect.Top, K, Steps),
                              Interpolate(Item->StartRect.Right, Item->EndRect.Right, K, Steps),
                              Interpolate(Item->StartRect.Bottom, Item->EndRect.Bottom, K, Steps));
                if (Callback)
                    Callback(Item->Control, R);
                else
                    Item->Control->SetBoundsRect(R);
            }
        }
        // Repaint. The platform composes every window off-screen, so the
        // parent never paints over a moving secondary; the secondary is
        // repainted whole and at once when it stayed in place.
        for (const auto& G : List) {
            if (TControl* P = G->Primary->Control) {
                P->Invalidate();
                P->Update();
            }
            if (G->Secondary && G->Secondary->Control) {
                TControl* S = G->Secondary->Control;
                S->Invalidate();
                if (S->Left() == G->Secondary->CurrentRect.Left && S->Top() == G->Secondary->CurrentRect.Top)
                    S->Update();
            }
        }
        const bool Themed = UseThemes(Owner.data());
        if (!Themed)
            ProcessPendingMessages();
        if (Interval > 0)
            QThread::msleep(static_cast<unsigned long>(Interval));
        if (!Themed)
            ProcessPendingMessages();
    }
}
