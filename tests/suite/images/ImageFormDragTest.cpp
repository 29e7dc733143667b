// The image form's dragging (the hook's decisions, the tolerance, the frame
// on the screen, the move on release, the full-window drag), its life with
// the shared hook, its form (size, border, parent, caption bar) and the
// picture control's painting.
#include <gtest/gtest.h>

#include <QTimer>

#include "FormStream.h"
#include "ImageFormTestSupport.h"
#include "JpegCodec.h"
#include "Streams.h"
#include "nvCommon.h"

using namespace ImageFormTest;

namespace {

// A shown form shaped by a picture, with a caption strip like the main
// window's (a navy TShape at 10, 8, 582 x 21 scaled down).
struct TDragForm : TShapedForm {
    TShape* Bar = nullptr;
    TDragForm() : TShapedForm(200, 120)
    {
        // Navy inside a white one-pixel border: the form is (1, 1, 199, 119).
        std::vector<std::string> Rows(120, "." + std::string(198, '#') + ".");
        Rows.front() = Rows.back() = std::string(200, '.');
        auto B = BitmapFromRows(Rows, pf24bit, Ink);
        SetPicture(B.get());
        Bar = new TShape(Form.get());
        Bar->SetName("Shape1");
        Bar->SetParent(Form.get());
        Bar->SetBounds(10, 8, 180, 21);
        Bar->Brush()->SetColor(clNavy);
        Image->SetCaptionBarControl(Bar);
        Form->Show();
        QApplication::processEvents();
    }
};

QPoint Global(TControl* C, int X, int Y)
{
    return C->mapToGlobal(QPoint(X, Y));
}

void SendAt(QWidget* W, QEvent::Type Type, QPoint GlobalPos)
{
    SendMouse(W, Type, W->mapFromGlobal(GlobalPos));
}

// Presses at PressAt on Target, then (inside the drag, if one starts) moves
// the mouse by each offset from the press point and releases it. After each
// move Observe sees the state.
void RunDrag(TDragForm& D, QWidget* Target, QPoint PressAt, const std::vector<QPoint>& Moves,
             const std::function<void(size_t Step)>& Observe = nullptr)
{
    bool Ran = false;
    QPointer<TForm> Form = D.Form.get();
    QTimer::singleShot(0, [&] {
        Ran = true;
        for (size_t I = 0; I < Moves.size() && Form; ++I) {
            SendAt(Form, QEvent::MouseMove, PressAt + Moves[I]);
            if (Observe)
                Observe(I);
        }
        if (Form)
            SendAt(Form, QEvent::MouseButtonRelease, PressAt + (Moves.empty() ? QPoint() : Moves.back()));
    });
    SendAt(Target, QEvent::MouseButtonPress, PressAt);
    for (int I = 0; I < 5 && !Ran; ++I)
        QApplication::processEvents();
    QApplication::processEvents();
}

} // namespace

// ---------------------------------------------------------------- the hook's decisions

