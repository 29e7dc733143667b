// The data-aware imager demonstration: the imagers show the pictures of the
// fish and picture tables and follow their records; the draw style and the
// effects apply to both; a missing or damaged data file makes the window's
// creation fail with the dataset's error.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "AppTestSupport.h"
#include "DBImagerDemo.h"
#include "DemoInput.h"
#include "TestDump.h"
#include "nvLabel.h"

namespace {

std::unique_ptr<TDBImagerDemoForm> MakeForm()
{
    InitApplication();
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    std::unique_ptr<TDBImagerDemoForm> Form(
        CheckedCast<TDBImagerDemoForm>(CreateFormInstance(ClassOf<TDBImagerDemoForm>(), Application)));
    Form->Show();
    return Form;
}

void ClickControl(TControl* Control)
{
    ClickAt(Control, QPoint(Control->Width() / 2, Control->Height() / 2));
}

bool HasPicture(TnvDBImager* Imager)
{
    return Imager->Picture()->Graphic() && !Imager->Picture()->Graphic()->Empty();
}

TEST(DBImagerDemoTest, ImagersFollowTheirTables)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "TnvDBImager Demo");
    ASSERT_TRUE(Form->BiolifeTable->Active());
    ASSERT_TRUE(Form->PictureTable->Active());
    EXPECT_TRUE(HasPicture(Form->FishImager));
    EXPECT_TRUE(HasPicture(Form->PictureImager));
    EXPECT_EQ(Form->FishRecordLabel->Caption(), "Fish 1 of " + IntToStr(Form->BiolifeTable->RecordCount()));
    auto* Title = CheckedCast<TnvLabel>(Form->FindComponent("PictureTitle"));
    EXPECT_EQ(Title->Caption(), Form->PictureTable->FieldByName("Description")->AsString());
    DumpPng(Form->grab().toImage(), "dbimager-demo");

    const int FishSize = Form->FishImager->Picture()->Width() * 10000 + Form->FishImager->Picture()->Height();
    ClickControl(CheckedCast<TButton>(Form->FindComponent("FishNextButton")));
    EXPECT_EQ(Form->BiolifeTable->RecNo(), 2);
    EXPECT_EQ(Form->FishRecordLabel->Caption(), "Fish 2 of " + IntToStr(Form->BiolifeTable->RecordCount()));
    EXPECT_TRUE(HasPicture(Form->FishImager));
    ClickControl(CheckedCast<TButton>(Form->FindComponent("FishPriorButton")));
    EXPECT_EQ(Form->BiolifeTable->RecNo(), 1);
    EXPECT_EQ(Form->FishImager->Picture()->Width() * 10000 + Form->FishImager->Picture()->Height(), FishSize);

    auto* Next = CheckedCast<TButton>(Form->FindComponent("PictureNextButton"));
    for (int I = 2; I <= 4; ++I) {
        ClickControl(Next);
        EXPECT_EQ(Form->PictureTable->RecNo(), I);
        EXPECT_EQ(Title->Caption(), Form->PictureTable->FieldByName("Description")->AsString());
        EXPECT_TRUE(HasPicture(Form->PictureImager));
    }
    EXPECT_EQ(Form->PictureRecordLabel->Caption(), "Picture 4 of " + IntToStr(Form->PictureTable->RecordCount()));
}

TEST(DBImagerDemoTest, DrawStyleAndEffectsApplyToBothImagers)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->DrawStyleCombo->ItemIndex(), static_cast<int>(dsProportionalCenter));
    Form->DrawStyleCombo->SetFocus();
    TypeKey(Form->DrawStyleCombo->ComboBox(), Qt::Key_Home);
    EXPECT_EQ(Form->FishImager->DrawStyle(), nvImagerTypes::dsNormal);
    EXPECT_EQ(Form->PictureImager->DrawStyle(), nvImagerTypes::dsNormal);
    TypeKey(Form->DrawStyleCombo->ComboBox(), Qt::Key_Down);
    TypeKey(Form->DrawStyleCombo->ComboBox(), Qt::Key_Down);
    EXPECT_EQ(Form->FishImager->DrawStyle(), dsStretch);
    EXPECT_EQ(Form->PictureImager->DrawStyle(), dsStretch);

    ClickControl(Form->GrayScaleCheck);
    EXPECT_TRUE(Form->FishImager->BitmapOptions()->GrayScale());
    EXPECT_TRUE(Form->PictureImager->BitmapOptions()->GrayScale());
    ClickControl(Form->EmbossCheck);
    EXPECT_TRUE(Form->PictureImager->BitmapOptions()->Embossed());
    ClickControl(Form->GrayScaleCheck);
    EXPECT_FALSE(Form->FishImager->BitmapOptions()->GrayScale());
    EXPECT_TRUE(Form->FishImager->BitmapOptions()->Embossed());
    DumpPng(Form->grab().toImage(), "dbimager-demo-embossed");
}

TEST(DBImagerDemoTest, MissingOrDamagedPictureFileFailsTheCreationWithTheDatasetsError)
{
    InitApplication();
    QTemporaryDir Root;
    ASSERT_TRUE(QDir(Root.path()).mkpath("forms"));
    ASSERT_TRUE(QDir(Root.path()).mkpath("db"));
    const QString Db = Root.path() + "/db/";
    ASSERT_TRUE(QFile::copy(SourceDir() + "/app/db/biolife.xml", Db + "biolife.xml"));
    TWorkingDirectory Dir(Root.path() + "/forms");
    const int Before = Application->ComponentCount();
    for (const char* Content : {static_cast<const char*>(nullptr), "<dataset version=\"1\"><fields>"}) {
        SCOPED_TRACE(Content ? "damaged" : "missing");
        QFile::remove(Db + "nvpicture.xml");
        if (Content) {
            QFile F(Db + "nvpicture.xml");
            ASSERT_TRUE(F.open(QIODevice::WriteOnly));
            F.write(Content);
        }
        try {
            delete CreateFormInstance(ClassOf<TDBImagerDemoForm>(), Application);
            ADD_FAILURE() << "the window was created";
        } catch (const Exception& E) {
            EXPECT_NE(E.Message().find("nvpicture.xml"), String::npos) << E.Message();
        }
        EXPECT_EQ(Application->ComponentCount(), Before);
    }
}

} // namespace
