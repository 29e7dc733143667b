// The outlook list: a scrolling column (or row) of icons with captions on an
// outlook bar page. Items are laid out one after the other from the top item
// (the scroll position); two small arrow buttons inside the list scroll by
// one item per click and repeat while held. Items highlight under the mouse
// (a raised frame around the icon, or around the whole item), look sunken
// while pressed, and with the select click style one item stays selected.
// Everything is painted into an off-screen bitmap that is copied in one go.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

#include "ActnList.h"
#include "Buttons.h"
#include "DB.h"
#include "Forms.h"
#include "ImageList.h"
#include "nvCollection.h"
#include "nvCommon.h"
#include "nvOutlookBar.h"

class TnvCustomOutlookList;
class TnvOutlookListItem;
class TBitmap;

namespace nvOutlookListTypes {
Q_NAMESPACE
enum TnvOutlookHotTrackStyle { hsIconHilite, hsItemHilite };
Q_ENUM_NS(TnvOutlookHotTrackStyle)
enum TnvCustomOutlookListClickStyle { csClick, csSelect };
Q_ENUM_NS(TnvCustomOutlookListClickStyle)
} // namespace nvOutlookListTypes
using namespace nvOutlookListTypes;

// The list's two scroll buttons.
enum class TnvOutlookScrollButton { None, Up, Down };
// What CalcItemRect gives.
enum class TnvOutlookItemRectMode { Slot, Glyph, Text };

using TnvCustomOutlookListItemEvent = TEvent<TnvCustomOutlookList*, TnvOutlookListItem*>;
ZEN_EVENT_TYPE(TnvCustomOutlookListItemEvent)
using TnvOutlookListDrawItemEvent = TEvent<TnvCustomOutlookList*, TnvOutlookListItem*, TPoint&, TPoint&, bool&>;
ZEN_EVENT_TYPE(TnvOutlookListDrawItemEvent)

// ---------------------------------------------------------------- TnvOutlookItemActionLink

// An item's link to its action: caption, enabled, hint and visible are
// always linked (a caption reaches the item's Text only when it is not
// empty); the item runs the action's OnExecute when clicked.
class TnvOutlookItemActionLink : public TActionLink {
public:
    explicit TnvOutlookItemActionLink(TnvOutlookListItem* AClient);

    TnvOutlookListItem* Item() const { return FItem; }

    bool IsCaptionLinked() const override { return true; }
    bool IsEnabledLinked() const override { return true; }
    bool IsHintLinked() const override { return true; }
    bool IsVisibleLinked() const override { return true; }
    void SetCaption(const String& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const String& Value) override;
    void SetVisible(bool Value) override;

private:
    TnvOutlookListItem* FItem;
};

// ---------------------------------------------------------------- TnvOutlookListItem

