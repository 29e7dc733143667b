#include "Menus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <algorithm>
#include <cstring>
#include <map>

#include "Forms.h"
#include "ImageList.h"

// ---------------------------------------------------------------- shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    TShortCut Result = Key & 0xFF;
    if (Shift.testFlag(ssShift))
        Result |= scShift;
    if (Shift.testFlag(ssCtrl))
        Result |= scCtrl;
    if (Shift.testFlag(ssAlt))
        Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift)
{
    Key = static_cast<Word>(Value & 0xFF);
    Shift = TShiftState();
    if (Value & scShift)
        Shift |= ssShift;
    if (Value & scCtrl)
        Shift |= ssCtrl;
    if (Value & scAlt)
        Shift |= ssAlt;
}

namespace {

// The name of a key as menus show it, "" for keys without one.
String KeyName(int Key)
{
    static const char* const Specials[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
    if (Key == VK_BACK)
        return "BkSp";
    if (Key == VK_TAB)
        return "Tab";
    if (Key == VK_RETURN)
        return "Enter";
    if (Key == VK_ESCAPE)
        return "Esc";
    if (Key >= 0x20 && Key <= 0x28)
        return Specials[Key - 0x20];
    if (Key == VK_INSERT)
        return "Ins";
    if (Key == VK_DELETE)
        return "Del";
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return String(1, static_cast<char>(Key));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return String(1, static_cast<char>('0' + Key - VK_NUMPAD0));
    if (Key >= VK_F1 && Key <= VK_F1 + 23)
        return "F" + IntToStr(Key - VK_F1 + 1);
    switch (Key) {
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num Del";
    case VK_DIVIDE: return "Num /";
    default: return String();
    }
}

bool TakeFront(String& Text, const char* Front)
{
    const size_t N = std::strlen(Front);
    if (Text.size() < N || !SameText(Text.substr(0, N), Front))
        return false;
    Text.erase(0, N);
    return true;
}

// A menu's items in the menu's font and the classic menu colours.
void StyleMenuWidget(QWidget* W)
{
    TFont Font;
    W->setFont(Font.QtFont());
    QPalette P = W->palette();
    P.setColor(QPalette::Window, ColorToQColor(clMenu));
    P.setColor(QPalette::Button, ColorToQColor(clMenu));
    P.setColor(QPalette::WindowText, ColorToQColor(clMenuText));
    P.setColor(QPalette::ButtonText, ColorToQColor(clMenuText));
    P.setColor(QPalette::Text, ColorToQColor(clMenuText));
    P.setColor(QPalette::Highlight, ColorToQColor(clHighlight));
    P.setColor(QPalette::HighlightedText, ColorToQColor(clHighlightText));
    P.setColor(QPalette::Disabled, QPalette::WindowText, ColorToQColor(clGrayText));
    P.setColor(QPalette::Disabled, QPalette::Text, ColorToQColor(clGrayText));
    P.setColor(QPalette::Disabled, QPalette::ButtonText, ColorToQColor(clGrayText));
    W->setPalette(P);
}

} // namespace

String ShortCutToText(TShortCut Value)
{
    const String Name = KeyName(Value & 0xFF);
    if (Name.empty())
        return String();
    String Result;
    if (Value & scShift)
        Result += "Shift+";
    if (Value & scCtrl)
        Result += "Ctrl+";
    if (Value & scAlt)
        Result += "Alt+";
    return Result + Name;
}

TShortCut TextToShortCut(const String& Text)
{
    String T = Text;
    TShortCut Shift = 0;
    for (;;) {
        if (TakeFront(T, "Shift+"))
            Shift |= scShift;
        else if (TakeFront(T, "^"))
            Shift |= scCtrl;
        else if (TakeFront(T, "Ctrl+"))
            Shift |= scCtrl;
        else if (TakeFront(T, "Alt+"))
            Shift |= scAlt;
        else
            break;
    }
    if (T.empty())
        return 0;
    for (int Key = 0x08; Key <= 0xFF; ++Key) {
        const String Name = KeyName(Key);
        if (!Name.empty() && SameText(Name, T))
            return Key | Shift;
    }
    return 0;
}

QKeySequence ShortCutToKeySequence(TShortCut Value)
{
    const int Vk = Value & 0xFF;
    int Key = 0;
    int Modifiers = 0;
    if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD0 + 9) {
        Key = Qt::Key_0 + (Vk - VK_NUMPAD0);
        Modifiers |= Qt::KeypadModifier;
    } else {
        Key = VirtualKeyToQtKey(static_cast<Word>(Vk));
    }
    if (Key == 0)
        return QKeySequence();
    if (Value & scShift)
        Modifiers |= Qt::ShiftModifier;
    if (Value & scCtrl)
        Modifiers |= Qt::ControlModifier;
    if (Value & scAlt)
        Modifiers |= Qt::AltModifier;
    return QKeySequence(Key | Modifiers);
}

