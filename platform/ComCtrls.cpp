#include "ComCtrls.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

#include "ImageList.h"

// ---------------------------------------------------------------- TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle |= csAcceptsControls;
    // Sheets fill the page area; a sheet shows only while it is active.
    FVisible = false;
    SetAlign(alClient);
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    auto* PC = dynamic_cast<TPageControl*>(AParent);
    if (FPageControl && FPageControl != PC)
        FPageControl->RemovePage(this);
    TWinControl::SetParent(AParent);
    if (PC && FPageControl != PC)
        PC->InsertPage(this);
}

bool TTabSheet::IsPropertyStored(const char* Name) const
{
    const String N = Name;
    if (FPageControl && (N == "Left" || N == "Top" || N == "Width" || N == "Height"))
        return false;
    return TWinControl::IsPropertyStored(Name);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& P = FPageControl->FPages;
    return static_cast<int>(std::find(P.begin(), P.end(), this) - P.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (FPageControl)
        FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int Result = 0;
    for (TTabSheet* S : FPageControl->FPages) {
        if (S == this)
            return Result;
        if (S->FTabVisible)
            ++Result;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->TabsChanged();
}

void TTabSheet::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->TabsChanged();
}

void TTabSheet::SetHighlighted(bool Value)
{
    if (FHighlighted == Value)
        return;
    FHighlighted = Value;
    if (FPageControl)
        FPageControl->Invalidate();
}

void TTabSheet::VisibleChanged()
{
    TWinControl::VisibleChanged();
    if (IsLoading() || IsDestroying())
        return;
    if (FVisible) {
        if (OnShow)
            OnShow(this);
    } else if (OnHide) {
        OnHide(this);
    }
}

void TTabSheet::TextChanged()
{
    TWinControl::TextChanged();
    if (FPageControl)
        FPageControl->TabsChanged();
}

// ---------------------------------------------------------------- TPageControl

namespace {
constexpr int TabPadding = 6;     // on each side of a tab's caption
constexpr int ButtonGap = 3;      // between buttons of the button styles
constexpr int ScrollButtonSize = 16;
constexpr int SheetMargin = 4;    // page area inside the frame
} // namespace

TPageControl::TPageControl(TComponent* AOwner)
    : TCustomControl(AOwner), FImageChangeLink(std::make_unique<TChangeLink>())
{
    FControlStyle = TControlStyle(csAcceptsControls) | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    FImageChangeLink->OnChange = [this](TObject*) { TabsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    Destroying();
    // The image change link leaves the list by itself while the list lives.
    for (TTabSheet* S : FPages)
        S->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FPages[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end())
        return;
    TTabSheet* Next = nullptr;
    const bool WasActive = Page == FActivePage;
    if (WasActive && !IsDestroying()) {
        Next = FindNextPage(Page, true, !IsDesigning());
        if (Next == Page)
            Next = nullptr;
    }
    FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
    Page->FPageControl = nullptr;
    if (WasActive) {
        FActivePage = nullptr;
        if (Next)
            ChangeActivePage(Next);
    }
    if (!IsDestroying())
        TabsChanged();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex)
{
    auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end())
        return;
    NewIndex = std::clamp(NewIndex, 0, PageCount() - 1);
    FPages.erase(It);
    FPages.insert(FPages.begin() + NewIndex, Page);
    TabsChanged();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const
{
    const int Count = PageCount();
    if (Count == 0)
        return nullptr;
    auto It = std::find(FPages.begin(), FPages.end(), CurPage);
    int Start = It == FPages.end() ? -1 : static_cast<int>(It - FPages.begin());
    if (Start < 0)
        Start = GoForward ? Count - 1 : 0;
    int I = Start;
    do {
        if (GoForward) {
            if (++I == Count)
                I = 0;
        } else {
            if (I == 0)
                I = Count;
            --I;
        }
        TTabSheet* Result = FPages[static_cast<size_t>(I)];
        if (!CheckTabVisible || Result->FTabVisible)
            return Result;
    } while (I != Start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (Page && Page != FActivePage && CanChange()) {
        ChangeActivePage(Page);
        Change();
    }
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->FPageControl != this)
        return;
    ChangeActivePage(Page);
}

void TPageControl::ChangeActivePage(TTabSheet* Page)
{
    if (FActivePage == Page)
        return;
    TTabSheet* Old = FActivePage;
    // The focus leaves a page that goes away.
    if (Old && !IsLoading()) {
        QWidget* Focus = window()->focusWidget();
        if (Focus && Old->isAncestorOf(Focus)) {
            if (CanFocus())
                SetFocus();
            else
                Focus->clearFocus();
        }
    }
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (Old && Old->FPageControl == this)
        Old->SetVisible(false);
    FLayoutValid = false;
    Invalidate();
}

int TPageControl::ActivePageIndex() const
{
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value < 0 ? nullptr : Pages(Value));
}

bool TPageControl::CanChange()
{
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Allow);
    return Allow;
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

int TPageControl::TabCount() const
{
    return static_cast<int>(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* S) { return S->FTabVisible; }));
}

TTabSheet* TPageControl::TabSheet(int TabIndex) const
{
    int I = 0;
    for (TTabSheet* S : FPages)
        if (S->FTabVisible && I++ == TabIndex)
            return S;
    return nullptr;
}

