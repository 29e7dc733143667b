// The clickable map: a click on a county (also where the counties' boxes
// overlap) names it and shows its record; the compass rose is hidden on
// palette displays; a missing table fails the window; the shape button
// closes it.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "AppTestSupport.h"
#include "DemoInput.h"
#include "DemoShot.h"
#include "MapDemo.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TMapForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TMapForm>(CheckedCast<TMapForm>(CreateFormInstance(ClassOf<TMapForm>(), Application)));
}

std::vector<TnvImageBtn*> Counties(TMapForm* Form)
{
    std::vector<TnvImageBtn*> Result;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* B = dynamic_cast<TnvImageBtn*>(Form->Components(I)); B && B->Name().rfind("County", 0) == 0)
            Result.push_back(B);
    return Result;
}

TEST(MapDemoTest, ClickedCountyShowsItsRecord)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Clickable Maps!");
    Form->Show();
    const std::vector<TnvImageBtn*> Buttons = Counties(Form.get());
    ASSERT_EQ(Buttons.size(), 16u);
    ASSERT_EQ(Form->CountyTable->RecordCount(), 16);
    auto* Company = CheckedCast<TnvLabel>(Form->FindComponent("CompanyLabel"));
    auto* Seat = CheckedCast<TnvLabel>(Form->FindComponent("SeatLabel"));
    int Overlaps = 0;
    for (size_t N : {5u, 0u, 15u, 10u, 3u, 12u}) {
        TnvImageBtn* County = Buttons[N];
        SCOPED_TRACE(County->Caption());
        ASSERT_FALSE(County->WindowRegion().isEmpty());
        // A point of the county that also lies in a neighbour's box, if any;
        // the press goes to the window under it, as the window system routes it.
        const QRect Box(County->Left(), County->Top(), County->Width(), County->Height());
        QPoint Local = (County->WindowRegion().begin() + County->WindowRegion().rectCount() / 2)->center();
        for (const QRect& R : County->WindowRegion())
            for (TnvImageBtn* Other : Buttons)
                if (Other != County) {
                    const QRect OtherBox(Other->Left(), Other->Top(), Other->Width(), Other->Height());
                    const QPoint P = R.center() + Box.topLeft();
                    if (OtherBox.contains(P) && R.width() > 4) {
                        Local = R.center();
                        ++Overlaps;
                        goto Found;
                    }
                }
    Found:
        QWidget* Target = Form->childAt(County->mapTo(Form.get(), Local));
        ASSERT_EQ(Target, County);
        ClickAt(County, Local);
        EXPECT_TRUE(County->Down());
        EXPECT_EQ(Form->CountyLabel->Caption(), County->Caption());
        EXPECT_EQ(Form->CountyTable->FieldByName("CountyName")->AsString(), County->Caption());
        EXPECT_EQ(Company->Caption(), Form->CountyTable->FieldByName("Company")->AsString());
        EXPECT_EQ(Seat->Caption(), Form->CountyTable->FieldByName("Seat")->AsString());
        EXPECT_FALSE(Company->Caption().empty());
    }
    EXPECT_GT(Overlaps, 3) << "the test reached the overlapping corners";
    DumpPng(Form->grab().toImage(), "map-demo");
}

TEST(MapDemoTest, CompassHiddenOnPaletteDisplays)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    const auto Saved = TMapForm::DisplayBitsPerPixel;
    struct TRestore {
        std::function<int()> Saved;
        ~TRestore() { TMapForm::DisplayBitsPerPixel = Saved; }
    } Restore{Saved};
    for (int Bits : {4, 8, 16, 24, 32}) {
        TMapForm::DisplayBitsPerPixel = [Bits] { return Bits; };
        auto Form = MakeForm();
        EXPECT_EQ(Form->Compass->Visible(), Bits > 8) << Bits;
    }
}

TEST(MapDemoTest, MissingTableFailsTheWindow)
{
    QTemporaryDir Empty;
    TWorkingDirectory Dir(Empty.path());
    InitApplication();
    const int Before = Application->ComponentCount();
    EXPECT_ANY_THROW(MakeForm());
    EXPECT_EQ(Application->ComponentCount(), Before);
}

TEST(MapDemoTest, ShapeButtonClosesAndTheWindowOpensAgain)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(CheckedCast<TnvShapeBtn>(Form->FindComponent("CloseButton")));
        EXPECT_FALSE(Form->Visible());
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
