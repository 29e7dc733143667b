// The imager demonstration: the effect controls set the imager's properties
// their names give, the check list writes the Boolean options in one update,
// hints come from the hidden memo, the draw-style combo sets the draw style,
// "Restore Defaults" brings back the first-show state, and the picture
// editor loads, saves and clears a copy that the imager takes only on OK.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "AppTestSupport.h"
#include "DemoInput.h"
#include "ImagerDemo.h"
#include "PicEditor.h"
#include "TestDump.h"
#include "nvChangeLink.h"

namespace {

std::unique_ptr<TImagerForm> MakeForm()
{
    InitApplication();
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    std::unique_ptr<TImagerForm> Form(
        CheckedCast<TImagerForm>(CreateFormInstance(ClassOf<TImagerForm>(), Application)));
    Form->Show();
    return Form;
}

template <class T>
T* Find(TForm* Form, const String& Name)
{
    return CheckedCast<T>(Form->FindComponent(Name));
}

// Replaces the text of an edit by typing: select all, then the characters.
void TypeText(TCustomEdit* Edit, const String& Text)
{
    Edit->SetFocus();
    QLineEdit* Line = Edit->LineEdit();
    TypeKey(Line, Qt::Key_A, Qt::ControlModifier);
    TypeKey(Line, Qt::Key_Backspace);
    for (char Ch : Text) {
        int Key = Ch;
        if (Ch >= 'a' && Ch <= 'z')
            Key = Qt::Key_A + (Ch - 'a');
        TypeKey(Line, Key, Qt::NoModifier, QString(QChar(Ch)));
    }
}

void ClickControl(TControl* Control)
{
    ClickAt(Control, QPoint(Control->Width() / 2, Control->Height() / 2));
}

// Runs Body on the modal picture editor once it shows; Body ends it.
void WhenEditorShows(std::function<void(TnvPicEditor*)> Body)
{
    auto Poll = std::make_shared<std::function<void()>>();
    *Poll = [Poll, Body] {
        auto* Editor = dynamic_cast<TnvPicEditor*>(QApplication::activeModalWidget());
        if (!Editor) {
            QTimer::singleShot(5, *Poll);
            return;
        }
        Body(Editor);
        *Poll = nullptr;
    };
    QTimer::singleShot(5, *Poll);
}

// A 24-bit bitmap of the given size and colour, written to a file.
String WriteBitmap(const QString& Dir, const char* Name, int W, int H, TColor Colour)
{
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(Colour);
    B.Canvas()->FillRect(TRect(0, 0, W, H));
    const String File = FromQString(QDir(Dir).filePath(Name));
    B.SaveToFile(File);
    return File;
}

TEST(ImagerDemoTest, TrackBarsSetTheIntegerEffectTheirNamesGive)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Imager Demo");
    TnvBitmapOptions* Options = Form->Imager1->BitmapOptions();
    for (const char* Name : {"Lightness", "Contrast", "Sponge", "GaussianBlur", "Saturation", "Sharpen"}) {
        SCOPED_TRACE(Name);
        auto* Track = Find<TnvTrackBar>(Form.get(), String("Track_") + Name);
        Track->SetFocus();
        const double Before = Track->Position();
        TypeKey(Track, Qt::Key_PageDown);
        EXPECT_GT(Track->Position(), Before);
        EXPECT_EQ(GetOrdPropByName(Options, Name), static_cast<int>(Track->Position()));
        TypeKey(Track, Qt::Key_Right);
        EXPECT_EQ(GetOrdPropByName(Options, Name), static_cast<int>(Track->Position()));
        for (int I = 0; I < 20; ++I)
            TypeKey(Track, Qt::Key_PageUp);
        EXPECT_EQ(GetOrdPropByName(Options, Name), static_cast<int>(Track->Min()));
    }
}

