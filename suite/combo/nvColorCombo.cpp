#include "nvColorCombo.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <algorithm>

#include "Canvas.h"
#include "Forms.h"
#include "nvCommon.h"

namespace {

const TColor NoneValue = clNone;

String HexOf(TColor Color)
{
    return IntToHex(static_cast<unsigned>(Color), 6);
}

// Whether an entry value names a system colour (the platform's system
// colours and the default colour).
bool IsSystemValue(TColor C)
{
    return IsSystemColor(C) || C == clDefault;
}

String ValueOfEntry(const String& Entry)
{
    const size_t P = Entry.find('=');
    return TrimBlanks(P == String::npos ? Entry : Entry.substr(P + 1));
}

String NameOfEntry(const String& Entry)
{
    const size_t P = Entry.find('=');
    return P == String::npos ? String() : Entry.substr(0, P);
}

void Channels(TColor C, int& R, int& G, int& B)
{
    const TColor X = ColorToRGB(C);
    R = GetRValue(X);
    G = GetGValue(X);
    B = GetBValue(X);
}

// The class of a value in the RGB or intensity order (lower first).
int ValueClass(TColor C, bool ByIntensity, bool Group)
{
    if (C == NoneValue)
        return 0;
    int R, G, B;
    Channels(C, R, G, B);
    int Class = ByIntensity ? (R == G && G == B ? 2 : 1) : ColorHueClass(R, G, B);
    if (Group && IsSystemValue(C))
        Class += 16;
    return Class;
}

int CompareValues(const String& A, const String& B, bool ByIntensity, bool Group)
{
    if (A == B)
        return 0;
    const TColor CA = ColorOfValueText(A), CB = ColorOfValueText(B);
    const int KA = ValueClass(CA, ByIntensity, Group), KB = ValueClass(CB, ByIntensity, Group);
    if (KA != KB)
        return KA - KB;
    int R, G, Bl;
    Channels(CA, R, G, Bl);
    const int AvgA = (R + G + Bl) / 3;
    Channels(CB, R, G, Bl);
    const int AvgB = (R + G + Bl) / 3;
    if (ByIntensity || KA % 2 == 1)
        return AvgA - AvgB;
    return AvgB - AvgA;
}

int NameRank(TColor C)
{
    if (C == NoneValue)
        return 0;
    return IsSystemValue(C) ? 2 : 1;
}

int CompareNamedEntries(const String& A, const String& B)
{
    const int RA = NameRank(ColorOfValueText(ValueOfEntry(A)));
    const int RB = NameRank(ColorOfValueText(ValueOfEntry(B)));
    if (RA != RB)
        return RA - RB;
    return AnsiCompareText(NameOfEntry(A), NameOfEntry(B));
}

void* EntryTag(int Index)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(Index));
}

// The height of the default (system) font.
int SystemFontHeight()
{
    static const int H = [] {
        TFont F;
        return F.Metrics().tmHeight;
    }();
    return H;
}

int Luminance(TColor C)
{
    int R, G, B;
    Channels(C, R, G, B);
    return (R * 30 + G * 59 + B * 11) / 100;
}

void CheckLeftRight(TAlignment Value, const char* Property)
{
    if (Value != taLeftJustify && Value != taRightJustify)
        throw EInvalidOperation(String(Property) + " must be taLeftJustify or taRightJustify (" +
                                std::to_string(static_cast<int>(Value)) + ")");
}

// The swatch and text rectangles of an item or of the combo's edit.
void SwatchLayout(const TRect& Item, int SwatchW, int SwatchH, int Margin, bool SwatchRight, TRect& Swatch,
                  TRect& Text)
{
    const int Top = Item.Top + (Item.Height() - SwatchH) / 2;
    if (SwatchRight) {
        Swatch = TRect(Item.Right - Margin - SwatchW, Top, Item.Right - Margin, Top + SwatchH);
        Text = TRect(Item.Left + Margin, Item.Top, Swatch.Left - Margin, Item.Bottom);
    } else {
        Swatch = TRect(Item.Left + Margin, Top, Item.Left + Margin + SwatchW, Top + SwatchH);
        Text = TRect(Swatch.Right + Margin, Item.Top, Item.Right - Margin, Item.Bottom);
    }
}

void DrawCross(TCanvas* C, const TRect& R)
{
    C->MoveTo(R.Left, R.Top);
    C->LineTo(R.Right, R.Bottom);
    C->MoveTo(R.Right - 1, R.Top);
    C->LineTo(R.Left - 1, R.Bottom);
}

} // namespace

TColor ColorOfValueText(const String& Value)
{
    if (Value.empty() || Value.size() > 8)
        return MakeColor(0);
    uint32_t V = 0;
    for (char Ch : Value) {
        int D;
        if (Ch >= '0' && Ch <= '9')
            D = Ch - '0';
        else if (Ch >= 'a' && Ch <= 'f')
            D = Ch - 'a' + 10;
        else if (Ch >= 'A' && Ch <= 'F')
            D = Ch - 'A' + 10;
        else
            return MakeColor(0);
        V = V * 16 + static_cast<uint32_t>(D);
    }
    return MakeColor(V);
}

