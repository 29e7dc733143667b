// The suite's scroll bar: a graphic control (no window of its own) that lays
// out and draws its two arrows, its two page areas and its thumb itself, in
// the classic look or themed. Arrows and page areas step the position when
// pressed and repeat while held (after InitialDelay, then every Interval
// milliseconds, only while the cursor stays on the pressed part); the thumb
// is dragged, changing the position at release, or at every move with
// LiveTracking. The data-aware tree places two of them inside itself and
// forwards their Scroll notifications.
#pragma once

#include <QObject>

#include <memory>

#include "Controls.h"
#include "StdCtrls.h"

class TTimer;
class TnvCustomScrollBar;

// Scroll codes passed to Scroll.
enum : int { SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4 };

// The parts of a scroll bar, as HitTest numbers them.
enum TnvScrollBarPart : int {
    sbpNone = 0,
    sbpIncrement = 1,  // the bottom (or right) arrow
    sbpDecrement = 2,  // the top (or left) arrow
    sbpPageAfter = 3,  // the page area after the thumb
    sbpPageBefore = 4, // the page area before the thumb
    sbpThumb = 5,
    sbpOutside = 6,
};

using TnvScrollPosChangeEvent = TEvent<TnvCustomScrollBar*, int, int>;
ZEN_EVENT_TYPE(TnvScrollPosChangeEvent)

// Auto-repeat timing of a bar's arrows and page areas.
class TnvScrollbarRepeatInterval : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int InitialDelay READ InitialDelay WRITE SetInitialDelay)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
public:
    Q_INVOKABLE TnvScrollbarRepeatInterval() = default;
    // Milliseconds before the first repeat.
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    // Milliseconds between repeats.
    int Interval() const { return FInterval; }
    void SetInterval(int Value) { FInterval = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FInitialDelay = 500;
    int FInterval = 50;
};

class TnvCustomScrollBar : public TGraphicControl {
    Q_OBJECT
public:
    explicit TnvCustomScrollBar(TComponent* AOwner = nullptr);
    ~TnvCustomScrollBar() override;

    // ---- properties. Each change repaints the bar.
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // Clamped: above Max - PageSize + 1 it becomes that, then below Min it
    // becomes Min (Min wins when the range is smaller than the page).
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // 1 .. 32767; other values are ignored.
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    TnvScrollbarRepeatInterval* RepeatInterval() const { return FRepeat.get(); }
    void SetRepeatInterval(TnvScrollbarRepeatInterval* Value) { FRepeat->Assign(Value); }
    // A thumb drag changes the position at every move, not only at release.
    bool LiveTracking() const { return FLiveTracking; }
    void SetLiveTracking(bool Value) { FLiveTracking = Value; }
    // The thumb is 16 pixels long whatever the page.
    bool FixedThumb() const { return FFixedThumb; }
    void SetFixedThumb(bool Value);

    // ---- state
    TnvScrollBarPart PressedPart() const { return FPressedPart; }
    TnvScrollBarPart HotPart() const { return FHotPart; }
    int DragDelta() const { return FDragDelta; }
    int DragStartPos() const { return FDragStartPos; }
    int LastPosition() const { return FLastPosition; }
    TTimer* ScrollTimer() const { return FTimer; }
    // The rectangle of a part (empty when the bar cannot scroll, or for
    // sbpNone and sbpOutside).
    TRect PartRect(TnvScrollBarPart Part) const;
    // How far the thumb can travel, at least 1.
    int ThumbTravel() const;
    // One step of the pressed part (an arrow or a page area).
    void StepPosition();
    // The repeat timer's tick.
    void ScrollTimerTick();

    TnvScrollPosChangeEvent OnChange;

    // ---- virtual operations, in slot order
    // Paints every part (Full) or, during a drag, only the page areas and the thumb.
    virtual void PaintParts(bool Full);
    // Starts following the mouse after a press at (X, Y).
    virtual void TrackMouse(int X, int Y);
    // The release at (X, Y); Point is the cursor in client coordinates.
    virtual void EndTrack(int X, int Y, TPoint Point);
    // Raises OnChange.
    virtual void Change(int PriorValue, int NewValue);
    // A scroll notification (SB_...); nothing here, descendants forward it.
    virtual void Scroll(int Code, int Pos);
    // May change the thumb length; nothing here.
    virtual void AdjustThumbSize(int& Size);
    // PageSize < Max - Min + 1.
    virtual bool CanScroll() const;
    virtual TnvScrollBarPart HitTest(int X, int Y) const;
    // Stores the three values as they are (no clamping, no repaint).
    virtual void SetParams(int APosition, int AMax, int AMin);

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // Arrow length, thumb length and thumb offset of the current layout.
    void Layout(int& Arrow, int& Thumb, int& Offset) const;
    int ThumbLength(int Length, int Arrow) const;
    // The position a thumb drag of DragDelta pixels gives.
    int DragPosition() const;
    void ReleaseTracking();
    void PaintArrow(TCanvas* C, TnvScrollBarPart Part, bool Themed);
    void PaintPage(TCanvas* C, TnvScrollBarPart Part, bool Themed);
    void PaintThumb(TCanvas* C, bool Themed);
    void SetHotPart(TnvScrollBarPart Part);

    TScrollBarKind FKind = sbVertical;
    int FMax = 100;
    int FMin = 0;
    int FPageSize = 10;
    int FPosition = 0;
    int FSmallChange = 1;
    std::unique_ptr<TnvScrollbarRepeatInterval> FRepeat;
    TTimer* FTimer = nullptr;
    TnvScrollBarPart FPressedPart = sbpNone;
    TnvScrollBarPart FHotPart = sbpNone;
    int FDragDelta = 0;
    int FDragStartPos = -1;
    int FLastPosition = 0;
    bool FLiveTracking = false;
    bool FFixedThumb = false;
    int FMinThumb = 8;
    // Mouse tracking between a press and its release.
    bool FTracking = false;
    bool FMoved = false;
    TPoint FPressPoint;
    TPoint FMousePos{-1, -1};
};

class TnvScrollBar : public TnvCustomScrollBar {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(StdCtrlsTypes::TScrollBarKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE SetSmallChange)
    Q_PROPERTY(TnvScrollbarRepeatInterval* RepeatInterval READ RepeatInterval WRITE SetRepeatInterval)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvScrollPosChangeEvent OnChange MEMBER OnChange)
public:
    Q_INVOKABLE explicit TnvScrollBar(TComponent* AOwner = nullptr) : TnvCustomScrollBar(AOwner) {}
};