class TnvOutlookListItem : public TnvCollectionItem {
    Q_OBJECT
    Q_PROPERTY(TBasicAction* Action READ Action WRITE SetAction)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool Selected READ Selected WRITE SetSelected)
    Q_PROPERTY(int Separation READ Separation WRITE SetSeparation)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(TnvCustomOutlookListItemEvent OnClick MEMBER OnClick)
    Q_PROPERTY(DBTypes::TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_PROPERTY(int GlyphOffset READ GlyphOffset WRITE SetGlyphOffset)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
public:
    Q_INVOKABLE explicit TnvOutlookListItem(TCollection* ACollection = nullptr);
    // Clears the list's top item when it is this one.
    ~TnvOutlookListItem() override;

    TnvCustomOutlookList* OutlookList() const;

    TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
    // Links the action: the item takes its caption, enabled state, hint and
    // visibility (ActionChange, keeping its own values while the action is
    // being read), hears of its changes and the list of its freeing. Null
    // drops the link.
    void SetAction(TBasicAction* Value);
    TnvOutlookItemActionLink* ActionLink() const { return FActionLink.get(); }

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // True only with the csSelect click style and the flag set.
    bool Selected() const;
    // True first deselects every other item.
    void SetSelected(bool Value);
    int Separation() const { return FSeparation; }
    void SetSeparation(int Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    int GlyphOffset() const { return FGlyphOffset; }
    void SetGlyphOffset(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }

    // Mouse state.
    bool Hot() const { return FHot; }
    void SetHot(bool Value);
    bool Pressed() const { return FPressed; }
    void SetPressed(bool Value);
    // The rectangle that reacts to the mouse and carries the highlight.
    TRect ItemRect() const { return FItemRect; }
    // The item's whole band in the list (set by painting).
    TRect SlotRect() const { return FSlotRect; }

    String GetDisplayName() const override;

    // In view between the top and the bottom item; Fully: also its slot
    // lies within the control.
    virtual bool IsInView(bool Fully) const;
    // The item's extent along the layout direction (spacing included).
    virtual int ItemExtent() const;
    virtual void PaintItem();
    virtual void PaintImage(const TRect& GlyphRect);
    // (hot and pressed) or selected.
    virtual bool IsDown() const;
    // Invalidates the item's band (one pixel more upward).
    virtual void InvalidateItem(bool Erase);

    // The item's size with or without ItemSpacing.
    TSize ItemSize(bool WithSpacing) const;
    // The item's slot, glyph or text rectangle at Offset along the layout
    // direction (-1: after the visible items from the top item on); empty
    // for an item not in view.
    TRect CalcItemRect(TnvOutlookItemRectMode Mode, int Offset = -1) const;

    // Takes the properties of a custom action: Text unless CheckDefaults
    // and the item has one; Enabled unless CheckDefaults and the item is
    // disabled; Hint unless CheckDefaults and the item has one; Visible
    // unless CheckDefaults and the item is hidden.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    TnvCustomOutlookListItemEvent OnClick;

private:
    friend class TnvCustomOutlookList;
    void DoActionChange(TObject* Sender);
    std::unique_ptr<TnvOutlookItemActionLink> FActionLink;
    int FImageIndex = 0;
    bool FSelected = false;
    int FSeparation = 10;
    int FTag = 0;
    String FText;
    TAlignment FTextAlignment = taCenter;
    int FGlyphOffset = 0;
    bool FEnabled = true;
    bool FVisible = true;
    String FHint;
    bool FHot = false;
    bool FPressed = false;
    TRect FItemRect;
    TRect FSlotRect;
};

// ---------------------------------------------------------------- TnvOutlookListItems

class TnvOutlookListItems : public TnvCollection {
    Q_OBJECT
public:
    explicit TnvOutlookListItems(TnvCustomOutlookList* List);
    ~TnvOutlookListItems() override;

    TnvCustomOutlookList* List() const { return FList; }
    TnvOutlookListItem* Items(int Index) const;
    TnvOutlookListItem* Add();

protected:
    // Any change repaints the whole list.
    void Update(TCollectionItem* Item) override;

private:
    TnvCustomOutlookList* FList;
};

// ---------------------------------------------------------------- TnvCustomOutlookList

class TOutlookListHintWindow;

class TnvCustomOutlookList : public TnvOutlookPanel {
    Q_OBJECT
public:
    explicit TnvCustomOutlookList(TComponent* AOwner = nullptr);
    ~TnvCustomOutlookList() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TnvCustomOutlookListClickStyle ClickStyle() const { return FClickStyle; }
    void SetClickStyle(TnvCustomOutlookListClickStyle Value) { FClickStyle = Value; }
    TnvOutlookHotTrackStyle HotTrackStyle() const { return FHotTrackStyle; }
    void SetHotTrackStyle(TnvOutlookHotTrackStyle Value) { FHotTrackStyle = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TColor ItemDisabledTextColor() const { return FItemDisabledTextColor; }
    void SetItemDisabledTextColor(TColor Value);
    TColor ItemHighlightColor() const { return FItemHighlightColor; }
    void SetItemHighlightColor(TColor Value);
    TColor ItemHotTrackColor() const { return FItemHotTrackColor; }
    void SetItemHotTrackColor(TColor Value) { FItemHotTrackColor = Value; }
    TButtonLayout ItemLayout() const { return FItemLayout; }
    void SetItemLayout(TButtonLayout Value);
    TColor ItemShadowColor() const { return FItemShadowColor; }
    void SetItemShadowColor(TColor Value);
    TColor ItemSelectedDitherColor() const { return FItemSelectedDitherColor; }
    void SetItemSelectedDitherColor(TColor Value) { FItemSelectedDitherColor = Value; }
    TnvOutlookListItems* Items() const { return FItems.get(); }
    void SetItems(TnvOutlookListItems* Value) { FItems->Assign(Value); }
    int ItemSpacing() const { return FItemSpacing; }
    // An odd value is raised to the next even one.
    void SetItemSpacing(int Value);
    int ItemsWidth() const { return FItemsWidth; }
    void SetItemsWidth(int Value);
    TnvLayout Layout() const { return FLayout; }
    void SetLayout(TnvLayout Value);
    bool ScrollButtonsVisible() const { return FScrollButtonsVisible; }
    void SetScrollButtonsVisible(bool Value);
    // Keeps the scroll buttons out of the picture (the outlook bar's use
    // while it slides its pages), whatever ScrollButtonsVisible says.
    bool ScrollButtonsHidden() const { return FScrollButtonsHidden; }
    void SetScrollButtonsHidden(bool Value);
    int ScrollInterval() const { return FScrollInterval; }
    void SetScrollInterval(int Value) { FScrollInterval = Value; }

    // The scroll position: the first visible item when none is set.
    TnvOutlookListItem* TopItem() const;
    void SetTopItem(TnvOutlookListItem* Value);
    // The last item in view.
    TnvOutlookListItem* BottomItem() const;
    TnvOutlookListItem* SelectedItem() const;
    TnvOutlookListItem* NextVisibleItem(TnvOutlookListItem* Item) const;
    TnvOutlookListItem* PrevVisibleItem(TnvOutlookListItem* Item) const;
    // The whole item highlights (item hot-track style, or no images).
    bool ItemHiliteMode() const;
    TRect ScrollButtonRect(TnvOutlookScrollButton Button) const;
    TnvOutlookScrollButton PressedScrollButton() const { return FPressedButton; }
    TnvOutlookScrollButton HotScrollButton() const { return FHotButton; }
    // The off-screen bitmap the list paints into.
    TBitmap* OffscreenBitmap() const { return FBitmap.get(); }
    // The colour of the captions of hot and selected items.
    TColor HotTextColor() const { return FHotTextColor; }
    TOutlookListHintWindow* HintWindow() const { return FHintWindow.data(); }

    virtual void UpdateItemRects();
    virtual bool CanScroll(TnvOutlookScrollButton Button) const;
    virtual void DoDrawItem(TnvOutlookListItem* Item, TPoint& GlyphPos, TPoint& TextPos, bool& DefaultDrawing);
    virtual void ImagesChanged();
    virtual void InvalidateScrollButton(TnvOutlookScrollButton Button);
    virtual void ItemClick(TnvOutlookListItem* Item);
    virtual void ScrollStep(TnvOutlookScrollButton Button);
    virtual void UpdateHotItem();
    virtual void UpdateScrollButtonRects();
    virtual TnvOutlookListItem* ItemAtPos(int X, int Y) const;
    virtual void DrawScrollButton(TnvOutlookScrollButton Button);
    virtual TnvOutlookListItem* FirstVisibleItem() const;

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Invalidates a rectangle of the client area.
    void InvalidateRect(const TRect& R);

    TnvOutlookListDrawItemEvent OnDrawItem;
    TnvCustomOutlookListItemEvent OnItemClick;
    TnvCustomOutlookListItemEvent OnItemChange;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void BoundsChanged(int OldWidth, int OldHeight) override;

private:
    friend class TnvOutlookListItem;
    void ImageListChange(TObject* Sender);
    void PrepareHint(TnvOutlookListItem* Item);
    void HideHint();
    void HintTimerTick();
    // The index range of the items in view (Last < First when there is none).
    void InViewRange(int& First, int& Last) const;
    TPoint CursorPos() const;
    // The off-screen canvas with the list's font, for measuring items.
    TCanvas* MeasureCanvas() const;

    TBorderStyle FBorderStyle = bsSingle;
    TnvCustomOutlookListClickStyle FClickStyle = csClick;
    TnvOutlookHotTrackStyle FHotTrackStyle = hsIconHilite;
    TCustomImageList* FImages = nullptr;
    TColor FItemDisabledTextColor = clBtnFace;
    TColor FItemHighlightColor = clBtnFace;
    TColor FItemHotTrackColor = clBtnShadow;
    TButtonLayout FItemLayout = blGlyphTop;
    TColor FItemShadowColor = clBtnText;
    TColor FItemSelectedDitherColor = clBtnHighlight;
    std::unique_ptr<TnvOutlookListItems> FItems;
    int FItemSpacing = 20;
    int FItemsWidth = 0;
    TnvLayout FLayout = loVertical;
    bool FScrollButtonsVisible = true;
    bool FScrollButtonsHidden = false;
    int FScrollInterval = 250;
    TColor FHotTextColor = clBlack;

    std::unique_ptr<TBitmap> FBitmap;
    mutable TnvOutlookListItem* FTopItem = nullptr;
    TnvOutlookScrollButton FPressedButton = TnvOutlookScrollButton::None;
    TnvOutlookScrollButton FHotButton = TnvOutlookScrollButton::None;
    bool FPressTookCapture = false;
    QPointer<TControl> FOldCapture;
    QPointer<TOutlookListHintWindow> FHintWindow;
    int FHintTicks = 0;
    TChangeLink FImageChangeLink;
    TRect FUpButtonRect;
    TRect FDownButtonRect;
    TPoint FLastMouse{-1, -1};
    bool FPainting = false;
    mutable std::vector<int> FExtentCache; // item extents during a paint (-1: not measured)
};

// The published list.
class TnvOutlookList : public TnvCustomOutlookList {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(nvOutlookListTypes::TnvCustomOutlookListClickStyle ClickStyle READ ClickStyle WRITE SetClickStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(nvOutlookListTypes::TnvOutlookHotTrackStyle HotTrackStyle READ HotTrackStyle WRITE SetHotTrackStyle)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TColor ItemDisabledTextColor READ ItemDisabledTextColor WRITE SetItemDisabledTextColor)
    Q_PROPERTY(TColor ItemHighlightColor READ ItemHighlightColor WRITE SetItemHighlightColor)
    Q_PROPERTY(TColor ItemHotTrackColor READ ItemHotTrackColor WRITE SetItemHotTrackColor)
    Q_PROPERTY(ButtonsTypes::TButtonLayout ItemLayout READ ItemLayout WRITE SetItemLayout)
    Q_PROPERTY(TColor ItemShadowColor READ ItemShadowColor WRITE SetItemShadowColor)
    Q_PROPERTY(TColor ItemSelectedDitherColor READ ItemSelectedDitherColor WRITE SetItemSelectedDitherColor)
    Q_PROPERTY(TnvOutlookListItems* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemSpacing READ ItemSpacing WRITE SetItemSpacing)
    Q_PROPERTY(int ItemsWidth READ ItemsWidth WRITE SetItemsWidth)
    Q_PROPERTY(nvCommonTypes::TnvLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool ScrollButtonsVisible READ ScrollButtonsVisible WRITE SetScrollButtonsVisible)
    Q_PROPERTY(int ScrollInterval READ ScrollInterval WRITE SetScrollInterval)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TnvOutlookListDrawItemEvent OnDrawItem MEMBER OnDrawItem)
    Q_PROPERTY(TnvCustomOutlookListItemEvent OnItemClick MEMBER OnItemClick)
    Q_PROPERTY(TnvCustomOutlookListItemEvent OnItemChange MEMBER OnItemChange)
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    Q_INVOKABLE explicit TnvOutlookList(TComponent* AOwner = nullptr) : TnvCustomOutlookList(AOwner) {}
};

// The list's own hint window: it remembers the item and the rectangle.
class TOutlookListHintWindow : public THintWindow {
    Q_OBJECT
public:
    explicit TOutlookListHintWindow(TComponent* AOwner = nullptr) : THintWindow(AOwner) {}
    TnvOutlookListItem* Item = nullptr;
    TRect HintRect;
    String ShownHint;
};