int TPageControl::TabIndex() const
{
    return FActivePage ? FActivePage->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int Value)
{
    if (Value < 0) {
        SetActivePage(nullptr);
        return;
    }
    TTabSheet* S = TabSheet(Value);
    if (!S)
        throw EListError("Tab index out of bounds (" + IntToStr(Value) + ")");
    SetActivePage(S);
}

void TPageControl::SetHotTrack(bool Value)
{
    FHotTrack = Value;
    FHotTab = -1;
    Invalidate();
}

void TPageControl::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink.get());
        FImages->FreeNotification(this);
    }
    TabsChanged();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FImages && AComponent == FImages) {
        // The list is being destroyed and has let go of the link already.
        FImages = nullptr;
        TabsChanged();
    }
}

void TPageControl::SetMultiLine(bool Value)
{
    if (FMultiLine == Value)
        return;
    FMultiLine = Value;
    TabsChanged();
}

void TPageControl::SetStyle(TTabStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    TabsChanged();
}

void TPageControl::SetTabHeight(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("TabHeight must not be negative (got " + IntToStr(Value) + ")");
    if (FTabHeight == Value)
        return;
    FTabHeight = Value;
    TabsChanged();
}

void TPageControl::SetTabWidth(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("TabWidth must not be negative (got " + IntToStr(Value) + ")");
    if (FTabWidth == Value)
        return;
    FTabWidth = Value;
    TabsChanged();
}

void TPageControl::SetTabPosition(TTabPosition Value)
{
    if (FTabPosition == Value)
        return;
    FTabPosition = Value;
    TabsChanged();
}

void TPageControl::TabsChanged()
{
    FLayoutValid = false;
    FHotTab = -1;
    if (IsLoading() || IsDestroying())
        return;
    Realign();
    Invalidate();
}

void TPageControl::Loaded()
{
    TCustomControl::Loaded();
    TabsChanged();
}

void TPageControl::BoundsChanged(int OldWidth, int OldHeight)
{
    FLayoutValid = false;
    TCustomControl::BoundsChanged(OldWidth, OldHeight);
}

void TPageControl::FontChanged()
{
    TCustomControl::FontChanged();
    TabsChanged();
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    // Sheets in page order (their z-order changes as pages are shown).
    for (TTabSheet* S : std::vector<TTabSheet*>(FPages))
        if (S->Owner() == Root)
            Proc(S);
    for (TControl* C : std::vector<TControl*>(FControls))
        if (C->Owner() == Root && std::find(FPages.begin(), FPages.end(), C) == FPages.end())
            Proc(C);
}

// ---- layout

int TPageControl::TabThickness()
{
    if (FTabHeight > 0)
        return FTabHeight;
    int H = Font()->Metrics().tmHeight + 5;
    if (FImages && !Vertical())
        H = std::max(H, FImages->Height() + 5);
    return H;
}

int TPageControl::TabLength(TTabSheet* Sheet)
{
    if (FTabWidth > 0)
        return FTabWidth;
    int L = Font()->TextWidth(StripHotkey(Sheet->Caption())) + 2 * TabPadding;
    if (FImages && !Vertical() && Sheet->FImageIndex >= 0)
        L += FImages->Width() + 3;
    return L;
}

TRect TPageControl::ToClient(const TRect& R) const
{
    switch (FTabPosition) {
    case tpBottom: return TRect(R.Left, FHeight - R.Bottom, R.Right, FHeight - R.Top);
    case tpLeft: return TRect(R.Top, R.Left, R.Bottom, R.Right);
    case tpRight: return TRect(FWidth - R.Bottom, R.Left, FWidth - R.Top, R.Right);
    default: return R;
    }
}

