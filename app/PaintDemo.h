// The paint program: an outlook bar holds the palettes (tools, pen styles,
// brush styles) as outlook lists, two colour combos choose the pen and brush
// colours, and dragging on the paper draws the figure with a rubber band in
// the not-XOR pen mode, finally in the copy mode. The first activation
// opens the information window "Outlook Bars!".
#pragma once

#include <memory>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Pictures.h"
#include "StdCtrls.h"
#include "nvColorCombo.h"
#include "nvOutlookBar.h"
#include "nvOutlookList.h"

// The information window of the paint program.
class TInfoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TInfoForm(TComponent* AOwner = nullptr);
    Q_INVOKABLE void OkButtonClick(TObject* Sender);
};

class TPaintForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPaintForm(TComponent* AOwner = nullptr);
    ~TPaintForm() override;

    // The figures the tools draw, by the Tag of the tool list's items.
    enum TPaintTool { ptLine, ptRectangle, ptEllipse, ptRoundRect };

    TnvOutlookBar* PaletteBar = nullptr;
    TnvOutlookList* ToolList = nullptr;
    TnvOutlookList* PenList = nullptr;
    TnvOutlookList* BrushList = nullptr;
    TnvColorCombo* PenColorCombo = nullptr;
    TnvColorCombo* BrushColorCombo = nullptr;
    TPaintBox* PaintBox = nullptr;
    // The information window, once the form has been activated.
    TInfoForm* InfoForm = nullptr;

    // The paper: what the paint box shows.
    TBitmap* Picture() const { return FPicture.get(); }
    bool Drawing() const { return FDrawing; }

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormActivate(TObject* Sender);
    Q_INVOKABLE void PaintBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBoxMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBoxMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBoxPaint(TObject* Sender);
    Q_INVOKABLE void ClearButtonClick(TObject* Sender);

    void Loaded() override;

private:
    // The Tag of the list's selected item (Default when none is selected).
    static int SelectedTag(TnvOutlookList* List, int Default);
    // Pen and brush from the combos and the lists.
    void PrepareCanvas();
    void DrawShape(TPoint From, TPoint To, TPenMode Mode);
    // The paper as large as the paint box; White clears it.
    void FitPicture(bool White);

    std::unique_ptr<TBitmap> FPicture;
    bool FDrawing = false;
    TPoint FOrigin;
    TPoint FMovePt;
};