TEST(ImageFormHook, DecidesWhichPressesStartADrag)
{
    TDragForm D;
    TForm* F = D.Form.get();
    // A panel with a strip of its own, a graphic control with a click
    // handler over the caption strip, one with only a press handler, one
    // disabled with a click handler.
    auto* Panel = new TPanel(F);
    Panel->SetParent(F);
    Panel->SetBounds(20, 60, 100, 50);
    auto* PanelStrip = new TShape(F);
    PanelStrip->SetParent(Panel);
    PanelStrip->SetBounds(0, 0, 100, 10);
    auto* CloseBox = new TShape(F);
    CloseBox->SetParent(F);
    CloseBox->SetBounds(170, 10, 15, 15);
    CloseBox->OnClick = [](TObject*) {};
    auto* PressBox = new TShape(F);
    PressBox->SetParent(F);
    PressBox->SetBounds(150, 10, 15, 15);
    PressBox->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {};
    auto* Disabled = new TShape(F);
    Disabled->SetParent(F);
    Disabled->SetBounds(130, 10, 15, 15);
    Disabled->OnClick = [](TObject*) {};
    Disabled->SetEnabled(false);

    struct {
        const char* Name;
        TControl* Bar;
        TWinControl* W;
        QPoint At; // form client coordinates
        bool Drags;
    } Cases[] = {
        {"on the caption strip", D.Bar, F, {50, 15}, true},
        {"caption strip's left edge", D.Bar, F, {10, 8}, true},
        {"just right of the strip", D.Bar, F, {190, 15}, false},
        {"below the strip, on the picture", D.Bar, F, {50, 40}, false},
        {"a control with OnClick over the strip", D.Bar, F, {175, 15}, false},
        {"a control with OnMouseDown over the strip", D.Bar, F, {155, 15}, false},
        {"a disabled control with OnClick over the strip", D.Bar, F, {135, 15}, false},
        {"strip pressed, but the press is in the panel's window", D.Bar, Panel, {50, 15}, false},
        {"no strip: the bare picture", nullptr, F, {50, 40}, true},
        {"no strip: a windowed child", nullptr, Panel, {30, 70}, false},
        {"no strip: a clickable control", nullptr, F, {175, 15}, false},
        {"no strip, no window", nullptr, nullptr, {50, 40}, false},
        {"the strip is the windowed control pressed", Panel, Panel, {30, 70}, true},
        {"a strip inside a panel, pressed", PanelStrip, Panel, {25, 65}, true},
        {"a strip inside a panel, pressed beside it", PanelStrip, Panel, {25, 80}, false},
    };
    for (const auto& C : Cases) {
        D.Image->SetCaptionBarControl(C.Bar);
        const auto Start = FindFormDragStart(F, C.W, TPoint(Global(F, C.At.x(), C.At.y()).x(),
                                                            Global(F, C.At.x(), C.At.y()).y()));
        EXPECT_EQ(Start.has_value(), C.Drags) << C.Name;
        if (Start) {
            EXPECT_EQ(Start->Control, D.Image) << C.Name;
            EXPECT_EQ(Start->FormPoint, TPoint(C.At.x(), C.At.y())) << C.Name;
        }
    }

    // The image form's own click handler makes the bare picture clickable.
    D.Image->SetCaptionBarControl(nullptr);
    D.Image->OnClick = [](TObject*) {};
    EXPECT_FALSE(FindFormDragStart(F, F, TPoint(Global(F, 50, 40).x(), Global(F, 50, 40).y())));
}

TEST(ImageFormHook, InstalledWhileImageFormsExist)
{
    const int Before = TnvCustomImageForm::InstanceCount();
    {
        TShapedForm A, B;
        EXPECT_TRUE(TnvCustomImageForm::HookInstalled());
        EXPECT_EQ(TnvCustomImageForm::InstanceCount(), Before + 2);
        delete B.Image;
        B.Image = nullptr;
        EXPECT_TRUE(TnvCustomImageForm::HookInstalled());
        EXPECT_EQ(TnvCustomImageForm::InstanceCount(), Before + 1);
    }
    EXPECT_EQ(TnvCustomImageForm::InstanceCount(), Before);
    EXPECT_EQ(TnvCustomImageForm::HookInstalled(), Before > 0);

    // One put into design state after its creation still gives its count back.
    auto* Late = new TnvImageForm();
    EXPECT_TRUE(TnvCustomImageForm::HookInstalled());
    Late->SetDesigning(true);
    delete Late;
    EXPECT_EQ(TnvCustomImageForm::InstanceCount(), Before);
    EXPECT_EQ(TnvCustomImageForm::HookInstalled(), Before > 0);
}

// ---------------------------------------------------------------- dragging

