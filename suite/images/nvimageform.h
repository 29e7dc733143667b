// The image form: a picture control that shapes the form it sits on to the
// picture's non-transparent pixels and lets the user drag the frameless form
// by a chosen caption-bar control (or by the bare picture).
//
// The window region is built once from the picture (UpdateRegion) or read
// from the stored "RegionData" and then kept: changing the picture, the
// transparent colour or the form's size at run time does not rebuild it.
// Saving the form rebuilds it first, so the stored region matches the
// picture. "RegionData" is a 32-bit little-endian byte count n followed by n
// bytes of the platform's region data (Regions.h); n = 0 means no region.
// Damaged region data gives no region: the form stays rectangular.
//
// Presses reach the form through an application-wide mouse hook shared by
// all image forms: a left press on the caption bar (or, without one, on the
// form itself) that does not land on a control with an OnClick or
// OnMouseDown handler is taken from the control and starts a drag. The drag
// follows the mouse with a dotted outline on the screen once it has moved
// more than DragTolerance pixels and moves the form when the button comes up.
// With ifUseWindowsDrag (and the desktop setting to drag full windows) the
// window system moves the form with its contents instead.
#pragma once

#include <QPointer>
#include <QRegion>

#include <optional>
#include <vector>

#include "Forms.h"
#include "nvImage.h"

class TStream;
class QWidget;

namespace nvImageFormTypes {
Q_NAMESPACE

enum TnvImageFormOption { ifUseWindowsDrag = 1, ifNoPaletteDither = 2 };
Q_DECLARE_FLAGS(TnvImageFormOptions, TnvImageFormOption)
Q_FLAG_NS(TnvImageFormOptions)

} // namespace nvImageFormTypes
using namespace nvImageFormTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvImageFormTypes::TnvImageFormOptions)

// ---------------------------------------------------------------- the screen's outline surface

// The screen as a surface for transient outlines, such as the frame that
// follows the mouse while a form is dragged. Focus rectangles drawn on it
// invert, so drawing the same rectangle a second time removes it. Each
// outline shows in a small frameless window above all others that takes no
// input; its mask is the outline itself.
class TnvScreenOutline {
public:
    TnvScreenOutline();
    ~TnvScreenOutline();
    TnvScreenOutline(const TnvScreenOutline&) = delete;
    TnvScreenOutline& operator=(const TnvScreenOutline&) = delete;

    // Inverts the dotted outline of R (screen coordinates): it appears, or
    // disappears when it is on the screen already.
    void DrawFocusRect(const TRect& R);
    // The focus rectangles on the screen now, in the order drawn.
    const std::vector<TRect>& Rects() const { return FRects; }
    // The window that shows the outlines (null while there is none).
    QWidget* Window() const;

private:
    void Refresh();
    std::vector<TRect> FRects;
    QPointer<QWidget> FWindow;
};

// The outline surface shared by everything that draws on the screen.
TnvScreenOutline& ScreenOutline();

// Whether the desktop shows window contents while a window is dragged
// (the setting that ifUseWindowsDrag follows). On by default.
bool DragFullWindows();
void SetDragFullWindows(bool Value);

class TnvCustomImageForm;

// What the mouse hook decides for a left press: the image form that starts a
// drag and the press point in the form's client coordinates.
struct TnvFormDragStart {
    TnvCustomImageForm* Control = nullptr;
    TPoint FormPoint;
};

// The hook's decision for a left press at ScreenPos on the window of the
// windowed control W (may be null) while Form is the form in question: the
// first image form among Form's children that accepts the press, or none.
std::optional<TnvFormDragStart> FindFormDragStart(TCustomForm* Form, TWinControl* W, TPoint ScreenPos);

// ---------------------------------------------------------------- TnvCustomImageForm

class TnvCustomImageForm : public TnvCustomImage {
    Q_OBJECT
public:
    explicit TnvCustomImageForm(TComponent* AOwner = nullptr);
    ~TnvCustomImageForm() override;

