// Words and links under the mouse in a rich edit: the character at a point,
// the word around it between delimiter characters, and the mouse cursor of
// the edit's text area, so a window can make addresses in a document behave
// as web links (a hand over them, a click opens them).
#pragma once

#include "Controls.h"
#include "RichEdit.h"

// Blanks, line ends and punctuation that end a word in running text. The
// characters of addresses (".", "@", ":", "/", "-", "_") are not among them.
extern const char* const WordDelimiters;

// The word of Text around the character at Index (0-based): the run of
// characters that are not in Delimiters, without trailing full stops (a
// sentence may end with an address). Empty when Index lies outside the text
// or on a delimiter.
String WordAt(const String& Text, int Index, const String& Delimiters = WordDelimiters);

// The character under a client point of the edit: its 0-based position in
// the document's plain text (paragraphs ended by one line feed), or -1 when
// the point lies on no character (between or after lines, in a margin).
int CharAtPos(const TCustomRichEdit* Edit, TPoint P);

// The word under a client point ("" when there is none).
String WordAtPos(const TCustomRichEdit* Edit, TPoint P, const String& Delimiters = WordDelimiters);

// The mouse cursor over the edit's text: sets the control's Cursor and that
// of its text area; crDefault gives the text area back its own cursor.
void SetTextCursor(TCustomRichEdit* Edit, TCursor Cursor);
