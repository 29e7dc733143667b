// Rich text (RTF) reading and writing over a QTextDocument: the stored form of
// the rich edit control's document.
//
// Reading
//   Data that does not begin with "{\rtf" is plain text: its bytes are
//   Windows-1252 characters, CR LF, CR and LF each end a paragraph and other
//   control characters but the tab (NUL among them) are dropped, as the
//   platform's rich edit loads text.
//   Otherwise the data is RTF. Understood:
//   - font table (\fonttbl, \fN, \fcharsetN, \deffN); a run's font family is the
//     name as written (mapping it to an installed family is the font layer's
//     work); sizes \fsN in half-points, kept as point sizes (1 to 1638 points);
//   - colour table (\colortbl, \red \green \blue), \cfN foreground and
//     \highlightN / \cbN background (indexes into the table; text without
//     them, and entries without components, have the automatic colour, which
//     sets no brush);
//   - \b \i \ul (and its variants) \ulnone \strike \striked \plain;
//   - paragraphs \par \pard, \ql \qc \qr \qj, indents \li \ri \fi and spacing
//     \sb \sa (twips; 15 twips make a pixel at 96 dpi), tab stops \tx with
//     \tqr \tqc \tqdec; \line, \tab; \page, \sect and \row end paragraphs,
//     \cell gives a tab;
//   - bullets and numbering as the platform's rich edit writes them:
//     {\*\pn \pnlvlblt ...} makes the paragraph an item of a QTextList with disc
//     style, \pnlvlbody with \pndec \pnlcltr \pnucltr \pnlcrm \pnucrm a
//     numbered one ({\pntxtb}/{\pntxta} give its prefix and suffix). The text
//     starts at the block's left margin (\li) and the marker hangs to its left,
//     as QTextEdit draws list items (the list's own indent is 0, so a list
//     paragraph needs a left indent to show its marker); the paragraph's \fi
//     is kept in the block format's RtfListHangingIndent property (twips) for
//     writing. The {\pntext ...} fallback is dropped for list paragraphs and
//     kept as text otherwise. Consecutive list paragraphs of one style share a
//     QTextList;
//   - \'hh bytes and raw 8-bit characters, decoded with the code page of the
//     run's font charset (\fcharsetN) or of the document (\ansicpgN, default
//     Windows-1252); \uN (negative values are 16-bit two's complement) skipping
//     \ucN fallback characters; \{ \} \\ \~ \- \_ and \emdash, \endash,
//     \bullet, \lquote, \rquote, \ldblquote, \rdblquote, \emspace, \enspace;
//   - {\field{\*\fldinst HYPERLINK "url"}{\fldrslt text}}: the result text
//     becomes an anchor with the URL (a \l "name" switch gives "#name"); other
//     fields keep their result text;
//   - skipped: {\* ...} destinations not listed above, \stylesheet, \info,
//     pictures (\pict, \object: not loaded), headers, footers, footnotes and
//     annotations; \binN data is passed over; unknown control words are ignored.
//
// Errors and best effort
//   EReadError "Invalid rich text: ..." is raised, before the document is
//   touched, when the data begins with "{\rtf" but its first control word is
//   not \rtf or \rtfN, or when groups nest deeper than MaxGroupDepth.
//   Everything else is read as far as it makes sense: a truncated document
//   keeps what was read and its open groups are closed at the end; what follows
//   the closing brace of the document (such as the NUL stored documents end
//   with) is ignored; an unmatched \'h, a control word longer than 32 letters
//   or one whose parameter does not fit 32 bits is ignored; parameters are
//   clamped to sensible ranges; NUL and other control characters in the text,
//   Qt's internal markers (U+FDD0..U+FDEF, U+FFFC, U+FFFE, U+FFFF) and
//   paragraph separators other than \par are dropped. Nothing recurses, so no
//   input can exhaust the stack, and memory grows only with the input's size.
//
// Writing
//   WriteRtf gives what the platform's rich edit stores: "{\rtf1\ansi
//   \ansicpg1252\deff0\deflang1033" with a font table of the families used
//   (each "\fnil\fcharset0", plus "Symbol" with \fcharset2 for bullets), a
//   colour table when colours are used, then "\viewkind4\uc1" and the
//   paragraphs, each ending with \par and CR LF; "}" CR LF and one NUL byte
//   end it. Text is Windows-1252 (\'hh above 0x7F), other characters \uN?.
//   Pictures and other embedded objects are not written. Reading what was
//   written gives back text, fonts (name, size, bold, italic, underline,
//   strike-out), colours, links, alignment, indents, spacing, tab stops and
//   lists.
#pragma once

#include <QTextFormat>

#include "SysUtils.h"

class QTextDocument;
class TStream;

struct TRtfReadOptions {
    // Groups nested deeper than this make the document invalid.
    int MaxGroupDepth = 10000;
};

// Block format property holding the first-line indent (\fi, twips) of a list
// paragraph, whose marker Qt draws left of the text instead.
constexpr int RtfListHangingIndent = QTextFormat::UserProperty + 0x5254;

// Replaces the content of Doc with the document Rtf (RTF, or plain text when
// it does not begin with "{\rtf"). The undo history is cleared.
void ReadRtf(QTextDocument& Doc, const String& Rtf, const TRtfReadOptions& Options = {});
// As above with the bytes from the stream's position to its end.
void ReadRtf(QTextDocument& Doc, TStream& Stream, const TRtfReadOptions& Options = {});

// The document as RTF, ending with "}" CR LF and a NUL byte.
String WriteRtf(const QTextDocument& Doc);
// Writes WriteRtf(Doc) to the stream at its position.
void WriteRtf(const QTextDocument& Doc, TStream& Stream);
