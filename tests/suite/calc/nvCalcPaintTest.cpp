// The calculator's picture (panel frame, key faces, memory box, background
// picture behind transparent keys) and its stored form.
#include "nvCalcTestSupport.h"

#include <QDir>

#include "FormStream.h"
#include "nvCalcTestForm.h"

namespace {

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Col(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// The calculator's whole picture, keys included.
QImage Shot(TnvCalculator* Calc)
{
    return Calc->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Saves the picture for a look when ZEN_CALC_DUMP names a folder.
void Dump(const QImage& Image, const char* Name)
{
    const QByteArray Dir = qgetenv("ZEN_CALC_DUMP");
    if (!Dir.isEmpty())
        Image.save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString::fromLatin1(Name) + ".png"));
}

// Whether a rectangle of the picture holds a pixel of the colour.
bool Holds(const QImage& I, const TRect& R, QRgb C)
{
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            if (Rgb(I, X, Y) == C)
                return true;
    return false;
}

TRect KeyRect(TnvCalculator* Calc, TnvCalcButtonType T)
{
    return Calc->FindCalcButton(T)->BoundsRect();
}

TEST(nvCalcPaint, ShadingHelpers)
{
    EXPECT_EQ(CalcLighten(TColor(0x00FF8001)), TColor(0x00FFBF80));
    EXPECT_EQ(CalcDarken(TColor(0x00FF8001)), TColor(0x007F4000));
    // System colours are resolved first.
    const TColor Face = ColorToRGB(clBtnFace);
    EXPECT_EQ(CalcDarken(clBtnFace), CalcDarken(Face));
    EXPECT_EQ(CalcLighten(clWhite), clWhite);
    EXPECT_EQ(CalcDarken(clBlack), clBlack);
}

TEST(nvCalcPaint, PanelFrameAndKeyFaces)
{
    TCalcFixture F;
    TTestCalc* Calc = F.Calc;
    const QImage I = Shot(Calc);
    Dump(I, "calc-normal");
    ASSERT_EQ(I.width(), 250);
    const QRgb Face = Col(clBtnFace);
    const QRgb Light = Col(CalcLighten(clBtnFace));
    const QRgb Dark = Col(CalcDarken(clBtnFace));
    const QRgb White = Col(clWhite), Black = Col(clBlack);

    // One-ring frame: white top and left, black bottom and right.
    EXPECT_EQ(Rgb(I, 0, 0), White);
    EXPECT_EQ(Rgb(I, 125, 0), White);
    EXPECT_EQ(Rgb(I, 0, 100), White);
    EXPECT_EQ(Rgb(I, 249, 100), Black);
    EXPECT_EQ(Rgb(I, 125, 199), Black);
    EXPECT_EQ(Rgb(I, 249, 199), Black);
    EXPECT_EQ(Rgb(I, 1, 100), Face);
    EXPECT_EQ(Rgb(I, 2, 2), Face);

    // The raised face of "7" at (50, 69), 36 x 29.
    const TRect Seven = KeyRect(Calc, bt7);
    ASSERT_EQ(Seven, TRect(50, 69, 86, 98));
    EXPECT_EQ(Rgb(I, 50, 80), Light);  // outer left
    EXPECT_EQ(Rgb(I, 60, 69), Light);  // outer top
    EXPECT_EQ(Rgb(I, 51, 80), White);  // inner left
    EXPECT_EQ(Rgb(I, 60, 70), White);  // inner top
    EXPECT_EQ(Rgb(I, 85, 80), Black);  // outer right
    EXPECT_EQ(Rgb(I, 60, 97), Black);  // outer bottom
    EXPECT_EQ(Rgb(I, 84, 80), Dark);   // inner right
    EXPECT_EQ(Rgb(I, 60, 96), Dark);   // inner bottom
    EXPECT_EQ(Rgb(I, 53, 72), Face);   // face
    // Digits in blue, operators and "=" in red; the gap between keys is the panel.
    EXPECT_TRUE(Holds(I, Seven, Col(clBlue)));
    EXPECT_FALSE(Holds(I, Seven, Col(clRed)));
    EXPECT_TRUE(Holds(I, KeyRect(Calc, btEquals), Col(clRed)));
    EXPECT_FALSE(Holds(I, KeyRect(Calc, btEquals), Col(clBlue)));
    EXPECT_TRUE(Holds(I, KeyRect(Calc, btSqrt), Col(clBlue)));
    EXPECT_TRUE(Holds(I, KeyRect(Calc, btMClear), Col(clRed)));
    EXPECT_EQ(Rgb(I, 87, 80), Face);

    // The memory box at (5, 38), 36 x 28: black/white outside, shaded inside.
    EXPECT_EQ(Rgb(I, 5, 50), Black);
    EXPECT_EQ(Rgb(I, 20, 38), Black);
    EXPECT_EQ(Rgb(I, 40, 50), White);
    EXPECT_EQ(Rgb(I, 20, 65), White);
    EXPECT_EQ(Rgb(I, 6, 50), Dark);
    EXPECT_EQ(Rgb(I, 39, 50), Light);

    // The display shows "0" at its right end.
    const TRect Display = Calc->OwnDisplay()->BoundsRect();
    bool Ink = false, LeftInk = false;
    for (int Y = Display.Top + 4; Y < Display.Bottom - 4; ++Y) {
        for (int X = Display.Right - 20; X < Display.Right - 3; ++X)
            Ink = Ink || qGray(I.pixel(X, Y)) < 100;
        for (int X = Display.Left + 4; X < Display.Left + 120; ++X)
            LeftInk = LeftInk || qGray(I.pixel(X, Y)) < 100;
    }
    EXPECT_TRUE(Ink);
    EXPECT_FALSE(LeftInk);

    // A key held through the keyboard looks sunken.
    Word Key = '7';
    Calc->DisplayKeyDown(nullptr, Key, TShiftState());
    const QImage P = Shot(Calc);
    Dump(P, "calc-pressed7");
    EXPECT_EQ(Rgb(P, 50, 80), Dark);  // outer left
    EXPECT_EQ(Rgb(P, 51, 80), Black); // inner left
    EXPECT_EQ(Rgb(P, 85, 80), White); // outer right
    EXPECT_EQ(Rgb(P, 60, 97), White); // outer bottom
    EXPECT_EQ(Rgb(P, 84, 80), Light); // inner right
}

TEST(nvCalcPaint, BorderOptions)
{
    {
        TCalcFixture F;
        F.Calc->SetBorder3D(true);
        const QImage I = Shot(F.Calc);
        EXPECT_EQ(Rgb(I, 0, 100), Col(CalcLighten(clBtnFace)));
        EXPECT_EQ(Rgb(I, 249, 100), Col(clBlack));
        EXPECT_EQ(Rgb(I, 1, 100), Col(clWhite));
        EXPECT_EQ(Rgb(I, 248, 100), Col(CalcDarken(clBtnFace)));
        EXPECT_EQ(Rgb(I, 2, 100), Col(clBtnFace));
    }
    {
        TCalcFixture F(cboHideBorder);
        F.Calc->SetPanelColor(clTeal);
        const QImage I = Shot(F.Calc);
        EXPECT_EQ(Rgb(I, 0, 0), Col(clTeal));
        EXPECT_EQ(Rgb(I, 249, 199), Col(clTeal));
        // The keys take the panel colour as their face.
        EXPECT_EQ(Rgb(I, 53, 72), Col(clTeal));
    }
    {
        // Flat keys show no frame until hovered.
        TCalcFixture F(cboFlatButtons);
        const QImage I = Shot(F.Calc);
        EXPECT_EQ(Rgb(I, 50, 80), Col(clBtnFace));
        EXPECT_EQ(Rgb(I, 85, 80), Col(clBtnFace));
    }
    {
        // The platform's flat push buttons; pressed ones move their caption.
        TCalcFixture F(cboFlatDrawStyle);
        const QImage Up = Shot(F.Calc);
        Word Key = '7';
        F.Calc->DisplayKeyDown(nullptr, Key, TShiftState());
        const QImage Down = Shot(F.Calc);
        Dump(Down, "calc-flatstyle");
        const TRect Seven = KeyRect(F.Calc, bt7);
        EXPECT_TRUE(Holds(Up, Seven, Col(clBlue)));
        EXPECT_TRUE(Holds(Down, Seven, Col(clBlue)));
        EXPECT_NE(Up.copy(Seven.Left, Seven.Top, Seven.Width(), Seven.Height()),
                  Down.copy(Seven.Left, Seven.Top, Seven.Width(), Seven.Height()));
        EXPECT_EQ(Up.copy(70, 40, 20, 20), Down.copy(70, 40, 20, 20));
    }
    {
        // Rounded keys: the corner stays the panel's, the edge is the shadow pen.
        TCalcFixture F(cboRoundedButtons);
        const QImage I = Shot(F.Calc);
        Dump(I, "calc-rounded");
        EXPECT_EQ(Rgb(I, 50, 69), Col(clBtnFace));
        EXPECT_EQ(Rgb(I, 50, 83), Col(clBtnShadow));
    }
}

TEST(nvCalcPaint, MouseLooks)
{
    const QRgb Face = Col(clBtnFace), Frame = Col(clWindowFrame);
    auto Enter = [](TnvCalcButton* B) { B->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(B)); };
    auto Leave = [](TnvCalcButton* B) { B->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(B)); };
    {
        // Hot tracking outlines the key under the mouse and draws its face inside.
        TCalcFixture F(cboHotTrackButtons);
        TnvCalcButton* Seven = F.Calc->FindCalcButton(bt7);
        Enter(Seven);
        QImage I = Shot(F.Calc);
        Dump(I, "calc-hot7");
        EXPECT_EQ(Rgb(I, 50, 80), Frame);
        EXPECT_EQ(Rgb(I, 51, 80), Col(CalcLighten(clBtnFace)));
        EXPECT_EQ(Rgb(I, 52, 80), Col(clWhite));
        EXPECT_EQ(Rgb(I, 84, 80), Col(clBlack));
        Leave(Seven);
        I = Shot(F.Calc);
        EXPECT_EQ(Rgb(I, 50, 80), Col(CalcLighten(clBtnFace)));
    }
    {
        // Flat keys with hot tracking: a frame only while the mouse is over them.
        TCalcFixture F(TnvCalcOptions(cboFlatButtons) | cboHotTrackButtons);
        TnvCalcButton* Seven = F.Calc->FindCalcButton(bt7);
        EXPECT_EQ(Rgb(Shot(F.Calc), 50, 80), Face);
        Enter(Seven);
        EXPECT_EQ(Rgb(Shot(F.Calc), 50, 80), Col(CalcLighten(clBtnFace)));
    }
    {
        // Held down with the mouse: sunken, and released over it, processed.
        TCalcFixture F;
        TnvCalcButton* Seven = F.Calc->FindCalcButton(bt7);
        Seven->Perform(WM_LBUTTONDOWN, 0, PointToLParam(10, 10));
        const QImage I = Shot(F.Calc);
        EXPECT_EQ(Rgb(I, 50, 80), Col(CalcDarken(clBtnFace)));
        EXPECT_EQ(Rgb(I, 51, 80), Col(clBlack));
        EXPECT_EQ(F.Calc->Text(), "0");
        Seven->Perform(WM_LBUTTONUP, 0, PointToLParam(10, 10));
        EXPECT_EQ(F.Calc->Text(), "7");
        EXPECT_EQ(Rgb(Shot(F.Calc), 50, 80), Col(CalcLighten(clBtnFace)));
    }
}

