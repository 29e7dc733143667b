// The tiler demonstration window: the tile picked in the list becomes the
// tiled background.
#include <gtest/gtest.h>

#include <QDir>

#include <memory>

#include "TilerDemo.h"

namespace {

TEST(TilerDemoTest, PickedTileBecomesTheBackground)
{
    InitApplication();
    std::unique_ptr<TTilerForm> Form(
        CheckedCast<TTilerForm>(CreateFormInstance(ClassOf<TTilerForm>(), Application)));
    EXPECT_EQ(Form->Caption(), "Tiler Demo");
    ASSERT_EQ(Form->TileImages->Count(), 4);
    ASSERT_EQ(Form->TileList->Items()->Count(), 4);
    EXPECT_EQ(Form->Background->DrawStyle(), dsTile);
    Form->Show();
    // The background repeats its 64-pixel tile: pixels 64 apart agree.
    auto Shot = [&] { return Form->grab().toImage(); };
    const QPoint At = Form->Background->mapTo(Form.get(), QPoint(300, 300));
    const QPoint Next = At + QPoint(64, 0);
    for (int I = 0; I < 4; ++I) {
        SCOPED_TRACE(I);
        TnvOutlookListItem* Item = Form->TileList->Items()->Items(I);
        Form->TileList->OnItemClick(Form->TileList, Item);
        const QImage S = Shot();
        if (const QByteArray Dir = qgetenv("ZEN_APP_DUMP"); !Dir.isEmpty())
            S.save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString("tiler-%1.png").arg(I + 1)));
        EXPECT_EQ(S.pixel(At), S.pixel(Next));
        // The imager shows the picked tile's pixels.
        TBitmap Tile;
        ASSERT_TRUE(Form->TileImages->GetBitmap(I, &Tile));
        const QPoint InImager = Form->Background->mapFrom(Form.get(), At);
        EXPECT_EQ(S.pixel(At) & 0xFFFFFFu,
                  ColorToQRgb(Tile.Canvas()->Pixels(InImager.x() % 64, InImager.y() % 64)) & 0xFFFFFFu);
    }
}

} // namespace