String StripHotkey(const String& Text)
{
    String Result;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '&') {
            if (I + 1 < Text.size())
                Result += Text[++I];
            continue;
        }
        Result += Text[I];
    }
    return Result;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TNonVisualComponent(AOwner), FAction(std::make_unique<QAction>())
{
    QObject::connect(FAction.get(), &QAction::triggered, this, [this] { Triggered(); });
    UpdateAction();
}

TMenuItem::~TMenuItem()
{
    Destroying();
    // The children go with their parent, whoever owns them.
    while (!FItems.empty())
        delete FItems.back();
    if (FParent)
        FParent->Remove(this);
    for (auto& G : FRadioGroups)
        for (QAction* A : G->actions())
            G->removeAction(A);
    FRadioGroups.clear();
    if (FSubMenu) {
        FAction->setMenu(static_cast<QMenu*>(nullptr));
        FSubMenu.reset();
    }
}

void TMenuItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff()
{
    if (!FParent || !FRadioItem)
        return;
    for (TMenuItem* Sibling : FParent->FItems)
        if (Sibling != this && Sibling->FRadioItem && Sibling->FGroupIndex == FGroupIndex && Sibling->FChecked) {
            Sibling->FChecked = false;
            Sibling->UpdateAction();
        }
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value)
        TurnSiblingsOff();
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    // One default item per menu level.
    if (Value && FParent)
        for (TMenuItem* Sibling : FParent->FItems)
            if (Sibling != this && Sibling->FDefault) {
                Sibling->FDefault = false;
                Sibling->UpdateAction();
            }
    FDefault = Value;
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    if (FChecked)
        TurnSiblingsOff();
    if (FParent)
        FParent->RebuildSubMenu();
    MenuChanged(false);
}

void TMenuItem::SetHint(const String& Value)
{
    FHint = Value;
    UpdateAction();
}

void TMenuItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    UpdateImage();
    MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (FRadioItem == Value)
        return;
    FRadioItem = Value;
    if (FChecked)
        TurnSiblingsOff();
    if (FParent)
        FParent->RebuildSubMenu();
    MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (Value < 0 || Value > 0xFFFF)
        throw EMenuError("Invalid shortcut value " + IntToStr(Value) + " for menu item '" + Name() + "'");
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    UpdateAction();
    MenuChanged(false);
}

void TMenuItem::UpdateAction()
{
    QAction* A = FAction.get();
    A->setSeparator(IsLine());
    A->setText(IsLine() ? QString() : ToQString(FCaption));
    A->setEnabled(FEnabled);
    A->setVisible(FVisible);
    // Unchecked items show no mark, checked ones a check or (radio items) a
    // bullet; choosing an item does not toggle it by itself.
    A->setCheckable(FChecked);
    A->setChecked(FChecked);
    QFont F = A->font();
    F.setBold(FDefault);
    A->setFont(F);
    A->setShortcut(ShortCutToKeySequence(FShortCut));
    A->setStatusTip(ToQString(FHint));
    A->setToolTip(ToQString(FHint.empty() ? StripHotkey(FCaption) : FHint));
}