TEST(ImagerDemoTest, EditsAndCheckBoxesSetRotationWaveAndBlend)
{
    auto Form = MakeForm();
    TnvBitmapOptions* Options = Form->Imager1->BitmapOptions();
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_Angle"), "45");
    EXPECT_EQ(Options->Rotation()->Angle(), 45);
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_X"), "12");
    EXPECT_EQ(Options->Rotation()->CenterX(), 12);
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_Y"), "7");
    EXPECT_EQ(Options->Rotation()->CenterY(), 7);
    // Not a number: 0.
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_Angle"), "abc");
    EXPECT_EQ(Options->Rotation()->Angle(), 0);

    TypeText(Find<TEdit>(Form.get(), "edit_Wave_Ratio"), "6");
    TypeText(Find<TEdit>(Form.get(), "edit_Wave_XDiv"), "3");
    TypeText(Find<TEdit>(Form.get(), "edit_Wave_YDiv"), "2");
    EXPECT_EQ(Options->Wave()->Ratio(), 6);
    EXPECT_EQ(Options->Wave()->XDiv(), 3);
    EXPECT_EQ(Options->Wave()->YDiv(), 2);
    auto* Wrap = Find<TCheckBox>(Form.get(), "checkbox_Wave_Wrap");
    ClickControl(Wrap);
    EXPECT_TRUE(Wrap->Checked());
    EXPECT_TRUE(Options->Wave()->Wrap());

    TnvAlphaBlend* Blend = Options->AlphaBlend();
    ASSERT_FALSE(Blend->Bitmap()->Empty());
    ClickControl(Form->checkbox_AlphaBlend_Transparent);
    EXPECT_TRUE(Blend->Transparent());
    auto* Amount = Find<TEdit>(Form.get(), "edit_AlphaBlend_Amount");
    TypeText(Amount, "128");
    EXPECT_EQ(Blend->Amount(), 128);
    EXPECT_TRUE(Blend->Bitmap()->Transparent());
    // The amount is a byte: what lies beyond is taken at the limit.
    TypeText(Amount, "300");
    EXPECT_EQ(Blend->Amount(), 255);
    DumpPng(Form->grab().toImage(), "imager-demo-effects");
}

TEST(ImagerDemoTest, CheckListWritesAllOptionsInOneUpdateAndShowsMemoHints)
{
    auto Form = MakeForm();
    TCheckListBox* List = Form->OptionsList;
    ASSERT_EQ(List->Items()->Count(), 8);
    // On show the list reads the options: PreProcess is on, the others off.
    for (int I = 0; I < 8; ++I)
        EXPECT_EQ(List->Checked(I), I == 5) << I;

    int Changes = 0;
    TnvChangeLink Link;
    Link.OnChange = [&](TObject*) { ++Changes; };
    Form->Imager1->RegisterChanges(&Link);
    QWidget* Viewport = List->ListWidget()->viewport();
    auto CheckBoxOf = [&](int I) {
        const TRect R = List->ItemRect(I);
        return QPoint(R.Left + 8, (R.Top + R.Bottom) / 2);
    };
    ClickAt(Viewport, CheckBoxOf(1)); // Grayscale
    EXPECT_TRUE(List->Checked(1));
    EXPECT_TRUE(Form->Imager1->BitmapOptions()->GrayScale());
    EXPECT_EQ(Changes, 1);
    ClickAt(Viewport, CheckBoxOf(2)); // Horizontally Flipped
    EXPECT_TRUE(Form->Imager1->BitmapOptions()->HorizontallyFlipped());
    ClickAt(Viewport, CheckBoxOf(6)); // SmoothStretching, of the imager
    EXPECT_TRUE(Form->Imager1->SmoothStretching());
    ClickAt(Viewport, CheckBoxOf(1));
    EXPECT_FALSE(Form->Imager1->BitmapOptions()->GrayScale());
    Form->Imager1->UnregisterChanges(&Link);

    for (int I : {3, 0, 7}) {
        const TRect R = List->ItemRect(I);
        MouseMove(Viewport, QPoint(R.Left + 40, (R.Top + R.Bottom) / 2));
        EXPECT_EQ(List->Hint(), Form->HintMemo->Lines()->Strings(I)) << I;
    }
    EXPECT_FALSE(Form->HintMemo->Visible());
}

TEST(ImagerDemoTest, DrawStyleComboSetsTheDrawStyleNamedByItsText)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->DrawStyleCombo->Text(), "Center");
    EXPECT_EQ(Form->Imager1->DrawStyle(), dsCenter);
    const TnvImagerDrawStyle Expected[] = {nvImagerTypes::dsNormal, dsProportional, dsStretch, dsTile};
    Form->DrawStyleCombo->SetFocus();
    for (TnvImagerDrawStyle Style : Expected) {
        TypeKey(Form->DrawStyleCombo->ComboBox(), Qt::Key_Down);
        EXPECT_EQ(Form->Imager1->DrawStyle(), Style) << Form->DrawStyleCombo->Text();
    }
}