void TPageControl::Layout()
{
    if (FLayoutValid)
        return;
    FLayoutValid = true;
    FTabs.clear();
    for (TTabSheet* S : FPages)
        if (S->FTabVisible)
            FTabs.push_back(TTabInfo{S, TRect(), 0, true});
    FRows = 0;
    FTabArea = 0;
    FScrollable = false;
    if (FTabs.empty())
        return;
    const bool Buttons = FStyle != tsTabs;
    const int Along = Vertical() ? FHeight : FWidth;
    const int T = TabThickness();
    const int Start = Buttons ? 0 : 2;
    const int Gap = Buttons ? ButtonGap : 0;
    const int Avail = std::max(1, Along - 2 * Start);
    std::vector<int> Lengths;
    for (const TTabInfo& Tab : FTabs)
        Lengths.push_back(TabLength(Tab.Sheet));
    // Rows: in order; a tab that does not fit starts a new row.
    std::vector<std::vector<int>> Rows;
    if (FMultiLine || Vertical()) {
        int Used = 0;
        for (int I = 0; I < static_cast<int>(FTabs.size()); ++I) {
            const int L = Lengths[static_cast<size_t>(I)];
            if (Rows.empty() || (Used > 0 && Used + Gap + L > Avail)) {
                Rows.emplace_back();
                Used = 0;
            }
            Used += (Used > 0 ? Gap : 0) + L;
            Rows.back().push_back(I);
        }
    } else {
        Rows.emplace_back();
        int Total = 0;
        for (int I = 0; I < static_cast<int>(FTabs.size()); ++I) {
            Rows.back().push_back(I);
            Total += Lengths[static_cast<size_t>(I)] + (I > 0 ? Gap : 0);
        }
        FScrollable = Total > Avail;
        if (!FScrollable)
            FFirstTab = 0;
        FFirstTab = std::clamp(FFirstTab, 0, static_cast<int>(FTabs.size()) - 1);
    }
    FRows = static_cast<int>(Rows.size());
    // The row of the selected tab lies next to the page area.
    int SelectedRow = 0;
    for (int R = 0; R < FRows; ++R)
        for (int I : Rows[static_cast<size_t>(R)])
            if (FTabs[static_cast<size_t>(I)].Sheet == FActivePage)
                SelectedRow = R;
    FTabArea = Buttons ? FRows * (T + ButtonGap) : FRows * T + 2;
    for (int R = 0; R < FRows; ++R) {
        const auto& Row = Rows[static_cast<size_t>(R)];
        const int Place = Buttons ? R : (R - SelectedRow + FRows) % FRows;
        // Rows of several lines fill the width.
        int Used = 0;
        for (size_t K = 0; K < Row.size(); ++K)
            Used += Lengths[static_cast<size_t>(Row[K])] + (K > 0 ? Gap : 0);
        const int Extra = (FRows > 1 && Used < Avail) ? Avail - Used : 0;
        int A = Start;
        for (size_t K = 0; K < Row.size(); ++K) {
            const int I = Row[K];
            TTabInfo& Tab = FTabs[static_cast<size_t>(I)];
            if (!FMultiLine && !Vertical() && I < FFirstTab) {
                Tab.Shown = false;
                continue;
            }
            int L = Lengths[static_cast<size_t>(I)];
            if (Extra > 0) {
                L += Extra / static_cast<int>(Row.size());
                if (K + 1 == Row.size())
                    L = Start + Avail - A;
            }
            int C1, C2;
            if (Buttons) {
                C1 = Place * (T + ButtonGap);
                C2 = C1 + T;
            } else {
                C2 = FTabArea - Place * T;
                C1 = C2 - T;
            }
            Tab.Rect = TRect(A, C1, A + L, C2);
            Tab.Row = Place;
            A += L + Gap;
        }
    }
}

int TPageControl::RowCount()
{
    Layout();
    return FRows;
}

TRect TPageControl::PaneRect()
{
    Layout();
    const int Along = Vertical() ? FHeight : FWidth;
    const int Across = Vertical() ? FWidth : FHeight;
    return ToClient(TRect(0, FTabArea, Along, Across));
}

TRect TPageControl::DisplayRect()
{
    TRect R = PaneRect();
    if (FStyle == tsTabs)
        InflateRect(R, -SheetMargin, -SheetMargin);
    if (R.Right < R.Left)
        R.Right = R.Left;
    if (R.Bottom < R.Top)
        R.Bottom = R.Top;
    return R;
}

void TPageControl::AdjustClientRect(TRect& Rect)
{
    Rect = DisplayRect();
}

TRect TPageControl::TabRect(int TabIndex)
{
    Layout();
    if (TabIndex < 0 || TabIndex >= static_cast<int>(FTabs.size()) || !FTabs[static_cast<size_t>(TabIndex)].Shown)
        return TRect();
    return ToClient(FTabs[static_cast<size_t>(TabIndex)].Rect);
}

TRect TPageControl::ScrollButtonRect(bool Next)
{
    Layout();
    const int Along = Vertical() ? FHeight : FWidth;
    const int T = TabThickness();
    const int C1 = std::max(0, FTabArea - T - 2);
    const int C2 = C1 + std::min(ScrollButtonSize, FTabArea);
    const int A = Along - 2 * ScrollButtonSize + (Next ? ScrollButtonSize : 0);
    return ToClient(TRect(A, C1, A + ScrollButtonSize, C2));
}

int TPageControl::IndexOfTabAt(int X, int Y)
{
    Layout();
    const TPoint P(X, Y);
    if (FScrollable && (ScrollButtonRect(false).Contains(P) || ScrollButtonRect(true).Contains(P)))
        return -1;
    // The selected tab stands out over its neighbours.
    const int Sel = TabIndex();
    if (Sel >= 0 && FStyle == tsTabs && FTabs[static_cast<size_t>(Sel)].Shown) {
        TRect R = FTabs[static_cast<size_t>(Sel)].Rect;
        R = TRect(R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom + 1);
        if (ToClient(R).Contains(P))
            return Sel;
    }
    const int Along = Vertical() ? FHeight : FWidth;
    const int Limit = FScrollable ? Along - 2 * ScrollButtonSize : Along;
    for (int I = 0; I < static_cast<int>(FTabs.size()); ++I) {
        const TTabInfo& Tab = FTabs[static_cast<size_t>(I)];
        if (!Tab.Shown || Tab.Rect.Left >= Limit)
            continue;
        TRect R = Tab.Rect;
        R.Right = std::min(R.Right, Limit);
        if (ToClient(R).Contains(P))
            return I;
    }
    return -1;
}

// ---- painting

