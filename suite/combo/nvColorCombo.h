// The colour list and the colour combo.
//
// TnvCustomColorList is an owner-drawn list box of named colours. Every
// colour is an entry "Name=Value" whose value is the colour in hexadecimal
// (at least six digits; read back with a leading "$"). The entries come from
// the platform's table of named colours (standard and system colours), a
// "none" entry (value 1FFFFFFF, clNone), the custom colours, the colours
// added at run time under a name "RGB: r, g, b", and a grey scale. They are
// kept in AllColors (build order, then sorted); the list box shows those that
// pass OnFilterColor, each item carrying the index of its entry.
//
// The value $0FFFFFFF means "no colour selected"; selecting a colour that is
// not in the list adds it as an "RGB:" entry, which is kept across rebuilds.
//
// TnvCustomColorCombo is a combo whose drop-down is such a list (or, with the
// ellipsis button, the colour dialog). It shows the selected colour's swatch
// left or right of its text and publishes SelectedColor.
#pragma once

#include <memory>
#include <unordered_set>
#include <vector>

#include "Dialogs.h"
#include "StdCtrls.h"
#include "nvCombo.h"

namespace nvColorComboTypes {
Q_NAMESPACE

enum TnvColorListBoxOption : unsigned {
    ccoShowSystemColors = 0x1,
    ccoShowColorNone = 0x2,
    ccoShowCustomColors = 0x4,
    ccoShowStandardColors = 0x8,
    ccoShowColorNames = 0x10,
    ccoShowGreyScale = 0x20,
    ccoGroupSystemColors = 0x40,
};
Q_DECLARE_FLAGS(TnvColorListBoxOptions, TnvColorListBoxOption)
Q_FLAG_NS(TnvColorListBoxOptions)

enum TnvSortByOption { csoNone, csoByRGB, csoByIntensity, csoByName };
Q_ENUM_NS(TnvSortByOption)

enum TnvColorDialogOption : unsigned {
    cdoEnabled = 0x1,
    cdoPreventFullOpen = 0x2,
    cdoFullOpen = 0x4,
    cdoSolidColor = 0x8,
    cdoAnyColor = 0x10,
};
Q_DECLARE_FLAGS(TnvColorDialogOptions, TnvColorDialogOption)
Q_FLAG_NS(TnvColorDialogOptions)

} // namespace nvColorComboTypes
using namespace nvColorComboTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvColorComboTypes::TnvColorListBoxOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(nvColorComboTypes::TnvColorDialogOptions)

// Sender, the colour, its name (may be changed), whether to add it.
using TnvAddNewColorEvent = TEvent<TObject*, TColor, String&, bool&>;
ZEN_EVENT_TYPE(TnvAddNewColorEvent)
// Sender, the colour, its name, whether to show it.
using TnvOnFilterColorEvent = TEvent<TObject*, TColor, String, bool&>;
ZEN_EVENT_TYPE(TnvOnFilterColorEvent)
using TnvColorDialogEvent = TEvent<TObject*, TColorDialog*>;
ZEN_EVENT_TYPE(TnvColorDialogEvent)
// Sender, the dialog, its modal result, whether to take its colour.
using TnvCloseColorDialogEvent = TEvent<TObject*, TColorDialog*, TModalResult, bool&>;
ZEN_EVENT_TYPE(TnvCloseColorDialogEvent)

// The value of "no colour selected".
constexpr TColor clNoColorSelected = MakeColor(0x0FFFFFFF);

// The colour of an entry's value text ("$" + text); 0 when it is not
// hexadecimal.
TColor ColorOfValueText(const String& Value);
// The hue class of a colour's channels by which the list sorts by RGB
// (1 .. 15; greys are 15).
int ColorHueClass(int R, int G, int B);

class TnvCustomColorCombo;

