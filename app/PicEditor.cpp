#include "PicEditor.h"

#include "nvBitmap.h"

const char* const TnvPicEditor::FileFilter =
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
    "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

TnvPicEditor::TnvPicEditor(TComponent* AOwner) : TForm(AOwner), FPicture(std::make_unique<TPicture>()) {}

TnvPicEditor::~TnvPicEditor() = default;

void TnvPicEditor::Loaded()
{
    TForm::Loaded();
    Preview = CheckedCast<TPaintBox>(FindComponent("Preview"));
    SizeLabel = CheckedCast<TLabel>(FindComponent("SizeLabel"));
    OpenDialog = CheckedCast<TOpenDialog>(FindComponent("OpenDialog"));
    SaveDialog = CheckedCast<TSaveDialog>(FindComponent("SaveDialog"));
    SaveButton = CheckedCast<TButton>(FindComponent("SaveButton"));
    ClearButton = CheckedCast<TButton>(FindComponent("ClearButton"));
    OpenDialog->SetFilter(FileFilter);
    SaveDialog->SetFilter(FileFilter);
    PictureChanged();
}

void TnvPicEditor::SetPictureFrom(TPicture* Source)
{
    FPicture->Assign(Source);
    PictureChanged();
}

static bool PictureEmpty(const TPicture* Picture)
{
    return !Picture->Graphic() || Picture->Graphic()->Empty();
}

void TnvPicEditor::PictureChanged()
{
    if (!Preview)
        return;
    const bool Empty = PictureEmpty(FPicture.get());
    SaveButton->SetEnabled(!Empty);
    ClearButton->SetEnabled(!Empty);
    SizeLabel->SetCaption(Empty ? String("No picture")
                                : IntToStr(FPicture->Width()) + " x " + IntToStr(FPicture->Height()) + " pixels");
    Preview->Invalidate();
}

TRect TnvPicEditor::PreviewRect(const TRect& Area, int PictureWidth, int PictureHeight)
{
    const int AW = Area.Width(), AH = Area.Height();
    int W = PictureWidth, H = PictureHeight;
    if (W <= 0 || H <= 0 || AW <= 0 || AH <= 0)
        return TRect(Area.Left, Area.Top, Area.Left, Area.Top);
    if (W > AW || H > AH) {
        // The side that overflows more fills the area; the other follows.
        if (static_cast<int64_t>(W) * AH >= static_cast<int64_t>(H) * AW) {
            H = static_cast<int>(static_cast<int64_t>(H) * AW / W);
            W = AW;
        } else {
            W = static_cast<int>(static_cast<int64_t>(W) * AH / H);
            H = AH;
        }
        W = std::max(W, 1);
        H = std::max(H, 1);
    }
    const int L = Area.Left + (AW - W) / 2, T = Area.Top + (AH - H) / 2;
    return TRect(L, T, L + W, T + H);
}

void TnvPicEditor::PreviewPaint(TObject*)
{
    TCanvas* C = Preview->Canvas();
    const TRect Area(0, 0, Preview->Width(), Preview->Height());
    C->Brush()->SetColor(clWindow);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(Area);
    if (PictureEmpty(FPicture.get())) {
        const String None = "(None)";
        C->Font()->Assign(Preview->Font());
        C->Brush()->SetStyle(bsClear);
        C->TextOut((Area.Width() - C->TextWidth(None)) / 2, (Area.Height() - C->TextHeight(None)) / 2, None);
        return;
    }
    const TRect R = PreviewRect(TRect(4, 4, Area.Right - 4, Area.Bottom - 4), FPicture->Width(), FPicture->Height());
    if (R.Width() == FPicture->Width() && R.Height() == FPicture->Height())
        C->Draw(R.Left, R.Top, FPicture->Graphic());
    else
        C->StretchDraw(R, FPicture->Graphic());
}

void TnvPicEditor::LoadButtonClick(TObject*)
{
    if (!OpenDialog->Execute())
        return;
    FPicture->LoadFromFile(OpenDialog->FileName());
    PictureChanged();
}

void TnvPicEditor::SaveButtonClick(TObject*)
{
    if (PictureEmpty(FPicture.get()))
        return;
    if (!SaveDialog->Execute())
        return;
    FPicture->SaveToFile(SaveDialog->FileName());
}

void TnvPicEditor::ClearButtonClick(TObject*)
{
    FPicture->SetGraphic(nullptr);
    PictureChanged();
}

void TnvPicEditor::HelpButtonClick(TObject*)
{
    ShowMessage("Load... reads a bitmap or a JPEG picture from a file, Save... writes the picture to a file "
                "and Clear removes it. OK hands the picture to the imager; Cancel leaves the imager as it was.");
}

bool TnvPicEditor::Execute(TPicture* Picture)
{
    std::unique_ptr<TnvPicEditor> Editor(
        CheckedCast<TnvPicEditor>(CreateFormInstance(ClassOf<TnvPicEditor>(), Application)));
    Editor->SetPictureFrom(Picture);
    if (Editor->ShowModal() != mrOk)
        return false;
    Picture->Assign(Editor->Picture());
    return true;
}

bool TnvPicEditor::Execute(TnvBitmap* Bitmap)
{
    TPicture Copy;
    if (!Bitmap->Empty())
        Copy.Bitmap()->Assign(Bitmap);
    if (!Execute(&Copy))
        return false;
    if (PictureEmpty(&Copy))
        Bitmap->Assign(nullptr);
    else
        Bitmap->Assign(Copy.Graphic());
    return true;
}