void TMenuItem::UpdateImage()
{
    TMenu* M = GetParentMenu();
    TCustomImageList* Images = M ? M->Images() : nullptr;
    if (!Images || FImageIndex < 0 || FImageIndex >= Images->Count()) {
        FAction->setIcon(QIcon());
    } else {
        QImage Pixels = Images->ImageAt(FImageIndex).convertToFormat(QImage::Format_ARGB32);
        const QImage Mask = Images->MaskAt(FImageIndex);
        if (Images->Masked() && !Mask.isNull())
            for (int Y = 0; Y < Pixels.height() && Y < Mask.height(); ++Y)
                for (int X = 0; X < Pixels.width() && X < Mask.width(); ++X)
                    if (Mask.pixelIndex(X, Y) == 1)
                        Pixels.setPixel(X, Y, 0);
        FAction->setIcon(QIcon(QPixmap::fromImage(Pixels)));
    }
    for (TMenuItem* C : FItems)
        C->UpdateImage();
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range (" + IntToStr(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        throw EMenuError("Cannot insert a nil menu item");
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    for (const TMenuItem* P = this; P; P = P->FParent)
        if (P == Item)
            throw EMenuError("Menu cannot contain itself");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range (" + IntToStr(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked)
        Item->TurnSiblingsOff();
    EnsureSubMenu();
    Item->UpdateImage();
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end())
        throw EMenuError("Menu item '" + (Item ? Item->Name() : String()) + "' is not a child of this item");
    FItems.erase(It);
    Item->FParent = nullptr;
    for (auto& G : FRadioGroups)
        G->removeAction(Item->Action());
    if (FSubMenu)
        FSubMenu->removeAction(Item->Action());
    if (FItems.empty() && !FMenu && FSubMenu && !IsDestroying()) {
        // A command again: no arrow, no empty menu.
        FAction->setMenu(static_cast<QMenu*>(nullptr));
        FSubMenu.reset();
    } else if (!IsDestroying()) {
        RebuildSubMenu();
    }
    if (!IsDestroying())
        MenuChanged(true);
}

void TMenuItem::Delete(int Index)
{
    delete Items(Index);
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back();
}

int TMenuItem::MenuIndex() const
{
    return FParent ? FParent->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int Value)
{
    if (!FParent)
        return;
    TMenuItem* P = FParent;
    const int Cur = P->IndexOf(this);
    Value = std::clamp(Value, 0, P->Count() - 1);
    if (Value == Cur)
        return;
    P->FItems.erase(P->FItems.begin() + Cur);
    P->FItems.insert(P->FItems.begin() + Value, this);
    P->RebuildSubMenu();
    P->MenuChanged(true);
}

TMenuItem* TMenuItem::Find(const String& ACaption) const
{
    const String Wanted = StripHotkey(ACaption);
    for (TMenuItem* C : FItems)
        if (SameText(StripHotkey(C->FCaption), Wanted))
            return C;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* I = this;
    while (I->FParent)
        I = I->FParent;
    return I->FMenu;
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (OnClick)
        OnClick(this);
}

void TMenuItem::Triggered()
{
    // Qt toggled a checkable action before telling us; the item decides.
    FAction->setChecked(FChecked);
    Click();
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Value)
{
    if (Value == 0 || !FVisible || !FEnabled)
        return nullptr;
    if (FShortCut == Value && FParent)
        return this;
    for (TMenuItem* C : FItems)
        if (TMenuItem* Found = C->FindShortCut(Value))
            return Found;
    return nullptr;
}

QMenu* TMenuItem::EnsureSubMenu()
{
    if (!FSubMenu) {
        FSubMenu = std::make_unique<QMenu>();
        StyleMenuWidget(FSubMenu.get());
        if (!FMenu)
            FAction->setMenu(FSubMenu.get());
    }
    RebuildSubMenu();
    return FSubMenu.get();
}

void TMenuItem::RebuildSubMenu()
{
    // Radio items of one group index show bullets as a group.
    for (auto& G : FRadioGroups)
        for (QAction* A : G->actions())
            G->removeAction(A);
    FRadioGroups.clear();
    std::map<int, QActionGroup*> Groups;
    for (TMenuItem* C : FItems)
        if (C->FRadioItem) {
            QActionGroup*& G = Groups[C->FGroupIndex];
            if (!G) {
                FRadioGroups.push_back(std::make_unique<QActionGroup>(nullptr));
                G = FRadioGroups.back().get();
                G->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            }
            G->addAction(C->Action());
            C->UpdateAction();
        }
    if (!FSubMenu)
        return;
    for (QAction* A : FSubMenu->actions())
        FSubMenu->removeAction(A);
    for (TMenuItem* C : FItems)
        FSubMenu->addAction(C->Action());
}

void TMenuItem::MenuChanged(bool Rebuild)
{
    if (IsDestroying())
        return;
    if (TMenu* M = GetParentMenu())
        M->MenuChanged(this, Rebuild);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (FParent)
        FParent->Remove(this);
    if (!Value)
        return;
    if (auto* M = dynamic_cast<TMenu*>(Value))
        M->Items()->Add(this);
    else if (auto* I = dynamic_cast<TMenuItem*>(Value))
        I->Add(this);
    else
        throw EMenuError("Menu item '" + Name() + "' cannot have a " + Value->ClassName() + " as its parent");
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TMenuItem* C : std::vector<TMenuItem*>(FItems))
        if (C->Owner() == Root)
            Proc(C);
}

