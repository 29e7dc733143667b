// The suite's track bar: a slider over a range of floating-point values that
// draws itself entirely: a sunken channel (or the theme's track), tick marks
// with optional numeric labels, an optional selection band and partial fill,
// a thumb drawn as a pointed raised box, the theme's thumb or a user bitmap,
// and an optional text with the current value. It runs horizontally or
// vertically, inverted or not, and can follow a numeric field of a dataset
// (also as a copy painted once per record of a data control grid).
//
// The thumb is a transparent child control (TnvTrackIcon) that only takes
// the mouse; everything visible is painted by the bar.
#pragma once

#include <QObject>

#include <memory>
#include <utility>
#include <vector>

#include "DB.h"
#include "DBLinks.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Pictures.h"
#include "nvpanel.h"

namespace nvTrackBarTypes {
Q_NAMESPACE
enum TnvTrackBarOrientation { trnvHorizontal, trnvVertical };
Q_ENUM_NS(TnvTrackBarOrientation)
// Where the ticks stand.
enum TnvTickMark { tmnvBottomRight, tmnvTopLeft, tmnvBoth };
Q_ENUM_NS(TnvTickMark)
enum TnvTickStyle { tsnvNone, tsnvAuto, tsnvManual };
Q_ENUM_NS(TnvTickStyle)
enum TnvTrackBarTextPosition { tbtLeft, tbtRight, tbtTop, tbtBottom };
Q_ENUM_NS(TnvTrackBarTextPosition)
} // namespace nvTrackBarTypes
using namespace nvTrackBarTypes;

// The theme's track-bar parts and thumb states the bar draws with.
enum : int {
    TKP_TRACK = 1,
    TKP_TRACKVERT = 2,
    TKP_THUMB = 3,
    TKP_THUMBBOTTOM = 4,
    TKP_THUMBTOP = 5,
    TKP_THUMBVERT = 6,
    TKP_THUMBLEFT = 7,
    TKP_THUMBRIGHT = 8,
};
enum : int { TUS_NORMAL = 1, TUS_HOT = 2, TUS_PRESSED = 3, TUS_FOCUSED = 4, TUS_DISABLED = 5 };

class TnvTrackBar;

// Sender, the tick's value, its text and rectangle (both may be changed) and
// whether the bar still draws the text itself.
using TnvDrawTickTextEvent = TEvent<TObject*, double, String&, TRect&, bool&>;
ZEN_EVENT_TYPE(TnvDrawTickTextEvent)

// The text attributes of a bar: the value text and the tick labels. Every
// change repaints the bar.
class TnvTrackBarText : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(String DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int OffsetX READ OffsetX WRITE SetOffsetX)
    Q_PROPERTY(int OffsetY READ OffsetY WRITE SetOffsetY)
    Q_PROPERTY(nvTrackBarTypes::TnvTrackBarTextPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
    Q_PROPERTY(String TickDisplayFormat READ TickDisplayFormat WRITE SetTickDisplayFormat)
    Q_PROPERTY(int TickLabelFrequency READ TickLabelFrequency WRITE SetTickLabelFrequency)
public:
    explicit TnvTrackBarText(TnvTrackBar* Bar = nullptr);

    TnvTrackBar* Bar() const { return FBar; }
    TnvTrackBarTextPosition Position() const { return FPosition; }
    void SetPosition(TnvTrackBarTextPosition Value);
    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value);
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value);
    // The bar's own font.
    TFont* Font() const;
    void SetFont(TFont* Value);
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    // Every n-th tick gets a label; 0: none.
    int TickLabelFrequency() const { return FTickLabelFrequency; }
    void SetTickLabelFrequency(int Value);
    const String& TickDisplayFormat() const { return FTickDisplayFormat; }
    void SetTickDisplayFormat(const String& Value);

    void Assign(TPersistent* Source) override;
    // The font is stored only when the bar does not take its parent's.
    bool IsPropertyStored(const char* Name) const override;

private:
    void Changed();
    TnvTrackBar* FBar;
    TnvTrackBarTextPosition FPosition = tbtLeft;
    int FOffsetX = 0;
    int FOffsetY = 0;
    String FDisplayFormat;
    bool FShowText = false;
    int FTickLabelFrequency = 0;
    String FTickDisplayFormat;
};

// The thumb's mouse area: a transparent child of the bar that paints nothing
// and follows presses on the thumb until the button comes up.
class TnvTrackIcon : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(TNotifyEvent OnEndDrag MEMBER OnEndDrag)
public:
    explicit TnvTrackIcon(TnvTrackBar* Bar = nullptr);
    ~TnvTrackIcon() override;

    TnvTrackBar* Bar() const { return FBar; }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    // Set while the thumb is being dragged.
    bool Dragging() const { return FDragging; }

    // Raised when a drag ends.
    TNotifyEvent OnEndDrag;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void EndTracking();
    TnvTrackBar* FBar;
    std::unique_ptr<TBitmap> FBitmap;
    bool FDragging = false;
    bool FTracking = false;
    bool FStarted = false;
    TPoint FPress;
};

