// The shape button demonstration: every shape, the four orientations, shade
// styles and colours, glyphs and caption effects, and hot tracking, on the
// pages of a page control that "Prev" and "Next" step through.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "nvColorCombo.h"
#include "nvShapeBtn.h"

class TShapeBtnDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TShapeBtnDemoForm(TComponent* AOwner = nullptr);

    TPageControl* PageControl1 = nullptr;
    TRadioGroup* OrientationRadioGroup = nullptr;
    TnvShapeBtn* OrientedArrow = nullptr;
    TnvShapeBtn* LButtons[3] = {};
    TnvShapeBtn* HotButton = nullptr;
    TnvColorCombo* ColourCombo = nullptr;
    TnvShapeBtn* ColourSample = nullptr;

    // The page before or after the open one (wrapping around).
    Q_INVOKABLE void PrevButtonClick(TObject* Sender);
    Q_INVOKABLE void NextButtonClick(TObject* Sender);
    // Turns the L buttons and the arrow; the L buttons stack in a column
    // while they point up or down and in a row while they point sideways.
    Q_INVOKABLE void OrientationRadioGroupClick(TObject* Sender);
    // The hot-tracking button turns red under the mouse and back to the
    // button face when the mouse leaves.
    Q_INVOKABLE void HotButtonMouseEnter(TObject* Sender);
    Q_INVOKABLE void HotButtonMouseLeave(TObject* Sender);
    // Other buttons colour their caption while the mouse is over them.
    Q_INVOKABLE void FontButtonMouseEnter(TObject* Sender);
    Q_INVOKABLE void FontButtonMouseLeave(TObject* Sender);
    // The sample button takes the picked colour with shades to match.
    Q_INVOKABLE void ColourComboChange(TObject* Sender);

    void Loaded() override;

    // The orientations of the radio group's entries, in order.
    static constexpr TnvShapeOrientation Orientations[4] = {soUp, soDown, soLeft, soRight};
    // Where L button Index (0 to 2) lies for an orientation.
    static TRect LButtonBounds(int Index, TnvShapeOrientation Orientation);
};