TEST(ImageFormDrag, ToleranceFrameAndMove)
{
    struct {
        const char* Name;
        int Tolerance;
        std::vector<QPoint> Moves;
        QPoint Moved; // where the form ends, relative to where it was
    } Cases[] = {
        {"exactly the tolerance both ways", 5, {{5, 5}}, {0, 0}},
        {"within the tolerance back and forth", 5, {{5, -5}, {-5, 5}, {0, 0}}, {0, 0}},
        {"one pixel more in x", 5, {{6, 0}}, {6, 0}},
        {"one pixel more in y", 5, {{0, -6}}, {0, -6}},
        {"back within the tolerance changes nothing", 5, {{6, 6}, {2, 3}}, {6, 6}},
        {"several moves: the last one counts", 5, {{20, 10}, {-30, 40}, {31, -7}}, {31, -7}},
        {"no tolerance", 0, {{1, 0}}, {1, 0}},
        {"released without moving", 5, {}, {0, 0}},
    };
    for (const auto& C : Cases) {
        TDragForm D;
        D.Image->SetDragTolerance(C.Tolerance);
        const TPoint Start(D.Form->Left(), D.Form->Top());
        const QPoint Press = Global(D.Bar, 40, 10);
        bool FrameSeen = false;
        RunDrag(D, D.Bar, Press, C.Moves, [&](size_t I) {
            const QPoint M = C.Moves[I];
            const bool Beyond = std::abs(M.x()) > C.Tolerance || std::abs(M.y()) > C.Tolerance;
            if (!Beyond)
                return;
            FrameSeen = true;
            // The frame: three focus rectangles around where the form would go.
            const TRect R = Bounds(Start.X + M.x(), Start.Y + M.y(), D.Form->Width(), D.Form->Height());
            const std::vector<TRect> Expected = {R, TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1),
                                                 TRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2)};
            EXPECT_EQ(ScreenOutline().Rects(), Expected) << C.Name << ", move " << I;
            EXPECT_TRUE(D.Image->Dragging()) << C.Name;
            // The form stays where it is until the button comes up.
            EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), Start) << C.Name;
        });
        EXPECT_EQ(FrameSeen, C.Moved != QPoint(0, 0)) << C.Name;
        EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), TPoint(Start.X + C.Moved.x(), Start.Y + C.Moved.y()))
            << C.Name;
        EXPECT_EQ(D.Form->Width(), 200) << C.Name;
        EXPECT_TRUE(ScreenOutline().Rects().empty()) << C.Name;
        EXPECT_FALSE(ScreenOutline().Window()) << C.Name;
        EXPECT_FALSE(D.Image->Dragging()) << C.Name;
        EXPECT_FALSE(D.Form->MouseCapture()) << C.Name;
    }
}

TEST(ImageFormDrag, PressesThatStartNoDragReachTheirControl)
{
    TDragForm D;
    auto* CloseBox = new TShape(D.Form.get());
    CloseBox->SetParent(D.Form.get());
    CloseBox->SetBounds(170, 10, 15, 15);
    int Presses = 0;
    CloseBox->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Presses; };
    const TPoint Start(D.Form->Left(), D.Form->Top());
    RunDrag(D, CloseBox, Global(CloseBox, 5, 5), {{30, 30}});
    EXPECT_EQ(Presses, 1);
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), Start);

    // Without a caption strip a windowed child keeps its presses too.
    D.Image->SetCaptionBarControl(nullptr);
    auto* Panel = new TPanel(D.Form.get());
    Panel->SetParent(D.Form.get());
    Panel->SetBounds(20, 60, 100, 50);
    int PanelPresses = 0;
    Panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++PanelPresses; };
    RunDrag(D, Panel, Global(Panel, 10, 10), {{30, 30}});
    EXPECT_EQ(PanelPresses, 1);
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), Start);

    // A picture with a press handler keeps its presses as well ...
    int ImagePresses = 0;
    D.Image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ImagePresses; };
    RunDrag(D, D.Image, Global(D.Image, 150, 50), {{-12, 9}});
    EXPECT_EQ(ImagePresses, 1);
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), Start);
    // ... and without one the bare picture drags the form.
    D.Image->OnMouseDown = nullptr;
    RunDrag(D, D.Image, Global(D.Image, 150, 50), {{-12, 9}});
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), TPoint(Start.X - 12, Start.Y + 9));
}

TEST(ImageFormDrag, FullWindowDragMovesTheFormWithTheMouse)
{
    TDragForm D;
    D.Image->SetOptions(ifUseWindowsDrag);
    ASSERT_TRUE(DragFullWindows());
    EXPECT_TRUE(D.Image->UsesSystemDrag());
    const TPoint Start(D.Form->Left(), D.Form->Top());
    std::vector<TPoint> During;
    RunDrag(D, D.Bar, Global(D.Bar, 40, 10), {{3, 3}, {25, 15}, {40, -20}}, [&](size_t) {
        During.push_back(TPoint(D.Form->Left(), D.Form->Top()));
        EXPECT_TRUE(ScreenOutline().Rects().empty());
    });
    // No window manager takes the move here: the form follows the mouse
    // itself, contents and all, once past the tolerance.
    EXPECT_EQ(During, (std::vector<TPoint>{Start, TPoint(Start.X + 25, Start.Y + 15), TPoint(Start.X + 40, Start.Y - 20)}));
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), TPoint(Start.X + 40, Start.Y - 20));

    // Without the desktop setting the outline drag is used.
    SetDragFullWindows(false);
    EXPECT_FALSE(D.Image->UsesSystemDrag());
    SetDragFullWindows(true);
}