void TPageControl::Paint()
{
    TCanvas* C = FCanvas.get();
    Layout();
    if (FStyle == tsTabs) {
        TRect Pane = PaneRect();
        DrawEdge(C, Pane, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    if (FTabs.empty())
        return;
    const int Along = Vertical() ? FHeight : FWidth;
    const int Limit = FScrollable ? Along - 2 * ScrollButtonSize : Along;
    // Clip the tab row to what is left of the arrows.
    const TRect RowClip = ToClient(TRect(0, 0, Limit, FTabArea + 2));
    const QRegion Clip(RowClip.ToQRect());
    C->SetClipRegion(&Clip);
    const int Sel = TabIndex();
    for (int I = 0; I < static_cast<int>(FTabs.size()); ++I)
        if (I != Sel && FTabs[static_cast<size_t>(I)].Shown)
            DrawTab(C, FTabs[static_cast<size_t>(I)], false);
    if (Sel >= 0 && FTabs[static_cast<size_t>(Sel)].Shown)
        DrawTab(C, FTabs[static_cast<size_t>(Sel)], true);
    C->SetClipRegion(nullptr);
    if (FScrollable)
        DrawScrollButtons(C);
}

void TPageControl::DrawTab(TCanvas* C, const TTabInfo& Tab, bool Selected)
{
    // Lines in the tab-row coordinates: along the row, across it outwards-in.
    auto Fill = [&](TColor Color, int A1, int C1, int A2, int C2) {
        if (A2 > A1 && C2 > C1)
            FillSolidRect(C, ToClient(TRect(A1, C1, A2, C2)), Color);
    };
    TRect R = Tab.Rect;
    if (FStyle != tsTabs) {
        TRect B = ToClient(R);
        FillSolidRect(C, B, FColor);
        if (FStyle == tsButtons) {
            DrawEdge(C, B, Selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
        } else {
            if (Selected)
                DrawEdge(C, B, BDR_SUNKENOUTER, BF_RECT);
            // Flat buttons are parted by etched lines.
            TRect Sep = ToClient(TRect(R.Right + 1, R.Top + 2, R.Right + 3, R.Bottom - 2));
            DrawEdge(C, Sep, EDGE_ETCHED, Vertical() ? BF_TOP : BF_LEFT);
        }
        TRect Text = B;
        if (Selected)
            OffsetRect(Text, 1, 1);
        DrawTabCaption(C, Tab, Text, Selected);
        return;
    }
    if (Selected)
        R = TRect(R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom + 1);
    const int A1 = R.Left, A2 = R.Right, C1 = R.Top, C2 = R.Bottom;
    // The light falls from the top left: which sides are lit depends on the
    // side the tabs are on.
    const bool OuterLit = FTabPosition == tpTop || FTabPosition == tpLeft;
    Fill(FColor, A1 + 1, C1 + 1, A2 - 1, C2 + (Selected ? 1 : 0));
    // Start side (left or top): lit.
    Fill(clBtnHighlight, A1, C1 + 2, A1 + 1, C2 + (Selected ? 1 : 0));
    Fill(OuterLit ? clBtnHighlight : cl3DDkShadow, A1 + 1, C1 + 1, A1 + 2, C1 + 2);
    // Outer side.
    if (OuterLit) {
        Fill(clBtnHighlight, A1 + 2, C1, A2 - 2, C1 + 1);
    } else {
        Fill(cl3DDkShadow, A1 + 2, C1, A2 - 2, C1 + 1);
        Fill(clBtnShadow, A1 + 2, C1 + 1, A2 - 2, C1 + 2);
    }
    // End side (right or bottom): shaded.
    Fill(cl3DDkShadow, A2 - 1, C1 + 2, A2, C2 + (Selected ? 1 : 0));
    Fill(cl3DDkShadow, A2 - 2, C1 + 1, A2 - 1, C1 + 2);
    Fill(clBtnShadow, A2 - 2, C1 + 2, A2 - 1, C2 + (Selected ? 1 : 0));
    TRect Text = ToClient(TRect(A1 + 2, C1 + 2, A2 - 2, C2));
    DrawTabCaption(C, Tab, Text, Selected);
}

void TPageControl::DrawTabCaption(TCanvas* C, const TTabInfo& Tab, TRect R, bool Selected)
{
    TTabSheet* S = Tab.Sheet;
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(bsClear);
    const bool Hot = FHotTrack && FHotTab >= 0 && FHotTab < static_cast<int>(FTabs.size()) &&
                     FTabs[static_cast<size_t>(FHotTab)].Sheet == S;
    TColor TextColor = clBtnText;
    if (S->FHighlighted)
        TextColor = clHighlight;
    else if (Hot)
        TextColor = clHotLight;
    C->Font()->SetColor(TextColor);
    const String Caption = S->Caption();
    if (Vertical()) {
        // Turned captions: up the left side, down the right side.
        TFont* F = C->Font();
        F->SetOrientation(FTabPosition == tpLeft ? 900 : 2700);
        const String Text = StripHotkey(Caption);
        const int W = C->TextWidth(Text);
        const int H = F->Metrics().tmHeight;
        if (FTabPosition == tpLeft)
            C->TextOut(R.Left + (R.Width() - H) / 2, R.Top + (R.Height() + W) / 2, Text);
        else
            C->TextOut(R.Left + (R.Width() + H) / 2, R.Top + (R.Height() - W) / 2, Text);
        F->SetOrientation(0);
    } else {
        TRect T = R;
        if (FImages && S->FImageIndex >= 0 && S->FImageIndex < FImages->Count()) {
            const int Total = FImages->Width() + 3 + Font()->TextWidth(StripHotkey(Caption));
            const int X = R.Left + std::max(0, (R.Width() - Total) / 2);
            FImages->Draw(C, X, R.Top + (R.Height() - FImages->Height()) / 2, S->FImageIndex, S->Enabled());
            T.Left = X + FImages->Width() + 3;
            DrawText(C, Caption, T, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        } else {
            DrawText(C, Caption, T, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
    }
    if (Selected && Focused()) {
        TRect F = R;
        InflateRect(F, -1, -1);
        C->Brush()->SetColor(FColor);
        C->DrawFocusRect(F);
    }
}

void TPageControl::DrawScrollButtons(TCanvas* C)
{
    const bool V = Vertical();
    TRect Prev = ScrollButtonRect(false);
    TRect Next = ScrollButtonRect(true);
    unsigned PrevState = V ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
    unsigned NextState = V ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
    if (FFirstTab == 0)
        PrevState |= DFCS_INACTIVE;
    // Nothing more to scroll when the last tab shows whole.
    const int Along = V ? FHeight : FWidth;
    if (FTabs.back().Rect.Right <= Along - 2 * ScrollButtonSize)
        NextState |= DFCS_INACTIVE;
    if (!Enabled()) {
        PrevState |= DFCS_INACTIVE;
        NextState |= DFCS_INACTIVE;
    }
    DrawFrameControl(C, Prev, DFC_SCROLL, PrevState);
    DrawFrameControl(C, Next, DFC_SCROLL, NextState);
}

// ---- input

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    Layout();
    const TPoint P(X, Y);
    if (FScrollable) {
        const int Along = Vertical() ? FHeight : FWidth;
        if (ScrollButtonRect(false).Contains(P)) {
            if (FFirstTab > 0) {
                --FFirstTab;
                FLayoutValid = false;
                Invalidate();
            }
            return;
        }
        if (ScrollButtonRect(true).Contains(P)) {
            if (FTabs.back().Rect.Right > Along - 2 * ScrollButtonSize) {
                ++FFirstTab;
                FLayoutValid = false;
                Invalidate();
            }
            return;
        }
    }
    const int Index = IndexOfTabAt(X, Y);
    if (Index < 0)
        return;
    if (TabStop() && CanFocus() && !Focused())
        SetFocus();
    TTabSheet* S = FTabs[static_cast<size_t>(Index)].Sheet;
    if (S != FActivePage && CanChange()) {
        ChangeActivePage(S);
        Change();
    }
}

void TPageControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FHotTrack)
        return;
    const int Hot = IndexOfTabAt(X, Y);
    if (Hot != FHotTab) {
        FHotTab = Hot;
        Invalidate();
    }
}

bool TPageControl::WantsKey(Word Key, TShiftState Shift)
{
    if ((Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) && TabCount() > 0)
        return true;
    return TCustomControl::WantsKey(Key, Shift);
}

void TPageControl::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    const bool Back = Vertical() ? Key == VK_UP : Key == VK_LEFT;
    const bool Forward = Vertical() ? Key == VK_DOWN : Key == VK_RIGHT;
    if (Back || Forward) {
        SelectNextPage(Forward, true);
        Key = 0;
    }
}

void TPageControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGKEY: {
        // Ctrl+Tab and Ctrl+Shift+Tab page through while the focus is inside.
        const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.LParam));
        QWidget* Focus = window()->focusWidget();
        if (Message.WParam == VK_TAB && Shift.testFlag(ssCtrl) && Focus && (Focus == this || isAncestorOf(Focus))) {
            SelectNextPage(!Shift.testFlag(ssShift), true);
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_MOUSELEAVE:
        if (FHotTab >= 0) {
            FHotTab = -1;
            Invalidate();
        }
        break;
    case CM_ENTER:
    case CM_EXIT: Invalidate(); break;
    default: break;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- TUpDown

namespace {
constexpr int RepeatDelay = 400;
constexpr int RepeatInterval = 100;
constexpr int RepeatTimer = 1;

String FormatUpDownValue(int Value, bool Thousands)
{
    String Digits = IntToStr(Value < 0 ? -static_cast<int64_t>(Value) : static_cast<int64_t>(Value));
    if (Thousands && FormatSettings.ThousandSeparator != 0)
        for (int I = static_cast<int>(Digits.size()) - 3; I > 0; I -= 3)
            Digits.insert(static_cast<size_t>(I), 1, FormatSettings.ThousandSeparator);
    return Value < 0 ? "-" + Digits : Digits;
}
} // namespace

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle(csCaptureMouse) | csOpaque | csDoubleClicks;
    const int W = GetSystemMetrics(SM_CXVSCROLL);
    const int H = GetSystemMetrics(SM_CYVSCROLL);
    SetBounds(0, 0, W, H + H / 2);
}

TUpDown::~TUpDown()
{
    // The associate may be gone already when both belong to an owner that is
    // being destroyed; Qt drops the event filter of a deleted object and the
    // component base lets go of a registered associate.
    FAssociate = nullptr;
}

void TUpDown::SetAlignButton(TUDAlignButton Value)
{
    if (FAlignButton == Value)
        return;
    FAlignButton = Value;
    if (FAssociate && !IsLoading())
        PlaceBesideAssociate();
}

void TUpDown::SetAssociate(TWinControl* Value)
{
    if (Value == FAssociate)
        return;
    if (Value == this)
        throw EInvalidOperation("An up-down control cannot be its own associate");
    if (Value && FParent)
        for (int I = 0; I < FParent->ControlCount(); ++I)
            if (auto* Other = dynamic_cast<TUpDown*>(FParent->Controls(I)); Other && Other != this &&
                                                                            Other->FAssociate == Value)
                throw EInvalidOperation(Value->Name() + " is already associated with " + Other->Name());
    if (FAssociate) {
        FAssociate->removeEventFilter(this);
        if (QWidget* P = FAssociate->focusProxy())
            P->removeEventFilter(this);
        FAssociate->RemoveFreeNotification(this);
    }
    FAssociate = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->installEventFilter(this);
    if (QWidget* P = Value->focusProxy())
        P->installEventFilter(this);
    if (!IsLoading()) {
        PlaceBesideAssociate();
        UpdateAssociateText();
    }
}

void TUpDown::PlaceBesideAssociate()
{
    if (!FAssociate || FAssociate->Parent() != FParent || !FParent)
        return;
    TWinControl* A = FAssociate;
    if (FAlignButton == udRight) {
        A->SetWidth(std::max(0, A->Width() - FWidth));
        SetBounds(A->Left() + A->Width(), A->Top(), FWidth, A->Height());
    } else {
        SetBounds(A->Left(), A->Top(), FWidth, A->Height());
        A->SetBounds(A->Left() + FWidth, A->Top(), std::max(0, A->Width() - FWidth), A->Height());
    }
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FAssociate && AComponent == FAssociate)
        FAssociate = nullptr;
}

