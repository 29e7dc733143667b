// The image combo: a drop-down list whose items each show a picture from an
// image list before their caption, as in the closed combo's face.
//
// ItemsEx holds the items (Caption, ImageIndex, Indent); the combo's Items
// follow their captions, so ItemIndex, OnChange and the keyboard work as in
// any drop-down list. An item without a picture (ImageIndex -1, or no image
// list) keeps the place of one, so captions line up. Indent moves an item
// right by IndentWidth pixels per level in the list (not in the face).
#pragma once

#include <memory>
#include <vector>

#include "ImageList.h"
#include "StdCtrls.h"

class TCustomComboBoxEx;

class TComboExItem : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
public:
    explicit TComboExItem(TCollection* ACollection = nullptr);

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    // -1: no picture.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Levels of indentation, 0 or more (EInvalidOperation for less).
    int Indent() const { return FIndent; }
    void SetIndent(int Value);

    void Assign(TPersistent* Source) override;
    String GetDisplayName() const override;

private:
    String FCaption;
    int FImageIndex = -1;
    int FIndent = 0;
};

class TComboExItems : public TCollection {
    Q_OBJECT
public:
    explicit TComboExItems(TCustomComboBoxEx* Combo = nullptr);
    TComboExItem* Items(int Index) const { return ItemAs<TComboExItem>(this, Index); }
    TComboExItem* operator[](int Index) const { return Items(Index); }
    TComboExItem* Add() { return static_cast<TComboExItem*>(TCollection::Add()); }
    // Adds an item with its caption, picture and indentation.
    TComboExItem* AddItem(const String& Caption, int ImageIndex = -1, int Indent = 0);

protected:
    void Update(TCollectionItem* Item) override;
    // A deleted item is forgotten by the combo, which keeps its selection on
    // the item it shows, wherever that moves.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    TCustomComboBoxEx* FCombo;
};

class TCustomComboBoxEx : public TCustomComboBox {
    Q_OBJECT
public:
    explicit TCustomComboBoxEx(TComponent* AOwner = nullptr);
    ~TCustomComboBoxEx() override;

    TComboExItems* ItemsEx() const { return FItemsEx.get(); }
    void SetItemsEx(TComboExItems* Value) { FItemsEx->Assign(Value); }
    // Not owned; cleared when the list is destroyed.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Pixels per level of Indent.
    static constexpr int IndentWidth = 10;
    // Where the picture and the caption of item Index go in a rectangle of
    // the list (InFace: the closed combo's face, without indentation).
    TRect ImageRect(int Index, const TRect& Rect, bool InFace) const;
    int CaptionLeft(int Index, const TRect& Rect, bool InFace) const;

    void Loaded() override;

protected:
    friend class TComboExItems;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FontChanged() override;
    // The items changed: the captions go to Items, the selection stays.
    void ItemsExChanged();
    // Items are as tall as the pictures (and the font) need.
    void UpdateItemHeight();

private:
    std::unique_ptr<TComboExItems> FItemsEx;
    // The items in the order Items shows them (null for one deleted since),
    // so the selection stays on its item when the items change.
    std::vector<TCollectionItem*> FShown;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TComboBoxEx : public TCustomComboBoxEx {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(TComboExItems* ItemsEx READ ItemsEx WRITE SetItemsEx)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnCloseUp MEMBER OnCloseUp)
    Q_PROPERTY(TNotifyEvent OnDropDown MEMBER OnDropDown)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
public:
    explicit TComboBoxEx(TComponent* AOwner = nullptr) : TCustomComboBoxEx(AOwner) {}
};

void RegisterComboExClasses();