class TnvCustomColorList : public TCustomListBox {
    Q_OBJECT
public:
    explicit TnvCustomColorList(TComponent* AOwner = nullptr);
    ~TnvCustomColorList() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment ColorAlignment() const { return FColorAlignment; }
    void SetColorAlignment(TAlignment Value);
    int ColorMargin() const { return FColorMargin; }
    void SetColorMargin(int Value);
    int ColorWidth() const { return FColorWidth; }
    void SetColorWidth(int Value);
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value);
    int GreyScaleIncrement() const { return FGreyScaleIncrement; }
    void SetGreyScaleIncrement(int Value);
    const String& NoneString() const { return FNoneString; }
    void SetNoneString(const String& Value);
    TnvColorListBoxOptions Options() const { return FOptions; }
    void SetOptions(TnvColorListBoxOptions Value);
    // The selected item's colour; $0FFFFFFF when no item is selected.
    TColor SelectedColor() const { return GetSelectedColor(); }
    void SetSelectedColor(TColor Value);
    TnvSortByOption SortBy() const { return FSortBy; }
    void SetSortBy(TnvSortByOption Value);

    TnvAddNewColorEvent OnAddNewColor;
    TnvOnFilterColorEvent OnFilterColor;

    // ---- the content
    void BuildColorList();
    void SortAndFilter();
    void FilterItems();
    // Adds an entry unless its value text or its name (ignoring case) is
    // there already; an "RGB:" entry is offered to OnAddNewColor first.
    bool AddColor(const String& Name, const String& Value);
    // Whether another custom colour has the name; Name becomes the first
    // duplicate name found.
    bool FindDuplicateName(String& Name);
    TColor GetSelectedColor() const;
    void SelectIndex(int Index);

    // Every entry "Name=Value" in its order (to be read only: the list keeps
    // an index of its values and names); the entries added under an "RGB:"
    // name.
    TStrings* AllColors() const { return FAllColors.get(); }
    TStrings* AddedColors() const { return FAddedColors.get(); }
    // The entry of a list item; -1 for none.
    int EntryOfItem(int Item) const;
    // The colour and name of a list item.
    TColor ItemColor(int Item) const;
    String ItemName(int Item) const;
    // The list item of the entry with this colour's value text, -1 when none.
    int IndexOfColor(TColor Color) const;
    // The swatch width used: ColorWidth, or the item height less two margins.
    int SwatchWidth() const;
    // The highlight colours of a selected item (clNone: the defaults).
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor Value) { FHighlightTextColor = Value; }

    // The combo whose drop-down the list is (null for a list on a form).
    TnvCustomColorCombo* DropDownCombo() const { return FCombo; }
    void SetDropDownCombo(TnvCustomColorCombo* Value) { FCombo = Value; }

    void Loaded() override;
    bool IsPropertyStored(const char* Name) const override;
    void WndProc(TMessage& Message) override;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void CreateWnd() override;
    void Click() override;

private:
    void CustomColorsChanged(TObject* Sender);
    void ApplySelectedColor(TColor Value);
    bool Building() const { return FBuildLevel > 0; }

    std::unique_ptr<TStringList> FCustomColors;
    std::unique_ptr<TStringList> FAllColors;
    std::unique_ptr<TStringList> FAddedColors;
    // The value texts and the upper-cased names of AllColors.
    std::unordered_set<String> FValueIndex;
    std::unordered_set<String> FNameIndex;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FColorAlignment = taLeftJustify;
    int FColorMargin = 2;
    int FColorWidth = 0;
    int FDefaultColorWidth = 0;
    int FGreyScaleIncrement = 10;
    String FNoneString;
    TnvColorListBoxOptions FOptions = TnvColorListBoxOptions(ccoShowStandardColors) | ccoShowColorNames;
    TnvSortByOption FSortBy = csoNone;
    TColor FSelectedColor = clNoColorSelected;
    TColor FHighlightColor = clNone;
    TColor FHighlightTextColor = clNone;
    TnvCustomColorCombo* FCombo = nullptr;
    int FBuildLevel = 0;
    bool FAssigningCustom = false;
    bool FMousePressed = false;
};

class TnvColorList : public TnvCustomColorList {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(DBTypes::TAlignment ColorAlignment READ ColorAlignment WRITE SetColorAlignment)
    Q_PROPERTY(int ColorMargin READ ColorMargin WRITE SetColorMargin)
    Q_PROPERTY(int ColorWidth READ ColorWidth WRITE SetColorWidth)
    Q_PROPERTY(TStrings* CustomColors READ CustomColors WRITE SetCustomColors)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int GreyScaleIncrement READ GreyScaleIncrement WRITE SetGreyScaleIncrement)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool IntegralHeight READ IntegralHeight WRITE SetIntegralHeight)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(String NoneString READ NoneString WRITE SetNoneString)
    Q_PROPERTY(nvColorComboTypes::TnvColorListBoxOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TColor SelectedColor READ SelectedColor WRITE SetSelectedColor)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(nvColorComboTypes::TnvSortByOption SortBy READ SortBy WRITE SetSortBy)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvAddNewColorEvent OnAddNewColor MEMBER OnAddNewColor)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TnvOnFilterColorEvent OnFilterColor MEMBER OnFilterColor)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TnvColorList(TComponent* AOwner = nullptr) : TnvCustomColorList(AOwner) {}
};