int ColorHueClass(int R, int G, int B)
{
    auto P = [](int X, int Y) { return static_cast<double>(X) / Y * 100.0 < 16.0; };
    if (R == G && G == B)
        return 15;
    if (R >= G && R >= B) {
        if (R > G && G > B)
            return P(R - G, R) ? 2 : !P(G, R) ? 1 : 14;
        if (R == G && G > B)
            return 2;
        if (R == B && B > G)
            return 12;
        if (R > B && B > G)
            return P(R - B, R) ? 12 : !P(B, R) ? 13 : 14;
        if (G == B && G < R)
            return 14;
        return 15;
    }
    if (G < R || G < B) { // blue
        if (B > G && G > R)
            return P(B - G, B) ? 7 : P(G, B) ? 9 : 8;
        if (B > G && G == R)
            return 10;
        if (B > R && R > G)
            return P(B - R, B) ? 12 : P(R, B) ? 9 : 11;
        return 15;
    }
    // green
    if (G > B && B > R)
        return P(G - B, G) ? 7 : P(B, G) ? 4 : 6;
    if (G > R && R > B)
        return !P(G - R, G) && P(R, G) ? 4 : 3;
    if (G > R && R == B)
        return 5;
    if (G == B && B > R)
        return 7;
    return 15;
}

// ---------------------------------------------------------------- TnvCustomColorList

TnvCustomColorList::TnvCustomColorList(TComponent* AOwner)
    : TCustomListBox(AOwner), FCustomColors(std::make_unique<TStringList>()),
      FAllColors(std::make_unique<TStringList>()), FAddedColors(std::make_unique<TStringList>())
{
    FControlStyle |= csReplicatable;
    FControlStyle &= ~TControlStyle(csDoubleClicks);
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(16);
    FDefaultColorWidth = std::min(SystemFontHeight(), Font()->Metrics().tmHeight) - 1;
    FColorWidth = FDefaultColorWidth;
    FCustomColors->OnChange = [this](TObject* Sender) { CustomColorsChanged(Sender); };
    BuildColorList();
}

TnvCustomColorList::~TnvCustomColorList()
{
    FCustomColors->OnChange = nullptr;
}

void TnvCustomColorList::SetAlignment(TAlignment Value)
{
    CheckLeftRight(Value, "Alignment");
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
    ListWidget()->viewport()->update();
}

void TnvCustomColorList::SetColorAlignment(TAlignment Value)
{
    CheckLeftRight(Value, "ColorAlignment");
    if (FColorAlignment == Value)
        return;
    FColorAlignment = Value;
    if (!IsLoading())
        RecreateWnd();
    ListWidget()->viewport()->update();
}

void TnvCustomColorList::SetColorMargin(int Value)
{
    if (Value < 0 || FColorMargin == Value)
        return;
    FColorMargin = Value;
    ListWidget()->viewport()->update();
}

void TnvCustomColorList::SetColorWidth(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("ColorWidth cannot be negative (" + std::to_string(Value) + ")");
    if (FColorWidth == Value)
        return;
    FColorWidth = Value;
    ListWidget()->viewport()->update();
}

void TnvCustomColorList::SetCustomColors(TStrings* Value)
{
    FAssigningCustom = true;
    try {
        if (Value)
            FCustomColors->Assign(Value);
        else
            FCustomColors->Clear();
    } catch (...) {
        FAssigningCustom = false;
        throw;
    }
    FAssigningCustom = false;
    if (!IsLoading())
        BuildColorList();
    String Name;
    if (FindDuplicateName(Name))
        MessageDlg("Duplicate Color Name Not Allowed: " + Name, mtWarning, TMsgDlgButtons(mbOK), 0);
}

void TnvCustomColorList::CustomColorsChanged(TObject*)
{
    if (FAssigningCustom || IsLoading())
        return;
    BuildColorList();
}

void TnvCustomColorList::SetGreyScaleIncrement(int Value)
{
    if (Value < 1 || Value > 255 || FGreyScaleIncrement == Value)
        return;
    FGreyScaleIncrement = Value;
    if (!IsLoading())
        BuildColorList();
}

void TnvCustomColorList::SetNoneString(const String& Value)
{
    if (FNoneString == Value)
        return;
    FNoneString = Value;
    if (!IsLoading())
        BuildColorList();
}

void TnvCustomColorList::SetOptions(TnvColorListBoxOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    // Grouping turns the list box's own alphabetical order off (and back on).
    SetSorted(FSortBy == csoByName && !FOptions.testFlag(ccoGroupSystemColors));
    if (!IsLoading())
        BuildColorList();
}

void TnvCustomColorList::SetSortBy(TnvSortByOption Value)
{
    if (Value < csoNone || Value > csoByName)
        throw EInvalidOperation("Invalid sort order " + std::to_string(static_cast<int>(Value)));
    if (FSortBy == Value)
        return;
    FSortBy = Value;
    SetSorted(Value == csoByName && !FOptions.testFlag(ccoGroupSystemColors));
    if (!IsLoading())
        SortAndFilter();
}

