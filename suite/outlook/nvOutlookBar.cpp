#include "nvOutlookBar.h"

#include <algorithm>

#include "Canvas.h"
#include "Forms.h"
#include "Regions.h"
#include "nvBitmap.h"
#include "nvImager.h"
#include "nvImgBtn.h"
#include "nvOutlookList.h"
#include "nvShapeBtn.h"

namespace {

// Width of the sunken edge of a bar with BorderStyle bsSingle. The platform
// draws it inside the control; the headers and panels lie within it.
constexpr int SingleBorderWidth = 2;

// Marks the pages as arranging for the lifetime of the guard and restores
// the previous state afterwards.
class TArrangingGuard {
public:
    explicit TArrangingGuard(TnvButtonGroupItems* Items) : FItems(Items), FWas(Items->Arranging())
    {
        FItems->SetArranging(true);
    }
    ~TArrangingGuard() { FItems->SetArranging(FWas); }
    TArrangingGuard(const TArrangingGuard&) = delete;
    TArrangingGuard& operator=(const TArrangingGuard&) = delete;

private:
    TnvButtonGroupItems* FItems;
    bool FWas;
};

// Restores a canvas's clip region when it goes.
class TClipGuard {
public:
    explicit TClipGuard(TCanvas* Canvas) : FCanvas(Canvas), FHad(Canvas->HasClipRegion())
    {
        if (FHad)
            FSaved = Canvas->ClipRegion();
    }
    ~TClipGuard() { FCanvas->SetClipRegion(FHad ? &FSaved : nullptr); }
    TClipGuard(const TClipGuard&) = delete;
    TClipGuard& operator=(const TClipGuard&) = delete;

private:
    TCanvas* FCanvas;
    bool FHad;
    QRegion FSaved;
};

TRect Translated(const TRect& R, int DX, int DY)
{
    return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

} // namespace

// ---------------------------------------------------------------- TnvOutlookPanel

TnvOutlookPanel::TnvOutlookPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle |= csAcceptsControls;
    FControlStyle &= ~TControlStyle(csOpaque);
}

TnvOutlookPanel::~TnvOutlookPanel() = default;

void TnvOutlookPanel::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    if (Parent())
        Parent()->Invalidate();
    Invalidate();
}

void TnvOutlookPanel::SetPage(TnvOutlookPage* Value)
{
    FPage = Value;
}

TnvCustomOutlookBar* TnvOutlookPanel::OutlookBar() const
{
    if (FPage)
        if (TnvCustomOutlookBar* Bar = FPage->GetOutlookBar())
            return Bar;
    return dynamic_cast<TnvCustomOutlookBar*>(Parent());
}

bool TnvOutlookPanel::PaintsTransparent() const
{
    return true;
}

bool TnvOutlookPanel::DrawBarPicture(TCanvas* Canvas, const TRect& Rect, bool StretchOverSelf) const
{
    TnvCustomOutlookBar* Bar = OutlookBar();
    TnvCustomImager* Imager = Bar ? Bar->Imager() : nullptr;
    if (!Imager)
        return false;
    TnvBitmap* Work = Imager->WorkBitmap();
    if (Work->Empty())
        Imager->ResizeWorkBitmap();
    if (Work->Empty())
        return false;
    // The control's place in the bar's client area: the picture continues
    // across the control exactly as the bar draws it around the control.
    const TRect Page = Bar->PageRect();
    const QPoint InBar = mapTo(Bar, QPoint(0, 0));
    const int X = InBar.x() - Page.Left;
    const int Y = InBar.y() - Page.Top;
    TClipGuard Guard(Canvas);
    Canvas->IntersectClipRect(Rect);
    if (Imager->DrawStyle() == dsTile)
        Work->TileDraw(Canvas, TRect(X, Y, X + Width(), Y + Height()));
    else if (StretchOverSelf)
        Work->Draw(Canvas, TRect(0, 0, Width(), Height()));
    else
        Work->Draw(Canvas, TRect(-X, -Y, -X + Page.Width(), -Y + Page.Height()));
    return true;
}

