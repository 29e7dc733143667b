// The button base of the suite: glyph and caption with their layout and
// offsets, the text options, the pressed/up state with grouping, mouse and
// keyboard handling, default/cancel/kind behaviour, the shade colours, the
// window region that gives a button its outline (stored as "RegionData" and
// "DownRegionData"), change-link notification of a group owner and the data
// binding of the caption.
//
// Descendants paint the face (DrawFace) and decide whether the button has an
// outline (UseRegion, CreateRegion, IsShaped). The base paints off-screen into
// a TnvBitmap and copies it onto the window in one transfer.
//
// Stored region record (payload of "RegionData" / "DownRegionData"):
//
//     offset  size  field
//      0       4    N, little-endian: the region bytes that follow (0: none)
//      4       N    region data as GetRegionData returns it (Regions.h)
//
// The record's decoded region is cached beside its bytes, so hit tests and
// window-region updates never decode the bytes twice.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "Buttons.h"
#include "Controls.h"
#include "DBLinks.h"
#include "Forms.h"
#include "Pictures.h"

#include "nvBitmap.h"
#include "nvChangeLink.h"
#include "nvCommon.h"
#include "nvtext.h"

class TnvCustomBitBtn;
class TDataSource;

// ---------------------------------------------------------------- enumerations

namespace nvButtonTypes {
Q_NAMESPACE

enum TnvShadeStyle { fbsNormal, fbsRaised, fbsHighlight, fbsFlat };
Q_ENUM_NS(TnvShadeStyle)

enum TnvButtonOption {
    boFocusable = 1,
    boOverrideActionGlyph = 2,
    boToggleOnUp = 4,
    boFocusRect = 8,
    boAutoBold = 16,
};
Q_DECLARE_FLAGS(TnvButtonOptions, TnvButtonOption)
Q_FLAG_NS(TnvButtonOptions)

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
Q_ENUM_NS(TButtonStyle)

} // namespace nvButtonTypes
using namespace nvButtonTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvButtonTypes::TnvButtonOptions)

// ---------------------------------------------------------------- TnvOffsets

// Shifts of glyph and caption. Glyph and text shifts repaint the button;
// the pressed shifts are taken at the next paint.
class TnvOffsets : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int GlyphX READ GlyphX WRITE SetGlyphX)
    Q_PROPERTY(int GlyphY READ GlyphY WRITE SetGlyphY)
    Q_PROPERTY(int TextX READ TextX WRITE SetTextX)
    Q_PROPERTY(int TextY READ TextY WRITE SetTextY)
    Q_PROPERTY(int TextDownX READ TextDownX WRITE SetTextDownX)
    Q_PROPERTY(int TextDownY READ TextDownY WRITE SetTextDownY)
public:
    explicit TnvOffsets(TnvCustomBitBtn* Button = nullptr);
    ~TnvOffsets() override;

    int GlyphX() const { return FGlyphX; }
    void SetGlyphX(int Value);
    int GlyphY() const { return FGlyphY; }
    void SetGlyphY(int Value);
    int TextX() const { return FTextX; }
    void SetTextX(int Value);
    int TextY() const { return FTextY; }
    void SetTextY(int Value);
    int TextDownX() const { return FTextDownX; }
    void SetTextDownX(int Value) { FTextDownX = Value; }
    int TextDownY() const { return FTextDownY; }
    void SetTextDownY(int Value) { FTextDownY = Value; }

    TnvCustomBitBtn* Button() const { return FButton; }
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

protected:
    void Changed();
    TnvCustomBitBtn* FButton;
    int FGlyphX = 0;
    int FGlyphY = 0;
    int FTextX = 0;
    int FTextY = 0;
    int FTextDownX = 1;
    int FTextDownY = 1;
};

// ---------------------------------------------------------------- TnvShadeColors

// The bevel colours of the face painters; each change repaints the button.
class TnvShadeColors : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor Btn3DLight READ Btn3DLight WRITE SetBtn3DLight)
    Q_PROPERTY(TColor BtnHighlight READ BtnHighlight WRITE SetBtnHighlight)
    Q_PROPERTY(TColor BtnShadow READ BtnShadow WRITE SetBtnShadow)
    Q_PROPERTY(TColor BtnBlack READ BtnBlack WRITE SetBtnBlack)
    Q_PROPERTY(TColor BtnFocus READ BtnFocus WRITE SetBtnFocus)
    Q_PROPERTY(TColor Shadow READ Shadow WRITE SetShadow)