// The list settings of a colour combo, copied into its drop-down list before
// each drop-down.
class TnvColorListOptions : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int ColorWidth READ ColorWidth WRITE SetColorWidth)
    Q_PROPERTY(int GreyScaleIncrement READ GreyScaleIncrement WRITE SetGreyScaleIncrement)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(String NoneString READ NoneString WRITE SetNoneString)
    Q_PROPERTY(nvColorComboTypes::TnvColorListBoxOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(nvColorComboTypes::TnvSortByOption SortBy READ SortBy WRITE SetSortBy)
public:
    Q_INVOKABLE TnvColorListOptions();
    ~TnvColorListOptions() override;

    int ColorWidth() const { return FColorWidth; }
    void SetColorWidth(int Value) { FColorWidth = Value; }
    int GreyScaleIncrement() const { return FGreyScaleIncrement; }
    // Values outside 1 .. 255 are ignored.
    void SetGreyScaleIncrement(int Value);
    int ItemHeight() const { return FItemHeight; }
    // EInvalidOperation below 1.
    void SetItemHeight(int Value);
    const String& NoneString() const { return FNoneString; }
    void SetNoneString(const String& Value) { FNoneString = Value; }
    TnvColorListBoxOptions Options() const { return FOptions; }
    void SetOptions(TnvColorListBoxOptions Value) { FOptions = Value; }
    TnvSortByOption SortBy() const { return FSortBy; }
    void SetSortBy(TnvSortByOption Value);
    // Not published.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TFont* Font() const { return FFont.get(); }
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }

    void Assign(TPersistent* Source) override;

private:
    int FColorWidth = 0;
    int FGreyScaleIncrement = 10;
    int FItemHeight = 16;
    String FNoneString = "None";
    TnvColorListBoxOptions FOptions = TnvColorListBoxOptions(ccoShowStandardColors) | ccoShowColorNames;
    TnvSortByOption FSortBy = csoNone;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FIntegralHeight = true;
};

// The drop-down window of a colour combo: a black line around the list.
class TnvColorDropPanel : public TCustomControl {
    Q_OBJECT
public:
    explicit TnvColorDropPanel(TComponent* AOwner = nullptr);

protected:
    void Paint() override;
};

class TnvCustomColorCombo : public TnvCustomCombo {
    Q_OBJECT
public:
    explicit TnvCustomColorCombo(TComponent* AOwner = nullptr);
    ~TnvCustomColorCombo() override;

    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    TAlignment ColorAlignment() const { return FColorAlignment; }
    void SetColorAlignment(TAlignment Value);
    TColorDialog* ColorDialog() const { return FColorDialog; }
    void SetColorDialog(TColorDialog* Value);
    TnvColorDialogOptions ColorDialogOptions() const { return FColorDialogOptions; }
    void SetColorDialogOptions(TnvColorDialogOptions Value) { FColorDialogOptions = Value; }
    TnvColorListOptions* ColorListOptions() const { return FColorListOptions.get(); }
    void SetColorListOptions(TnvColorListOptions* Value) { FColorListOptions->Assign(Value); }
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value);
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    TAlignment UnboundAlignment() const { return FUnboundAlignment; }
    void SetUnboundAlignment(TAlignment Value);
    // Publishes the base's drop-down count.
    void SetDropDownCount(int Value) override { TnvCustomCombo::SetDropDownCount(Value); }

    TnvAddNewColorEvent OnAddNewColor;
    TnvOnFilterColorEvent OnFilterColor;
    TnvColorDialogEvent OnInitColorDialog;
    TnvCloseColorDialogEvent OnCloseColorDialog;

    // The drop-down list (exists once the combo's window was created).
    TnvCustomColorList* ColorList() const { return FList; }
    TnvColorDropPanel* DropPanel() const { return FPanel; }
    bool IsDroppedDown() const override;
    void DropDown() override;
    void CloseUp(bool Accept) override;
    // Runs the colour dialog on SelectedColor; true when a colour was taken.
    bool ExecuteColorDialog();
    // The list item the combo's text names; -1 when none.
    int FindItemByName(const String& Name) const;

    void Loaded() override;
    bool IsPropertyStored(const char* Name) const override;

