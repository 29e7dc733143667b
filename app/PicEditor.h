// The picture editor of the imager demonstration: a dialog that loads a
// picture from a file, saves it, clears it, and previews it; the caller's
// picture takes the edited one only when the dialog ends with OK.
#pragma once

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TnvBitmap;

class TnvPicEditor : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvPicEditor(TComponent* AOwner = nullptr);
    ~TnvPicEditor() override;

    // The open and save dialogs' filter.
    static const char* const FileFilter;

    TPaintBox* Preview = nullptr;
    TLabel* SizeLabel = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    TButton* SaveButton = nullptr;
    TButton* ClearButton = nullptr;

    // The picture being edited (a copy of the caller's).
    TPicture* Picture() const { return FPicture.get(); }

    // Runs the editor modally (the application owns it) on a copy of Picture;
    // on OK Picture takes the edited picture. Returns whether it ended with OK.
    static bool Execute(TPicture* Picture);
    // The same for a suite bitmap (the imager's blend bitmap).
    static bool Execute(TnvBitmap* Bitmap);

    // Where the preview draws the picture: the picture's own size when it
    // fits the area, else reduced in proportion so that its longer side
    // (relative to the area) fills it; centred in the area.
    static TRect PreviewRect(const TRect& Area, int PictureWidth, int PictureHeight);

    Q_INVOKABLE void LoadButtonClick(TObject* Sender);
    Q_INVOKABLE void SaveButtonClick(TObject* Sender);
    Q_INVOKABLE void ClearButtonClick(TObject* Sender);
    Q_INVOKABLE void HelpButtonClick(TObject* Sender);
    Q_INVOKABLE void PreviewPaint(TObject* Sender);

    void Loaded() override;
    // Takes a copy of Source as the picture being edited.
    void SetPictureFrom(TPicture* Source);

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
};