// The auto-repeat of clicks on the channel.
class TnvTrackRepeatTimer : public TTimer {
    Q_OBJECT
public:
    explicit TnvTrackRepeatTimer(TComponent* AOwner = nullptr) : TTimer(AOwner) {}
    // The signed step of the current repeat (+Increment or -Increment).
    double RepeatStep = 0.0;
};

class TnvTrackBar : public TnvCustomPanel {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "ThumbColor")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(double Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    // Increment and the range come before Position: a stored position is
    // snapped and clamped against them as it is read.
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_PROPERTY(double Max READ Max WRITE SetMax)
    Q_PROPERTY(double Min READ Min WRITE SetMin)
    Q_PROPERTY(nvTrackBarTypes::TnvTrackBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(double Position READ GetPosition WRITE SetPosition)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(double SelEnd READ SelEnd WRITE SetSelEnd)
    Q_PROPERTY(double SelStart READ SelStart WRITE SetSelStart)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool SliderVisible READ SliderVisible WRITE SetSliderVisible)
    Q_PROPERTY(int SpacingEdgeTrackbar READ SpacingEdgeTrackbar WRITE SetSpacingEdgeTrackbar)
    Q_PROPERTY(int SpacingLeftTop READ SpacingLeftTop WRITE SetSpacingLeftTop)
    Q_PROPERTY(int SpacingRightBottom READ SpacingRightBottom WRITE SetSpacingRightBottom)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(TnvTrackBarText* TextAttributes READ TextAttributes WRITE SetTextAttributes)
    Q_PROPERTY(TColor ThumbColor READ ThumbColor WRITE SetThumbColor)
    Q_PROPERTY(int ThumbLength READ ThumbLength WRITE SetThumbLength)
    Q_PROPERTY(int ThumbThickness READ ThumbThickness WRITE SetThumbThickness)
    Q_PROPERTY(nvTrackBarTypes::TnvTickMark TickMarks READ TickMarks WRITE SetTickMarks)
    Q_PROPERTY(nvTrackBarTypes::TnvTickStyle TickStyle READ TickStyle WRITE SetTickStyle)
    Q_PROPERTY(TColor TrackColor READ TrackColor WRITE SetTrackColor)
    Q_PROPERTY(TColor TrackPartialFillColor READ TrackPartialFillColor WRITE SetTrackPartialFillColor)
    Q_PROPERTY(TBitmap* TrackThumbIcon READ TrackThumbIcon WRITE SetTrackThumbIcon)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TContextPopupEvent OnContextPopup MEMBER OnContextPopup)
    Q_PROPERTY(TnvDrawTickTextEvent OnDrawTickText MEMBER OnDrawTickText)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
