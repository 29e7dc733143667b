// Menus: menu items, the main menu of a form and pop-up menus.
//
// A menu is a tree of TMenuItem components under the menu's root item
// (TMenu::Items). Qt draws and runs the menus: every item has a QAction, an
// item with children also a QMenu holding its children's actions, and a main
// menu shows its top-level items in a QMenuBar. An item's Caption is the
// action's text as it is: '&' marks the accelerator and "&&" is a literal '&'
// in both conventions; the caption "-" makes a separator line.
//
// Stored forms: items are components of the form, nested inside their menu
// and their parent item,
//
//     object MainMenu1: TMainMenu
//       object File1: TMenuItem
//         Caption = '&File'
//         object Open1: TMenuItem
//           Caption = '&Open...'
//           ShortCut = 16463
//           OnClick = Open1Click
//         end
//       end
//     end
//
// so TMenuItem has a parent component (its parent item, or the menu for a
// top-level item) and menus and items list their child items (GetChildren).
//
// A form shows a main menu through SetFormMenu (forms have no Menu property
// of their own here): a bar aligned to the top of the form's client area
// holds the QMenuBar, so the form's aligned controls fit below it. Shortcuts
// of a main menu's items work while its form is the active window.
//
// Pop-up menus: TPopupMenu::Popup opens the menu at a screen point and
// returns at once (Qt runs the menu; an item's OnClick comes when the user
// chooses it). PopupControlMenu is what a control's context-menu request
// calls to open the control's PopupMenu.
#pragma once

#include <QPointer>

#include <memory>
#include <vector>

#include "Controls.h"
#include "ImageList.h"

class QAction;
class QActionGroup;
class QKeySequence;
class QMenu;
class QMenuBar;
class TCustomForm;
class TMenu;

// ---------------------------------------------------------------- shortcuts

// A shortcut is a virtual key code with modifier bits, as the framework
// stores it (Ctrl+S is scCtrl + 'S' = 16467); 0 is no shortcut.
using TShortCut = int;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F1", "Del": the modifiers in the order Shift, Ctrl,
// Alt, then the key's name. "" for 0 and for a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The shortcut of a text ShortCutToText writes (case ignored); 0 for a text
// that names no shortcut, as the framework answers.
TShortCut TextToShortCut(const String& Text);
// The Qt key sequence of a shortcut (empty for 0 or a key Qt does not know).
QKeySequence ShortCutToKeySequence(TShortCut ShortCut);

// The caption without its accelerator marks ("&&" becomes '&').
String StripHotkey(const String& Text);

ZEN_DECLARE_EXCEPTION(EMenuError, Exception);

// ---------------------------------------------------------------- TMenuItem

class TMenuItem : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(bool AutoCheck READ AutoCheck WRITE SetAutoCheck)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool RadioItem READ RadioItem WRITE SetRadioItem)
    Q_PROPERTY(int ShortCut READ ShortCut WRITE SetShortCut)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