TEST(ImagerDemoTest, RestoreDefaultsBringsBackTheFirstShowState)
{
    auto Form = MakeForm();
    ASSERT_TRUE(Form->HasDefaults());
    TnvBitmapOptions* Options = Form->Imager1->BitmapOptions();
    auto* Lightness = Find<TnvTrackBar>(Form.get(), "Track_Lightness");
    auto* Saturation = Find<TnvTrackBar>(Form.get(), "Track_Saturation");
    Lightness->SetFocus();
    for (int I = 0; I < 20; ++I)
        TypeKey(Lightness, Qt::Key_PageDown);
    Saturation->SetFocus();
    for (int I = 0; I < 20; ++I)
        TypeKey(Saturation, Qt::Key_PageDown);
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_Angle"), "30");
    ClickControl(Find<TCheckBox>(Form.get(), "checkbox_Wave_Wrap"));
    const TRect R = Form->OptionsList->ItemRect(3);
    ClickAt(Form->OptionsList->ListWidget()->viewport(), QPoint(R.Left + 8, (R.Top + R.Bottom) / 2));
    ASSERT_TRUE(Options->Inverted());
    Form->DrawStyleCombo->SetFocus();
    TypeKey(Form->DrawStyleCombo->ComboBox(), Qt::Key_Down);
    Form->combo_Color->SetFocus();
    TypeKey(Form->combo_Color->LineEdit(), Qt::Key_Down);
    ASSERT_NE(Options->Color(), clNone);
    ASSERT_EQ(Options->Lightness(), 100);

    ClickControl(Find<TButton>(Form.get(), "RestoreDefaultsButton"));
    EXPECT_EQ(Lightness->Position(), 0);
    EXPECT_EQ(Saturation->Position(), -1);
    EXPECT_EQ(Options->Lightness(), 0);
    EXPECT_EQ(Options->Saturation(), -1);
    EXPECT_EQ(Find<TEdit>(Form.get(), "edit_Rotation_Angle")->Text(), "0");
    EXPECT_EQ(Options->Rotation()->Angle(), 0);
    EXPECT_FALSE(Find<TCheckBox>(Form.get(), "checkbox_Wave_Wrap")->Checked());
    EXPECT_FALSE(Options->Wave()->Wrap());
    EXPECT_FALSE(Options->Inverted());
    EXPECT_FALSE(Form->OptionsList->Checked(3));
    EXPECT_TRUE(Form->OptionsList->Checked(5));
    EXPECT_EQ(Form->DrawStyleCombo->Text(), "Center");
    EXPECT_EQ(Form->Imager1->DrawStyle(), dsCenter);
    EXPECT_EQ(Form->combo_Color->SelectedColor(), clNone);
    EXPECT_EQ(Options->Color(), clNone);
    EXPECT_EQ(Form->Imager1->Picture()->Width(), 240);
    // The window still works afterwards, and restores again.
    TypeText(Find<TEdit>(Form.get(), "edit_Rotation_Angle"), "15");
    EXPECT_EQ(Options->Rotation()->Angle(), 15);
    ClickControl(Find<TButton>(Form.get(), "RestoreDefaultsButton"));
    EXPECT_EQ(Options->Rotation()->Angle(), 0);
}

TEST(ImagerDemoTest, PreviewFitsLargePicturesInProportion)
{
    const TRect Area(0, 0, 100, 80);
    struct TCase {
        int W, H;
        TRect Expected;
    } Cases[] = {
        {50, 40, TRect(25, 20, 75, 60)},   // fits: its own size, centred
        {100, 80, TRect(0, 0, 100, 80)},   // exactly the area
        {200, 80, TRect(0, 20, 100, 60)},  // too wide: the width fills
        {100, 160, TRect(25, 0, 75, 80)},  // too high: the height fills
        {120, 60, TRect(0, 15, 100, 65)},  // only wider than the area
        {40, 400, TRect(46, 0, 54, 80)},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::to_string(C.W) + "x" + std::to_string(C.H));
        EXPECT_EQ(TnvPicEditor::PreviewRect(Area, C.W, C.H), C.Expected);
    }
}

