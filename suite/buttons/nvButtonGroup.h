// The button group: a panel that owns a set of suite buttons, lays them out
// in a grid of columns (or rows) and makes them behave as a radio group, a
// check list or plain buttons. Selection changes are reported through
// OnChanging (before the old button pops up) and OnChange (after the new one
// is down); the arrow keys move the selection.
//
// Each button stands for one item of ButtonItems. The buttons are owned by
// the group's owner (so a form file stores them as children of the group,
// in item order) and the items free their buttons; removing a button from
// the group frees its item.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "nvButton.h"
#include "nvChangeLink.h"
#include "nvClearPanel.h"
#include "nvCollection.h"
#include "nvCommon.h"

class TnvCustomButtonGroup;
class TnvButtonGroupItems;

namespace nvButtonGroupTypes {
Q_NAMESPACE

enum TnvButtonGroupClickStyle { bcsCheckList, bcsRadioGroup, bcsClick };
Q_ENUM_NS(TnvButtonGroupClickStyle)

} // namespace nvButtonGroupTypes
using namespace nvButtonGroupTypes;

// ---------------------------------------------------------------- TnvButtonGroupItem

// One item of a group: the button it stands for.
class TnvButtonGroupItem : public TnvCollectionItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvButtonGroupItem(TCollection* ACollection = nullptr);
    // Frees the button.
    ~TnvButtonGroupItem() override;

    TnvCustomBitBtn* Button() const { return FButton.data(); }
    TnvButtonGroupItems* Items() const;

    virtual TnvCustomButtonGroup* GetGroup() const;
    virtual int GetGroupIndex() const;
    // The button's LastSelDown; false without a button.
    virtual bool IsSelected() const;
    virtual void SetGroupIndex(int Value);
    // Sets the button's Down, then re-arranges the group.
    virtual void SetDown(bool Value);
    // Connects the button's selection event to the item and copies the
    // group's ShowDownAsUp into the button.
    virtual void HookButton();

    TControl* GetControl() const override;
    String GetDisplayName() const override;
    // Also moves the button to the same place among the group's buttons.
    void SetIndex(int Value) override;

    // Makes a new button of the group's button class for the item (used by Add).
    void CreateButton();

private:
    friend class TnvCustomButtonGroup;
    friend class TnvButtonGroupItems;
    // Takes Button as the item's button (null: forgets it without freeing it).
    void AttachButton(TnvCustomBitBtn* Button);
    void ButtonSelChange(TnvCustomBitBtn* Button);

    QPointer<TnvCustomBitBtn> FButton;
    // The button as a control, kept for comparisons: while a button is being
    // destroyed FButton still holds it but may no longer be read as a button.
    const TControl* FButtonControl = nullptr;
};

// ---------------------------------------------------------------- TnvButtonGroupItems

class TnvButtonGroupItems : public TnvCollection {
    Q_OBJECT
public:
    // ItemClass: TnvButtonGroupItem or a descendant (the items a group of a
    // derived class keeps).
    explicit TnvButtonGroupItems(TnvCustomButtonGroup* Group,
                                 const TMetaClass* ItemClass = ClassOf<TnvButtonGroupItem>());
    ~TnvButtonGroupItems() override;

    TnvCustomButtonGroup* Group() const { return FGroup; }
    TnvButtonGroupItem* Item(int Index) const;
    // Items whose button is visible (all items in design mode).
    int VisibleCount() const;
    // The n-th of those (from 0); null when there is none.
    TnvButtonGroupItem* VisibleItem(int N) const;
    // A new item with a new button (unless the group is loading).
    virtual TnvButtonGroupItem* Add();
    // Frees every item (and so its button), last first.
    void Clear();
    TnvButtonGroupItem* FindItemByButton(const TControl* Button) const;
    // Lays the buttons out in the group's grid.
    virtual void ArrangeButtons();
    // Assigning another group's items makes as many items, each with a button
    // that copies the look of the source item's button.
    void Assign(TPersistent* Source) override;

    bool Arranging() const { return FArranging; }
    void SetArranging(bool Value) { FArranging = Value; }
    bool Adding() const { return FAdding; }
    bool Removing() const { return FRemoving; }
    void SetRemoving(bool Value) { FRemoving = Value; }

private:
    friend class TnvCustomButtonGroup;
    friend class TnvButtonGroupItem;
    TnvCustomButtonGroup* FGroup;
    bool FArranging = true; // until the group has loaded
    bool FAdding = false;
    bool FRemoving = false;
};

// ---------------------------------------------------------------- TnvCustomButtonGroup

class TnvCustomButtonGroup;
using TnvButtonGroupChangeEvent = TEvent<TnvCustomButtonGroup*, TnvButtonGroupItem*, TnvButtonGroupItem*>;
ZEN_EVENT_TYPE(TnvButtonGroupChangeEvent)

class TnvCustomButtonGroup : public TnvCustomTransparentPanel {
    Q_OBJECT
public:
    explicit TnvCustomButtonGroup(TComponent* AOwner = nullptr);
    ~TnvCustomButtonGroup() override;

