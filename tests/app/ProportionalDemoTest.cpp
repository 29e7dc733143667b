// The proportional status bar demonstration: the panels keep their shares
// of the window's width when it is resized.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DemoForms.h"
#include "nvStatusBar.h"

namespace {

std::vector<int> Widths(TnvStatusBar* Bar)
{
    std::vector<int> W;
    for (int I = 0; I < Bar->Panels()->Count(); ++I)
        W.push_back(Bar->Panels()->Items(I)->PixelWidth());
    return W;
}

TEST(ProportionalDemoTest, PanelsKeepTheirShares)
{
    InitApplication();
    std::unique_ptr<TForm> Form(CheckedCast<TForm>(CreateFormInstance(ClassOf<TProportionalDemo>(), Application)));
    auto* Top = CheckedCast<TnvStatusBar>(Form->FindComponent("TopStatusBar"));
    auto* Bottom = CheckedCast<TnvStatusBar>(Form->FindComponent("BottomStatusBar"));
    Form->Show();
    EXPECT_EQ(Widths(Top), (std::vector<int>{130, 260, 130}));
    EXPECT_EQ(Widths(Bottom), (std::vector<int>{120, 160, 240}));
    Form->SetClientWidth(820);
    EXPECT_EQ(Widths(Top), (std::vector<int>{205, 410, 205}));
    EXPECT_EQ(Widths(Bottom), (std::vector<int>{120, 280, 420}));
}

} // namespace