public:
    explicit TnvShadeColors(TnvCustomBitBtn* Button = nullptr);
    ~TnvShadeColors() override;

    TColor Btn3DLight() const { return FBtn3DLight; }
    void SetBtn3DLight(TColor Value) { Set(FBtn3DLight, Value); }
    TColor BtnHighlight() const { return FBtnHighlight; }
    void SetBtnHighlight(TColor Value) { Set(FBtnHighlight, Value); }
    TColor BtnShadow() const { return FBtnShadow; }
    void SetBtnShadow(TColor Value) { Set(FBtnShadow, Value); }
    TColor BtnBlack() const { return FBtnBlack; }
    void SetBtnBlack(TColor Value) { Set(FBtnBlack, Value); }
    TColor BtnFocus() const { return FBtnFocus; }
    void SetBtnFocus(TColor Value) { Set(FBtnFocus, Value); }
    TColor Shadow() const { return FShadow; }
    void SetShadow(TColor Value) { Set(FShadow, Value); }

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    void Set(TColor& Field, TColor Value);
    TnvCustomBitBtn* FButton;
    TColor FBtn3DLight = cl3DLight;
    TColor FBtnHighlight = clBtnHighlight;
    TColor FBtnShadow = clBtnShadow;
    TColor FBtnBlack = clBlack;
    TColor FBtnFocus = clBlack;
    TColor FShadow = clBlack;
};

// ---------------------------------------------------------------- stored region record

// The bytes of a stored region and, decoded once, the region they describe.
struct TnvRegionRecord {
    std::vector<uint8_t> Buffer; // empty: no record
    bool HasBuffer() const { return !Buffer.empty(); }
    // The decoded region (nullopt: not decoded yet); an empty region means the
    // platform rejected the data.
    mutable std::optional<QRegion> Decoded;
    // A descendant built the outline and found no pixel in it: nothing to
    // build again until the record is freed.
    bool BuiltEmpty = false;
};

// ---------------------------------------------------------------- TnvCustomBitBtn

using TnvButtonEvent = TEvent<TnvCustomBitBtn*>;

class TnvCustomBitBtn : public TWinControl {
    Q_OBJECT
public:
    explicit TnvCustomBitBtn(TComponent* AOwner = nullptr);
    ~TnvCustomBitBtn() override;