void TnvCustomColorList::SetSelectedColor(TColor Value)
{
    if (IsLoading()) {
        FSelectedColor = Value;
        return;
    }
    if (Value == GetSelectedColor() && Value == FSelectedColor)
        return;
    ApplySelectedColor(Value);
}

void TnvCustomColorList::ApplySelectedColor(TColor Value)
{
    FSelectedColor = Value;
    if (FAllColors->Count() == 0)
        return;
    const int Item = IndexOfColor(Value);
    if (Item >= 0) {
        SelectIndex(Item);
        return;
    }
    // An entry that did not pass the filter selects nothing.
    const String Hex = HexOf(Value);
    for (int I = 0; I < FAllColors->Count(); ++I)
        if (SameText(ListValue(FAllColors.get(), I), Hex)) {
            SelectIndex(-1);
            return;
        }
    // No colour, and the none colour of a list without its entry, select
    // nothing (an "RGB:" entry would misname them).
    if (Value == clNoColorSelected || Value == clNone) {
        SelectIndex(-1);
        return;
    }
    SelectIndex(-1);
    AddColor(ColorToRGBText(Value), Hex);
}

TColor TnvCustomColorList::GetSelectedColor() const
{
    const int I = ItemIndex();
    return I < 0 ? clNoColorSelected : ItemColor(I);
}

void TnvCustomColorList::SelectIndex(int Index)
{
    if (Index >= Count())
        Index = -1;
    SetItemIndex(Index);
    if (Index >= 0)
        ListWidget()->scrollToItem(ListWidget()->item(Index));
}

int TnvCustomColorList::EntryOfItem(int Item) const
{
    if (Item < 0 || Item >= Count())
        return -1;
    return static_cast<int>(reinterpret_cast<intptr_t>(Items()->GetObject(Item)));
}

TColor TnvCustomColorList::ItemColor(int Item) const
{
    const int E = EntryOfItem(Item);
    return E < 0 ? clNoColorSelected : ColorOfValueText(ListValue(FAllColors.get(), E));
}

String TnvCustomColorList::ItemName(int Item) const
{
    const int E = EntryOfItem(Item);
    return E < 0 ? String() : ListName(FAllColors.get(), E);
}

int TnvCustomColorList::IndexOfColor(TColor Color) const
{
    // Value texts compare without case, so a grey "0a0a0a" is found as
    // $0A0A0A.
    const String Hex = HexOf(Color);
    for (int I = 0; I < Count(); ++I) {
        const int E = EntryOfItem(I);
        if (E >= 0 && SameText(ListValue(FAllColors.get(), E), Hex))
            return I;
    }
    return -1;
}

int TnvCustomColorList::SwatchWidth() const
{
    return FColorWidth != 0 ? FColorWidth : ItemHeight() - 2 * FColorMargin;
}

bool TnvCustomColorList::FindDuplicateName(String& Name)
{
    std::vector<String> Names;
    for (int I = 0; I < FCustomColors->Count(); ++I)
        Names.push_back(ListName(FCustomColors.get(), I));
    // The none name sorts before every other name.
    std::stable_sort(Names.begin(), Names.end(), [this](const String& A, const String& B) {
        const bool NA = SameText(A, FNoneString), NB = SameText(B, FNoneString);
        if (NA != NB)
            return NA;
        return AnsiCompareText(A, B) < 0;
    });
    for (size_t I = 1; I < Names.size(); ++I)
        if (SameText(Names[I], Names[I - 1])) {
            Name = Names[I];
            return true;
        }
    return false;
}

bool TnvCustomColorList::AddColor(const String& Name, const String& Value)
{
    String N = Name;
    const String V = TrimBlanks(Value);
    const bool Rgb = N.compare(0, 4, "RGB:") == 0;
    if (Rgb && !Building()) {
        bool Accept = true;
        if (OnAddNewColor)
            OnAddNewColor(this, ColorOfValueText(V), N, Accept);
        if (!Accept)
            return false;
    }
    const String Key = AnsiUpperCase(N);
    if (FValueIndex.count(V) || FNameIndex.count(Key))
        return false;
    FAllColors->Add(N + "=" + V);
    FValueIndex.insert(V);
    FNameIndex.insert(Key);
    if (Rgb && !Building()) {
        FAddedColors->Add(N + "=" + V);
        SortAndFilter();
    }
    return true;
}