    // Takes the picture and gives the parent form the picture's size as its
    // client size. Does not rebuild the region.
    void SetPicture(TPicture* Value) override;
    TControl* CaptionBarControl() const { return FCaptionBarControl; }
    void SetCaptionBarControl(TControl* Value);
    int DragTolerance() const { return FDragTolerance; }
    void SetDragTolerance(int Value) { FDragTolerance = Value; }
    // clNone: the colour of the picture's bottom-left pixel.
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value) { FTransparentColor = Value; }
    TnvImageFormOptions Options() const { return FOptions; }
    void SetOptions(TnvImageFormOptions Value) { FOptions = Value; }

    // The region the form is shaped to (empty: none).
    const QRegion& Region() const { return FRegion; }
    // The colour that lies outside the form: TransparentColor, or the
    // picture's bottom-left pixel for clNone (clNone for an empty picture or
    // one that is not a bitmap).
    TColor KeyColor() const;

    // A parent that is not a form is replaced by its form; the form loses
    // the clip-children style and its border.
    void SetParent(TWinControl* AParent) override;
    // With AutoSize, the parent form's client size follows the control's size.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void DefineProperties(TFiler* Filer) override;
    // A stored "RegionData" of n = 0 builds the region from the picture once
    // every property is read.
    void Loaded() override;

    // Rebuilds the region from the picture and the key colour and, at run
    // time, makes it the form's window region. Reuses the region when
    // neither the picture nor the key colour changed since it was built.
    virtual void UpdateRegion();

    // ---- dragging
    // Draws the drag frame: three focus rectangles, at R and at R inset by 1
    // and by 2, which a second drawing removes.
    virtual void DrawDragFrame(TnvScreenOutline& Screen, const TRect& R);
    // Starts a drag for a press at (X, Y) in the form's client coordinates;
    // returns when the drag is over.
    virtual void BeginFormDrag(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The drag loop: the form holds the mouse while the drag lasts; moves
    // and the release are handled, everything else is dispatched as usual.
    virtual void TrackFormDrag(int X, int Y);
    // A mouse move to Cursor (screen coordinates) during the drag.
    virtual void FormDragMove(TPoint Cursor);
    // The button came up: erases the frame and moves the form to it.
    virtual void FormDragEnd();
    // ifUseWindowsDrag is set and the desktop drags full windows.
    virtual bool UsesSystemDrag() const;

    // A frame is on the screen.
    bool Dragging() const { return FDragging; }
    // The last frame rectangle (screen coordinates).
    const TRect& FrameRect() const { return FFrameRect; }

    // Shared by all image forms: the mouse hook is installed while at least
    // one image form exists at run time.
    static bool HookInstalled();
    static int InstanceCount();

protected:
    void Paint() override;
    void HandlePictureChange(TObject* Sender) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ReadRegionData(TStream& Stream);
    void WriteRegionData(TStream& Stream);

private:
    static bool MouseHook(const TMouseHookInfo& Info);
    void BeginTracking(int X, int Y, bool Live);

    TControl* FCaptionBarControl = nullptr;
    int FDragTolerance = 5;
    TColor FTransparentColor = clNone;
    TnvImageFormOptions FOptions;
    QRegion FRegion;

    // What the held region was built from, so an unchanged picture is not
    // scanned twice.
    bool FRegionFromPicture = false;
    uint64_t FRegionPictureStamp = 0;
    TColor FRegionKey = clNone;
    uint64_t FPictureStamp = 0;
    bool FRegionPending = false; // UpdateRegion once loading is over
    bool FCounted = false;       // counted among the instances that keep the hook

    // Drag state.
    bool FDragging = false;
    bool FFirstMove = false;
    bool FLiveDrag = false;
    TRect FFrameRect;
    TPoint FPressPoint;  // client coordinates of the form
    TPoint FPressScreen; // the same point on the screen
};

class TnvImageForm : public TnvCustomImageForm {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_CLASSINFO("AlwaysStored", "DragTolerance")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TControl* CaptionBarControl READ CaptionBarControl WRITE SetCaptionBarControl)
    Q_PROPERTY(int DragTolerance READ DragTolerance WRITE SetDragTolerance)
    Q_PROPERTY(nvImageFormTypes::TnvImageFormOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(TPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TnvImageForm(TComponent* AOwner = nullptr) : TnvCustomImageForm(AOwner) {}
};

// Registers the image form's classes for form files (done once when the
// program starts; calling it again does nothing).
void RegisterImageFormClasses();