public:
    explicit TMenuItem(TComponent* AOwner = nullptr);
    ~TMenuItem() override;

    // ---- properties
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the radio items of the same GroupIndex
    // under the same parent.
    void SetChecked(bool Value);
    // The default item shows in bold.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    // An image of the menu's Images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // True for a separator (caption "-").
    bool IsLine() const { return FCaption == "-"; }

    // ---- the tree
    int Count() const { return static_cast<int>(FItems.size()); }
    // EMenuError "Menu index out of range" for a bad index.
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return FParent; }
    int IndexOf(const TMenuItem* Item) const;
    // Adds or inserts a child; EMenuError for an item that already has a
    // parent ("Menu inserted twice"), for the item itself or one of its
    // parents ("Menu cannot contain itself"), and for a bad index.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the child out without destroying it.
    void Remove(TMenuItem* Item);
    // Destroys child Index.
    void Delete(int Index);
    // Destroys every child.
    void Clear();
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The child whose caption, without accelerator marks, is Caption (case
    // ignored), or null.
    TMenuItem* Find(const String& Caption) const;
    // The menu the item belongs to (through its parents), or null.
    TMenu* GetParentMenu() const;

    // ---- running
    // What choosing the item does: toggles Checked with AutoCheck, then
    // calls OnClick. Nothing happens to a disabled item.
    virtual void Click();
    // The item or a descendant with this shortcut that is enabled and
    // visible (with its parents), or null.
    TMenuItem* FindShortCut(TShortCut Value);

    // The Qt objects that show the item: its action, and the menu of its
    // children (null while it has none).
    QAction* Action() const { return FAction.get(); }
    QMenu* SubMenu() const { return FSubMenu.get(); }
    // The menu of the children, made when needed (pop-up menus show it).
    QMenu* EnsureSubMenu();

    TNotifyEvent OnClick;

    // ---- stored-form hierarchy
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    // Called when the item or its children changed; tells the menu.
    virtual void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    void UpdateAction();
    void UpdateImage();
    void RebuildSubMenu();
    void TurnSiblingsOff();
    void Triggered();

    String FCaption;
    bool FAutoCheck = false;
    bool FChecked = false;
    bool FDefault = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    String FHint;
    int FImageIndex = -1;
    bool FRadioItem = false;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
    std::unique_ptr<QAction> FAction;
    std::unique_ptr<QMenu> FSubMenu;
    std::vector<std::unique_ptr<QActionGroup>> FRadioGroups;
};

// ---------------------------------------------------------------- menus

class TMenu : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TMenu(TComponent* AOwner = nullptr);
    ~TMenu() override;

    // The root item: its children are the menu's items.
    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Finds the enabled item of a shortcut and clicks it; false when no item
    // has it.
    bool DispatchShortCut(TShortCut Value);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    friend class TMenuItem;
    // An item of the menu changed; Rebuild when items came or went.
    virtual void MenuChanged(TMenuItem* Item, bool Rebuild);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TMainMenu : public TMenu {
    Q_OBJECT
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
public:
    explicit TMainMenu(TComponent* AOwner = nullptr);
    ~TMainMenu() override;

    // The bar showing the menu; null while the menu is on no form.
    QMenuBar* MenuBar() const;
    // The form showing the menu, or null.
    TCustomForm* Form() const;

protected:
    void MenuChanged(TMenuItem* Item, bool Rebuild) override;

private:
    friend void SetFormMenu(TCustomForm* Form, TMainMenu* Menu);
    void RebuildBar();
    void Detach();
    QPointer<QMenuBar> FMenuBar;
    QPointer<TWinControl> FHost;
};

// Shows Menu as the main menu of Form (null removes the form's menu). A menu
// shows on one form at a time: it leaves the form it was on before.
void SetFormMenu(TCustomForm* Form, TMainMenu* Menu);
// The main menu a form shows, or null.
TMainMenu* GetFormMenu(const TCustomForm* Form);

namespace MenusTypes {
Q_NAMESPACE
enum TPopupAlignment { paLeft, paRight, paCenter };
Q_ENUM_NS(TPopupAlignment)
} // namespace MenusTypes
using namespace MenusTypes;

class TPopupMenu : public TMenu {
    Q_OBJECT
    Q_PROPERTY(MenusTypes::TPopupAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TNotifyEvent OnPopup MEMBER OnPopup)
public:
    explicit TPopupMenu(TComponent* AOwner = nullptr);
    ~TPopupMenu() override;

    // Where the menu lies relative to the point Popup is given.
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // Whether a right click on a control with this menu opens it.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The control the menu was last opened for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    // Calls OnPopup, then opens the menu with its top-left corner (paLeft),
    // top-right corner (paRight) or top centre (paCenter) at the screen
    // point, and returns; choosing an item calls its OnClick later.
    virtual void Popup(int X, int Y);
    // The Qt menu that pops up.
    QMenu* PopupWidget();

    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

// What a control's context-menu request does after the control's own
// OnContextPopup left it unhandled: opens the control's PopupMenu (when it
// has one with AutoPopup) at MousePos, in the control's client coordinates
// ((-1, -1): at the control's top-left corner). True when a menu opened.
bool PopupControlMenu(TControl* Control, TPoint MousePos);

void RegisterMenusClasses();
