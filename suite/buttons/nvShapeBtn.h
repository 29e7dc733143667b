// The shape button: a button whose outline is a geometric shape (rounded
// rectangle, ellipse, triangle, arrow, diamond, rectangle, five-pointed star,
// trapezoid) or a polygon of point expressions, turned by an orientation.
//
// The face is painted on a picture filled with the key colour (KeyColor):
// the shape in the face colour, a checker of Color and DitherColor for a
// pressed group button, and bevel lines along the outline. The window region
// is the non-key part of the face painted without bevel ("region mode"); it
// is built the first time the window needs it and kept per state (up, down)
// in the base's region records until the size, the shape, the orientation,
// the corner bias or the point list changes. It is never written to a form.
//
// Custom outlines (bsCustom): one point a line of PointList, "x, y", each an
// integer expression of Width and Height (Width - 1 and Height - 1 of the
// button in pixels), e.g. "Width*7/8, Height/8". A bad list falls back to
// bsRect: GetOutline raises the error; a setter that caused the rebuild
// raises it to its caller, and a rebuild on loading, resizing or painting
// reports it through the application's exception display once the event
// being handled is done, leaving a rectangular button.
#pragma once

#include <exception>
#include <memory>
#include <vector>

#include "StringList.h"
#include "nvImgBtn.h"

namespace nvShapeBtnTypes {
Q_NAMESPACE

enum TnvButtonShape { bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond, bsRect, bsStar, bsTrapezoid, bsCustom };
Q_ENUM_NS(TnvButtonShape)

enum TnvShapeOrientation { soLeft, soRight, soUp, soDown };
Q_ENUM_NS(TnvShapeOrientation)

} // namespace nvShapeBtnTypes
using namespace nvShapeBtnTypes;

// Called with the face canvas before the face is drawn (it may change the
// brush, the pen or the font).
using TzrComputeCanvasAttributes = TEvent<TObject*, TCanvas*>;
ZEN_EVENT_TYPE(TzrComputeCanvasAttributes)

// The message of a custom point line without a comma.
extern const char* const nvInvalidCustomPointsMessage;

// ---------------------------------------------------------------- outline geometry

// The closed outline of a polygon shape in a box of W x H pixels (W = Width - 1,
// H = Height - 1 of the button): the shape's points turned by the orientation,
// the first point repeated at the end. Empty for bsRoundRect and bsEllipse,
// and for bsCustom with fewer than 3 lines. For bsCustom, raises
// EInvalidOperation / EConvertError for a bad line (see the unit comment).
std::vector<TPoint> ShapeOutline(TnvButtonShape Shape, TnvShapeOrientation Orientation, int W, int H,
                                 const TStrings* PointList);
// One custom point line evaluated in a W x H box.
TPoint EvaluateCustomPoint(const String& Line, int W, int H);
// A point turned by the orientation in a W x H box: soRight one quarter turn
// clockwise, soDown two, soLeft three; each turn maps (x, y) to
// (W - W * y div H, H * x div W). Unchanged when W or H is not positive.
TPoint TurnPoint(TPoint P, TnvShapeOrientation Orientation, int W, int H);

// ---------------------------------------------------------------- TnvCustomShapeBtn

// One edge of a polygon outline for its bevel: lit edges face up or left
// (the inside is below or right of them); Step points one pixel inwards.
struct TnvBevelEdge {
    TPoint A, B;
    bool Lit = false;
    TPoint Step;
};

class TnvCustomShapeBtn : public TnvCustomImageBtn {
    Q_OBJECT
public:
    explicit TnvCustomShapeBtn(TComponent* AOwner = nullptr);
    ~TnvCustomShapeBtn() override;

    TnvButtonShape Shape() const { return FShape; }
    void SetShape(TnvButtonShape Value);
    TnvShapeOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TnvShapeOrientation Value);
    int RoundRectBias() const { return FRoundRectBias; }
    void SetRoundRectBias(int Value);
    // Changing the lines in place rebuilds the outline as assigning does.
    TStrings* PointList() const { return FPointList.get(); }
    void SetPointList(TStrings* Value);

    TzrComputeCanvasAttributes OnComputeCanvasAttributes;

    // The points of the closed outline in the button's pixels (see
    // ShapeOutline) and their count; 0 for the round shapes. Kept until the
    // size or the outline's settings change. A bad custom list sets Shape to
    // bsRect and raises.
    int GetOutline(std::vector<TPoint>& Points);
    // Blue ($FF0000) when the resolved Color is pure red, otherwise red: the
    // colour of the pixels outside the shape.
    TColor KeyColor() const;
    // The resolved Color; on a display that does not reproduce (192, 192, 192)
    // exactly, channels that are non-zero multiples of 8 are lowered by 1.
    TColor FaceColor() const;
    // The larger of width and height becomes both.
    void SquareButton();

    // ---- overrides of the base's operations
    QRegion CreateRegion(bool Build, bool Down) override;
    // Region mode (RegionMode != 0) paints the shape without bevel.
    void DrawFace(TnvBitmap* Bitmap, int RegionMode, bool Pressed, TnvShadeStyle Style) override;
    bool HasRegionData() const override { return false; }
    bool UseRegion() const override { return true; }
    bool IsShaped() override { return false; }
    void ApplyRegion() override;
    void PaintButton() override;

    // ---- own virtual operations, in slot order
    virtual void ComputeCanvasAttributes(TCanvas* Canvas);
    virtual bool IsRoundShape() const;

    // Number of outlines (points of a shape) computed, and of window regions
    // painted and scanned: for checking what is cached.
    int OutlineBuildCount() const { return FOutlineBuildCount; }
    int RegionBuildCount() const { return FRegionBuildCount; }

    void Loaded() override;

