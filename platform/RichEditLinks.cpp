#include "RichEditLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

const char* const WordDelimiters = " \t\r\n,;!?()[]{}<>\"'";

String WordAt(const String& Text, int Index, const String& Delimiters)
{
    const int N = static_cast<int>(Text.size());
    auto IsDelimiter = [&](int I) { return Delimiters.find(Text[static_cast<size_t>(I)]) != String::npos; };
    if (Index < 0 || Index >= N || IsDelimiter(Index))
        return String();
    int First = Index;
    while (First > 0 && !IsDelimiter(First - 1))
        --First;
    int Last = Index;
    while (Last + 1 < N && !IsDelimiter(Last + 1))
        ++Last;
    String Word = Text.substr(static_cast<size_t>(First), static_cast<size_t>(Last - First + 1));
    while (!Word.empty() && Word.back() == '.')
        Word.pop_back();
    return Word;
}

int CharAtPos(const TCustomRichEdit* Edit, TPoint P)
{
    const QTextEdit* E = Edit->Editor();
    const QPoint InViewport = E->viewport()->mapFrom(Edit, QPoint(P.X, P.Y));
    if (!E->viewport()->rect().contains(InViewport))
        return -1;
    const QPointF InDocument =
        QPointF(InViewport) + QPointF(E->horizontalScrollBar()->value(), E->verticalScrollBar()->value());
    QTextDocument* Document = E->document();
    int Position = Document->documentLayout()->hitTest(InDocument, Qt::ExactHit);
    if (Position < 0)
        return -1;
    // The hit gives the nearest gap between characters: the character is
    // the one after it unless the point lies left of the gap.
    QTextCursor Cursor(Document);
    Cursor.setPosition(Position);
    if (InViewport.x() < E->cursorRect(Cursor).left() && Position > 0)
        --Position;
    const QString Text = Document->toPlainText();
    if (Position >= Text.size() || Text.at(Position) == QChar::ParagraphSeparator || Text.at(Position) == '\n')
        return -1;
    return Position;
}

String WordAtPos(const TCustomRichEdit* Edit, TPoint P, const String& Delimiters)
{
    const int Index = CharAtPos(Edit, P);
    if (Index < 0)
        return String();
    return WordAt(FromQString(Edit->Document()->toPlainText()), Index, Delimiters);
}

void SetTextCursor(TCustomRichEdit* Edit, TCursor Cursor)
{
    Edit->SetCursor(Cursor);
    QWidget* Area = Edit->Editor()->viewport();
    // The text area's own cursor, kept the first time it is replaced.
    static const char* const OwnCursor = "zenOwnCursor";
    if (!Area->property(OwnCursor).isValid())
        Area->setProperty(OwnCursor, static_cast<int>(Area->cursor().shape()));
    if (Cursor == crDefault)
        Area->setCursor(QCursor(static_cast<Qt::CursorShape>(Area->property(OwnCursor).toInt())));
    else
        Area->setCursor(QCursor(CursorToQt(Cursor)));
}