void TUpDown::SetMax(int Value)
{
    if (FMax == Value)
        return;
    FMax = Value;
    if (!IsLoading())
        SetPosition(FPosition);
    Invalidate();
}

void TUpDown::SetMin(int Value)
{
    if (FMin == Value)
        return;
    FMin = Value;
    if (!IsLoading())
        SetPosition(FPosition);
    Invalidate();
}

void TUpDown::SetOrientation(TUDOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    if (!IsLoading())
        SetBounds(FLeft, FTop, FHeight, FWidth);
    Invalidate();
}

void TUpDown::SetPosition(int Value)
{
    if (!IsLoading())
        Value = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    if (FPosition == Value)
        return;
    FPosition = Value;
    if (!IsLoading())
        UpdateAssociateText();
}

void TUpDown::SetThousands(bool Value)
{
    if (FThousands == Value)
        return;
    FThousands = Value;
    if (!IsLoading())
        UpdateAssociateText();
}

void TUpDown::Loaded()
{
    TCustomControl::Loaded();
    FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
    UpdateAssociateText();
}

void TUpDown::UpdateAssociateText()
{
    if (FAssociate)
        FAssociate->SetText(FormatUpDownValue(FPosition, FThousands));
}

void TUpDown::ReadAssociateText()
{
    if (!FAssociate)
        return;
    String Text;
    for (char Ch : FAssociate->Text())
        if (Ch != FormatSettings.ThousandSeparator)
            Text += Ch;
    int Value;
    if (TryStrToInt(Trim(Text), Value))
        FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
}

