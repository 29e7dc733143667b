// The image button: a button whose face is a picture and whose outline is the
// picture's shape. The window is cut to the picture's pixels that are not of
// the transparent colour, so a round picture gives a round button.
//
// Faces (ShadeStyle): fbsNormal shows the picture in its own shape (pressed
// without a down picture it moves by ImageDownX/ImageDownY inside the same
// outline, the uncovered band in ShadeColors.Shadow); fbsRaised renders the
// picture 2 pixels smaller with a drop shadow in the outline (pressed, the
// picture moves onto its shadow); fbsHighlight draws a bevel along the
// picture's contour; fbsFlat shows the bevel only while the pointer is on it.
// Color other than clNone colours the picture; a pressed group button without
// a down picture shows DitherColor by DitherStyle.
//
// The outline of each state is computed once from the picture and kept as the
// base's stored region record ("RegionData", "DownRegionData", written to the
// form), so a loaded form shapes its buttons without scanning pictures. A new
// picture of a state, a size change or a new window drops that record.
//
// Pictures may come from another image button or an imager (ExtImage,
// ExtImageDown), watched through change links.
#pragma once

#include "nvButton.h"

class TnvCustomImager;

namespace nvImgBtnTypes {
Q_NAMESPACE

enum TnvDitherStyle { dsDither, dsBlendDither, dsFill };
Q_ENUM_NS(TnvDitherStyle)

} // namespace nvImgBtnTypes
using namespace nvImgBtnTypes;

// TransparentColor value that switches transparency and shaping off.
constexpr TColor nvNoTransparency = MakeColor(0x0FFFFFFF);

// ---------------------------------------------------------------- TnvImgDownOffsets

class TnvImgDownOffsets : public TnvOffsets {
    Q_OBJECT
    Q_PROPERTY(int ImageDownX READ ImageDownX WRITE SetImageDownX)
    Q_PROPERTY(int ImageDownY READ ImageDownY WRITE SetImageDownY)
public:
    explicit TnvImgDownOffsets(TnvCustomBitBtn* Button = nullptr);

    // Shift of the up picture while it is shown pressed.
    int ImageDownX() const { return FImageDownX; }
    void SetImageDownX(int Value);
    int ImageDownY() const { return FImageDownY; }
    void SetImageDownY(int Value);

    void Assign(TPersistent* Source) override;

private:
    int FImageDownX = 2;
    int FImageDownY = 2;
};

// ---------------------------------------------------------------- TnvCustomImageBtn

class TnvCustomImageBtn : public TnvCustomBitBtn {
    Q_OBJECT
public:
    explicit TnvCustomImageBtn(TComponent* AOwner = nullptr);
    ~TnvCustomImageBtn() override;

    TColor DitherColor() const { return FDitherColor; }
    void SetDitherColor(TColor Value);
    TnvDitherStyle DitherStyle() const { return FDitherStyle; }
    void SetDitherStyle(TnvDitherStyle Value);
    TnvBitmap* Image() const { return FImage.get(); }
    void SetImage(TnvBitmap* Value);
    TnvBitmap* ImageDown() const { return FImageDown.get(); }
    void SetImageDown(TnvBitmap* Value);
    TComponent* ExtImage() const { return FExtImage; }
    void SetExtImage(TComponent* Value);
    TComponent* ExtImageDown() const { return FExtImageDown; }
    void SetExtImageDown(TComponent* Value);
    TnvImgDownOffsets* ImgOffsets() const { return static_cast<TnvImgDownOffsets*>(FOffsets.get()); }
    void SetImgOffsets(TnvImgDownOffsets* Value) { FOffsets->Assign(Value); }
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);
    bool RespectPalette() const;
    void SetRespectPalette(bool Value);
    bool ParentClipping() const;
    void SetParentClipping(bool Value);

    // As published: the source components as objects.
    QObject* ExtImageObject() const { return dynamic_cast<QObject*>(FExtImage); }
    void SetExtImageObject(QObject* Value) { SetExtImage(dynamic_cast<TComponent*>(Value)); }
    QObject* ExtImageDownObject() const { return dynamic_cast<QObject*>(FExtImageDown); }
    void SetExtImageDownObject(QObject* Value) { SetExtImageDown(dynamic_cast<TComponent*>(Value)); }

    // The picture in use for a state (from ExtImage / ExtImageDown when set).
    virtual TnvBitmap* GetImage(bool Down) const;
    // The transparent colour in force for a state (see the class comment).
    TColor ImageKeyColor(bool Down) const;

    // ---- overrides of the base's operations
    std::unique_ptr<TnvOffsets> CreateOffsets() override;
    QRegion CreateRegion(bool Build, bool Down) override;
    bool HasRegionData() const override { return true; }
    void DrawFace(TnvBitmap* Bitmap, int Plain, bool Down, TnvShadeStyle Style) override;
    bool UseRegion() const override { return FTransparentColor != nvNoTransparency; }
    bool IsShaped() override;

    // ---- own virtual operations, in slot order
    // Draws Picture at button size (2 pixels less for fbsRaised) into Dest,
    // with colouring and the pressed-in-group look unless Plain.
    virtual void RenderImage(TnvBitmap* Picture, TnvBitmap* Dest, bool Down, bool Plain, TnvShadeStyle Style);
    virtual void ImageChanged(TObject* Picture);

    // Shades the contour of Source's non-key area onto Dest (see nvImgBtn.cpp).
    void DrawContourBevel(TnvBitmap* Source, TnvBitmap* Dest, bool Down, TColor Key);