protected:
    void AssignTo(TPersistent* Dest) override;

    // Draws the bevel lines along the closed polygon Points.
    void DrawPolygonBevel(TCanvas* Canvas, const std::vector<TPoint>& Points, bool Pressed);
    // The bevel edges of Points (kept with the cached outline).
    const std::vector<TnvBevelEdge>& BevelEdges(const std::vector<TPoint>& Points);
    // The outline's settings changed: drop what was built and build anew.
    void OutlineChanged();

private:
    // The outline of the current settings, from the cache when it is valid.
    const std::vector<TPoint>& Outline();
    // Paints the face; on a bad custom list falls back to bsRect, keeps
    // the error to report and paints the rectangle.
    void PaintFace(TnvBitmap* Bitmap, bool RegionMode, bool Pressed, TnvShadeStyle Style);
    void PaintFaceOnce(TnvBitmap* Bitmap, bool RegionMode, bool Pressed, TnvShadeStyle Style);
    void DrawThemedFace(TnvBitmap* Bitmap, bool Pressed);
    // Hands a kept error on: raised when a setter runs, otherwise shown by the
    // application's exception display after the current event.
    void ReportOutlineError();

    TnvButtonShape FShape = bsRect;
    TnvShapeOrientation FOrientation = soUp;
    int FRoundRectBias = 25;
    std::unique_ptr<TStringList> FPointList;
    std::unique_ptr<TnvBitmap> FRegionScratch;

    std::vector<TPoint> FOutline;
    std::vector<TPoint> FDrawOutline; // FOutline clipped to a margin around the box
    bool FOutlineValid = false;
    int FOutlineW = -1;
    int FOutlineH = -1;
    int FOutlineBuildCount = 0;
    std::vector<TnvBevelEdge> FBevelEdges;
    bool FBevelValid = false;
    int FRegionBuildCount = 0;

    std::exception_ptr FOutlineError;
    int FRaiseOutlineErrors = 0;
    friend struct TRaiseOutlineErrors;
};

// ---------------------------------------------------------------- TnvShapeBtn

// RoundRectBias and Color are written whatever their value (their values at
// creation, 25 and clBtnFace, are not the defaults other readers assume), and
// so are the image button's DitherColor, DitherStyle, TransparentColor and
// ParentClipping.
class TnvShapeBtn : public TnvCustomShapeBtn {
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "RoundRectBias, Color, DitherColor, DitherStyle, TransparentColor, ParentClipping")
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
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TBitmap* Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(ButtonsTypes::TBitBtnKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(ButtonsTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(TnvImgDownOffsets* Offsets READ ImgOffsets WRITE SetImgOffsets)
    Q_PROPERTY(nvButtonTypes::TnvButtonOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(nvShapeBtnTypes::TnvShapeOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool ParentClipping READ ParentClipping WRITE SetParentClipping)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TStrings* PointList READ PointList WRITE SetPointList)
    Q_PROPERTY(int RoundRectBias READ RoundRectBias WRITE SetRoundRectBias)
    Q_PROPERTY(TnvShadeColors* ShadeColors READ ShadeColors WRITE SetShadeColors)
    Q_PROPERTY(nvButtonTypes::TnvShadeStyle ShadeStyle READ ShadeStyle WRITE SetShadeStyle)
    Q_PROPERTY(nvShapeBtnTypes::TnvButtonShape Shape READ Shape WRITE SetShape)
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
    Q_PROPERTY(TzrComputeCanvasAttributes OnComputeCanvasAttributes MEMBER OnComputeCanvasAttributes)
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
    Q_INVOKABLE explicit TnvShapeBtn(TComponent* AOwner = nullptr) : TnvCustomShapeBtn(AOwner) {}
};

// Registers the shape button with the class registry (done at start-up).
void RegisterShapeBtnClasses();