TEST(ImageFormDrag, LosingTheMouseEndsTheDragWithoutAMove)
{
    TDragForm D;
    const TPoint Start(D.Form->Left(), D.Form->Top());
    QPointer<TForm> Form = D.Form.get();
    QTimer::singleShot(0, [&] {
        SendAt(Form, QEvent::MouseMove, Global(D.Bar, 40, 10) + QPoint(30, 30));
        EXPECT_TRUE(D.Image->Dragging());
        Form->SetMouseCapture(false);
    });
    SendAt(D.Bar, QEvent::MouseButtonPress, Global(D.Bar, 40, 10));
    EXPECT_EQ(TPoint(D.Form->Left(), D.Form->Top()), Start);
    // The frame stays until something draws over it; erase it here.
    EXPECT_EQ(ScreenOutline().Rects().size(), 3u);
    D.Image->DrawDragFrame(ScreenOutline(), D.Image->FrameRect());
    EXPECT_TRUE(ScreenOutline().Rects().empty());
}

TEST(ImageFormDrag, OutlineShowsADottedThreePixelFrame)
{
    const TRect R = Bounds(300, 200, 60, 40);
    TnvScreenOutline Screen;
    TnvImageForm Probe;
    Probe.DrawDragFrame(Screen, R);
    QWidget* W = Screen.Window();
    ASSERT_TRUE(W);
    EXPECT_EQ(W->geometry(), QRect(300, 200, 60, 40));
    // Only the three outermost pixels of every side belong to the window.
    const QRegion Band = CreateRectRgn(0, 0, 60, 40).subtracted(CreateRectRgn(3, 3, 57, 37));
    EXPECT_TRUE(EqualRgn(W->mask(), Band));
    const QImage Shot = W->grab().toImage();
    // Dots: along each of the three lines the pixels alternate.
    for (int Line = 0; Line < 3; ++Line) {
        int Changes = 0;
        for (int X = Line; X + 1 < 60 - Line; ++X)
            Changes += Shot.pixel(X, Line) != Shot.pixel(X + 1, Line);
        EXPECT_GE(Changes, 50) << "line " << Line;
    }
    // Drawing it again takes it away.
    Probe.DrawDragFrame(Screen, R);
    EXPECT_TRUE(Screen.Rects().empty());
    EXPECT_FALSE(Screen.Window());
}

// ---------------------------------------------------------------- the form

TEST(ImageFormForm, ShapesItsFormAndFollowsItsSize)
{
    auto Form = std::make_unique<TForm>();
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    EXPECT_EQ(Form->BorderStyle(), bsSizeable);
    auto* Image = new TnvImageForm(Form.get());
    EXPECT_EQ(Image->Align(), alClient);
    EXPECT_EQ(Image->DragTolerance(), 5);
    EXPECT_EQ(Image->TransparentColor(), clNone);
    EXPECT_EQ(Image->Options(), TnvImageFormOptions());

    // Put on the panel, it goes on the panel's form instead.
    Image->SetParent(Panel);
    EXPECT_EQ(Image->Parent(), Form.get());
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    EXPECT_FALSE(HasClipChildren(Form.get()));

    // A picture gives the form its size.
    auto B = BitmapFromRows(std::vector<std::string>(70, std::string(90, '#')), pf24bit, Ink);
    TPicture P;
    P.SetGraphic(B.get());
    Image->SetPicture(&P);
    EXPECT_EQ(Form->ClientWidth(), 90);
    EXPECT_EQ(Form->ClientHeight(), 70);

    // With AutoSize the form's client area follows the control's bounds.
    Image->SetAlign(alNone);
    Image->SetAutoSize(true);
    Image->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(Form->ClientWidth(), 300);
    EXPECT_EQ(Form->ClientHeight(), 200);
    Image->SetAutoSize(false);
    Image->SetBounds(0, 0, 50, 40);
    EXPECT_EQ(Form->ClientWidth(), 300);
}

