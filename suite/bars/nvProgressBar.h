// The suite's progress bar: a gauge that draws itself, filling a sunken frame
// from the start with blocks of a chosen colour (separate, or one smooth run)
// or, with themes, the theme's bar and chunk; optionally with a centred
// percentage drawn as the inverse of what lies under it. It runs
// horizontally (filling from the left) or vertically (from the bottom) and
// can show an integer field of a dataset.
#pragma once

#include <QObject>

#include <memory>

#include "Controls.h"
#include "DB.h"
#include "DBLinks.h"
#include "Menus.h"
#include "Pictures.h"

namespace nvProgressBarTypes {
Q_NAMESPACE
enum TnvProgressBarOrientation { nvpbHorizontal, nvpbVertical };
Q_ENUM_NS(TnvProgressBarOrientation)
} // namespace nvProgressBarTypes
using namespace nvProgressBarTypes;

// A bitmap that takes another's size, filled with clWindowFrame: the base the
// bar combines its pictures on with exclusive or.
class TBltBitmap : public TBitmap {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TBltBitmap(QObject* Parent = nullptr) : TBitmap(Parent) {}
    void MakeLike(TBitmap* Template);
};

class TnvProgressBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor BlockColor READ BlockColor WRITE SetBlockColor)
    Q_PROPERTY(int BlockSize READ BlockSize WRITE SetBlockSize)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(String DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(nvProgressBarTypes::TnvProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ShowProgressText READ ShowProgressText WRITE SetShowProgressText)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    Q_INVOKABLE explicit TnvProgressBar(TComponent* AOwner = nullptr);
    ~TnvProgressBar() override;

    int Min() const { return FMin; }
    // EInvalidOperation "<class> property out of range" above Max.
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    // EInvalidOperation "<class> property out of range" below Min.
    void SetMax(int Value) { SetRange(FMin, Value); }
    // Stores both bounds; the progress is not clamped again.
    void SetRange(int AMin, int AMax);
    // While a copy is painted for a data control grid: the record's field
    // value, at most Max.
    int Progress() const;
    // Clamped to Min .. Max; OnChange unless loading (also when clamping
    // gave back the old value).
    void SetProgress(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    // Progress + Step, at most Max.
    void StepIt();
    int BlockSize() const { return FBlockSize; }
    void SetBlockSize(int Value);
    TColor BlockColor() const { return FBlockColor; }
    void SetBlockColor(TColor Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TnvProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TnvProgressBarOrientation Value);
    bool ShowProgressText() const { return FShowProgressText; }
    void SetShowProgressText(bool Value);
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    String DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value) { FDataLink->SetFieldName(Value); }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

    // The text drawn over the bar ("" without ShowProgressText).
    String ProgressText() const;

    TNotifyEvent OnChange;

    // ---- virtual operations, in slot order
    virtual void DrawBar(TCanvas* ACanvas);
    virtual void DoChange();
    virtual void UpdateData();
    virtual void DataChange();
    virtual void PaintGauge();

    void Loaded() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FMin = 0;
    int FMax = 100;
    int FProgress = 0;
    int FStep = 10;
    int FBlockSize = 10;
    TColor FBlockColor = clHighlight;
    bool FSmooth = false;
    TnvProgressBarOrientation FOrientation = nvpbHorizontal;
    bool FShowProgressText = true;
    String FDisplayFormat;
    bool FDisableThemes = false;
    std::unique_ptr<TFieldDataLink> FDataLink;
    // The composed picture and its exclusive-or partners, kept between paints.
    std::unique_ptr<TBitmap> FPicture;
    std::unique_ptr<TBltBitmap> FBlt;
};
