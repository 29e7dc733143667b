// The outlook bar demonstration window: its two bars as the form file builds
// them, the first bar's layout, the lists' clicks and the picture switch.
#include <gtest/gtest.h>

#include <QDir>

#include <memory>

#include "OutlookBarDemo.h"

namespace {

std::unique_ptr<TOutlookBarForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TOutlookBarForm>(
        CheckedCast<TOutlookBarForm>(CreateFormInstance(ClassOf<TOutlookBarForm>(), Application)));
}

TEST(OutlookBarDemoTest, BarsPagesAndLists)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "TnvOutlookBar Demo");
    TnvOutlookBar* Left = Form->nvOutlookBar1;
    TnvOutlookBar* Right = Form->nvOutlookBar2;
    ASSERT_EQ(Left->OutlookItems()->Count(), 2);
    ASSERT_EQ(Right->OutlookItems()->Count(), 3);
    // The first bar: a client height of 337 and headers of 22 leave 293 to
    // the open panel, inside the two-pixel edge.
    EXPECT_EQ(Left->PageRect().Height(), 337);
    EXPECT_EQ(Left->ActivePage()->Name(), "ShortcutsBtn");
    EXPECT_EQ(Left->OutlookItems()->Item(0)->Button()->BoundsRect(), TRect(2, 2, 130, 24));
    EXPECT_EQ(Left->OutlookItems()->Page(0)->Panel()->BoundsRect(), TRect(2, 24, 130, 317));
    EXPECT_EQ(Left->OutlookItems()->Item(1)->Button()->BoundsRect(), TRect(2, 317, 130, 339));
    // Opening the second page slides its header up under the first.
    Left->SetActivePage(Left->OutlookItems()->Item(1)->Button());
    EXPECT_EQ(Left->OutlookItems()->Item(1)->Button()->BoundsRect(), TRect(2, 24, 130, 46));
    EXPECT_EQ(Left->OutlookItems()->Page(1)->Panel()->BoundsRect(), TRect(2, 46, 130, 339));
    EXPECT_FALSE(Left->OutlookItems()->Page(0)->Panel()->Visible());

    // The lists came back to their pages with their items and the icons.
    TnvCustomOutlookList* Shortcuts = Left->OutlookItems()->Page(0)->OutlookList();
    ASSERT_NE(Shortcuts, nullptr);
    EXPECT_EQ(Shortcuts->Name(), "ShortcutsList");
    EXPECT_EQ(Shortcuts->Items()->Count(), 6);
    ASSERT_NE(Shortcuts->Images(), nullptr);
    EXPECT_EQ(Shortcuts->Images()->Count(), 6);
    EXPECT_EQ(Shortcuts->Images()->Width(), 32);
    EXPECT_EQ(Right->OutlookItems()->Page(2)->OutlookList()->Name(), "IconsList");
    EXPECT_EQ(Right->OutlookItems()->Page(0)->OutlookList(), nullptr);

    // A click on an item is named under the bars.
    Shortcuts->OnItemClick(Shortcuts, Shortcuts->Items()->Items(2));
    EXPECT_EQ(Form->ClickedLabel->Caption(), "Clicked: Contacts");
}

TEST(OutlookBarDemoTest, CheckBoxSwitchesThePicture)
{
    auto Form = MakeForm();
    Form->Show();
    TnvOutlookBar* Bar = Form->nvOutlookBar2;
    EXPECT_EQ(Bar->Imager(), nullptr);
    // A point of the open page that no label covers, in the form.
    const QPoint P = Bar->mapTo(Form.get(), QPoint(202, 258));
    const QRgb Face = ColorToQRgb(clBtnFace) & 0xFFFFFFu;
    EXPECT_EQ(Form->grab().toImage().pixel(P) & 0xFFFFFFu, Face);

    Form->PictureCheck->SetChecked(true);
    EXPECT_EQ(Bar->Imager(), Form->nvImager1);
    const QImage With = Form->grab().toImage();
    if (const QByteArray Dir = qgetenv("ZEN_APP_DUMP"); !Dir.isEmpty())
        With.save(QDir(QString::fromLocal8Bit(Dir)).filePath("outlook-demo-picture.png"));
    const QRgb Pixel = With.pixel(P) & 0xFFFFFFu;
    EXPECT_TRUE(Pixel == 0xC8D8E8u || Pixel == 0xB0C4DCu) << std::hex << Pixel;

    // The transparent list of the third page shows the picture behind its icons.
    Bar->SetActivePage(Bar->OutlookItems()->Item(2)->Button());
    const QImage Lists = Form->grab().toImage();
    if (const QByteArray Dir = qgetenv("ZEN_APP_DUMP"); !Dir.isEmpty())
        Lists.save(QDir(QString::fromLocal8Bit(Dir)).filePath("outlook-demo-lists.png"));
    const QPoint Q = Bar->mapTo(Form.get(), QPoint(390, 240));
    const QRgb Behind = Lists.pixel(Q) & 0xFFFFFFu;
    EXPECT_TRUE(Behind == 0xC8D8E8u || Behind == 0xB0C4DCu) << std::hex << Behind;

    Form->PictureCheck->SetChecked(false);
    EXPECT_EQ(Bar->Imager(), nullptr);
    Bar->SetActivePage(Bar->OutlookItems()->Item(0)->Button());
    EXPECT_EQ(Form->grab().toImage().pixel(P) & 0xFFFFFFu, Face);
}

} // namespace