// A picture of two halves: red on the left, blue on the right.
std::unique_ptr<TBitmap> Halves(int W, int H)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(0, 0, W / 2, H));
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(W / 2, 0, W, H));
    return B;
}

TEST(nvCalcPaint, BackgroundPicture)
{
    TCalcFixture F;
    TTestCalc* Calc = F.Calc;
    auto Pic = Halves(20, 10);
    TPicture P;
    P.SetGraphic(Pic.get());
    Calc->SetBackgroundBitmap(&P);
    EXPECT_TRUE(Calc->FindCalcButton(bt7)->Transparent());
    EXPECT_TRUE(Calc->FBackgroundDirty);

    // Stretched: the left half red, the right half blue, behind the keys too.
    QImage I = Shot(Calc);
    Dump(I, "calc-stretch");
    EXPECT_FALSE(Calc->FBackgroundDirty);
    EXPECT_EQ(Rgb(I, 30, 190), Col(clRed));
    EXPECT_EQ(Rgb(I, 200, 190), Col(clBlue));
    EXPECT_EQ(Rgb(I, 53, 72), Col(clRed));   // inside "7"
    EXPECT_EQ(Rgb(I, 212, 72), Col(clBlue)); // inside "sqrt"
    EXPECT_EQ(Rgb(I, 0, 0), Col(clWhite));   // the frame is drawn over it

    // Tiled: every 20 pixels the picture starts again.
    Calc->SetBackgroundBitmapDrawStyle(cbdTile);
    I = Shot(Calc);
    Dump(I, "calc-tile");
    EXPECT_EQ(Rgb(I, 3, 190), Col(clRed));
    EXPECT_EQ(Rgb(I, 15, 190), Col(clBlue));
    EXPECT_EQ(Rgb(I, 25, 190), Col(clRed));
    EXPECT_EQ(Rgb(I, 62, 72), Col(clRed)); // inside "7": 62 mod 20 lies in the left half
    EXPECT_EQ(Rgb(I, 72, 72), Col(clBlue));

    // Centred on a cache that was not cleared: the picture lies in the middle.
    Calc->SetBackgroundBitmapDrawStyle(cbdCenter);
    I = Shot(Calc);
    EXPECT_EQ(Rgb(I, 115 + 5, 95 + 5), Col(clRed));
    EXPECT_EQ(Rgb(I, 115 + 15, 95 + 5), Col(clBlue));

    // An empty picture makes the keys opaque again.
    TPicture Empty;
    Calc->SetBackgroundBitmap(&Empty);
    EXPECT_FALSE(Calc->FindCalcButton(bt7)->Transparent());
    I = Shot(Calc);
    EXPECT_EQ(Rgb(I, 30, 190), Col(clBtnFace));
    EXPECT_EQ(Calc->BackgroundCache(), nullptr);
}

