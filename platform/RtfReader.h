// The two halves of the rich text support (RichText.h is its interface) and
// the character and unit rules the reader and the writer share.
#pragma once

#include <QString>
#include <QTextFormat>
#include <QTextOption>

#include <cstdint>

#include "RichText.h"

namespace Rtf {

// Windows-1252 to Unicode; the five bytes the code page leaves undefined stand
// for the C1 control of the same value, as the platform converts them.
char16_t Cp1252ToUnicode(uint8_t Byte);
// The Windows-1252 byte of a character, or -1 when the code page lacks it.
int UnicodeToCp1252(char16_t Ch);

// Characters a text run never holds: C0 controls but the tab, paragraph and
// line breaks other than U+2028 (the cursor would split blocks), and the
// code points Qt uses for frames and embedded objects.
bool IsDroppedChar(char16_t Ch);

constexpr double TwipsPerPixel = 15.0; // 1440 twips an inch, 96 pixels an inch
constexpr int MaxTwips = 31680;        // 22 inches
constexpr int MaxHalfPoints = 3276;    // 1638 points

struct TTabStop {
    int Position = 0; // twips
    QTextOption::TabType Type = QTextOption::LeftTab;
    bool operator==(const TTabStop&) const = default;
};

struct TListProps {
    QTextListFormat::Style Style = QTextListFormat::ListStyleUndefined; // undefined: not a list
    QString Prefix;
    QString Suffix;
    bool operator==(const TListProps&) const = default;
};

// Reads the RTF document in Begin..End (it starts with "{\rtf") into Doc,
// replacing its content; raises EReadError, leaving Doc alone, for a document
// that cannot be read.
void ReadDocument(QTextDocument& Doc, const char* Begin, const char* End, const TRtfReadOptions& Options);
// Replaces Doc's content with plain Windows-1252 text.
void ReadPlainText(QTextDocument& Doc, const String& Data);

// The document as RTF in its stored form.
String WriteDocument(const QTextDocument& Doc);

} // namespace Rtf
