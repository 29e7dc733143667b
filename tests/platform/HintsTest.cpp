// Hints: the application's hint follows the control under the mouse, the
// hint window opens after the pause with the short part of the hint, a
// program can put its own hint window class in, and leaving the control
// closes the window.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "ExtCtrls.h"
#include "Forms.h"

namespace {

// Runs the event loop for the given time, so that timers fire.
void Wait(int Ms)
{
    QEventLoop Loop;
    QTimer::singleShot(Ms, &Loop, &QEventLoop::quit);
    Loop.exec();
}

class TRecordingHintWindow : public THintWindow {
public:
    using THintWindow::THintWindow;
    void ActivateHint(TRect Rect, const String& AHint) override
    {
        Shown.push_back(AHint);
        THintWindow::ActivateHint(Rect, AHint);
    }
    std::vector<String> Shown;
};

TEST(Hints, FollowTheControlUnderTheMouseAndShowTheShortPart)
{
    InitApplication();
    TRecordingHintWindow* Window = nullptr;
    Application->SetHintWindowFactory([&](TComponent* Owner) { return Window = new TRecordingHintWindow(Owner); });
    Application->SetHintPause(10);
    Application->SetHintHidePause(5000);
    std::vector<String> Hints;
    Application->OnHint = [&](TObject*) { Hints.push_back(Application->Hint()); };

    TForm Form;
    Form.SetBounds(100, 100, 300, 200);
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(10, 10, 100, 50);
    Panel->SetHint("Open|Opens a document");
    Panel->SetShowHint(true);
    auto* Quiet = new TPanel(&Form);
    Quiet->SetParent(&Form);
    Quiet->SetBounds(150, 10, 100, 50);
    Quiet->SetHint("Quiet|Never shown in a window");
    Quiet->SetShowHint(false);
    Form.Show();

    Panel->Perform(WM_MOUSEMOVE, 0, PointToLParam(5, 5));
    EXPECT_EQ(Application->Hint(), "Opens a document");
    Wait(60);
    ASSERT_NE(Window, nullptr);
    ASSERT_EQ(Window->Shown.size(), 1u);
    EXPECT_EQ(Window->Shown[0], "Open");
    EXPECT_TRUE(Window->isVisible());
    // Moving within the same control does not open it again.
    Panel->Perform(WM_MOUSEMOVE, 0, PointToLParam(6, 6));
    Wait(40);
    EXPECT_EQ(Window->Shown.size(), 1u);

    // Leaving closes it; a control that does not show hints still sets the
    // application's hint.
    Panel->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(Window->isVisible());
    Quiet->Perform(WM_MOUSEMOVE, 0, PointToLParam(5, 5));
    Wait(40);
    EXPECT_EQ(Window->Shown.size(), 1u);
    EXPECT_EQ(Application->Hint(), "Never shown in a window");
    EXPECT_EQ(Hints, (std::vector<String>{"Opens a document", "", "Never shown in a window"}));

    Quiet->Perform(CM_MOUSELEAVE, 0, 0);
    Application->OnHint = nullptr;
    Application->SetHintWindowFactory(nullptr);
    delete Window;
}

} // namespace
