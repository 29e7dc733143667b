// Words and links under the mouse in a rich edit: the word around a
// character, the character under a point, and the text area's cursor.
#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextEdit>

#include <memory>

#include "Forms.h"
#include "RichEditLinks.h"

namespace {

TEST(RichEditLinks, WordAroundACharacter)
{
    const String Text = "Mail sales@zentavo.example. Or visit www.zentavo.example/order, (today)!";
    struct TCase {
        int Index;
        const char* Word;
    } Cases[] = {
        {0, "Mail"},
        {3, "Mail"},
        {4, ""},                          // the blank
        {5, "sales@zentavo.example"},     // first character
        {15, "sales@zentavo.example"},    // inside
        {26, "sales@zentavo.example"},    // on the full stop that ends the sentence
        {40, "www.zentavo.example/order"},
        {62, ""},                         // the comma
        {65, "today"},                    // inside the brackets
        {70, ""},                         // the closing bracket
        {-1, ""},
        {static_cast<int>(Text.size()), ""},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(WordAt(Text, C.Index), C.Word) << C.Index;
    // Other delimiters make other words.
    EXPECT_EQ(WordAt("a-b c", 0, " -"), "a");
    EXPECT_EQ(WordAt("...", 1), "");
}

struct TEditFixture {
    std::unique_ptr<TForm> Form;
    TRichEdit* Edit;
    TEditFixture()
    {
        InitApplication();
        Form = std::make_unique<TForm>();
        Form->SetBounds(0, 0, 400, 200);
        Edit = new TRichEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 380, 150);
        Edit->Lines()->SetText("Visit www.zentavo.example today\r\nSecond line");
        Form->Show();
    }
    // The client point over the middle of the character at Position.
    TPoint Over(int Position) const
    {
        QTextEdit* E = Edit->Editor();
        QTextCursor C(E->document());
        C.setPosition(Position);
        const QRect Left = E->cursorRect(C);
        C.setPosition(Position + 1);
        const QRect Right = E->cursorRect(C);
        const QPoint InViewport((Left.left() + Right.left()) / 2, Left.center().y());
        const QPoint InEdit = E->viewport()->mapTo(Edit, InViewport);
        return TPoint(InEdit.x(), InEdit.y());
    }
};

TEST(RichEditLinks, CharacterAndWordUnderAPoint)
{
    TEditFixture F;
    for (int Position : {0, 6, 12, 24, 27, 33}) {
        SCOPED_TRACE(Position);
        EXPECT_EQ(CharAtPos(F.Edit, F.Over(Position)), Position);
    }
    EXPECT_EQ(WordAtPos(F.Edit, F.Over(8)), "www.zentavo.example");
    EXPECT_EQ(WordAtPos(F.Edit, F.Over(5)), "") << "the blank";
    EXPECT_EQ(WordAtPos(F.Edit, F.Over(34)), "Second");
    EXPECT_EQ(WordAtPos(F.Edit, F.Over(40)), "line");
    // Right of the end of the first line, and below the text: no character.
    const TPoint End = F.Over(30);
    EXPECT_EQ(CharAtPos(F.Edit, TPoint(End.X + 120, End.Y)), -1);
    EXPECT_EQ(CharAtPos(F.Edit, TPoint(End.X, 140)), -1);
    EXPECT_EQ(WordAtPos(F.Edit, TPoint(End.X + 120, End.Y)), "");
    EXPECT_EQ(CharAtPos(F.Edit, TPoint(-5, 5)), -1);
}

TEST(RichEditLinks, TextCursorComesAndGoes)
{
    TEditFixture F;
    QWidget* Area = F.Edit->Editor()->viewport();
    const Qt::CursorShape Own = Area->cursor().shape();
    SetTextCursor(F.Edit, crHandPoint);
    EXPECT_EQ(F.Edit->Cursor(), crHandPoint);
    EXPECT_EQ(Area->cursor().shape(), Qt::PointingHandCursor);
    SetTextCursor(F.Edit, crHandPoint);
    SetTextCursor(F.Edit, crDefault);
    EXPECT_EQ(F.Edit->Cursor(), crDefault);
    EXPECT_EQ(Area->cursor().shape(), Own);
}

} // namespace