bool TUpDown::CanChange()
{
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Allow);
    return Allow;
}

void TUpDown::Click(TUDBtnType Button)
{
    ReadAssociateText();
    if (!CanChange())
        return;
    const int Lo = std::min(FMin, FMax);
    const int Hi = std::max(FMin, FMax);
    const int Step = FMax >= FMin ? FIncrement : -FIncrement;
    int64_t NewPos = static_cast<int64_t>(FPosition) + (Button == btNext ? Step : -Step);
    if (NewPos > Hi)
        NewPos = FWrap ? Lo : Hi;
    else if (NewPos < Lo)
        NewPos = FWrap ? Hi : Lo;
    FPosition = static_cast<int>(NewPos);
    UpdateAssociateText();
    if (OnClick)
        OnClick(this, Button);
}

TRect TUpDown::ButtonRect(TUDBtnType Button) const
{
    if (FOrientation == udVertical) {
        const int Half = FHeight / 2;
        return Button == btNext ? TRect(0, 0, FWidth, Half) : TRect(0, Half, FWidth, FHeight);
    }
    const int Half = FWidth / 2;
    return Button == btPrev ? TRect(0, 0, Half, FHeight) : TRect(Half, 0, FWidth, FHeight);
}

TUDBtnType TUpDown::ButtonAt(TPoint P) const
{
    return ButtonRect(btNext).Contains(P) ? btNext : btPrev;
}

void TUpDown::Paint()
{
    TCanvas* C = FCanvas.get();
    for (TUDBtnType B : {btNext, btPrev}) {
        TRect R = ButtonRect(B);
        unsigned State = FOrientation == udVertical ? (B == btNext ? DFCS_SCROLLUP : DFCS_SCROLLDOWN)
                                                    : (B == btNext ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT);
        if (FPressed && FPressedButton == B && FMouseOver)
            State |= DFCS_PUSHED;
        if (!Enabled())
            State |= DFCS_INACTIVE;
        DrawFrameControl(C, R, DFC_SCROLL, State);
    }
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (FAssociate && FAssociate->CanFocus() && !FAssociate->Focused())
        FAssociate->SetFocus();
    FPressed = true;
    FMouseOver = true;
    FPressedButton = ButtonAt(TPoint(X, Y));
    Invalidate();
    SetTimer(RepeatTimer, RepeatDelay);
    Click(FPressedButton);
}