void TnvCustomColorList::BuildColorList()
{
    ++FBuildLevel;
    try {
        TStringList Temp;
        if (FOptions.testFlag(ccoShowColorNone))
            Temp.Add(FNoneString + "=" + HexOf(NoneValue));
        for (const TColorIdent& Id : ColorIdents()) {
            const TColor V = Id.Value;
            const String Name = String(Id.Name).substr(2);
            if (V == clBlack) {
                if (FOptions.testFlag(ccoShowStandardColors))
                    Temp.Add("Black=000000");
                continue;
            }
            if (V == clNone)
                continue;
            const bool Standard = (static_cast<uint32_t>(V) & 0xFFFFFF) > 30;
            if ((Standard && FOptions.testFlag(ccoShowStandardColors)) ||
                (!Standard && FOptions.testFlag(ccoShowSystemColors)))
                Temp.Add(Name + "=" + HexOf(V));
        }
        FAllColors->Clear();
        FValueIndex.clear();
        FNameIndex.clear();
        for (int I = 0; I < Temp.Count(); ++I)
            AddColor(ListName(&Temp, I), ListValue(&Temp, I));
        if (FOptions.testFlag(ccoShowCustomColors))
            for (int I = 0; I < FCustomColors->Count(); ++I)
                AddColor(ListName(FCustomColors.get(), I), ListValue(FCustomColors.get(), I));
        for (int I = 0; I < FAddedColors->Count(); ++I)
            AddColor(ListName(FAddedColors.get(), I), ListValue(FAddedColors.get(), I));
        if (FOptions.testFlag(ccoShowGreyScale)) {
            int N = 1;
            for (int V = 0; V < 256; V += FGreyScaleIncrement) {
                const String Hex = LowerCase(ColorToHex(V, V, V));
                if (AddColor("Grey" + std::to_string(N), Hex))
                    ++N;
            }
        }
    } catch (...) {
        --FBuildLevel;
        throw;
    }
    --FBuildLevel;
    SortAndFilter();
}

void TnvCustomColorList::SortAndFilter()
{
    const int N = FAllColors->Count();
    if (N > 1) {
        const bool Group = FOptions.testFlag(ccoGroupSystemColors);
        switch (FSortBy) {
        case csoByRGB:
        case csoByIntensity: {
            const bool ByIntensity = FSortBy == csoByIntensity;
            QuickSortStrings(
                FAllColors.get(), 0, N - 1, [](TStrings* L, int I) { return ListValue(L, I); },
                [ByIntensity, Group](const String& A, const String& B) {
                    return CompareValues(A, B, ByIntensity, Group);
                });
            break;
        }
        case csoByName:
            if (Group)
                QuickSortStrings(
                    FAllColors.get(), 0, N - 1, [](TStrings* L, int I) { return L->Get(I); },
                    CompareNamedEntries);
            break;
        case csoNone: break;
        }
    }
    FilterItems();
    ApplySelectedColor(FSelectedColor);
}

void TnvCustomColorList::FilterItems()
{
    ++FProgramChange;
    Items()->BeginUpdate();
    try {
        Items()->Clear();
        for (int I = 0; I < FAllColors->Count(); ++I) {
            const String Name = ListName(FAllColors.get(), I);
            bool Accept = true;
            if (OnFilterColor)
                OnFilterColor(this, ColorOfValueText(ListValue(FAllColors.get(), I)), Name, Accept);
            if (Accept)
                Items()->AddObject(Name, static_cast<TObject*>(EntryTag(I)));
        }
    } catch (...) {
        Items()->EndUpdate();
        --FProgramChange;
        throw;
    }
    Items()->EndUpdate();
    --FProgramChange;
}

void TnvCustomColorList::Loaded()
{
    TCustomListBox::Loaded();
    BuildColorList();
}

void TnvCustomColorList::CreateWnd()
{
    TCustomListBox::CreateWnd();
    if (!IsLoading())
        BuildColorList();
}

void TnvCustomColorList::Click()
{
    FSelectedColor = GetSelectedColor();
    TCustomListBox::Click();
}

bool TnvCustomColorList::IsPropertyStored(const char* Name) const
{
    const String N(Name);
    if (N == "ColorWidth")
        return FColorWidth != FDefaultColorWidth;
    if (N == "SelectedColor")
        return GetSelectedColor() != clNoColorSelected;
    return TCustomListBox::IsPropertyStored(Name);
}