public:
    Q_INVOKABLE explicit TnvTrackBar(TComponent* AOwner = nullptr);
    ~TnvTrackBar() override;

    // ---- range and value
    double Min() const { return FMin; }
    // Applied with the position when not above Max; stored in any case.
    void SetMin(double Value);
    double Max() const { return FMax; }
    // Applied with the position when not below Min; stored in any case.
    void SetMax(double Value);
    // The value as GetPosition reads it.
    double Position() const { return GetPosition(); }
    // Snaps to a multiple of Increment (counted from 0) and clamps; a request
    // closer than Increment to the current position changes nothing.
    void SetPosition(double Value);
    // Applies a range and a value together: EInvalidOperation "<class>
    // property out of range" when AMax < AMin; the value is clamped.
    void SetParams(double AMax, double AMin, double AValue);
    double Increment() const { return FIncrement; }
    // 0 becomes 1.0.
    void SetIncrement(double Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { FPageSize = Value; }
    double Frequency() const { return FFrequency; }
    void SetFrequency(double Value);
    double SelStart() const { return FSelStart; }
    void SetSelStart(double Value);
    double SelEnd() const { return FSelEnd; }
    void SetSelEnd(double Value);
    TnvTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TnvTrackBarOrientation Value);
    bool Inverted() const { return FInverted; }
    // No repaint; the thumb's mouse area moves to where the next paint puts it.
    void SetInverted(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    // ---- look
    TnvTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TnvTickMark Value);
    TnvTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TnvTickStyle Value);
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool Value);
    int ThumbLength() const { return FThumbLength; }
    void SetThumbLength(int Value);
    int ThumbThickness() const { return FThumbThickness; }
    void SetThumbThickness(int Value);
    TColor ThumbColor() const { return FThumbColor; }
    void SetThumbColor(TColor Value);
    TBitmap* TrackThumbIcon() const { return FThumbBitmap.get(); }
    void SetTrackThumbIcon(TBitmap* Value);
    TColor TrackColor() const { return FTrackColor; }
    void SetTrackColor(TColor Value);
    TColor TrackPartialFillColor() const { return FTrackPartialFillColor; }
    void SetTrackPartialFillColor(TColor Value);
    int SpacingLeftTop() const { return FSpacingLeftTop; }
    void SetSpacingLeftTop(int Value);
    int SpacingRightBottom() const { return FSpacingRightBottom; }
    void SetSpacingRightBottom(int Value);
    int SpacingEdgeTrackbar() const { return FSpacingEdgeTrackbar; }
    void SetSpacingEdgeTrackbar(int Value);
    TnvTrackBarText* TextAttributes() const { return FTextAttributes.get(); }
    void SetTextAttributes(TnvTrackBarText* Value) { FTextAttributes->Assign(Value); }
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);

    // ---- data
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    String DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value) { FDataLink->SetFieldName(Value); }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    bool UpdatingFromData() const { return FUpdatingFromData; }

    // ---- geometry (client coordinates)
    // The channel before widening by the thumb.
    TRect GetTrackRect() const;
    // Pixel offset from the channel's start (Left or Top) of a value.
    int ValueToPixel(double Value) const;
    double PixelToValue(int Pixel) const;
    // The ticks the painting walks: value and label index.
    std::vector<std::pair<double, int>> TickList() const;
    // The field's value while the data source browses, else GetPosition.
    double DisplayValue() const;
    // The value text as it is drawn.
    String ValueText() const;
    // The theme's thumb part and its state for a thumb drawn at (X, Y).
    int ThumbThemePart() const;
    int ThumbThemeState(int X, int Y) const;

    TnvTrackIcon* ThumbControl() const { return FThumb; }
    // Null until the channel is first clicked.
    TnvTrackRepeatTimer* RepeatTimer() const { return FRepeatTimer; }

    TNotifyEvent OnChange;
    TnvDrawTickTextEvent OnDrawTickText;

    // ---- virtual operations, in slot order
    virtual void DoEdit();
    virtual void RepeatTimerTick();
    virtual void DrawTickText(String Text, TRect Rect, double TickValue);
    virtual void UpdateData();
    virtual bool IsReadOnly() const;
    virtual bool CanEdit();
    virtual void DrawThumb(int X, int Y);
    virtual double GetPosition() const;
    virtual void DataChange();
    // Fires OnChange.
    virtual void DoChange();

    void Loaded() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void CreateWnd() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TnvTrackIcon;
    bool Horizontal() const { return FOrientation == trnvHorizontal; }
    // Sizes the thumb control (from the thumb settings or the icon) and
    // places it on the channel at the current position.
    void SizeThumb();
    void PlaceThumb();
    void PlaceThumbAt(double Value);
    void DrawChannel(TCanvas* C);
    void DrawTicks(TCanvas* C);
    void DrawTick(TCanvas* C, double Value, int Index);
    void DrawValueText(TCanvas* C);
    void DrawClassicThumb(TCanvas* C, int X, int Y);
    // Steps the position by Step (the repeat of a channel click).
    void StepBy(double Step) { SetPosition(GetPosition() + Step); }

    double FPosition = 0.0;
    double FMin = 0.0;
    double FMax = 10.0;
    double FIncrement = 1.0;
    int FPageSize = 2;
    double FFrequency = 1.0;
    double FSelStart = 0.0;
    double FSelEnd = 0.0;
    TnvTrackBarOrientation FOrientation = trnvHorizontal;
    bool FInverted = false;
    bool FReadOnly = false;
    TnvTickMark FTickMarks = tmnvBottomRight;
    TnvTickStyle FTickStyle = tsnvAuto;
    bool FSliderVisible = true;
    int FThumbLength = 20;
    int FThumbThickness = 10;
    TColor FThumbColor = clBtnFace;
    TColor FTrackColor = TColor(0xFFFFFF);
    TColor FTrackPartialFillColor = clNone;
    int FSpacingLeftTop = 5;
    int FSpacingRightBottom = 5;
    int FSpacingEdgeTrackbar = 2;
    bool FDisableThemes = false;
    bool FUpdatingFromData = false;
    std::unique_ptr<TnvTrackBarText> FTextAttributes;
    std::unique_ptr<TBitmap> FThumbBitmap;
    std::unique_ptr<TFieldDataLink> FDataLink;
    TnvTrackIcon* FThumb = nullptr;
    TnvTrackRepeatTimer* FRepeatTimer = nullptr;
};

// The track inset: the channel lies this far inside the thumb's extent.
constexpr int nvTrackInset = 5;