protected:
    void AssignTo(TPersistent* Dest) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void LinkSource(TComponent* Source, TnvChangeLink* Link, bool Register);
    void SetExt(TComponent*& Field, TComponent* Value, TnvBitmap* Own, TnvChangeLink* Link);

    TColor FDitherColor = MakeColor(0xFFFFFF);
    TnvDitherStyle FDitherStyle = dsDither;
    std::unique_ptr<TnvBitmap> FImage;
    std::unique_ptr<TnvBitmap> FImageDown;
    std::unique_ptr<TnvChangeLink> FLink;
    std::unique_ptr<TnvChangeLink> FDownLink;
    TComponent* FExtImage = nullptr;
    TComponent* FExtImageDown = nullptr;
    TColor FTransparentColor = clNone;
    std::unique_ptr<TnvBitmap> FScratch;
};

// ---------------------------------------------------------------- TnvImageBtn

class TnvImageBtn : public TnvCustomImageBtn {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "DitherColor, DitherStyle, TransparentColor, ParentClipping")
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(TColor DitherColor READ DitherColor WRITE SetDitherColor)
    Q_PROPERTY(nvImgBtnTypes::TnvDitherStyle DitherStyle READ DitherStyle WRITE SetDitherStyle)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QObject* ExtImage READ ExtImageObject WRITE SetExtImageObject)
    Q_PROPERTY(QObject* ExtImageDown READ ExtImageDownObject WRITE SetExtImageDownObject)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TBitmap* Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TnvBitmap* Image READ Image WRITE SetImage)
    Q_PROPERTY(TnvBitmap* ImageDown READ ImageDown WRITE SetImageDown)
    Q_PROPERTY(ButtonsTypes::TBitBtnKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(ButtonsTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(TnvImgDownOffsets* Offsets READ ImgOffsets WRITE SetImgOffsets)
    Q_PROPERTY(nvButtonTypes::TnvButtonOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool ParentClipping READ ParentClipping WRITE SetParentClipping)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool RespectPalette READ RespectPalette WRITE SetRespectPalette)
    Q_PROPERTY(TnvShadeColors* ShadeColors READ ShadeColors WRITE SetShadeColors)
    Q_PROPERTY(nvButtonTypes::TnvShadeStyle ShadeStyle READ ShadeStyle WRITE SetShadeStyle)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool SmoothFont READ SmoothFont WRITE SetSmoothFont)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool StaticCaption READ StaticCaption WRITE SetStaticCaption)
    Q_PROPERTY(nvButtonTypes::TButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(TnvCaptionText* TextOptions READ TextOptions WRITE SetTextOptions)
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(String DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TNotifyEvent OnMouseEnter MEMBER OnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave MEMBER OnMouseLeave)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnSelChange MEMBER OnSelChange)
public:
    Q_INVOKABLE explicit TnvImageBtn(TComponent* AOwner = nullptr) : TnvCustomImageBtn(AOwner) {}
};

// Registers the image button with the class registry (done at start-up).
void RegisterImgBtnClasses();