void TnvCustomColorList::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* C = Canvas();
    const int Entry = EntryOfItem(Index);
    if (Entry < 0)
        return;
    const String Name = ListName(FAllColors.get(), Entry);
    const TColor Value = ColorOfValueText(ListValue(FAllColors.get(), Entry));
    const bool IsNone = Value == NoneValue;
    const bool Selected = State.testFlag(odSelected);

    TColor Back = Color();
    TColor TextColor = Font()->Color();
    if (Selected) {
        Back = FHighlightColor;
        if (Back == clNone)
            Back = Focused() || FCombo || MultiSelect() ? clHighlight : clBtnFace;
        TextColor = FHighlightTextColor;
        if (TextColor == clNone)
            TextColor = Luminance(Back) <= 128 ? clHighlightText : clWindowText;
    }
    const TColor OldBrush = C->Brush()->Color();
    const TColor OldPen = C->Pen()->Color();
    const TColor OldFont = C->Font()->Color();
    const int OldMode = C->BkMode();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Back);
    C->FillRect(Rect);

    const int M = FColorMargin;
    const bool Names = FOptions.testFlag(ccoShowColorNames);
    const String Text = IsNone && Name.empty() ? String("None") : Name;
    TRect Swatch, TextRect;
    if (!Names) {
        Swatch = TRect(Rect.Left + M, Rect.Top + M, Rect.Right - M, Rect.Bottom - M);
    } else {
        C->Font()->SetColor(TextColor);
        const int H = ItemHeight() - 2 * M;
        int W = SwatchWidth();
        const bool Right = FColorAlignment == taRightJustify;
        if (!Right && FAlignment == taRightJustify) {
            const int Need = C->TextWidth(Text);
            W = std::max(0, std::min(W, Rect.Width() - Need - 3 * M));
        }
        SwatchLayout(Rect, W, H, M, Right, Swatch, TextRect);
    }
    C->Brush()->SetColor(IsNone ? Back : Value);
    C->Pen()->SetColor(TextColor);
    C->Pen()->SetStyle(psSolid);
    C->Rectangle(Swatch);
    C->SetBkMode(TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(TextColor);
    if (Names) {
        if (IsNone)
            DrawCross(C, Swatch);
        const int Y = TextRect.Top + (TextRect.Height() - C->TextHeight(Text)) / 2;
        const int X = FAlignment == taRightJustify ? TextRect.Right - C->TextWidth(Text) : TextRect.Left;
        C->TextRect(TextRect, X, Y, Text);
    } else if (IsNone) {
        const String S = FNoneString.empty() ? String("None") : FNoneString;
        const int X = Swatch.Left + (Swatch.Width() - C->TextWidth(S)) / 2;
        const int Y = Swatch.Top + (Swatch.Height() - C->TextHeight(S)) / 2;
        C->TextRect(Swatch, X, Y, S);
    }
    // The focus rectangle of the focused item is drawn by the list itself.
    C->SetBkMode(OldMode);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(OldBrush);
    C->Pen()->SetColor(OldPen);
    C->Font()->SetColor(OldFont);
}

void TnvCustomColorList::WndProc(TMessage& Message)
{
    if (FCombo) {
        switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP: {
            const TPoint P = LParamToPoint(Message.LParam);
            const bool Inside = ClientRect().Contains(P);
            if (Message.Msg == WM_LBUTTONUP) {
                FMousePressed = false;
                FCombo->CloseUp(Inside);
                return;
            }
            if (!Inside) {
                if (Message.Msg != WM_MOUSEMOVE)
                    FCombo->CloseUp(false);
                return;
            }
            if (Message.Msg != WM_MOUSEMOVE)
                FMousePressed = true;
            // The item under the mouse follows it.
            const int I = ItemAtPos(P, true);
            if (I >= 0 && I != ItemIndex())
                SelectIndex(I);
            return;
        }
        default: break;
        }
    }
    TCustomListBox::WndProc(Message);
}

// ---------------------------------------------------------------- TnvColorListOptions

TnvColorListOptions::TnvColorListOptions() : FFont(std::make_unique<TFont>()) {}

TnvColorListOptions::~TnvColorListOptions() = default;

void TnvColorListOptions::SetGreyScaleIncrement(int Value)
{
    if (Value < 1 || Value > 255)
        return;
    FGreyScaleIncrement = Value;
}

void TnvColorListOptions::SetItemHeight(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("An item height must be at least 1 (" + std::to_string(Value) + ")");
    FItemHeight = Value;
}

void TnvColorListOptions::SetSortBy(TnvSortByOption Value)
{
    if (Value < csoNone || Value > csoByName)
        throw EInvalidOperation("Invalid sort order " + std::to_string(static_cast<int>(Value)));
    FSortBy = Value;
}

void TnvColorListOptions::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvColorListOptions*>(Source)) {
        FColorWidth = S->FColorWidth;
        FGreyScaleIncrement = S->FGreyScaleIncrement;
        FItemHeight = S->FItemHeight;
        FNoneString = S->FNoneString;
        FOptions = S->FOptions;
        FSortBy = S->FSortBy;
        FColor = S->FColor;
        FFont->Assign(S->FFont.get());
        FIntegralHeight = S->FIntegralHeight;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TnvColorDropPanel

TnvColorDropPanel::TnvColorDropPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clWindow;
}

void TnvColorDropPanel::Paint()
{
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBlack);
    C->FrameRect(ClientRect());
}

// ---------------------------------------------------------------- TnvCustomColorCombo

TnvCustomColorCombo::TnvCustomColorCombo(TComponent* AOwner)
    : TnvCustomCombo(AOwner), FCustomColors(std::make_unique<TStringList>()),
      FColorListOptions(std::make_unique<TnvColorListOptions>())
{
    FCustomColors->OnChange = [this](TObject* Sender) { CustomColorsChanged(Sender); };
    SetStyle(nvComboTypes::csDropDownList);
    CreateList();
    SetEditRect();
}

TnvCustomColorCombo::~TnvCustomColorCombo()
{
    FCustomColors->OnChange = nullptr;
    if (FList)
        FList->SetDropDownCombo(nullptr);
}