// ---------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* AOwner)
    : TNonVisualComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)),
      FImageChangeLink(std::make_unique<TChangeLink>())
{
    FItems->FMenu = this;
    FImageChangeLink->OnChange = [this](TObject*) { FItems->UpdateImage(); };
}

TMenu::~TMenu()
{
    // The change link leaves the image list by itself (if the list still
    // lives): an image list of the same owner may already be gone.
    Destroying();
    FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value)
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
    FItems->UpdateImage();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FImages && AComponent == FImages) {
        // The list is being destroyed and has let go of the link already.
        FImages = nullptr;
        FItems->UpdateImage();
    }
}

bool TMenu::DispatchShortCut(TShortCut Value)
{
    TMenuItem* Item = FItems->FindShortCut(Value);
    if (!Item)
        return false;
    Item->Click();
    return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    FItems->GetChildren(Proc, Root);
}

void TMenu::MenuChanged(TMenuItem*, bool) {}

// ---------------------------------------------------------------- main menu

namespace {

const char* const MenuBarHostName = "ZenMainMenuBar";

// The strip at the top of a form that holds its menu bar: a control aligned
// to the top, so the form's other aligned controls fit below it. It belongs
// to no component and is never stored.
class TMenuBarHost : public TWinControl {
public:
    TMenuBarHost(TMainMenu* Menu, QMenuBar* Bar) : TWinControl(nullptr), FMenu(Menu), FBar(Bar)
    {
        setObjectName(MenuBarHostName);
        FColor = clMenu;
        FParentColor = false;
        Bar->setParent(this);
        Bar->show();
    }
    TMainMenu* Menu() const { return FMenu; }
    QMenuBar* Bar() const { return FBar; }

protected:
    void BoundsChanged(int OldWidth, int OldHeight) override
    {
        TWinControl::BoundsChanged(OldWidth, OldHeight);
        if (FBar)
            FBar->setGeometry(0, 0, std::max(0, FWidth), std::max(0, FHeight));
    }

private:
    QPointer<TMainMenu> FMenu;
    QPointer<QMenuBar> FBar;
};

TMenuBarHost* FindHost(const TCustomForm* Form)
{
    if (!Form)
        return nullptr;
    for (QObject* C : Form->children())
        if (C->objectName() == MenuBarHostName)
            if (auto* H = dynamic_cast<TMenuBarHost*>(C))
                return H;
    return nullptr;
}

} // namespace

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu()
{
    Destroying();
    Detach();
}