// ---------------------------------------------------------------- stored form

TEST(nvCalcStore, RoundTrip)
{
    String Text;
    {
        TForm Form;
        Form.SetName("CalcForm");
        auto* Calc = new TnvCalculator(&Form);
        Calc->SetName("Calc1");
        Calc->SetParent(&Form);
        Calc->SetBounds(8, 9, 260, 210);
        Calc->SetOptions(TnvCalcOptions(cboDigitGrouping) | cboShowDecimal | cboHideMemory);
        Calc->SetButtonMargin(2);
        Calc->SetPanelColor(clSilver);
        Calc->SetBorder3D(true);
        Calc->SetFixedDecimalPlaces(2);
        Calc->SetBackgroundBitmapDrawStyle(cbdTile);
        auto Pic = Halves(8, 4);
        Calc->BackgroundBitmap()->SetGraphic(Pic.get());
        Press(Calc, "12 + 3");
        Text = ComponentToText(&Form);
    }
    EXPECT_NE(Text.find("object Calc1: TnvCalculator"), String::npos);
    EXPECT_NE(Text.find("Options = [cboHideMemory, cboShowDecimal, cboDigitGrouping]"), String::npos) << Text;
    EXPECT_NE(Text.find("BackgroundBitmapDrawStyle = cbdTile"), String::npos);
    EXPECT_NE(Text.find("BackgroundBitmap.Data"), String::npos);
    EXPECT_NE(Text.find("ButtonMargin = 2"), String::npos);
    EXPECT_NE(Text.find("FixedDecimalPlaces = 2"), String::npos);
    EXPECT_NE(Text.find("PanelColor = clSilver"), String::npos);
    // The keys, the display and the indicator are the calculator's own.
    EXPECT_EQ(Text.find("TnvCalcButton"), String::npos);
    EXPECT_EQ(Text.find("TRightEdit"), String::npos);
    EXPECT_EQ(Text.find("Text ="), String::npos);

    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Calc = dynamic_cast<TnvCalculator*>(Form.FindComponent("Calc1"));
    ASSERT_NE(Calc, nullptr);
    EXPECT_EQ(Calc->Options(), TnvCalcOptions(cboDigitGrouping) | cboShowDecimal | cboHideMemory);
    EXPECT_EQ(Calc->ButtonMargin(), 2);
    EXPECT_EQ(Calc->PanelColor(), clSilver);
    EXPECT_TRUE(Calc->Border3D());
    EXPECT_EQ(Calc->FixedDecimalPlaces(), 2);
    EXPECT_EQ(Calc->BackgroundBitmapDrawStyle(), cbdTile);
    ASSERT_NE(Calc->BackgroundBitmap()->Graphic(), nullptr);
    EXPECT_EQ(Calc->BackgroundBitmap()->Width(), 8);
    // Loading arranged the keys once, transparent over the picture.
    EXPECT_EQ(Calc->ControlCount(), CalcButtonTypeCount + 1);
    TnvCalcButton* Seven = Calc->FindCalcButton(bt7);
    ASSERT_NE(Seven, nullptr);
    EXPECT_TRUE(Seven->Transparent());
    EXPECT_EQ(Seven->Left(), 5);
    EXPECT_EQ(Calc->Text(), "0");
    Press(Calc, "1234 * 2 =");
    EXPECT_EQ(Calc->Text(), "2,468.00");

    // Written again, the text is the same.
    EXPECT_EQ(ComponentToText(&Form), Text);
}