void TnvCustomColorCombo::CreateList()
{
    if (FList)
        return;
    FPanel = new TnvColorDropPanel(this);
    FList = new TnvCustomColorList(this);
    FList->SetBorderStyle(bsNone);
    FList->SetParent(FPanel);
    FList->SetDropDownCombo(this);
    FList->SetTabStop(false);
    FList->ListWidget()->setFocusPolicy(Qt::NoFocus);
    FList->setFocusPolicy(Qt::NoFocus);
    FList->ListWidget()->setMouseTracking(true);
    FList->ListWidget()->viewport()->setMouseTracking(true);
    AttachDropDownContainer(FPanel);
    FList->OnAddNewColor = [this](TObject*, TColor C, String& Name, bool& Accept) {
        if (OnAddNewColor)
            OnAddNewColor(this, C, Name, Accept);
    };
    FList->OnFilterColor = [this](TObject*, TColor C, String Name, bool& Accept) {
        if (OnFilterColor)
            OnFilterColor(this, C, Name, Accept);
    };
    PrepareList();
}

void TnvCustomColorCombo::CreateWnd()
{
    TnvCustomCombo::CreateWnd();
    CreateList();
    ApplySelectedToList();
}

void TnvCustomColorCombo::PrepareList()
{
    if (!FList)
        return;
    const TnvColorListOptions* O = FColorListOptions.get();
    FList->SetAlignment(FUnboundAlignment);
    FList->SetColor(O->Color());
    FList->SetColorAlignment(FColorAlignment);
    FList->SetItemHeight(O->ItemHeight());
    FList->SetColorWidth(O->ColorWidth() != 0 ? O->ColorWidth() : O->ItemHeight() - 2 * FList->ColorMargin());
    FList->SetIntegralHeight(O->IntegralHeight());
    FList->SetFont(O->Font());
    FList->SetGreyScaleIncrement(O->GreyScaleIncrement());
    // The content options rebuild the list once.
    const bool Rebuild = FList->Options() == O->Options() && FList->NoneString() == O->NoneString();
    FList->SetNoneString(O->NoneString());
    FList->SetOptions(O->Options());
    FList->SetSortBy(O->SortBy());
    if (Rebuild)
        FList->BuildColorList();
}

void TnvCustomColorCombo::Loaded()
{
    TnvCustomCombo::Loaded();
    if (FList) {
        FList->SetCustomColors(FCustomColors.get());
        PrepareList();
    }
    ApplySelectedToList();
    SetTextFromColor();
    SetEditRect();
}

bool TnvCustomColorCombo::IsPropertyStored(const char* Name) const
{
    const String N(Name);
    if (N == "Text")
        return false;
    return TnvCustomCombo::IsPropertyStored(Name);
}

void TnvCustomColorCombo::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomCombo::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FColorDialog)
        FColorDialog = nullptr;
    if (Operation == opRemove && AComponent == FList) {
        FList = nullptr;
        FPanel = nullptr;
    }
}