    // ---- properties (published by the descendants)
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Down() const { return FDown; }
    // Ignored (taken as false) unless GroupIndex is not 0 or the button loads.
    void SetDown(bool Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // bkCustom as soon as Default, Cancel, ModalResult or the glyph left the kind.
    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TnvOffsets* Offsets() const { return FOffsets.get(); }
    void SetOffsets(TnvOffsets* Value) { FOffsets->Assign(Value); }
    TnvButtonOptions Options() const { return FOptions; }
    void SetOptions(TnvButtonOptions Value);
    TnvShadeColors* ShadeColors() const { return FShadeColors.get(); }
    void SetShadeColors(TnvShadeColors* Value) { FShadeColors->Assign(Value); }
    TnvShadeStyle ShadeStyle() const { return FShadeStyle; }
    void SetShadeStyle(TnvShadeStyle Value);
    bool SmoothFont() const { return FSmoothFont; }
    void SetSmoothFont(bool Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);
    TnvCaptionText* TextOptions() const { return FTextOptions.get(); }
    void SetTextOptions(TnvCaptionText* Value) { FTextOptions->Assign(Value); }
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    String DataField() const;
    void SetDataField(const String& Value);
    bool StaticCaption() const { return FStaticCaption; }
    void SetStaticCaption(bool Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);

    // ---- state
    bool ActiveDefault() const;
    bool InClick() const { return FInClick; }
    bool Tracking() const { return FTracking; }
    bool WasDown() const { return FWasDown; }
    bool LastSelDown() const { return FLastSelDown; }
    bool Hot() const { return FHot; }
    bool ShowDownAsUp() const { return FShowDownAsUp; }
    void SetShowDownAsUp(bool Value);
    bool Busy() const { return FBusy; }
    void SetBusy(bool Value) { FBusy = Value; }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    const TnvRegionRecord& RegionData() const { return FRegionData; }
    const TnvRegionRecord& DownRegionData() const { return FDownRegionData; }
    const QRegion& AppliedRegion() const { return FAppliedRegion; }
    // The text rectangle of the latest paint.
    const TRect& CurrentTextRect() const { return FCurrentTextRect; }
    // Whether the button is to look pressed now.
    bool PressedLook() const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnSelChange;
    // Called with the button after its name changed (a group owner's use).
    TnvButtonEvent OnNameChanged;
    // Called when the selection changes (a group item's use).
    TnvButtonEvent OnInternalSelChange;
    // Called with the button after its size changed, not while it loads (a
    // group owner's use: the group fits itself to its buttons).
    TnvButtonEvent OnInternalResize;

    // Frees both stored region records (the outline is rebuilt when next needed).
    void FreeRegionRecords()
    {
        FreeRegionRecord(FRegionData);
        FreeRegionRecord(FDownRegionData);
    }

    // Whether a point (client coordinates; -1, -1: the cursor) lies on the button.
    bool PointInButton(int X, int Y, bool OnlyTracking);
    void Click() override;

    // ---- virtual operations, in slot order
    virtual void GetCaption(String& Text);
    virtual std::unique_ptr<TnvOffsets> CreateOffsets();
    // A region from the stored data of the state; empty when none.
    virtual QRegion CreateRegion(bool Build, bool Down);
    virtual void CalcLayout(TCanvas* Canvas, const TRect& ClientRect, TRect& TextArea, TSize TextSize,
                            TRect& GlyphRect, TRect& TextRect);
    virtual int GlyphWidth() const;
    virtual bool IsGlyphStored() const;
    virtual bool IsCaptionStored() const;
    virtual bool HasRegionData() const;
    virtual void DownChanged();
    virtual void ClearRegions();
    virtual void FreeRegionRecord(TnvRegionRecord& Record);
    virtual void DrawGlyph(TCanvas* Canvas, TPoint Position);
    virtual void DrawCaption(TCanvas* Canvas, const TRect& TextRect);
    virtual void DrawItem();
    virtual void DrawFace(TnvBitmap* Bitmap, int Reserved, bool Pressed, TnvShadeStyle Style);
    virtual void GlyphChanged();
    virtual void NotifyChange();
    virtual void NotifyChanging();
    virtual void NotifyLoaded();
    virtual void PaintButton();
    virtual void RepaintNow();
    virtual void ReadRegionData(TStream& Stream);
    virtual void ReadDownRegionData(TStream& Stream);
    virtual void SaveRegion(const QRegion& Region, bool Down);
    virtual void SelChange();
    virtual void WriteRegionData(TStream& Stream);
    virtual void WriteDownRegionData(TStream& Stream);
    virtual void UpdateExclusive();
    virtual bool UseRegion() const;
    virtual void DataChange();
    virtual void ApplyRegion();
    virtual void InvalidateOutside(bool Erase);
    virtual void PaintContent(TCanvas* Canvas, const TRect& Rect);
    virtual bool IsShaped();
    virtual void UpdateShadeColors(TColor Color);
    virtual void RegisterChanges(TnvChangeLink* Link);
    virtual void UnRegisterChanges(TnvChangeLink* Link);
    virtual bool IsTextEnabled() const;

    // ---- framework overrides
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void DefineProperties(TFiler* Filer) override;
    bool IsPropertyStored(const char* Name) const override;
    bool HitTest(TPoint P) override;
    void SetName(const String& NewName) override;

    // The standard caption and the two-cell glyph of a kind (empty for
    // bkCustom). The glyphs are made once and shared by all buttons.
    static String KindCaption(TBitBtnKind Kind);
    static TBitmap* KindGlyph(TBitBtnKind Kind);

    // Number of regions built from stored data and of CreateRegion calls
    // that built a region (for checking that outlines are cached).
    int RegionDecodeCount() const { return FRegionDecodeCount; }

protected:
    void AssignTo(TPersistent* Dest) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintControl(QImage& Image) override;
    bool PaintsTransparent() const override { return false; }
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void EnabledChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void DoEnter() override;
    void DoExit() override;

    // The press cycle's steps.
    void BeginPress();
    void FinishPress(bool Over);
    // The common step of every down-state change.
    void SetDownState(bool Value, bool Broadcast, bool DoInvalidate);
    void ApplyAutoBold();
    // The bitmap painted off-screen (kept between paints).
    TnvBitmap* FaceBitmap();
    // The button's canvas while painting (null otherwise).
    TCanvas* Canvas() const { return FCanvas.get(); }
    // Whether the button is being painted as a copy (a grid painting its cell).
    bool PaintingCopy() const { return ControlState().testFlag(csPaintCopy); }
    // Whether the button has the focus (Qt's or the form's active control).
    bool HasFocus() const;
    QRegion DecodeRecord(const TnvRegionRecord& Record);

    bool FAllowAllUp = false;
    bool FCancel = false;
    bool FDefault = false;
    bool FDown = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGroupIndex = 0;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    TModalResult FModalResult = mrNone;
    int FNumGlyphs = 1;
    mutable TBitBtnKind FKind = bkCustom;
    bool FModifiedGlyph = false;
    bool FSettingKindGlyph = false;
    std::unique_ptr<TnvShadeColors> FShadeColors;
    TnvShadeStyle FShadeStyle = fbsNormal;
    int FSpacing = 4;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TnvOffsets> FOffsets;
    std::unique_ptr<TnvCaptionText> FTextOptions;
    TnvButtonOptions FOptions;
    bool FSmoothFont = false;
    bool FStaticCaption = false;
    bool FDisableThemes = false;
    std::unique_ptr<TFieldDataLink> FDataLink;
    TnvRegionRecord FRegionData;
    TnvRegionRecord FDownRegionData;
    QRegion FAppliedRegion;
    bool FHasAppliedRegion = false;
    QRegion FPreviousRegion;
    bool FHasPreviousRegion = false;
    TnvChangeLinks FChangeLinks;
    bool FInClick = false;
    bool FTracking = false;
    bool FWasDown = false;
    bool FLastSelDown = false;
    bool FHot = false;
    bool FShowDownAsUp = false;
    bool FBusy = false;

    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TnvBitmap> FFaceBitmap;
    TRect FCurrentTextRect;
    int FRegionDecodeCount = 0;

    // Image lists of the glyph cells, made on first use and dropped when the
    // glyph changes: index = cell * 2 + (odd x position).
    std::array<std::unique_ptr<TCustomImageList>, 8> FGlyphLists;
    std::array<std::unique_ptr<TCustomImageList>, 4> FDisabledGlyphLists;
    void DropGlyphCache();
    TCustomImageList* GlyphList(int Cell, bool Odd, bool Disabled);
};