void TUpDown::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FPressed)
        return;
    const bool Over = ButtonRect(FPressedButton).Contains(TPoint(X, Y));
    if (Over != FMouseOver) {
        FMouseOver = Over;
        Invalidate();
    }
}

void TUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FPressed) {
        FPressed = false;
        KillTimer(RepeatTimer);
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TUpDown::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER && Message.WParam == RepeatTimer) {
        if (!FPressed) {
            KillTimer(RepeatTimer);
            return;
        }
        SetTimer(RepeatTimer, RepeatInterval);
        if (FMouseOver)
            Click(FPressedButton);
        return;
    }
    if (Message.Msg == WM_CANCELMODE && FPressed) {
        FPressed = false;
        KillTimer(RepeatTimer);
        Invalidate();
    }
    TCustomControl::WndProc(Message);
}

bool TUpDown::WantsKey(Word Key, TShiftState Shift)
{
    if (FArrowKeys && (Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT || Key == VK_RIGHT))
        return true;
    return TCustomControl::WantsKey(Key, Shift);
}

void TUpDown::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (!FArrowKeys || !Enabled())
        return;
    if (Key == VK_UP || Key == VK_RIGHT) {
        Click(btNext);
        Key = 0;
    } else if (Key == VK_DOWN || Key == VK_LEFT) {
        Click(btPrev);
        Key = 0;
    }
}

bool TUpDown::eventFilter(QObject* Watched, QEvent* Event)
{
    // The arrow keys in the associate step the position.
    if (Event->type() == QEvent::KeyPress && FArrowKeys && Enabled() && FAssociate) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        const bool Vertical = FOrientation == udVertical;
        if (Key == Qt::Key_Up || (!Vertical && Key == Qt::Key_Right)) {
            Click(btNext);
            return true;
        }
        if (Key == Qt::Key_Down || (!Vertical && Key == Qt::Key_Left)) {
            Click(btPrev);
            return true;
        }
    }
    return TCustomControl::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle(csCaptureMouse) | csClickEvents | csOpaque | csDoubleClicks;
    SetBounds(0, 0, 150, GetSystemMetrics(SM_CYVSCROLL) - 1);
}

TProgressBar::~TProgressBar() = default;

void TProgressBar::CheckRange(int AMin, int AMax) const
{
    if (AMin > AMax)
        throw EInvalidOperation("Invalid progress bar range: Min " + IntToStr(AMin) + " is above Max " +
                                IntToStr(AMax));
}