TEST(ImageFormForm, ForgetsADestroyedCaptionBar)
{
    TDragForm D;
    ASSERT_EQ(D.Image->CaptionBarControl(), D.Bar);
    delete D.Bar;
    EXPECT_EQ(D.Image->CaptionBarControl(), nullptr);

    // A caption bar owned elsewhere is watched too.
    TForm Other;
    auto* Strip = new TShape(&Other);
    D.Image->SetCaptionBarControl(Strip);
    delete Strip;
    EXPECT_EQ(D.Image->CaptionBarControl(), nullptr);
}

TEST(ImageFormForm, StoredFormDeclaration)
{
    TDragForm D;
    D.Image->SetOptions(ifNoPaletteDither);
    const String Text = ComponentToText(D.Form.get());
    EXPECT_NE(Text.find("object nvImageForm1: TnvImageForm"), String::npos) << Text;
    EXPECT_NE(Text.find("CaptionBarControl = Shape1"), String::npos) << Text;
    EXPECT_NE(Text.find("DragTolerance = 5"), String::npos) << Text; // written even at its default
    EXPECT_NE(Text.find("Options = [ifNoPaletteDither]"), String::npos) << Text;
    EXPECT_NE(Text.find("RegionData = {"), String::npos) << Text;
    EXPECT_EQ(Text.find("Align ="), String::npos) << Text; // alClient is the default

    TFormReadOptions O;
    O.FileName = "Drag.nvf";
    std::unique_ptr<TForm> F(dynamic_cast<TForm*>(ReadComponentFromText(Text, nullptr, nullptr, O)));
    ASSERT_TRUE(F);
    auto* Image = dynamic_cast<TnvImageForm*>(F->FindComponent("nvImageForm1"));
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->CaptionBarControl(), F->FindComponent("Shape1"));
    EXPECT_EQ(Image->Options(), TnvImageFormOptions(ifNoPaletteDither));
    EXPECT_EQ(F->BorderStyle(), bsNone);
    EXPECT_TRUE(EqualRgn(F->WindowRegion(), CreateRectRgn(1, 1, 199, 119)));
}

// ---------------------------------------------------------------- painting

namespace {

// An image (or image form) whose display has a chosen depth.
template <class Base>
class TDepth : public Base {
public:
    using Base::Base;
    int Depth = 32;
    using Base::SetTransparent;
    void PaintOn(QImage& Image) { this->PaintControl(Image); }

protected:
    int DisplayBitsPerPixel() const override { return Depth; }
};
using TDepthImage = TDepth<TnvCustomImage>;
using TDepthForm = TDepth<TnvImageForm>;

std::unique_ptr<TJPEGImage> BlueJpeg()
{
    TBitmap B;
    B.SetSize(8, 8);
    B.Canvas()->Brush()->SetColor(clBlue);
    B.Canvas()->FillRect(TRect(0, 0, 8, 8));
    auto J = std::make_unique<TJPEGImage>();
    J->Assign(&B);
    J->Compress();
    return J;
}

bool NearlyBlue(QRgb P)
{
    return qBlue(P) > 240 && qRed(P) < 16 && qGreen(P) < 16;
}

} // namespace

TEST(ImageFormPaint, DrawsThePictureAtItsNaturalSize)
{
    TForm Form;
    Form.SetBounds(0, 0, 60, 50);
    Form.SetColor(clWhite);
    for (int Depth : {32, 8}) {
        auto* Image = new TDepthImage(&Form);
        Image->Depth = Depth;
        Image->SetParent(&Form);
        Image->SetBounds(5, 5, 40, 30);
        auto B = BitmapFromRows({"#r#r", "rgrg", "#y#y"}, pf4bit, Ink);
        TPicture P;
        P.SetGraphic(B.get());
        Image->SetPicture(&P);
        Form.Show();
        const QImage Shot = Form.grab().toImage();
        const TColor Row0[] = {clNavy, clRed, clNavy, clRed};
        for (int X = 0; X < 4; ++X)
            EXPECT_EQ(QRgbToColor(Shot.pixel(5 + X, 5)), Row0[X]) << "depth " << Depth << ", x " << X;
        EXPECT_EQ(QRgbToColor(Shot.pixel(6, 6)), clGreen) << "depth " << Depth;
        EXPECT_EQ(QRgbToColor(Shot.pixel(7, 7)), clNavy) << "depth " << Depth;
        // Not stretched: the control's area beyond the picture is the form's.
        EXPECT_EQ(QRgbToColor(Shot.pixel(9, 5)), clWhite) << "depth " << Depth;
        EXPECT_EQ(QRgbToColor(Shot.pixel(5, 8)), clWhite) << "depth " << Depth;
        delete Image;
    }
}