void TnvOutlookPanel::Paint()
{
    // A transparent panel on a bar with a picture shows the part of the
    // picture behind it. Otherwise the panel's colour: the framework's erasing.
    // (An opaque outlook list among the children covers everything itself.)
    const TRect R(0, 0, Width(), Height());
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* List = dynamic_cast<TnvCustomOutlookList*>(Controls(I)))
            if (const TRect L = List->BoundsRect();
                List->Visible() && !List->Transparent() && L.Left <= 0 && L.Top <= 0 && L.Right >= R.Right &&
                L.Bottom >= R.Bottom)
                return;
    if (FTransparent && DrawBarPicture(Canvas(), R, false))
        return;
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
}

void TnvOutlookPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_CONTROLCHANGE) {
        TCustomControl::WndProc(Message);
        auto* Child = reinterpret_cast<TControl*>(Message.WParam);
        if (Message.LParam == 0 && Child && !IsDestroying()) {
            // A removed outlook list leaves its area to the panel's background.
            if (FPage && FPage->FOutlookListControl == Child) {
                FPage->FOutlookList = nullptr;
                FPage->FOutlookListControl = nullptr;
            }
            Invalidate();
        }
        return;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- TnvAnimation

void TnvAnimation::Assign(TPersistent* Source)
{
    if (auto* A = dynamic_cast<TnvAnimation*>(Source)) {
        FEnabled = A->FEnabled;
        FInterval = A->FInterval;
        FSteps = A->FSteps;
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvAnimation::GetOwner()
{
    return FBar;
}

// ---------------------------------------------------------------- TnvOutlookPage

TnvOutlookPage::TnvOutlookPage(TCollection* ACollection) : TnvButtonGroupItem(ACollection)
{
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    if (!Bar || Bar->IsLoading())
        return;
    TArrangingGuard Guard(Items());
    // "OutlookPanel" and the smallest number no component of the bar uses.
    String Name;
    for (int N = 1;; ++N) {
        Name = "OutlookPanel" + std::to_string(N);
        if (!Bar->FindComponent(Name))
            break;
    }
    auto* Panel = new TnvOutlookPanel(Bar);
    Panel->SetName(Name);
    Panel->SetVisible(false);
    Panel->SetParent(Bar);
    Panel->SendToBack();
    Panel->SetTop(-Panel->Height() - 10);
    AttachPanel(Panel);
    if (Bar->Options().testFlag(cboAutoCreateOutlookList))
        CreateOutlookList();
}

TnvOutlookPage::~TnvOutlookPage()
{
    if (TnvOutlookPanel* P = FPanel.data()) {
        FPanel = nullptr;
        P->SetPage(nullptr);
        TnvButtonGroupItems* I = Items();
        const bool Was = I ? I->Removing() : false;
        if (I)
            I->SetRemoving(true);
        delete P;
        if (I)
            I->SetRemoving(Was);
    }
}

TnvCustomOutlookList* TnvOutlookPage::OutlookList() const
{
    return FOutlookList.data();
}

TnvCustomOutlookBar* TnvOutlookPage::GetOutlookBar() const
{
    return dynamic_cast<TnvCustomOutlookBar*>(GetGroup());
}

void TnvOutlookPage::AttachPanel(TnvOutlookPanel* Panel)
{
    FPanel = Panel;
    if (Panel)
        Panel->SetPage(this);
}

void TnvOutlookPage::AttachList(TnvCustomOutlookList* List)
{
    FOutlookList = List;
    FOutlookListControl = List;
    if (List)
        List->SetPage(this);
}

void TnvOutlookPage::CreateOutlookList()
{
    if (FOutlookList || !FPanel)
        return;
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    TComponent* Owner = Bar ? Bar->GetParentForm() : nullptr;
    auto* List = new TnvOutlookList(Owner);
    try {
        List->SetParent(FPanel.data());
        List->SetAlign(alClient);
        List->SetBorderStyle(bsNone);
        if (Owner && Bar)
            List->SetName(UniqueComponentName(Owner, Bar->Name() + "OutlookList"));
    } catch (...) {
        delete List;
        throw;
    }
    AttachList(List);
}

void TnvOutlookPage::Activate()
{
    SetDown(true);
    if (TnvCustomButtonGroup* G = GetGroup())
        G->ArrangeButtons();
}

void TnvOutlookPage::HookButton()
{
    // The selection is reported through the group's change link; the page
    // only takes its panel over from whoever owned it while loading.
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    if (TnvOutlookPanel* P = FPanel.data()) {
        if (Bar && P->Owner() != Bar) {
            if (P->Owner())
                P->Owner()->RemoveComponent(P);
            Bar->InsertComponent(P);
        }
        P->SetPage(this);
    }
    if (FOutlookList)
        FOutlookList->SetPage(this);
}

void TnvOutlookPage::SetIndex(int Value)
{
    TnvButtonGroupItem::SetIndex(Value);
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    if (!Bar || Bar->IsLoading() || !FPanel)
        return;
    Bar->SetChildOrder(FPanel.data(), Index());
}

// ---------------------------------------------------------------- TnvOutlookPages

TnvOutlookPages::TnvOutlookPages(TnvCustomButtonGroup* Group) : TnvButtonGroupItems(Group, ClassOf<TnvOutlookPage>())
{
}

TnvOutlookPages::~TnvOutlookPages() = default;

TnvCustomOutlookBar* TnvOutlookPages::GetOutlookBar() const
{
    return dynamic_cast<TnvCustomOutlookBar*>(Group());
}

TnvButtonGroupItem* TnvOutlookPages::Add()
{
    TnvButtonGroupItem* Item = TnvButtonGroupItems::Add();
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    if (TnvCustomBitBtn* B = Item->Button(); B && Bar && !Bar->ShowButtons())
        B->SetVisible(false);
    if (Count() == 1)
        Item->Activate();
    return Item;
}

void TnvOutlookPages::SetControlBounds(TControl* Control, const TRect& Rect)
{
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    const TRect Area = Bar ? Bar->PageRect() : TRect();
    const TRect R = Translated(Rect, Area.Left, Area.Top);
    if (auto* Panel = dynamic_cast<TnvOutlookPanel*>(Control)) {
        Panel->SetPositioning(true);
        try {
            Panel->SetBoundsRect(R);
        } catch (...) {
            Panel->SetPositioning(false);
            throw;
        }
        Panel->SetPositioning(false);
        return;
    }
    Control->SetBoundsRect(R);
    Control->Invalidate();
}

void TnvOutlookPages::ArrangeButtons()
{
    TnvCustomOutlookBar* Bar = GetOutlookBar();
    // 1. Not while arranging or adding (nor while the bar loads or dies).
    if (!Bar || Arranging() || Adding() || Bar->IsLoading() || Bar->IsDestroying())
        return;
    SetArranging(true);

    const TRect Area = Bar->PageRect();
    // Everything below is in client coordinates: (0, 0) is Area's corner.
    auto ClientBounds = [&](TControl* C) { return Translated(C->BoundsRect(), -Area.Left, -Area.Top); };
    const int CW = Area.Width();
    const int CH = Area.Height();
    const bool Vertical = Bar->Layout() == loVertical;
    const int B = Bar->ButtonSize();
    const int E = Vertical ? CH : CW;
    const int V = VisibleCount();
    const int A = E - B * V; // the open panel's extent
    const TnvPanelAlignment Align = Bar->PanelAlignment();
    TnvOutlookPage* Selected = static_cast<TnvOutlookPage*>(Bar->SelectedItem());

    std::vector<QPointer<TnvCustomOutlookList>> Lists;
    std::vector<QPointer<TnvCustomBitBtn>> Headers;
    TnvAnimateList Animations;
    int Steps = 1;
    int OldIndex = -1;
    QPointer<TnvOutlookPanel> OldPanel;

    auto CleanUp = [&] {
        for (const auto& H : Headers)
            if (H)
                H->SetBusy(false);
        // 9.
        Animations.clear();
        SetArranging(false);
        for (const auto& L : Lists)
            if (L)
                L->SetScrollButtonsHidden(false);
    };

    try {
        // 2. The leading edge of the next header.
        int Pos = Align == paTop ? A : 0;

        // 3. Scroll buttons away during the slide; closed panels out of sight.
        for (int I = 0; I < Count(); ++I) {
            TnvOutlookPage* P = Page(I);
            if (TnvCustomOutlookList* L = P->OutlookList()) {
                Lists.emplace_back(L);
                L->SetScrollButtonsHidden(true);
            }
            TnvOutlookPanel* Panel = P->Panel();
            if (!Panel)
                continue;
            if (Panel->Visible()) {
                // Only one panel is open: an earlier one found open closes.
                if (OldPanel && OldPanel != Panel) {
                    OldPanel->SetVisible(false);
                    OldPanel->SetTop(-OldPanel->Height());
                }
                OldPanel = Panel;
                OldIndex = I;
            } else {
                Panel->SetTop(-Panel->Height());
            }
        }

        // 4. Without headers the open panel takes the whole client area at once.
        if (!Bar->ShowButtons()) {
            TnvOutlookPanel* NewPanel = Selected ? Selected->Panel() : nullptr;
            if (OldPanel && OldPanel != NewPanel)
                OldPanel->SetVisible(false);
            if (NewPanel) {
                SetControlBounds(NewPanel, TRect(0, 0, CW, CH));
                NewPanel->SetVisible(true);
            }
            CleanUp();
            return;
        }

        // 5. One animation group a visible header: the header, and the panel
        // that opens after it or closes behind it.
        for (int I = 0; I < V; ++I) {
            auto* P = static_cast<TnvOutlookPage*>(VisibleItem(I));
            TnvCustomBitBtn* Btn = P->Button();
            auto Group = std::make_unique<TnvGroupAnimateItem>();
            Group->Primary = std::make_unique<TnvAnimateListItem>();
            Group->Primary->Control = Btn;
            Group->Primary->StartRect = ClientBounds(Btn);
            const TRect End = Vertical ? TRect(0, Pos, CW, Pos + B) : TRect(Pos, 0, Pos + B, CH);
            Group->Primary->EndRect = End;
            TnvOutlookPanel* Panel = P->Panel();
            if (P == Selected && Panel) {
                const TRect R = ClientBounds(Btn);
                TRect Start;
                TRect Finish;
                switch (Align) {
                case paDynamic:
                    Start = Vertical ? TRect(R.Left, R.Bottom, R.Right, R.Bottom) : TRect(R.Right, R.Top, R.Right, R.Bottom);
                    Finish = Vertical ? TRect(End.Left, End.Bottom, End.Right, End.Bottom + A)
                                      : TRect(End.Right, End.Top, End.Right + A, End.Bottom);
                    Pos += A;
                    break;
                case paTop:
                    Start = Vertical ? TRect(R.Left, 0, R.Right, 0) : TRect(0, R.Top, 0, R.Bottom);
                    Finish = Vertical ? TRect(End.Left, 0, End.Right, A) : TRect(0, End.Top, A, End.Bottom);
                    break;
                case paBottom:
                    Start = Vertical ? TRect(R.Left, CH - A, R.Right, CH - A) : TRect(CW - A, R.Top, CW - A, R.Bottom);
                    Finish = Vertical ? TRect(End.Left, CH - A, End.Right, CH) : TRect(CW - A, End.Top, CW, End.Bottom);
                    break;
                }
                SetControlBounds(Panel, Start);
                Panel->SetVisible(true);
                Group->Secondary = std::make_unique<TnvAnimateListItem>();
                Group->Secondary->Control = Panel;
                Group->Secondary->StartRect = Start;
                Group->Secondary->EndRect = Finish;
            } else if (Panel && Panel == OldPanel) {
                Panel->SetVisible(true);
                Group->Secondary = std::make_unique<TnvAnimateListItem>();
                Group->Secondary->Control = Panel;
                Group->Secondary->StartRect = ClientBounds(Panel);
                Group->Secondary->EndRect = Vertical ? TRect(End.Left, End.Bottom, End.Right, End.Bottom)
                                                     : TRect(End.Right, End.Top, End.Right, End.Bottom);
            }
            Pos += B;
            Animations.push_back(std::move(Group));
        }

        // 6. Only a selection change slides; an aligned control on a page
        // without a list would be realigned at every step, so it does not.
        Steps = Bar->Animation()->Steps();
        int Interval = Bar->Animation()->Interval();
        bool Instant = !Bar->InSelectionChange() || Bar->IsDesigning() || !Bar->Animation()->Enabled();
        for (int I = 0; I < Count() && !Instant; ++I) {
            TnvOutlookPage* P = Page(I);
            if (P->OutlookList() || !P->Panel())
                continue;
            for (int C = 0; C < P->Panel()->ControlCount(); ++C)
                if (P->Panel()->Controls(C)->Align() != alNone) {
                    Instant = true;
                    break;
                }
        }
        if (Instant || Steps < 1) {
            Steps = 1;
            Interval = 0;
        }

        // 7. The headers ignore input while they slide.
        for (int I = 0; I < Count(); ++I)
            if (TnvCustomBitBtn* H = Page(I)->Button()) {
                Headers.emplace_back(H);
                H->SetBusy(true);
            }
        const QPointer<TnvCustomOutlookBar> Self(Bar);
        AnimateControls(Bar, Animations, [this](TControl* C, const TRect& R) { SetControlBounds(C, R); }, Steps,
                        Interval);
        if (!Self) {
            // Freed by a message handled between the steps.
            return;
        }

        // 8. The panel that closed goes out of sight.
        if (OldPanel && Selected && OldPanel != Selected->Panel()) {
            OldPanel->SetVisible(false);
            OldPanel->SetTop(-Bar->Height());
        }
    } catch (...) {
        CleanUp();
        throw;
    }
    CleanUp();

    // 10. Shaped headers that slid repaint the background behind their outline.
    if (Steps >= 1 && OldIndex >= 0 && Selected) {
        const int NewIndex = Selected->Index();
        const int From = NewIndex > OldIndex ? OldIndex + 1 : NewIndex + 1;
        const int To = NewIndex > OldIndex ? NewIndex : OldIndex;
        for (int I = From; I <= To && I < Count(); ++I)
            if (TnvCustomBitBtn* H = Page(I)->Button(); H && Bar->IsShapedButton(H))
                InvalidateControlArea(H, true);
    }
}

// ---------------------------------------------------------------- TnvCustomOutlookBar

TnvCustomOutlookBar::TnvCustomOutlookBar(TComponent* AOwner)
    : TnvCustomButtonGroup(AOwner, [](TnvCustomButtonGroup* G) { return std::make_unique<TnvOutlookPages>(G); }),
      FImagerLink(std::make_unique<TnvChangeLink>()), FAnimation(std::make_unique<TnvAnimation>(this))
{
    FImagerLink->OnChange = [this](TObject*) { Invalidate(); };
    SetAutoBold(false);
    SetBorderStyle(bsSingle);
    SetShowDownAsUp(false);
    // The bar paints its whole area itself.
    FControlStyle |= csOpaque;
}

TnvCustomOutlookBar::~TnvCustomOutlookBar()
{
    Destroying();
    if (FImagerControl && !FImagerControl->IsDestroying())
        if (TnvCustomImager* I = FImager.data())
            I->UnregisterChanges(FImagerLink.get());
    FImager = nullptr;
    FImagerControl = nullptr;
    FImagerComponent = nullptr;
}

// ---- properties

TnvCustomBitBtn* TnvCustomOutlookBar::ActivePage() const
{
    TnvButtonGroupItem* Item = SelectedItem();
    return Item ? Item->Button() : nullptr;
}

void TnvCustomOutlookBar::SetActivePage(TnvCustomBitBtn* Value)
{
    if (TnvButtonGroupItem* Item = ButtonItems()->FindItemByButton(Value))
        Item->SetDown(true);
}

void TnvCustomOutlookBar::SetButtonSize(int Value)
{
    FButtonSize = Value;
    ArrangeButtons();
}

void TnvCustomOutlookBar::SetOptions(TnvCustomOutlookBarOptions Value)
{
    FOptions = Value;
}

void TnvCustomOutlookBar::SetPanelAlignment(TnvPanelAlignment Value)
{
    FPanelAlignment = Value;
    if (!IsLoading())
        ArrangeButtons();
}

void TnvCustomOutlookBar::SetShowButtons(bool Value)
{
    FShowButtons = Value;
    if (!IsLoading()) {
        OutlookItems()->SetArranging(false);
        for (int I = 0; I < OutlookItems()->Count(); ++I)
            if (TnvCustomBitBtn* B = OutlookItems()->Item(I)->Button()) {
                B->SetVisible(Value);
                if (Value)
                    B->BringToFront();
                else
                    B->SendToBack();
            }
    }
    ArrangeButtons();
}

void TnvCustomOutlookBar::SetImager(TnvCustomImager* Value)
{
    if (TnvCustomImager* Old = FImager.data())
        Old->UnregisterChanges(FImagerLink.get());
    if (Value == FImager.data()) {
        if (Value)
            Value->RegisterChanges(FImagerLink.get());
        return;
    }
    if (TnvCustomImager* Old = FImager.data())
        Old->RemoveFreeNotification(this);
    FImager = Value;
    FImagerControl = Value;
    FImagerComponent = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->RegisterChanges(FImagerLink.get());
        // The imager only serves as the picture source: it lies hidden on the
        // bar. Its stored settings are kept while forms load.
        Value->SetParent(this);
        if (!IsLoading() && !Value->IsLoading()) {
            Value->SetAlign(alNone);
            Value->SetDrawStyle(dsTile);
            Value->SetBounds(0, 0, 25, 25);
            Value->SetTransparent(false);
            Value->SetVisible(false);
        }
    }
    Invalidate();
}

void TnvCustomOutlookBar::DropImager(bool Destroyed)
{
    if (!FImagerControl)
        return;
    if (!Destroyed)
        if (TnvCustomImager* I = FImager.data())
            I->UnregisterChanges(FImagerLink.get());
    FImager = nullptr;
    FImagerControl = nullptr;
    FImagerComponent = nullptr;
    if (!IsDestroying())
        Invalidate();
}

TRect TnvCustomOutlookBar::PageRect() const
{
    const int B = BorderStyle() == bsSingle ? SingleBorderWidth : 0;
    return TRect(B, B, std::max(B, Width() - B), std::max(B, Height() - B));
}

// ---- group overrides

const TMetaClass* TnvCustomOutlookBar::ItemsClass() const
{
    return ClassOf<TnvOutlookPages>();
}

void TnvCustomOutlookBar::SizeToButtons(TnvCustomBitBtn*, bool, TSize& Size)
{
    Size = TSize(Width(), Height());
}

void TnvCustomOutlookBar::ButtonChanged(TnvCustomBitBtn* Button)
{
    // Setting the previous selection down again reports another change of
    // its own, which must not undo the undoing.
    if (FUndoing)
        return;
    ++FSelChangeDepth;
    const QPointer<TnvCustomOutlookBar> Self(this);
    try {
        if (OutlookItems()->Arranging()) {
            // A selection change that got through during a slide is undone.
            if (TnvButtonGroupItem* Previous = PreviousSelection())
                if (TnvCustomBitBtn* B = Previous->Button(); B && B != Button && !B->Down()) {
                    FUndoing = true;
                    try {
                        B->SetDown(true);
                    } catch (...) {
                        if (Self)
                            FUndoing = false;
                        throw;
                    }
                    if (Self)
                        FUndoing = false;
                }
        } else {
            TnvCustomButtonGroup::ButtonChanged(Button);
        }
    } catch (...) {
        if (Self)
            --FSelChangeDepth;
        throw;
    }
    if (Self)
        --FSelChangeDepth;
}

bool TnvCustomOutlookBar::IsShapedButton(TnvCustomBitBtn* Button) const
{
    if (auto* S = dynamic_cast<TnvCustomShapeBtn*>(Button))
        return S->Shape() != bsRect;
    if (auto* I = dynamic_cast<TnvCustomImageBtn*>(Button))
        return I->TransparentColor() != nvNoTransparency;
    return false;
}

// ---- framework overrides

void TnvCustomOutlookBar::Loaded()
{
    // The stored panels go to the pages in order; a panel's first outlook
    // list becomes its page's list.
    TnvOutlookPages* Pages = OutlookItems();
    for (int I = 0; I < ControlCount(); ++I) {
        auto* Panel = dynamic_cast<TnvOutlookPanel*>(Controls(I));
        if (!Panel)
            continue;
        TnvOutlookPage* Free = nullptr;
        for (int J = 0; J < Pages->Count() && !Free; ++J)
            if (!Pages->Page(J)->Panel())
                Free = Pages->Page(J);
        if (!Free)
            break; // a panel without a page is left alone
        Free->AttachPanel(Panel);
        for (int C = 0; C < Panel->ControlCount(); ++C)
            if (auto* List = dynamic_cast<TnvCustomOutlookList*>(Panel->Controls(C))) {
                Free->AttachList(List);
                break;
            }
    }
    TnvCustomButtonGroup::Loaded();
    {
        TArrangingGuard Guard(Pages);
        for (int I = 0; I < Pages->Count(); ++I)
            if (TnvOutlookPanel* P = Pages->Page(I)->Panel())
                P->SetVisible(false);
    }
    Pages->SetArranging(false);
    ArrangeButtons();
}

void TnvCustomOutlookBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomButtonGroup::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FImagerComponent)
        DropImager(AComponent->IsDestroying());
}