void TProgressBar::SetMin(int Value)
{
    if (!IsLoading())
        CheckRange(Value, FMax);
    FMin = Value;
    if (!IsLoading())
        SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetMax(int Value)
{
    if (!IsLoading())
        CheckRange(FMin, Value);
    FMax = Value;
    if (!IsLoading())
        SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetRange(int AMin, int AMax)
{
    CheckRange(AMin, AMax);
    FMin = AMin;
    FMax = AMax;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetPosition(int Value)
{
    if (!IsLoading())
        Value = std::clamp(Value, FMin, FMax);
    if (FPosition == Value)
        return;
    FPosition = Value;
    Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    if (!IsLoading())
        SetBounds(FLeft, FTop, FHeight, FWidth);
    Invalidate();
}

void TProgressBar::SetSmooth(bool Value)
{
    if (FSmooth == Value)
        return;
    FSmooth = Value;
    Invalidate();
}

void TProgressBar::StepIt()
{
    int64_t P = static_cast<int64_t>(FPosition) + FStep;
    const int64_t Range = static_cast<int64_t>(FMax) - FMin;
    if (Range <= 0)
        P = FMin;
    else if (P > FMax)
        P = FMin + (P - FMin) % Range;
    else if (P < FMin)
        P = FMax - (FMin - P) % Range;
    FPosition = static_cast<int>(P);
    Invalidate();
}

void TProgressBar::StepBy(int Delta)
{
    SetPosition(static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(FPosition) + Delta, FMin, FMax)));
}

void TProgressBar::Loaded()
{
    TCustomControl::Loaded();
    if (FMin > FMax)
        std::swap(FMin, FMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
}

void TProgressBar::Paint()
{
    TCanvas* C = FCanvas.get();
    TRect R = ClientRect();
    DrawEdge(C, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    C->Brush()->SetColor(FColor);
    C->FillRect(R);
    InflateRect(R, -1, -1);
    const int64_t Range = static_cast<int64_t>(FMax) - FMin;
    if (Range <= 0 || R.IsEmpty())
        return;
    const bool Horizontal = FOrientation == pbHorizontal;
    const int Length = Horizontal ? R.Width() : R.Height();
    const int Filled = static_cast<int>((static_cast<int64_t>(FPosition) - FMin) * Length / Range);
    C->Brush()->SetColor(clHighlight);
    if (FSmooth) {
        C->FillRect(Horizontal ? TRect(R.Left, R.Top, R.Left + Filled, R.Bottom)
                               : TRect(R.Left, R.Bottom - Filled, R.Right, R.Bottom));
        return;
    }
    // Chunks two thirds of the bar's thickness long, two pixels apart.
    const int Chunk = std::max(1, (Horizontal ? R.Height() : R.Width()) * 2 / 3);
    const int Gap = 2;
    for (int P = 0; P < Filled; P += Chunk + Gap) {
        const int End = std::min(P + Chunk, Length);
        if (Horizontal)
            C->FillRect(TRect(R.Left + P, R.Top, R.Left + End, R.Bottom));
        else
            C->FillRect(TRect(R.Left, R.Bottom - End, R.Right, R.Bottom - P));
    }
}

// ---------------------------------------------------------------- status panels

TStatusPanel::TStatusPanel(TCollection* ACollection) : TCollectionItem(ACollection) {}

TStatusPanel::~TStatusPanel() = default;

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (FBevel == Value)
        return;
    FBevel = Value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed(false);
}

void TStatusPanel::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("Status panel width must not be negative (got " + IntToStr(Value) + ")");
    if (FWidth == Value)
        return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TStatusPanel*>(Source)) {
        FAlignment = S->FAlignment;
        FBevel = S->FBevel;
        FStyle = S->FStyle;
        FText = S->FText;
        FWidth = S->FWidth;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

String TStatusPanel::GetDisplayName() const
{
    return FText.empty() ? TCollectionItem::GetDisplayName() : FText;
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(ClassOf<TStatusPanel>(), StatusBar), FStatusBar(StatusBar)
{
    SetPropName("Panels");
}

void TStatusPanels::Update(TCollectionItem*)
{
    if (FStatusBar)
        FStatusBar->Invalidate();
}

// ---------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this))
{
    FControlStyle = TControlStyle(csCaptureMouse) | csClickEvents | csDoubleClicks | csOpaque;
    FColor = clBtnFace;
    FParentColor = false;
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar()
{
    Destroying();
    FPanels.reset();
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (FSimplePanel == Value)
        return;
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const String& Value)
{
    if (FSimpleText == Value)
        return;
    FSimpleText = Value;
    Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    Invalidate();
}

bool TStatusBar::ShowsSizeGrip() const
{
    if (!FSizeGrip)
        return false;
    auto* Form = dynamic_cast<TCustomForm*>(FParent);
    return Form && (Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin);
}

TRect TStatusBar::PanelRect(int Index) const
{
    if (FSimplePanel || Index < 0 || Index >= FPanels->Count())
        return TRect();
    const int Grip = ShowsSizeGrip() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int Limit = std::max(0, FWidth - Grip);
    int X = 0;
    for (int I = 0; I < Index; ++I)
        X += FPanels->Items(I)->Width();
    int Right = Index == FPanels->Count() - 1 ? Limit : X + FPanels->Items(Index)->Width() - 2;
    X = std::min(X, Limit);
    Right = std::clamp(Right, X, Limit);
    return TRect(X, 2, Right, FHeight);
}

int TStatusBar::PanelAt(TPoint P) const
{
    for (int I = 0; I < FPanels->Count(); ++I)
        if (PanelRect(I).Contains(P))
            return I;
    return -1;
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::Paint()
{
    TCanvas* C = FCanvas.get();
    C->Font()->Assign(Font());
    const int Grip = ShowsSizeGrip() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    auto DrawPanelText = [&](const String& Text, TRect R, TAlignment Alignment) {
        InflateRect(R, -2, 0);
        C->Brush()->SetStyle(bsClear);
        unsigned Flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        Flags |= Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
        DrawText(C, Text, R, Flags);
    };
    if (FSimplePanel) {
        TRect R(0, 2, std::max(0, FWidth - Grip), FHeight);
        DrawEdge(C, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        DrawPanelText(FSimpleText, R, taLeftJustify);
    } else {
        for (int I = 0; I < FPanels->Count(); ++I) {
            TStatusPanel* P = FPanels->Items(I);
            TRect R = PanelRect(I);
            if (R.IsEmpty())
                continue;
            switch (P->Bevel()) {
            case pbLowered: DrawEdge(C, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST); break;
            case pbRaised: DrawEdge(C, R, BDR_RAISEDINNER, BF_RECT | BF_ADJUST); break;
            case pbNone: InflateRect(R, -1, -1); break;
            }
            if (P->Style() == psOwnerDraw) {
                C->Brush()->SetColor(FColor);
                C->Font()->Assign(Font());
                C->SetClipRegion(nullptr);
                const QRegion Clip(R.ToQRect());
                C->SetClipRegion(&Clip);
                DrawPanel(P, R);
                C->SetClipRegion(nullptr);
            } else {
                DrawPanelText(P->Text(), R, P->Alignment());
            }
        }
    }
    if (Grip > 0) {
        TRect G(FWidth - Grip, std::max(0, FHeight - Grip), FWidth, FHeight);
        DrawFrameControl(C, G, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void RegisterComCtrlsClasses()
{
    RegisterClasses<TTabSheet, TPageControl, TUpDown, TProgressBar, TStatusBar, TStatusPanel>();
}

namespace {
[[maybe_unused]] const bool ComCtrlsRegistered = (RegisterComCtrlsClasses(), true);
}
