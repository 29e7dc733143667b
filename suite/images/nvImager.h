// The imager: a control that shows a picture with pixel effects.
//
// An imager keeps the picture it is given (Picture), a working TnvBitmap
// that receives the picture and the effects, and the effect settings
// (BitmapOptions). Whenever a setting, the picture or the size changes, the
// working bitmap is rebuilt from the picture and the active effects are
// applied to it in one fixed order (TnvBitmapOptions::Changed); painting only
// copies or scales the prepared working bitmap.
//
// Working bitmap size. With PreProcess (the default) the effects work on the
// picture at its own size (a square of the larger side when the picture is
// rotated) and painting scales the result. Without PreProcess, for the
// scaling styles (dsStretch, dsTile, dsProportional, dsProportionalCenter)
// the picture is first stretched (or tiled) to the control and the effects
// work at control size; painting is then a plain copy.
//
// Two families: TnvImager is a window-less control that borrows a hidden
// windowed companion (TnvImagerWinControl) when it must take the keyboard
// focus; TnvDBImager is a windowed, data-aware control that loads its picture
// from a blob field. Other components watch an imager through change links
// (RegisterChanges): each change of the working bitmap calls every link with
// the working bitmap as Sender, so image buttons and outlook bars can use it
// as their picture source.
//
// The enumerator dsNormal of TnvImagerDrawStyle shares its name with an
// enumerator of the image lists' TDrawingStyle; code that sees both writes
// TnvImagerDrawStyle::dsNormal.
#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "DB.h"
#include "Pictures.h"
#include "nvBitmap.h"
#include "nvChangeLink.h"
#include "nvCommon.h"

class TnvBitmapOptions;
class TnvDBImager;
class TnvImagerWinControl;

namespace nvImagerTypes {
Q_NAMESPACE

enum TnvImagerDrawStyle { dsNormal, dsCenter, dsStretch, dsTile, dsProportional, dsProportionalCenter };
Q_ENUM_NS(TnvImagerDrawStyle)

// How the data-aware imager reads its field's bytes.
enum TnvImagerPictureType { nvptBitmap, nvptJpg, nvptMetafile, nvptIcon };
Q_ENUM_NS(TnvImagerPictureType)

} // namespace nvImagerTypes
using namespace nvImagerTypes;

// (imager, picture type, graphic class name): lets a program choose how a
// record's picture is read.
using TnvCalcPictureTypeEvent = TEvent<TnvDBImager*, TnvImagerPictureType&, String&>;
ZEN_EVENT_TYPE(TnvCalcPictureTypeEvent)

// ---------------------------------------------------------------- effect settings

// Rotation about a centre; a negative coordinate means the middle of the
// working bitmap.
class TnvRotate : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_PROPERTY(int CenterX READ CenterX WRITE SetCenterX)
    Q_PROPERTY(int CenterY READ CenterY WRITE SetCenterY)
public:
    explicit TnvRotate(TnvBitmapOptions* Options);
    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    int CenterX() const { return FCenterX; }
    void SetCenterX(int Value);
    int CenterY() const { return FCenterY; }
    void SetCenterY(int Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvBitmapOptions* FOptions;
    int FAngle = 0;
    int FCenterX = -1;
    int FCenterY = -1;
};

// Blending with a second picture by Amount / 256 (0 is off).
class TnvAlphaBlend : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Amount READ Amount WRITE SetAmount)
    Q_PROPERTY(TnvBitmap* Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    explicit TnvAlphaBlend(TnvBitmapOptions* Options);
    ~TnvAlphaBlend() override;
    // 0 .. 255; other values raise EInvalidOperation.
    int Amount() const { return FAmount; }
    void SetAmount(int Value);
    // Owned; setting copies the picture in and does not re-apply.
    TnvBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TnvBitmap* Value);
    // The blend bitmap's Transparent: its top-left colour is left out.
    bool Transparent() const;
    void SetTransparent(bool Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

protected:
    // Re-applies the options (not re-entered while it runs).
    virtual void Changed();

private:
    TnvBitmapOptions* FOptions;
    uint8_t FAmount = 0;
    std::unique_ptr<TnvBitmap> FBitmap;
    bool FChanging = false;
};

