// Classes the combo tests use: a small combo whose drop-down is a list of
// strings in a pop-up panel, and a form with handlers for form files. The
// list writes every message it gets into the combo's log, so tests can check
// the drop-down protocol as a sequence of events.
#pragma once

#include <QApplication>
#include <QImage>

#include <vector>

#include "Canvas.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvCombo.h"

class TTestCombo;

// The list inside the drop-down: one item per 16 pixels.
class TTestDropList : public TCustomControl {
    Q_OBJECT
public:
    explicit TTestDropList(TTestCombo* Combo);
    static constexpr int ItemHeight = 16;
    TTestCombo* Combo = nullptr;
    int ItemIndex = -1;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
};

class TTestDropPanel : public TCustomControl {
    Q_OBJECT
public:
    explicit TTestDropPanel(TComponent* AOwner = nullptr) : TCustomControl(AOwner) {}
};

class TTestCombo : public TnvCustomCombo {
    Q_OBJECT
    Q_PROPERTY(nvComboTypes::TnvAlignVertical AlignmentVertical READ AlignmentVertical WRITE SetAlignmentVertical)
    Q_PROPERTY(bool AllowClearKey READ AllowClearKey WRITE SetAllowClearKey)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TnvButtonEffects* ButtonEffects READ ButtonEffects WRITE SetButtonEffects)
    Q_PROPERTY(TBitmap* ButtonGlyph READ ButtonGlyph WRITE SetButtonGlyph)
    Q_PROPERTY(nvComboTypes::TnvComboButtonStyle ButtonStyle READ ButtonStyle WRITE SetButtonStyle)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QObject* Controller READ ControllerObject WRITE SetControllerObject)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowButton READ ShowButton WRITE SetShowButton)
    Q_PROPERTY(nvComboTypes::TnvComboStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TnvComboCloseUpEvent OnCloseUp MEMBER OnCloseUp)
    Q_PROPERTY(TNotifyEvent OnDropDown MEMBER OnDropDown)
    Q_PROPERTY(TNotifyEvent OnAfterDropDown MEMBER OnAfterDropDown)
    Q_PROPERTY(TNotifyEvent OnMouseEnter MEMBER OnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave MEMBER OnMouseLeave)
public:
    explicit TTestCombo(TComponent* AOwner = nullptr);
    ~TTestCombo() override;

    std::vector<String> Items;
    // Width the list asks for (0: the combo's).
    int RequestedWidth = 0;
    std::vector<String> Log;
    TTestDropPanel* Panel = nullptr;
    TTestDropList* List = nullptr;
    String InitialText;

    void SetDropDownCount(int Value) override { TnvCustomCombo::SetDropDownCount(Value); }
    bool IsDroppedDown() const override { return Panel && Panel->isVisible(); }
    void DropDown() override;
    void CloseUp(bool Accept) override;
    // Chooses the item under a point of the list and closes accepting.
    void ChooseAt(int Y);
    using TnvCustomCombo::GetEditRect;
    using TnvCustomCombo::PaintsOwnText;

protected:
    TWinControl* GetDropDownControl() override { return List; }
    TWinControl* GetDropDownContainer() override { return Panel; }
    int GetItemCount() override { return static_cast<int>(Items.size()); }
    void GetDropDownSize(int& Width, int& ItemHeight) override
    {
        Width = RequestedWidth;
        ItemHeight = TTestDropList::ItemHeight;
    }
    void KeyDown(Word& Key, TShiftState Shift) override;
    void PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool InGrid, bool Highlight) override;
};

class TComboTestForm : public TForm {
    Q_OBJECT
public:
    explicit TComboTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void ComboCloseUp(TObject*, bool Accept) { Calls.push_back(Accept ? "closeup accept" : "closeup"); }
    Q_INVOKABLE void ComboDropDown(TObject*) { Calls.push_back("dropdown"); }
};

// A component whose published Frame a combo can copy (a frame controller).
class TFrameController : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(TnvEditFrame* Frame READ Frame WRITE SetFrame)
public:
    explicit TFrameController(TComponent* AOwner = nullptr)
        : TNonVisualComponent(AOwner), FFrame(std::make_unique<TnvEditFrame>())
    {
    }
    TnvEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TnvEditFrame* Value) { FFrame->Assign(Value); }

private:
    std::unique_ptr<TnvEditFrame> FFrame;
};