protected:
    TWinControl* GetDropDownControl() override;
    TWinControl* GetDropDownContainer() override;
    int GetItemCount() override;
    void GetDropDownSize(int& Width, int& ItemHeight) override;
    void GetEditRect(TRect& Rect) override;
    int GetEditRightEdge(const TRect& Rect) const override;
    bool IsOwnerDrawn() const override { return true; }
    void PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool InGrid, bool Highlight) override;
    void Paint() override;
    void DoAfterDropDown() override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TnvCustomColorList;
    void CreateList();
    void PrepareList();
    void CustomColorsChanged(TObject* Sender);
    void ApplySelectedToList();
    void SetTextFromColor();
    int SwatchWidth() const;
    // Moves the list's selection by Delta items (arrow keys while open or
    // closed).
    void StepSelection(int Delta);

    TnvCustomColorList* FList = nullptr;
    TnvColorDropPanel* FPanel = nullptr;
    std::unique_ptr<TStringList> FCustomColors;
    std::unique_ptr<TnvColorListOptions> FColorListOptions;
    TColorDialog* FColorDialog = nullptr;
    bool FAutoDropDown = false;
    TAlignment FColorAlignment = taLeftJustify;
    TnvColorDialogOptions FColorDialogOptions = TnvColorDialogOptions(cdoPreventFullOpen);
    int FDropDownWidth = 0;
    TColor FSelectedColor = clNoColorSelected;
    bool FShowMatchText = true;
    TAlignment FUnboundAlignment = taLeftJustify;
    TColor FDropColor = clNoColorSelected;
    int FDropIndex = -1;
    String FDropText;
    String FMatchText;
};

class TnvColorCombo : public TnvCustomColorCombo {
    Q_OBJECT
    Q_PROPERTY(nvComboTypes::TnvAlignVertical AlignmentVertical READ AlignmentVertical WRITE SetAlignmentVertical)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoDropDown READ AutoDropDown WRITE SetAutoDropDown)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TnvButtonEffects* ButtonEffects READ ButtonEffects WRITE SetButtonEffects)
    Q_PROPERTY(TBitmap* ButtonGlyph READ ButtonGlyph WRITE SetButtonGlyph)
    Q_PROPERTY(nvComboTypes::TnvComboButtonStyle ButtonStyle READ ButtonStyle WRITE SetButtonStyle)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(DBTypes::TAlignment ColorAlignment READ ColorAlignment WRITE SetColorAlignment)
    Q_PROPERTY(TColorDialog* ColorDialog READ ColorDialog WRITE SetColorDialog)
    Q_PROPERTY(nvColorComboTypes::TnvColorDialogOptions ColorDialogOptions READ ColorDialogOptions WRITE
                   SetColorDialogOptions)
    Q_PROPERTY(TnvColorListOptions* ColorListOptions READ ColorListOptions WRITE SetColorListOptions)
    Q_PROPERTY(QObject* Controller READ ControllerObject WRITE SetControllerObject)
    Q_PROPERTY(TStrings* CustomColors READ CustomColors WRITE SetCustomColors)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(int DropDownWidth READ DropDownWidth WRITE SetDropDownWidth)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(TColor SelectedColor READ SelectedColor WRITE SetSelectedColor)
    Q_PROPERTY(bool ShowButton READ ShowButton WRITE SetShowButton)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ShowMatchText READ ShowMatchText WRITE SetShowMatchText)
    Q_PROPERTY(nvComboTypes::TnvComboStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(DBTypes::TAlignment UnboundAlignment READ UnboundAlignment WRITE SetUnboundAlignment)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvAddNewColorEvent OnAddNewColor MEMBER OnAddNewColor)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TnvCloseColorDialogEvent OnCloseColorDialog MEMBER OnCloseColorDialog)
    Q_PROPERTY(TnvComboCloseUpEvent OnCloseUp MEMBER OnCloseUp)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnDropDown MEMBER OnDropDown)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TnvOnFilterColorEvent OnFilterColor MEMBER OnFilterColor)
    Q_PROPERTY(TnvColorDialogEvent OnInitColorDialog MEMBER OnInitColorDialog)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TNotifyEvent OnMouseEnter MEMBER OnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave MEMBER OnMouseLeave)
public:
    explicit TnvColorCombo(TComponent* AOwner = nullptr) : TnvCustomColorCombo(AOwner) {}
};

void RegisterNvColorComboClasses();