TEST(nvCalcStore, AttributeHandlerFromTheForm)
{
    ClassOf<TCalcTestForm>();
    const String Text = "object CalcTestForm: TCalcTestForm\n"
                        "  object Calc1: TnvCalculator\n"
                        "    Options = [cboSimpleCalc]\n"
                        "    OnSetButtonAttributes = CalcAttributes\n"
                        "  end\n"
                        "end\n";
    TCalcTestForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Calc = dynamic_cast<TnvCalculator*>(Form.FindComponent("Calc1"));
    ASSERT_NE(Calc, nullptr);
    // One call for each key the simple arrangement places.
    EXPECT_EQ(Form.Calls, 19);
    EXPECT_EQ(Calc->FindCalcButton(btEquals)->Caption(), "Go");
    EXPECT_EQ(Calc->FindCalcButton(btEquals)->FontColor(), clGreen);
    EXPECT_NE(ComponentToText(&Form).find("OnSetButtonAttributes = CalcAttributes"), String::npos);
}

TEST(nvCalcStore, DefaultsAndBadValues)
{
    {
        TForm Form;
        Form.SetName("CalcForm");
        auto* Calc = new TnvCalculator(&Form);
        Calc->SetName("Calc1");
        Calc->SetParent(&Form);
        const String Text = ComponentToText(&Form);
        // The draw style is written even at its default; nothing else is.
        EXPECT_NE(Text.find("BackgroundBitmapDrawStyle = cbdStretch"), String::npos);
        EXPECT_EQ(Text.find("Options"), String::npos);
        EXPECT_EQ(Text.find("ButtonMargin"), String::npos);
        EXPECT_EQ(Text.find("PanelColor"), String::npos);
    }
    struct Case {
        const char* Line;
        const char* Message;
    } Cases[] = {
        {"Options = [cboHideMemory, cboBogus]", "cboBogus"},
        {"BackgroundBitmapDrawStyle = cbdSideways", "cbdSideways"},
        {"ButtonMargin = 'three'", "ButtonMargin"},
        {"BackgroundBitmap.Data = {0A54426974}", "BackgroundBitmap"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Line);
        const String Text = String("object CalcForm: TForm\n  object Calc1: TnvCalculator\n    ") + C.Line +
                            "\n  end\nend\n";
        TForm Form;
        try {
            ReadComponentFromText(Text, &Form);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message().find(C.Message), String::npos) << E.Message();
            EXPECT_NE(E.Message().find("Calc1"), String::npos) << E.Message();
        }
        EXPECT_EQ(Form.FindComponent("Calc1"), nullptr);
    }
}

} // namespace