void TnvCustomOutlookBar::SetName(const String& NewName)
{
    const String OldName = Name();
    if (OldName != NewName) {
        for (int I = 0; I < OutlookItems()->Count(); ++I) {
            TnvOutlookPanel* P = OutlookItems()->Page(I)->Panel();
            if (P && P->Name().compare(0, OldName.size(), OldName) == 0)
                P->SetName(NewName + P->Name().substr(OldName.size()));
        }
    }
    TnvCustomButtonGroup::SetName(NewName);
}

void TnvCustomOutlookBar::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TnvCustomButtonGroup::GetChildren(Proc, Root);
    for (int I = 0; I < OutlookItems()->Count(); ++I)
        if (TnvOutlookPanel* P = OutlookItems()->Page(I)->Panel())
            Proc(P);
}

TComponent* TnvCustomOutlookBar::GetChildOwner(const TMetaClass* ChildClass)
{
    // The panels are the bar's own: their names need only be unique in it.
    if (ChildClass && ChildClass->InheritsFrom(&TnvOutlookPanel::staticMetaObject))
        return this;
    return nullptr;
}

void TnvCustomOutlookBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1; // the bar paints everything itself
        return;
    case CM_FONTCHANGED:
        TnvCustomButtonGroup::WndProc(Message);
        Invalidate();
        Update();
        return;
    case CM_CONTROLCHANGE:
        TnvCustomButtonGroup::WndProc(Message);
        if (auto* Child = reinterpret_cast<TControl*>(Message.WParam);
            Message.LParam == 0 && Child && Child == FImagerControl)
            DropImager(Child->IsDestroying());
        return;
    default: break;
    }
    TnvCustomButtonGroup::WndProc(Message);
}