// Wave distortion; active when XDiv, YDiv and Ratio are all non-zero.
class TnvWave : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Ratio READ Ratio WRITE SetRatio)
    Q_PROPERTY(bool Wrap READ Wrap WRITE SetWrap)
    Q_PROPERTY(int XDiv READ XDiv WRITE SetXDiv)
    Q_PROPERTY(int YDiv READ YDiv WRITE SetYDiv)
public:
    explicit TnvWave(TnvBitmapOptions* Options);
    int XDiv() const { return FXDiv; }
    void SetXDiv(int Value);
    int YDiv() const { return FYDiv; }
    void SetYDiv(int Value);
    int Ratio() const { return FRatio; }
    void SetRatio(int Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvBitmapOptions* FOptions;
    int FXDiv = 0;
    int FYDiv = 0;
    int FRatio = 0;
    bool FWrap = false;
};

// The effects of an imager and the algorithm that applies them. Changed
// copies the source picture into the destination (the working bitmap) and
// applies every active effect in this order: GrayScale, Lightness,
// AlphaBlend, Color, TintColor, Sponge, Saturation, GaussianBlur, Embossed,
// Inverted, Contrast, Sharpen, HorizontallyFlipped, VerticallyFlipped, Wave,
// Rotation; then it fires OnChange. It does nothing while the owner loads,
// while the destination or the picture is empty and between BeginUpdate and
// EndUpdate.
class TnvBitmapOptions : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TnvAlphaBlend* AlphaBlend READ AlphaBlend WRITE SetAlphaBlend)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Contrast READ Contrast WRITE SetContrast)
    Q_PROPERTY(bool Embossed READ Embossed WRITE SetEmbossed)
    Q_PROPERTY(TColor TintColor READ TintColor WRITE SetTintColor)
    Q_PROPERTY(int GaussianBlur READ GaussianBlur WRITE SetGaussianBlur)
    Q_PROPERTY(bool GrayScale READ GrayScale WRITE SetGrayScale)
    Q_PROPERTY(bool HorizontallyFlipped READ HorizontallyFlipped WRITE SetHorizontallyFlipped)
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_PROPERTY(int Lightness READ Lightness WRITE SetLightness)
    Q_PROPERTY(TnvRotate* Rotation READ Rotation WRITE SetRotation)
    Q_PROPERTY(int Saturation READ Saturation WRITE SetSaturation)
    Q_PROPERTY(int Sharpen READ Sharpen WRITE SetSharpen)
    Q_PROPERTY(int Sponge READ Sponge WRITE SetSponge)
    Q_PROPERTY(bool VerticallyFlipped READ VerticallyFlipped WRITE SetVerticallyFlipped)
    Q_PROPERTY(TnvWave* Wave READ Wave WRITE SetWave)