TEST(ImageFormPaint, PaletteDisplayTakesOnlyBitmapsUnlessDitheringIsOff)
{
    auto J = BlueJpeg();
    TPicture P;
    P.SetGraphic(J.get());
    QImage Target(20, 20, QImage::Format_ARGB32_Premultiplied);

    // A true-colour display draws any graphic.
    TDepthImage Image;
    Image.SetPicture(&P);
    Target.fill(Qt::transparent);
    Image.PaintOn(Target);
    EXPECT_TRUE(NearlyBlue(Target.pixel(3, 3)));
    EXPECT_EQ(qAlpha(Target.pixel(12, 12)), 0);

    // A palette display only draws bitmaps.
    Image.Depth = 8;
    try {
        Image.PaintOn(Target);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Can only modify an image if it contains a bitmap");
    }
    EXPECT_FALSE(Image.Drawing());

    // The image form with ifNoPaletteDither never takes the palette path.
    TForm Form;
    auto* Shaped = new TDepthForm(&Form);
    Shaped->SetParent(&Form);
    Shaped->Depth = 8;
    Shaped->SetPicture(&P);
    EXPECT_THROW(Shaped->PaintOn(Target), EInvalidOperation);
    Shaped->SetOptions(ifNoPaletteDither);
    Target.fill(Qt::transparent);
    Shaped->PaintOn(Target);
    EXPECT_TRUE(NearlyBlue(Target.pixel(3, 3)));
    // The flag stays once set.
    Shaped->SetOptions(TnvImageFormOptions());
    EXPECT_NO_THROW(Shaped->PaintOn(Target));
}

TEST(ImageFormPaint, CanvasOfThePicture)
{
    TDepthImage Image;
    auto J = BlueJpeg();
    TPicture P;
    P.SetGraphic(J.get());
    Image.SetPicture(&P);
    try {
        Image.Canvas();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Can only modify an image if it contains a bitmap");
    }

    // An empty picture gets a bitmap of the control's size to draw on.
    TDepthImage Empty;
    Empty.SetBounds(0, 0, 30, 20);
    TCanvas* C = Empty.Canvas();
    ASSERT_TRUE(C);
    ASSERT_TRUE(dynamic_cast<TBitmap*>(Empty.Picture()->Graphic()));
    EXPECT_EQ(Empty.Picture()->Width(), 30);
    EXPECT_EQ(Empty.Picture()->Height(), 20);
}

TEST(ImageFormPaint, OpaqueWhenAnOpaqueGraphicCoversTheControl)
{
    TDepthImage Image;
    Image.SetBounds(0, 0, 4, 3);
    struct {
        const char* Name;
        int W, H;
        bool Transparent;
        bool Opaque;
    } Cases[] = {
        {"covers exactly", 4, 3, false, true},
        {"larger", 6, 5, false, true},
        {"narrower", 3, 3, false, false},
        {"transparent", 4, 3, true, false},
    };
    for (const auto& C : Cases) {
        Image.SetTransparent(C.Transparent);
        auto B = BitmapFromRows(std::vector<std::string>(size_t(C.H), std::string(size_t(C.W), '#')), pf24bit, Ink);
        TPicture P;
        P.SetGraphic(B.get());
        Image.SetPicture(&P);
        EXPECT_EQ(Image.Picture()->Graphic()->Transparent(), C.Transparent) << C.Name;
        EXPECT_EQ(Image.ControlStyle().testFlag(csOpaque), C.Opaque) << C.Name;
    }
    Image.SetPicture(nullptr);
    EXPECT_FALSE(Image.ControlStyle().testFlag(csOpaque));
}