void TnvCustomOutlookBar::PaintBackground(const QRegion& Clip)
{
    TCanvas* C = Canvas();
    const TRect Page = PageRect();
    TClipGuard Guard(C);
    C->SetClipRegion(&Clip);
    {
        bool Drawn = false;
        if (TnvCustomImager* I = FImager.data()) {
            TnvBitmap* Work = I->WorkBitmap();
            if (Work->Empty())
                I->ResizeWorkBitmap();
            if (!Work->Empty()) {
                if (I->DrawStyle() == dsTile)
                    Work->TileDraw(C, TRect(-Page.Left, -Page.Top, Page.Width() - Page.Left, Page.Height() - Page.Top));
                else
                    Work->Draw(C, Page);
                Drawn = true;
            }
        }
        if (!Drawn) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(Color());
            C->FillRect(Page);
        }
    }
}

void TnvCustomOutlookBar::Paint()
{
    TCanvas* C = Canvas();
    TnvOutlookPages* Pages = OutlookItems();
    if (BorderStyle() == bsSingle) {
        TRect R(0, 0, Width(), Height());
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT);
    }
    const TRect Page = PageRect();
    // 1. Nothing of the bar's own yet: the group's painting.
    if (Pages->Count() == 0 && !FImager) {
        TnvCustomButtonGroup::Paint();
        return;
    }
    bool Shaped = false;
    for (int I = 0; I < Pages->Count() && !Shaped; ++I)
        if (TnvCustomBitBtn* B = Pages->Item(I)->Button(); B && B->Visible())
            Shaped = IsShapedButton(B);
    // 2. A picture, or headers that do not cover their rectangles: the
    // background everywhere but under the headers' outlines, the open
    // panel's opaque children and (without a picture) the open panel.
    if (FImager || Shaped) {
        QRegion Clip(Page.Left, Page.Top, Page.Width(), Page.Height());
        for (int I = 0; I < Pages->Count(); ++I) {
            TnvCustomBitBtn* B = Pages->Item(I)->Button();
            if (!B || !B->Visible())
                continue;
            const QRegion Outline = B->CreateRegion(false, B->Down());
            if (!Outline.isEmpty())
                Clip -= Outline.translated(B->Left(), B->Top());
        }
        for (int I = 0; I < Pages->Count(); ++I) {
            TnvOutlookPanel* P = Pages->Page(I)->Panel();
            if (!P || !P->Visible())
                continue;
            if (!FImager)
                Clip -= QRegion(P->Left(), P->Top(), P->Width(), P->Height());
            CombineOpaqueChildren(P, Clip, RGN_DIFF, TPoint(P->Left(), P->Top()));
        }
        PaintBackground(Clip);
        return;
    }
    // 3. Otherwise the headers and the open panel cover the client area; what
    // a slide uncovers between them for a moment shows the bar's colour.
    if (IsDesigning()) {
        TnvCustomButtonGroup::Paint();
        return;
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(Page);
    // 4. The platform composes the children over this picture itself, so the
    // open panel's windows need no invalidation here.
}

// ---------------------------------------------------------------- registration

void RegisterOutlookBarClasses()
{
    RegisterClasses<TnvOutlookBar, TnvOutlookPage, TnvOutlookPanel, TnvAnimation>();
}

namespace {
[[maybe_unused]] const bool OutlookBarRegistered = (RegisterOutlookBarClasses(), true);
}