public:
    // Owner: the control whose loading state holds the options back. Dest:
    // the working bitmap. Source: the picture. None of them is owned.
    TnvBitmapOptions(TComponent* Owner, TnvBitmap* Dest, TPicture* Source);
    ~TnvBitmapOptions() override;

    TnvAlphaBlend* AlphaBlend() const { return FAlphaBlend.get(); }
    void SetAlphaBlend(TnvAlphaBlend* Value) { FAlphaBlend->Assign(Value); }
    TnvRotate* Rotation() const { return FRotation.get(); }
    void SetRotation(TnvRotate* Value) { FRotation->Assign(Value); }
    TnvWave* Wave() const { return FWave.get(); }
    void SetWave(TnvWave* Value) { FWave->Assign(Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TintColor() const { return FTintColor; }
    void SetTintColor(TColor Value);

    // The integer settings share one indexed setter: Lightness 0,
    // Saturation 1, Sponge 2, GaussianBlur 3, Contrast 4, Sharpen 5.
    int GetIntValue(int Index) const { return FInts[Index]; }
    void SetIntValue(int Index, int Value);
    int Lightness() const { return FInts[0]; }
    void SetLightness(int Value) { SetIntValue(0, Value); }
    // -1 is off; 0 is a full grey.
    int Saturation() const { return FInts[1]; }
    void SetSaturation(int Value) { SetIntValue(1, Value); }
    int Sponge() const { return FInts[2]; }
    void SetSponge(int Value) { SetIntValue(2, Value); }
    int GaussianBlur() const { return FInts[3]; }
    void SetGaussianBlur(int Value) { SetIntValue(3, Value); }
    int Contrast() const { return FInts[4]; }
    void SetContrast(int Value) { SetIntValue(4, Value); }
    int Sharpen() const { return FInts[5]; }
    void SetSharpen(int Value) { SetIntValue(5, Value); }

    // The Boolean settings share one indexed setter: Embossed 0, Inverted 1,
    // GrayScale 2, HorizontallyFlipped 3, VerticallyFlipped 4.
    bool GetBoolValue(int Index) const { return FBools[Index]; }
    void SetBoolValue(int Index, bool Value);
    bool Embossed() const { return FBools[0]; }
    void SetEmbossed(bool Value) { SetBoolValue(0, Value); }
    bool Inverted() const { return FBools[1]; }
    void SetInverted(bool Value) { SetBoolValue(1, Value); }
    bool GrayScale() const { return FBools[2]; }
    void SetGrayScale(bool Value) { SetBoolValue(2, Value); }
    bool HorizontallyFlipped() const { return FBools[3]; }
    void SetHorizontallyFlipped(bool Value) { SetBoolValue(3, Value); }
    bool VerticallyFlipped() const { return FBools[4]; }
    void SetVerticallyFlipped(bool Value) { SetBoolValue(4, Value); }

    // Set by the imager: true exactly when its draw style is dsTile.
    bool Tile() const { return FTile; }
    void SetTile(bool Value) { FTile = Value; }
    TComponent* OwnerControl() const { return FOwner; }
    TnvBitmap* Dest() const { return FDest; }
    TPicture* Source() const { return FSource; }
    int UpdateLock() const { return FLock; }

    virtual void BeginUpdate();
    // Applies the settings (see the class comment).
    virtual void Changed();
    // Decrements the lock when it is above 0, then Changed.
    virtual void EndUpdate();

    // How many times the effects were applied (for watchers and caches).
    uint64_t ApplyCount() const { return FApplyCount; }

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    TNotifyEvent OnChange;

private:
    // Step 1: the picture into the destination, at the destination's size.
    void CopySource();

    TComponent* FOwner;
    TnvBitmap* FDest;
    TPicture* FSource;
    std::unique_ptr<TnvAlphaBlend> FAlphaBlend;
    std::unique_ptr<TnvRotate> FRotation;
    std::unique_ptr<TnvWave> FWave;
    TColor FColor = clNone;
    TColor FTintColor = clNone;
    int FInts[6] = {0, -1, 0, 0, 0, 0};
    bool FBools[5] = {false, false, false, false, false};
    bool FTile = false;
    int FLock = 0;
    uint64_t FApplyCount = 0;

    // The source picture as step 1 leaves it, kept for the next apply: the
    // effects always start again from it, so it is rebuilt only when the
    // picture, the size or the copying mode changed.
    std::unique_ptr<TnvBitmap> FBase;
    const TGraphic* FBaseGraphic = nullptr;
    uint64_t FBaseStamp = 0;
    bool FBaseTile = false;
    bool FBaseSmooth = false;

public:
    // Forgets the copy of the picture (the imager calls it on each picture
    // change).
    void SourceChanged() { ++FSourceStamp; FBase.reset(); }

private:
    uint64_t FSourceStamp = 1;
};

// ---------------------------------------------------------------- shared machinery

// The picture, working bitmap, options, draw style and change links of both
// imager families, with the algorithms they share. The control supplies the
// hooks below; the algorithms call the control's virtual operations through
// them, so derived classes can change each step.
class TnvImagerCore {
public:
    struct THooks {
        std::function<void()> ResizeWorkBitmap;
        std::function<void()> ApplyBitmapOptions;
        std::function<void()> UpdateAutoSize;
        std::function<void()> Invalidate;
    };

    TnvImagerCore(TControl* Control, THooks Hooks);
    ~TnvImagerCore();

    TControl* Control() const { return FControl; }
    TPicture* Picture() const { return FPicture.get(); }
    TnvBitmap* WorkBitmap() const { return FWork.get(); }
    TnvBitmapOptions* Options() const { return FOptions.get(); }

    bool IsPictureEmpty() const;
    bool Loading() const { return FControl->IsLoading(); }

    // The size ResizeWorkBitmap gives the working bitmap for a control of
    // W x H.
    TSize WorkSize(int W, int H) const;
    // ResizeWorkBitmap's steps after its early exits.
    void ResizeWorkBitmap(int W, int H);
    // ApplyBitmapOptions's steps.
    void ApplyBitmapOptions();
    // The drawing rectangle of the draw style in a W x H area.
    TRect DrawRect(int W, int H) const;
    // Paints the working bitmap by the draw style into (0, 0, W, H): an
    // empty one is prepared first when there is a picture; without one a
    // designing control shows a dashed frame, any other nothing.
    void PaintWork(TCanvas* Canvas, int W, int H, bool Designing);
    // Sets each link's Sender to the working bitmap and calls its Change.
    void NotifyWatchers();
    // Whether the working bitmap lacks the size WorkSize gives.
    bool WorkSizeDiffers(int W, int H) const;

    // The published settings both families share.
    void SetDrawStyle(TnvImagerDrawStyle Value);
    void SetPreProcess(bool Value);
    void SetAutoSize(bool Value);
    void SetRespectPalette(bool Value);
    void SetSmoothStretching(bool Value);
    void SetTransparent(bool Value);
    void SetTransparentColor(TColor Value);
    // A change of size runs FrameworkSetBounds with Resizing set and the
    // parent opaque, paints at once and rebuilds the working bitmap; the
    // same size (or a resize by UpdateAutoSize) only FrameworkSetBounds.
    void SetBounds(int AWidth, int AHeight, const std::function<void()>& FrameworkSetBounds);

    // The working bitmap scaled to a size, kept until the working bitmap or
    // the scaling mode changes, so repainting does not scale again.
    TnvBitmap* ScaledWork(int W, int H);

    TnvImagerDrawStyle DrawStyle = TnvImagerDrawStyle::dsNormal;
    bool PreProcess = true;
    bool AutoSize = false;
    bool RespectPalette = true;
    bool Transparent = false;
    bool ApplyPass = false;   // ResizeWorkBitmap's re-entrancy flag
    bool AutoSizing = false;  // set while UpdateAutoSize resizes
    bool Resizing = false;    // set while SetBounds resizes
    TnvChangeLinks Links;

    // Drops the copies made from the working bitmap for painting.
    void WorkChanged()
    {
        FScaledCurrent = false;
        FAlphaWork = QImage();
        FAlphaScaled = QImage();
    }

private:
    TControl* FControl;
    THooks FHooks;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TnvBitmap> FWork;
    std::unique_ptr<TnvBitmapOptions> FOptions;
    // Draws the bitmap unscaled at (X, Y); a transparent one leaves the
    // canvas alone where its transparent colour is.
    void DrawBitmap(TCanvas* Canvas, TnvBitmap* Bitmap, int X, int Y);
    // The bitmap as a 32-bit image whose pixels of the transparent colour
    // (its TransparentColor, or its top-left pixel's colour for clNone) have
    // alpha 0. The control's off-screen image starts transparent, so leaving
    // pixels out by alpha keeps what lies under the control visible there.
    static QImage MakeAlphaImage(const TnvBitmap& Bitmap);

    std::unique_ptr<TnvBitmap> FScaled;
    bool FScaledCurrent = false;
    bool FScaledSmooth = false;
    bool FScaledTransparent = false;
    QImage FAlphaWork;
    QImage FAlphaScaled;
};

// ---------------------------------------------------------------- TnvIcon

// An icon that draws stretched to the whole destination rectangle.
class TnvIcon : public TIcon {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvIcon(QObject* Parent = nullptr) : TIcon(Parent) {}
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
};

// ---------------------------------------------------------------- TnvCustomImager

class TnvCustomImager : public TGraphicControl {
    Q_OBJECT
public:
    explicit TnvCustomImager(TComponent* AOwner = nullptr);
    ~TnvCustomImager() override;

    TPicture* Picture() const { return FCore->Picture(); }
    void SetPicture(TPicture* Value) { FCore->Picture()->Assign(Value); }
    // The picture with the effects, as painting uses it.
    TnvBitmap* WorkBitmap() const { return FCore->WorkBitmap(); }
    TnvBitmapOptions* BitmapOptions() const { return FCore->Options(); }
    void SetBitmapOptions(TnvBitmapOptions* Value) { FCore->Options()->Assign(Value); }
    TnvImagerDrawStyle DrawStyle() const { return FCore->DrawStyle; }
    void SetDrawStyle(TnvImagerDrawStyle Value) { FCore->SetDrawStyle(Value); }
    bool PreProcess() const { return FCore->PreProcess; }
    void SetPreProcess(bool Value) { FCore->SetPreProcess(Value); }
    bool AutoSize() const { return FCore->AutoSize; }
    void SetAutoSize(bool Value) { FCore->SetAutoSize(Value); }
    bool RespectPalette() const { return FCore->RespectPalette; }
    void SetRespectPalette(bool Value) { FCore->SetRespectPalette(Value); }
    bool SmoothStretching() const { return WorkBitmap()->SmoothStretching(); }
    void SetSmoothStretching(bool Value) { FCore->SetSmoothStretching(Value); }
    bool Transparent() const { return FCore->Transparent; }
    // Makes the picture on show transparent (or opaque); a picture assigned
    // afterwards is drawn with its own Transparent.
    void SetTransparent(bool Value) { FCore->SetTransparent(Value); }
    TColor TransparentColor() const { return WorkBitmap()->TransparentColor(); }
    void SetTransparentColor(TColor Value) { FCore->SetTransparentColor(Value); }

    // Focus through the companion window (see TnvImagerWinControl).
    bool Focusable() const { return FFocusable; }
    void SetFocusable(bool Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value);
    bool Focused() const { return FFocused; }
    TnvImagerWinControl* FocusControl() const { return FFocusControl; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Loaded() override;
    // The focus companion moves with the imager.
    void SetParent(TWinControl* AParent) override;

    // ---- own virtual operations
protected:
    virtual void CreateFocusControl();

public:
    virtual void BitmapOptionsChanged();
    virtual void PictureChanged();
    virtual void UpdateAutoSize();
    virtual void HandleKeyUp(Word& Key, TShiftState Shift);
    virtual void HandleKeyDown(Word& Key, TShiftState Shift);
    virtual void HandleKeyPress(char& Key);
    virtual void HandleEnter();
    virtual void HandleExit();
    virtual bool IsPictureEmpty() const;
    virtual void RegisterChanges(TnvChangeLink* Link);
    virtual void ResizeWorkBitmap();
    virtual void ApplyBitmapOptions();
    virtual void UnregisterChanges(TnvChangeLink* Link);
    // The working bitmap (with its effects) as a bitmap on the clipboard.
    virtual void CopyToClipboard();
    // A bitmap on the clipboard becomes the picture.
    virtual void PasteFromClipboard();
    // Copies, then empties the picture.
    virtual void CutToClipboard();
    virtual void FocusImager();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    void Paint() override;
    bool PaintsTransparent() const override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    std::unique_ptr<TnvImagerCore> FCore;

private:
    void FreeFocusControl();
    QPointer<TnvImagerWinControl> FFocusControl;
    bool FFocusable = false;
    bool FTabStop = false;
    int FTabOrder = -1;
    bool FFocused = false;
};

class TnvImager : public TnvCustomImager {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TnvBitmapOptions* BitmapOptions READ BitmapOptions WRITE SetBitmapOptions)
    Q_PROPERTY(nvImagerTypes::TnvImagerDrawStyle DrawStyle READ DrawStyle WRITE SetDrawStyle)
    Q_PROPERTY(bool Focusable READ Focusable WRITE SetFocusable)
    Q_PROPERTY(TPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool PreProcess READ PreProcess WRITE SetPreProcess)
    Q_PROPERTY(bool RespectPalette READ RespectPalette WRITE SetRespectPalette)
    Q_PROPERTY(bool SmoothStretching READ SmoothStretching WRITE SetSmoothStretching)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    Q_INVOKABLE explicit TnvImager(TComponent* AOwner = nullptr) : TnvCustomImager(AOwner) {}
};

// The focus companion of a TnvImager: a windowed control of no size on the
// imager's parent that takes the keyboard focus for it and hands its enter,
// exit and key events to the imager.
class TnvImagerWinControl : public TWinControl {
    Q_OBJECT
public:
    explicit TnvImagerWinControl(TnvCustomImager* Imager);
    TnvCustomImager* Imager() const { return FImager; }

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    QPointer<TnvCustomImager> FImager;
};

// ---------------------------------------------------------------- data-aware imager

class TnvDBCustomImager : public TCustomControl {
    Q_OBJECT
public:
    explicit TnvDBCustomImager(TComponent* AOwner = nullptr);
    ~TnvDBCustomImager() override;

    TPicture* Picture() const { return FCore->Picture(); }
    void SetPicture(TPicture* Value) { FCore->Picture()->Assign(Value); }
    TnvBitmap* WorkBitmap() const { return FCore->WorkBitmap(); }
    TnvBitmapOptions* BitmapOptions() const { return FCore->Options(); }
    void SetBitmapOptions(TnvBitmapOptions* Value) { FCore->Options()->Assign(Value); }
    TnvImagerDrawStyle DrawStyle() const { return FCore->DrawStyle; }
    void SetDrawStyle(TnvImagerDrawStyle Value) { FCore->SetDrawStyle(Value); }
    bool PreProcess() const { return FCore->PreProcess; }
    void SetPreProcess(bool Value) { FCore->SetPreProcess(Value); }
    bool AutoSize() const { return FCore->AutoSize; }
    void SetAutoSize(bool Value) { FCore->SetAutoSize(Value); }
    bool RespectPalette() const { return FCore->RespectPalette; }
    void SetRespectPalette(bool Value) { FCore->SetRespectPalette(Value); }
    bool SmoothStretching() const { return WorkBitmap()->SmoothStretching(); }
    void SetSmoothStretching(bool Value) { FCore->SetSmoothStretching(Value); }
    bool Transparent() const { return FCore->Transparent; }
    // Removes the clip-children style of the parent, so it paints under
    // the imager.
    virtual void SetTransparent(bool Value);
    TColor TransparentColor() const { return WorkBitmap()->TransparentColor(); }
    void SetTransparentColor(TColor Value) { FCore->SetTransparentColor(Value); }
    // bsNone or bsSingle (a sunken 2-pixel edge around the client area).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    TRect ClientRect() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Loaded() override;

    // ---- own virtual operations
    virtual void BitmapOptionsChanged();
    virtual void PictureChanged();
    virtual void UpdateAutoSize();
    virtual bool IsPictureEmpty() const;
    virtual void RegisterChanges(TnvChangeLink* Link);
    virtual void ResizeWorkBitmap();
    virtual void ApplyBitmapOptions();
    virtual void UnregisterChanges(TnvChangeLink* Link);

protected:
    void Paint() override;
    // The picture's steps of Paint inside the client area.
    void PaintPicture();
    bool PaintsTransparent() const override;

    std::unique_ptr<TnvImagerCore> FCore;
    TBorderStyle FBorderStyle = bsSingle;
};

// The data-aware imager: shows the picture of a blob field of the current
// record. Each record change empties the picture and, with AutoDisplay,
// reads the field again (LoadPicture). A picture read from the field leaves
// the record as it is; any other change of the picture (paste, cut, a
// program's assignment) marks it modified, and updating the record writes
// the picture back in its own format (a bitmap as a BMP file, a JPEG
// picture as JPEG data), or clears the field when there is no picture.
// A field whose bytes are no picture shows no picture: a record move stands
// without an error, and so does reading a bad bitmap at any time; reading a
// bad picture of another kind on request (LoadPicture) raises
// EInvalidGraphic naming the field.
class TnvDBImager : public TnvDBCustomImager {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoDisplay READ AutoDisplay WRITE SetAutoDisplay)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TnvBitmapOptions* BitmapOptions READ BitmapOptions WRITE SetBitmapOptions)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(nvImagerTypes::TnvImagerDrawStyle DrawStyle READ DrawStyle WRITE SetDrawStyle)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(nvImagerTypes::TnvImagerPictureType PictureType READ PictureType WRITE SetPictureType)
    Q_PROPERTY(bool PreProcess READ PreProcess WRITE SetPreProcess)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool RespectPalette READ RespectPalette WRITE SetRespectPalette)
    Q_PROPERTY(bool SmoothStretching READ SmoothStretching WRITE SetSmoothStretching)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TnvCalcPictureTypeEvent OnCalcPictureType MEMBER OnCalcPictureType)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    Q_INVOKABLE explicit TnvDBImager(TComponent* AOwner = nullptr);
    ~TnvDBImager() override;

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value) { FDataLink->SetFieldName(Value); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
    TField* Field() const { return FDataLink->Field(); }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    bool AutoDisplay() const { return FAutoDisplay; }
    void SetAutoDisplay(bool Value);
    TnvImagerPictureType PictureType() const { return FPictureType; }
    void SetPictureType(TnvImagerPictureType Value);
    // Whether the record's picture has been read since the record changed.
    bool PictureLoaded() const { return FPictureLoaded; }

    void PictureChanged() override;
    // Passing the flag on to the picture does not edit the record.
    void SetTransparent(bool Value) override;
    void WndProc(TMessage& Message) override;

    // Reads the field's picture, once per record: without a field the
    // picture is emptied; a field that is not a blob loads nothing. The
    // type (PictureType, or what OnCalcPictureType chooses) says how the
    // bytes are read: as a bitmap, through the graphic class named (JPEG
    // pictures: "TJPEGImage" unless the event names another; an
    // unregistered class changes nothing), as a metafile (a registered
    // "TMetafile" class) or as an icon (TnvIcon). Bad picture data leaves
    // the picture as it was and the record unchanged; a bad bitmap is
    // ignored, a bad picture of another kind raises EInvalidGraphic naming
    // the field.
    virtual void LoadPicture();
    // The picture itself (without effects) as a bitmap on the clipboard.
    virtual void CopyToClipboard();
    // A bitmap on the clipboard becomes the picture when the record can be
    // edited.
    virtual void PasteFromClipboard();
    virtual void CutToClipboard();
    virtual void CalcPictureType(TnvImagerPictureType& Type, String& GraphicClassName);

    TnvCalcPictureTypeEvent OnCalcPictureType;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoExit() override;
    bool WantsKey(Word Key, TShiftState Shift) override;

private:
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    // LoadPicture; Quiet (a record move) ignores bad picture data of any kind.
    void LoadFieldPicture(bool Quiet);
    // Builds the field's picture by type into Target (step 4 of LoadPicture).
    // False when nothing could be built (an unregistered JPEG class).
    bool ReadFieldPicture(TPicture* Target, TnvImagerPictureType Type, const String& ClassName);
    void PaintCopy();

    std::unique_ptr<TFieldDataLink> FDataLink;
    bool FAutoDisplay = true;
    bool FPictureLoaded = false;
    // Set while the picture is filled from the field: such changes do not
    // mark the record modified.
    bool FLoadingField = false;
    TnvImagerPictureType FPictureType = nvptBitmap;
};
