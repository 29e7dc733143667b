// The picture control: shows a TPicture at its natural size in its top-left
// corner. On displays of 8 bits per pixel or fewer bitmaps are drawn through
// a palette-aware TnvBitmap; everywhere else the graphic draws itself.
#pragma once

#include <memory>

#include "Controls.h"
#include "Pictures.h"

class TnvCustomImage : public TGraphicControl {
    Q_OBJECT
public:
    explicit TnvCustomImage(TComponent* AOwner = nullptr);
    ~TnvCustomImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    virtual void SetPicture(TPicture* Value);
    // True: the control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    // The canvas of the picture's bitmap (this hides the paint canvas of
    // TGraphicControl, which Paint reaches as TGraphicControl::Canvas()). An
    // empty picture first gets a framework bitmap of the control's size; any
    // other kind of graphic raises EInvalidOperation "Can only modify an
    // image if it contains a bitmap".
    TCanvas* Canvas();

    // True while Paint runs.
    bool Drawing() const { return FDrawing; }

protected:
    // Draws the picture at its natural size at (0, 0); nothing for a picture
    // without width. At design time a dashed frame goes around the control.
    void Paint() override;
    // The picture's change notification: sizes the control (AutoSize), gives
    // the graphic the transparent flag, marks the control opaque when an
    // opaque graphic covers it, and invalidates unless painting.
    virtual void HandlePictureChange(TObject* Sender);
    // Bits per pixel of the display the control paints on. Displays of 8
    // bits or fewer take the palette path of Paint.
    virtual int DisplayBitsPerPixel() const;

    // Given to the picture's graphic on every picture change (icons keep
    // their own transparency); not published.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Set for good once: Paint never takes the palette path.
    bool NoDither() const { return FNoDither; }
    void SetNoDither() { FNoDither = true; }

private:
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FTransparent = false;
    bool FDrawing = false;
    bool FNoDither = false;
};