void TnvCustomColorCombo::SetColorDialog(TColorDialog* Value)
{
    if (FColorDialog == Value)
        return;
    if (FColorDialog)
        FColorDialog->RemoveFreeNotification(this);
    FColorDialog = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TnvCustomColorCombo::SetColorAlignment(TAlignment Value)
{
    CheckLeftRight(Value, "ColorAlignment");
    if (FColorAlignment == Value)
        return;
    FColorAlignment = Value;
    if (FList)
        FList->SetColorAlignment(Value);
    SetEditRect();
    Invalidate();
}

void TnvCustomColorCombo::SetUnboundAlignment(TAlignment Value)
{
    CheckLeftRight(Value, "UnboundAlignment");
    FUnboundAlignment = Value;
}

void TnvCustomColorCombo::SetCustomColors(TStrings* Value)
{
    if (Value)
        FCustomColors->Assign(Value);
    else
        FCustomColors->Clear();
}

void TnvCustomColorCombo::CustomColorsChanged(TObject*)
{
    if (IsLoading() || !FList)
        return;
    FList->SetCustomColors(FCustomColors.get());
    ApplySelectedToList();
}

void TnvCustomColorCombo::ApplySelectedToList()
{
    if (!FList || IsLoading())
        return;
    FList->SetSelectedColor(FSelectedColor);
}

void TnvCustomColorCombo::SetSelectedColor(TColor Value)
{
    if (FSelectedColor == Value && !IsLoading())
        return;
    FSelectedColor = Value;
    if (IsLoading())
        return;
    ApplySelectedToList();
    SetTextFromColor();
    Invalidate();
}

void TnvCustomColorCombo::SetTextFromColor()
{
    if (!FList)
        return;
    const int I = FSelectedColor == clNoColorSelected ? -1 : FList->IndexOfColor(FSelectedColor);
    SetText(I >= 0 ? FList->ItemName(I) : String());
    TnvCustomCombo::SetModified(false);
}

int TnvCustomColorCombo::FindItemByName(const String& Name) const
{
    if (!FList)
        return -1;
    for (int I = 0; I < FList->Count(); ++I)
        if (FList->ItemName(I) == Name)
            return I;
    return -1;
}

// ---- the drop-down

TWinControl* TnvCustomColorCombo::GetDropDownControl()
{
    return FList;
}

TWinControl* TnvCustomColorCombo::GetDropDownContainer()
{
    return FPanel;
}

int TnvCustomColorCombo::GetItemCount()
{
    return FList ? FList->Count() : 0;
}

void TnvCustomColorCombo::GetDropDownSize(int& Width, int& ItemHeight)
{
    Width = FDropDownWidth;
    ItemHeight = FList ? FList->ItemHeight() : FColorListOptions->ItemHeight();
}

bool TnvCustomColorCombo::IsDroppedDown() const
{
    return FPanel && FPanel->isVisible();
}

void TnvCustomColorCombo::DropDown()
{
    if (IsDataBound() && !Field())
        return;
    if (ButtonStyle() == cbsEllipsis) {
        DoDropDown();
        if (FList)
            FList->FilterItems();
        ExecuteColorDialog();
        return;
    }
    if (!FList)
        return;
    PrepareList();
    FList->FilterItems();
    const int Match = FindItemByName(Text());
    if (Match < 0 || FSelectedColor == clNoColorSelected)
        FList->SelectIndex(-1);
    else
        FList->SetSelectedColor(FSelectedColor);
    FDropColor = FSelectedColor;
    FDropIndex = FList->ItemIndex();
    FDropText = Text();
    TnvCustomCombo::DropDown();
}

void TnvCustomColorCombo::DoAfterDropDown()
{
    if (FPanel && FList)
        FList->SetBounds(1, 1, std::max(0, FPanel->Width() - 2), std::max(0, FPanel->Height() - 2));
    if (FList && FList->ItemIndex() >= 0)
        FList->ListWidget()->scrollToItem(FList->ListWidget()->item(FList->ItemIndex()));
    TnvCustomCombo::DoAfterDropDown();
}

void TnvCustomColorCombo::CloseUp(bool Accept)
{
    const bool Was = IsDroppedDown();
    TnvCustomCombo::CloseUp(Accept);
    if (!Was || !FList)
        return;
    const TColor ListColor = FList->GetSelectedColor();
    if (Accept && FList->ItemIndex() >= 0 && ListColor != FDropColor && CanEdit()) {
        FSelectedColor = ListColor;
        SetText(FList->ItemName(FList->ItemIndex()));
        SetModified(true);
    } else {
        FList->SelectIndex(FDropIndex);
        SetText(FDropText);
    }
    Invalidate();
    DoCloseUp(Accept);
    SelectAllText();
}

bool TnvCustomColorCombo::ExecuteColorDialog()
{
    TColorDialog* Dialog = FColorDialog;
    std::unique_ptr<TColorDialog> Temp;
    if (!Dialog) {
        Temp = std::make_unique<TColorDialog>();
        Dialog = Temp.get();
        TColorDialogOptions O;
        if (FColorDialogOptions.testFlag(cdoPreventFullOpen))
            O |= cdPreventFullOpen;
        if (FColorDialogOptions.testFlag(cdoFullOpen))
            O |= cdFullOpen;
        if (FColorDialogOptions.testFlag(cdoSolidColor))
            O |= cdSolidColor;
        if (FColorDialogOptions.testFlag(cdoAnyColor))
            O |= cdAnyColor;
        Dialog->SetOptions(O);
        TStringList Custom;
        for (int I = 0; I < std::min(16, FCustomColors->Count()); ++I)
            Custom.Add(String("Color") + char('A' + I) + "=" + ListValue(FCustomColors.get(), I));
        Dialog->SetCustomColors(&Custom);
    }
    if (FSelectedColor != clNoColorSelected)
        Dialog->SetColor(FSelectedColor);
    if (OnInitColorDialog)
        OnInitColorDialog(this, Dialog);
    const bool Ok = Dialog->Execute();
    bool Accept = Ok;
    if (OnCloseColorDialog)
        OnCloseColorDialog(this, Dialog, Ok ? TModalResult(mrOk) : TModalResult(mrCancel), Accept);
    if (Accept && Ok && CanEdit()) {
        SetModified(true);
        SetSelectedColor(Dialog->Color());
        TnvCustomCombo::SetModified(true);
        return true;
    }
    return false;
}

void TnvCustomColorCombo::DblClick()
{
    TnvCustomCombo::DblClick();
    if (FColorDialogOptions.testFlag(cdoEnabled))
        ExecuteColorDialog();
}

// ---- keys

void TnvCustomColorCombo::StepSelection(int Delta)
{
    if (!FList || FList->Count() == 0)
        return;
    const int I = std::clamp(FList->ItemIndex() + Delta, 0, FList->Count() - 1);
    FList->SelectIndex(I);
    if (!IsDroppedDown() && CanEdit()) {
        FSelectedColor = FList->GetSelectedColor();
        SetText(FList->ItemName(I));
        SetModified(true);
        Invalidate();
    }
}

void TnvCustomColorCombo::KeyDown(Word& Key, TShiftState Shift)
{
    TnvCustomCombo::KeyDown(Key, Shift);
    if (Key == 0 || Shift.testFlag(ssAlt))
        return;
    switch (Key) {
    case VK_UP: StepSelection(-1); Key = 0; break;
    case VK_DOWN: StepSelection(1); Key = 0; break;
    case VK_PRIOR: StepSelection(-std::max(1, DropDownCount() - 1)); Key = 0; break;
    case VK_NEXT: StepSelection(std::max(1, DropDownCount() - 1)); Key = 0; break;
    default: break;
    }
}

void TnvCustomColorCombo::KeyPress(char& Key)
{
    const auto Ch = static_cast<unsigned char>(Key);
    if (Ch < 32 || !FList) {
        if (Ch == 8)
            FMatchText.clear();
        TnvCustomCombo::KeyPress(Key);
        return;
    }
    if (IsReadOnly()) {
        Key = 0;
        return;
    }
    if (FAutoDropDown && !IsDroppedDown())
        DropDown();
    if (FShowMatchText) {
        // Incremental matching of the typed text against the names.
        String Try = FMatchText + Key;
        int Found = -1;
        for (int Pass = 0; Pass < 2 && Found < 0; ++Pass) {
            for (int I = 0; I < FList->Count(); ++I) {
                const String Name = FList->ItemName(I);
                if (Name.size() >= Try.size() && SameText(Name.substr(0, Try.size()), Try)) {
                    Found = I;
                    break;
                }
            }
            if (Found < 0)
                Try = String(1, Key);
        }
        if (Found >= 0) {
            FMatchText = Try;
            FList->SelectIndex(Found);
            if (!IsDroppedDown() && CanEdit()) {
                FSelectedColor = FList->GetSelectedColor();
                SetText(FList->ItemName(Found));
                SetModified(true);
            }
            Invalidate();
        }
    }
    Key = 0;
}

// ---- geometry and painting

int TnvCustomColorCombo::SwatchWidth() const
{
    const TnvColorListOptions* O = FColorListOptions.get();
    const int Margin = FList ? FList->ColorMargin() : 2;
    return std::max(4, O->ColorWidth() != 0 ? O->ColorWidth() : O->ItemHeight() - 2 * Margin);
}

int TnvCustomColorCombo::GetEditRightEdge(const TRect&) const
{
    int R = Width() - 2;
    if (FColorAlignment == taRightJustify)
        R -= SwatchWidth();
    return R;
}

void TnvCustomColorCombo::GetEditRect(TRect& Rect)
{
    TnvCustomCombo::GetEditRect(Rect);
    Rect.Left += 2;
    if (FColorAlignment == taLeftJustify)
        Rect.Left += SwatchWidth() + 2;
    Rect.Right = GetEditRightEdge(Rect) - (ShowButton() ? GetButtonWidth() : 0) -
                 (FList ? FList->ColorMargin() : 2);
    if (Rect.Right < Rect.Left + 10)
        Rect.Right = Rect.Left + 10;
}

void TnvCustomColorCombo::PaintText(TCanvas* C, const TRect& Rect, const String& Text, bool, bool)
{
    TRect Edit;
    GetEditRect(Edit);
    const TRect Client = EditClientRect();
    int X = Client.Left + Edit.Left;
    int Y = Client.Top + Edit.Top;
    ApplyFrameTextOffsets(X, Y);
    TColor FontColor = Font()->Color();
    if (Frame()->NonFocusFontColor() != clNone && !ComboFocused())
        FontColor = Frame()->NonFocusFontColor();
    if (Frame()->TransparentNow() && Frame()->NonFocusTransparentFontColor() != clNone)
        FontColor = Frame()->NonFocusTransparentFontColor();
    C->Font()->SetColor(FontColor);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(TRect(X, Rect.Top, Client.Left + Edit.Right, Rect.Bottom), X, Y, Text);
    C->Brush()->SetStyle(bsSolid);
}

void TnvCustomColorCombo::Paint()
{
    TnvCustomCombo::Paint();
    // The swatch of the selected colour beside the text.
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    TRect Edit;
    GetEditRect(Edit);
    const TRect Client = EditClientRect();
    const int H = std::max(2, C->TextHeight("A"));
    const int W = SwatchWidth();
    const int Top = Client.Top + Edit.Top + 1;
    TRect S;
    if (FColorAlignment == taRightJustify) {
        const int Right = Client.Left + Edit.Right + (FList ? FList->ColorMargin() : 2);
        S = TRect(Right, Top, Right + W, Top + H);
    } else {
        S = TRect(Client.Left + Edit.Left - W - 2, Top, Client.Left + Edit.Left - 2, Top + H);
    }
    const bool Outline = ComboFocused() && !IsDroppedDown();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(Outline ? clWhite : clBlack);
    C->Brush()->SetStyle(bsSolid);
    const bool NoColor = FSelectedColor == clNone || FSelectedColor == clNoColorSelected;
    C->Brush()->SetColor(NoColor ? Color() : FSelectedColor);
    C->Rectangle(S);
    if (NoColor && FColorListOptions->Options().testFlag(ccoShowColorNames))
        DrawCross(C, S);
}

// ---------------------------------------------------------------- registration

void RegisterNvColorComboClasses()
{
    RegisterClasses<TnvColorList, TnvColorCombo, TnvColorListOptions, TColorDialog>();
}

namespace {
[[maybe_unused]] const bool NvColorComboRegistered = (RegisterNvColorComboClasses(), true);
}