    // ---- properties (published by TnvButtonGroup)
    bool AutoBold() const { return FAutoBold; }
    // Always re-applies the bold rule.
    void SetAutoBold(bool Value);
    const TMetaClass* ButtonClass() const { return FButtonClass; }
    TnvButtonGroupItems* ButtonItems() const { return FButtonItems.get(); }
    void SetButtonItems(TnvButtonGroupItems* Value);
    TnvButtonGroupClickStyle ClickStyle() const { return FClickStyle; }
    void SetClickStyle(TnvButtonGroupClickStyle Value);
    int Columns() const { return FColumns; }
    // Values below 1 are ignored.
    void SetColumns(int Value);
    int ControlSpacing() const { return FControlSpacing; }
    void SetControlSpacing(int Value);
    TnvLayout Layout() const { return FLayout; }
    void SetLayout(TnvLayout Value);
    int MaxControlSize() const { return FMaxControlSize; }
    bool ShowDownAsUp() const { return FShowDownAsUp; }
    void SetShowDownAsUp(bool Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);
    // Re-arranges the buttons for the new border.
    void SetBorderWidth(int Value);
    void SetBevelOuter(TBevelCut Value);
    void SetBevelInner(TBevelCut Value);
    void SetBorderStyle(TBorderStyle Value);
    String ButtonClassName() const { return GetButtonClassName(); }

    TnvButtonGroupChangeEvent OnChange;
    TnvButtonGroupChangeEvent OnChanging;

    // The item remembered as the selection before the latest change.
    TnvButtonGroupItem* PreviousSelection() const { return FPrevSelected.data(); }

    // ---- virtual operations, in slot order
    // Transparent and not in design mode.
    bool IsTransparent() const override;
    // The first item whose button is selected, or null.
    virtual TnvButtonGroupItem* SelectedItem() const;
    // The class of the items collection (TnvButtonGroupItems here).
    virtual const TMetaClass* ItemsClass() const;
    // The group size that fits its items with Button's size; applied when Apply.
    virtual void SizeToButtons(TnvCustomBitBtn* Button, bool Apply, TSize& Size);
    // One of the group's buttons was resized from outside (not while the
    // group loads, adds or arranges): the group takes the size that fits its
    // buttons at that size and arranges them again.
    virtual void ButtonResized(TnvCustomBitBtn* Button);
    virtual void ButtonChanged(TnvCustomBitBtn* Button);
    virtual void ButtonChanging(TnvCustomBitBtn* Button);
    virtual void SelectItemByButton(TnvCustomBitBtn* Button);
    virtual void DoChanging(TnvButtonGroupItem* OldItem, TnvButtonGroupItem* NewItem);
    virtual void DoChange(TnvButtonGroupItem* OldItem, TnvButtonGroupItem* NewItem);
    virtual String GetButtonClassName() const;
    // Class must be a suite button class (EInvalidOperation otherwise).
    virtual void SetButtonClass(const TMetaClass* Class);
    // The registered class of that name (EClassNotFound otherwise).
    virtual void SetButtonClassName(const String& Name);
    virtual void SetMaxControlSize(int Value);
    virtual void ApplyAutoBold(bool Apply);

    void ArrangeButtons() { FButtonItems->ArrangeButtons(); }

    // ---- framework overrides
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    // Makes the items collection of a derived group. A constructor cannot
    // reach a derived class's virtual operations, so a group whose items are
    // of another collection class passes the maker of its collection here.
    using TItemsMaker = std::function<std::unique_ptr<TnvButtonGroupItems>(TnvCustomButtonGroup*)>;
    TnvCustomButtonGroup(TComponent* AOwner, const TItemsMaker& MakeItems);

    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WantsKey(Word Key, TShiftState Shift) override;

    // Puts the item buttons among the children in item order, in the places
    // the buttons hold.
    void OrderButtons();
    // A child control was inserted into (Inserted) or removed from the group.
    void ControlListChanged(TControl* Control, bool Inserted);
    // The item of a button, through the change link's sender.
    TnvButtonGroupItem* ItemOfSender(TObject* Sender) const;

private:
    friend class TnvButtonGroupItem;
    friend class TnvButtonGroupItems;

    const TMetaClass* FButtonClass;
    std::unique_ptr<TnvButtonGroupItems> FButtonItems;
    bool FAutoBold = true;
    TnvButtonGroupClickStyle FClickStyle = bcsRadioGroup;
    int FColumns = 1;
    int FControlSpacing = 1;
    TnvLayout FLayout = loVertical;
    int FMaxControlSize = 0;
    bool FShowDownAsUp = false;
    bool FDisableThemes = false;
    std::unique_ptr<TnvChangeLink> FChangeLink;
    QPointer<TnvButtonGroupItem> FPrevSelected;
};

// ---------------------------------------------------------------- TnvButtonGroup

class TnvButtonGroup : public TnvCustomButtonGroup {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoBold READ AutoBold WRITE SetAutoBold)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(String ButtonClassName READ ButtonClassName WRITE SetButtonClassName)
    Q_PROPERTY(TnvButtonGroupItems* ButtonItems READ ButtonItems WRITE SetButtonItems)
    Q_PROPERTY(nvButtonGroupTypes::TnvButtonGroupClickStyle ClickStyle READ ClickStyle WRITE SetClickStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(int ControlSpacing READ ControlSpacing WRITE SetControlSpacing)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(nvCommonTypes::TnvLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int MaxControlSize READ MaxControlSize WRITE SetMaxControlSize)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowDownAsUp READ ShowDownAsUp WRITE SetShowDownAsUp)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvButtonGroupChangeEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TnvButtonGroupChangeEvent OnChanging MEMBER OnChanging)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    Q_INVOKABLE explicit TnvButtonGroup(TComponent* AOwner = nullptr) : TnvCustomButtonGroup(AOwner) {}
};

void RegisterButtonGroupClasses();