QMenuBar* TMainMenu::MenuBar() const
{
    return FMenuBar.data();
}

TCustomForm* TMainMenu::Form() const
{
    return FHost ? dynamic_cast<TCustomForm*>(FHost->Parent()) : nullptr;
}

void TMainMenu::Detach()
{
    if (FMenuBar)
        for (QAction* A : FMenuBar->actions())
            FMenuBar->removeAction(A);
    if (FHost)
        delete FHost.data();
    FHost = nullptr;
    FMenuBar = nullptr;
}

void TMainMenu::RebuildBar()
{
    if (!FMenuBar)
        return;
    for (QAction* A : FMenuBar->actions())
        FMenuBar->removeAction(A);
    TMenuItem* Root = Items();
    for (int I = 0; I < Root->Count(); ++I)
        FMenuBar->addAction(Root->Items(I)->Action());
}

void TMainMenu::MenuChanged(TMenuItem* Item, bool Rebuild)
{
    TMenu::MenuChanged(Item, Rebuild);
    if (Rebuild && (Item == Items() || Item->Parent() == Items()))
        RebuildBar();
}

void SetFormMenu(TCustomForm* Form, TMainMenu* Menu)
{
    if (!Form)
        throw EInvalidOperation("A main menu needs a form to show on");
    if (GetFormMenu(Form) == Menu)
        return;
    if (TMenuBarHost* Old = FindHost(Form)) {
        if (TMainMenu* OldMenu = Old->Menu())
            OldMenu->Detach();
        else
            delete Old;
    }
    if (!Menu)
        return;
    Menu->Detach();
    auto* Bar = new QMenuBar();
    Bar->setNativeMenuBar(false);
    StyleMenuWidget(Bar);
    auto* Host = new TMenuBarHost(Menu, Bar);
    Menu->FHost = Host;
    Menu->FMenuBar = Bar;
    Menu->RebuildBar();
    // First among the top-aligned controls: it starts above all of them.
    const int H = std::max(GetSystemMetrics(SM_CYMENU), Bar->sizeHint().height());
    Host->SetBounds(0, -H - 0x10000, Form->ClientWidth(), H);
    Host->SetAlign(alTop);
    Host->SetParent(Form);
}

TMainMenu* GetFormMenu(const TCustomForm* Form)
{
    TMenuBarHost* H = FindHost(Form);
    return H ? H->Menu() : nullptr;
}

// ---------------------------------------------------------------- pop-up menus

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu()
{
    // The control the menu opened for may be gone already (components of one
    // owner are not told of each other while the owner is destroyed); the
    // component base lets go of a registered one.
    FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (FPopupComponent == Value)
        return;
    if (FPopupComponent)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

QMenu* TPopupMenu::PopupWidget()
{
    return Items()->EnsureSubMenu();
}

void TPopupMenu::DoPopup()
{
    if (OnPopup)
        OnPopup(this);
}

void TPopupMenu::Popup(int X, int Y)
{
    DoPopup();
    QMenu* M = PopupWidget();
    const int W = M->sizeHint().width();
    switch (FAlignment) {
    case paRight: X -= W; break;
    case paCenter: X -= W / 2; break;
    default: break;
    }
    M->popup(QPoint(X, Y));
}

bool PopupControlMenu(TControl* Control, TPoint MousePos)
{
    if (!Control || Control->IsDesigning())
        return false;
    TPopupMenu* Menu = Control->PopupMenu();
    if (!Menu || !Menu->AutoPopup())
        return false;
    const TPoint At = MousePos == TPoint(-1, -1) ? Control->ClientToScreen(TPoint(0, 0))
                                                 : Control->ClientToScreen(MousePos);
    Menu->SetPopupComponent(Control);
    Menu->Popup(At.X, At.Y);
    return true;
}

void RegisterMenusClasses()
{
    RegisterClasses<TMenuItem, TMainMenu, TPopupMenu>();
}

namespace {
[[maybe_unused]] const bool MenusRegistered = (RegisterMenusClasses(), true);
}