TEST(ImagerDemoTest, PictureEditorLoadsSavesClearsAndAssignsOnlyOnOk)
{
    auto Form = MakeForm();
    QTemporaryDir Dir;
    const String Small = WriteBitmap(Dir.path(), "small.bmp", 64, 32, clRed);
    const String SaveTo = FromQString(QDir(Dir.path()).filePath("saved.bmp"));
    String FilterSeen;
    String NextFile;
    TDialogExecutor Old = SetDialogExecutor([&](TCommonDialog& D) {
        auto& Open = dynamic_cast<TOpenDialog&>(D);
        FilterSeen = Open.Filter();
        Open.SetFileName(NextFile);
        return true;
    });
    TPicture* Picture = Form->Imager1->Picture();
    ASSERT_EQ(Picture->Width(), 240);

    // Load, then Cancel: the imager keeps its picture.
    NextFile = Small;
    WhenEditorShows([&](TnvPicEditor* E) {
        EXPECT_EQ(E->Caption(), "Picture Editor");
        EXPECT_EQ(E->Picture()->Width(), 240);
        ClickControl(Find<TButton>(E, "LoadButton"));
        EXPECT_EQ(E->Picture()->Width(), 64);
        ClickControl(Find<TButton>(E, "CancelButton"));
    });
    ClickAt(Form->Imager1, QPoint(100, 100));
    EXPECT_EQ(FilterSeen, "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
                          "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(Picture->Width(), 240);

    // Load, then OK: the imager takes it.
    WhenEditorShows([&](TnvPicEditor* E) {
        ClickControl(Find<TButton>(E, "LoadButton"));
        ClickControl(Find<TButton>(E, "OkButton"));
    });
    ClickAt(Form->Imager1, QPoint(10, 10));
    EXPECT_EQ(Picture->Width(), 64);
    EXPECT_EQ(Picture->Height(), 32);

    // Save writes the picture; Clear empties the preview ("(None)"); OK
    // leaves the imager without a picture.
    NextFile = SaveTo;
    WhenEditorShows([&](TnvPicEditor* E) {
        ClickControl(Find<TButton>(E, "SaveButton"));
        ClickControl(Find<TButton>(E, "ClearButton"));
        EXPECT_EQ(E->Picture()->Graphic(), nullptr);
        EXPECT_EQ(E->SizeLabel->Caption(), "No picture");
        EXPECT_FALSE(E->SaveButton->Enabled());
        DumpPng(E->grab().toImage(), "imager-demo-piceditor-none");
        ClickControl(Find<TButton>(E, "OkButton"));
    });
    ClickAt(Form->Imager1, QPoint(10, 10));
    EXPECT_TRUE(!Picture->Graphic() || Picture->Graphic()->Empty());
    TPicture Saved;
    Saved.LoadFromFile(SaveTo);
    EXPECT_EQ(Saved.Width(), 64);
    EXPECT_EQ(Saved.Height(), 32);
    SetDialogExecutor(Old);
}

TEST(ImagerDemoTest, BlendButtonEditsTheBlendBitmap)
{
    auto Form = MakeForm();
    QTemporaryDir Dir;
    const String File = WriteBitmap(Dir.path(), "blend.bmp", 30, 20, clBlue);
    TDialogExecutor Old = SetDialogExecutor([&](TCommonDialog& D) {
        dynamic_cast<TOpenDialog&>(D).SetFileName(File);
        return true;
    });
    TnvBitmap* Blend = Form->Imager1->BitmapOptions()->AlphaBlend()->Bitmap();
    const int Width = Blend->Width();
    auto* Button = Find<TButton>(Form.get(), "BlendPictureButton");
    WhenEditorShows([&](TnvPicEditor* E) {
        EXPECT_EQ(E->Picture()->Width(), Width);
        ClickControl(Find<TButton>(E, "LoadButton"));
        ClickControl(Find<TButton>(E, "CancelButton"));
    });
    ClickControl(Button);
    EXPECT_EQ(Blend->Width(), Width);
    WhenEditorShows([&](TnvPicEditor* E) {
        ClickControl(Find<TButton>(E, "LoadButton"));
        ClickControl(Find<TButton>(E, "OkButton"));
    });
    ClickControl(Button);
    EXPECT_EQ(Blend->Width(), 30);
    EXPECT_EQ(Blend->Height(), 20);
    SetDialogExecutor(Old);
}

} // namespace
