#include "DBClient.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <charconv>
#include <cmath>
#include <limits>

#include "Streams.h"

namespace {

constexpr const char* FormatVersion = "1";

struct TTypeName {
    TFieldType Type;
    const char* Name;
};
const TTypeName TypeNames[] = {
    {ftString, "string"},   {ftSmallint, "smallint"}, {ftInteger, "integer"}, {ftWord, "word"},
    {ftLargeint, "largeint"}, {ftBoolean, "boolean"}, {ftFloat, "float"},     {ftCurrency, "currency"},
    {ftDate, "date"},       {ftTime, "time"},         {ftDateTime, "datetime"}, {ftMemo, "memo"},
    {ftBlob, "blob"},       {ftGraphic, "graphic"},
};

const char* TypeToName(TFieldType T)
{
    for (const TTypeName& N : TypeNames)
        if (N.Type == T)
            return N.Name;
    throw EDatabaseError("Field type " + FieldTypeName(T) + " cannot be stored in a dataset file");
}

bool NameToType(const String& Name, TFieldType& T)
{
    for (const TTypeName& N : TypeNames)
        if (Name == N.Name) {
            T = N.Type;
            return true;
        }
    return false;
}

String Quoted(const String& S)
{
    return "'" + S + "'";
}

String FileNameOf(const String& Name)
{
    String S = Name;
    for (char& C : S)
        if (C == '\\')
            C = '/';
    return S;
}

// ---------------------------------------------------------------- writing

void AppendUtf8(QByteArray& Out, unsigned char C)
{
    if (C < 0x80) {
        Out.append(static_cast<char>(C));
    } else {
        Out.append(static_cast<char>(0xC0 | (C >> 6)));
        Out.append(static_cast<char>(0x80 | (C & 0x3F)));
    }
}

// Text as element content or attribute value: the markup characters as
// entities, CR (and, in attributes, tab and LF) as character references so
// that reading gives them back unchanged.
void AppendEscaped(QByteArray& Out, const String& S, bool Attribute)
{
    for (char Ch : S) {
        const auto C = static_cast<unsigned char>(Ch);
        switch (C) {
        case '&': Out.append("&amp;"); break;
        case '<': Out.append("&lt;"); break;
        case '>': Out.append("&gt;"); break;
        case '"': Out.append(Attribute ? "&quot;" : "\""); break;
        case '\r': Out.append("&#13;"); break;
        case '\n': Out.append(Attribute ? "&#10;" : "\n"); break;
        case '\t': Out.append(Attribute ? "&#9;" : "\t"); break;
        default: AppendUtf8(Out, C);
        }
    }
}

// Characters XML cannot carry even as references: the other control characters.
bool NeedsBase64(const String& S)
{
    for (char Ch : S) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C < 0x20 && C != '\t' && C != '\n' && C != '\r')
            return true;
    }
    return false;
}

String TwoDigits(int V)
{
    return String(1, static_cast<char>('0' + V / 10 % 10)) + static_cast<char>('0' + V % 10);
}

String DateText(TDateTime V)
{
    int Y, M, D;
    DecodeDate(V, Y, M, D);
    String S = IntToStr(Y);
    S.insert(0, 4 - std::min<size_t>(4, S.size()), '0');
    return S + "-" + TwoDigits(M) + "-" + TwoDigits(D);
}

String TimeText(TDateTime V)
{
    int H, N, S, MS;
    DecodeTime(V, H, N, S, MS);
    return TwoDigits(H) + ":" + TwoDigits(N) + ":" + TwoDigits(S) + "." + String(1, static_cast<char>('0' + MS / 100)) +
           TwoDigits(MS % 100);
}

String FloatText(double V)
{
    char Buffer[64];
    const auto R = std::to_chars(Buffer, Buffer + sizeof Buffer, V);
    return String(Buffer, R.ptr);
}

void AppendValue(QByteArray& Out, const TVariant& V, TFieldType Type)
{
    if (V.IsNull()) {
        Out.append("<null/>");
        return;
    }
    switch (Type) {
    case ftString:
    case ftMemo: {
        const String S = V.AsString();
        if (NeedsBase64(S)) {
            Out.append("<v enc=\"base64\">");
            Out.append(QByteArray(S.data(), static_cast<qsizetype>(S.size())).toBase64());
        } else {
            Out.append("<v>");
            AppendEscaped(Out, S, false);
        }
        break;
    }
    case ftBlob:
    case ftGraphic: {
        const String S = V.AsString();
        Out.append("<v>");
        Out.append(QByteArray(S.data(), static_cast<qsizetype>(S.size())).toBase64());
        break;
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint: Out.append("<v>").append(IntToStr(V.AsInt64()).c_str()); break;
    case ftFloat:
    case ftCurrency: Out.append("<v>").append(FloatText(V.AsFloat()).c_str()); break;
    case ftBoolean: Out.append(V.AsBoolean() ? "<v>true" : "<v>false"); break;
    case ftDate: Out.append("<v>").append(DateText(V.AsDateTime()).c_str()); break;
    case ftTime: Out.append("<v>").append(TimeText(V.AsDateTime()).c_str()); break;
    case ftDateTime:
        Out.append("<v>").append((DateText(V.AsDateTime()) + "T" + TimeText(V.AsDateTime())).c_str());
        break;
    case ftUnknown: throw EDatabaseError("A field without data type cannot be stored");
    }
    Out.append("</v>");
}

// ---------------------------------------------------------------- reading

class TPacketReader {
public:
    TPacketReader(const QByteArray& Data, const String& Source) : FReader(Data), FSource(Source) {}

    TDataPacket Read()
    {
        if (!NextElement() || FReader.name() != QLatin1String("dataset"))
            Fail("the document is not a dataset file (its first element must be <dataset>)");
        const QString Version = FReader.attributes().value(QLatin1String("version")).toString();
        if (Version.isEmpty())
            Fail("<dataset> has no version");
        if (Version != QLatin1String(FormatVersion))
            Fail("unsupported dataset file version " + Quoted(Latin1(Version, "the version")));
        if (!NextElement() || FReader.name() != QLatin1String("fields"))
            Fail("<fields> expected after <dataset>");
        ReadFields();
        if (!NextElement() || FReader.name() != QLatin1String("rows"))
            Fail("<rows> expected after </fields>");
        ReadRows();
        if (NextElement())
            Fail("unexpected element <" + Latin1(FReader.name().toString(), "an element name") + "> after </rows>");
        // the end of <dataset>, then the end of the document
        while (!FReader.atEnd()) {
            FReader.readNext();
            CheckToken();
        }
        CheckError();
        return std::move(FPacket);
    }

private:
    [[noreturn]] void Fail(const String& What) const
    {
        throw EDatabaseError(FSource + "(" + IntToStr(static_cast<int64_t>(FReader.lineNumber())) + "): " + What);
    }

    void CheckError() const
    {
        if (FReader.hasError())
            Fail(FromQString(FReader.errorString()));
    }

    void CheckToken() const
    {
        CheckError();
        switch (FReader.tokenType()) {
        case QXmlStreamReader::Characters:
            if (!FReader.isWhitespace())
                Fail("unexpected text " + Quoted(Latin1(FReader.text().toString().left(20), "text")));
            break;
        case QXmlStreamReader::DTD: Fail("document type declarations are not allowed");
        case QXmlStreamReader::EntityReference: Fail("undeclared entity");
        default: break;
        }
    }

    // Moves to the next start element inside the current one; false at the
    // current element's end.
    bool NextElement()
    {
        while (!FReader.atEnd()) {
            FReader.readNext();
            CheckToken();
            if (FReader.isStartElement())
                return true;
            if (FReader.isEndElement())
                return false;
        }
        CheckError();
        Fail("unexpected end of the document");
    }

    String Latin1(const QString& S, const char* What) const
    {
        String R;
        R.reserve(static_cast<size_t>(S.size()));
        for (QChar C : S) {
            if (C.unicode() > 0xFF)
                Fail(String("character U+") + IntToHex(static_cast<int>(C.unicode()), 4) + " in " + What +
                     " cannot be kept in 8-bit text");
            R.push_back(static_cast<char>(C.unicode()));
        }
        return R;
    }

    String Attribute(const char* Name, const char* What) const
    {
        return Latin1(FReader.attributes().value(QLatin1String(Name)).toString(), What);
    }

    void ReadFields()
    {
        while (NextElement()) {
            if (FReader.name() != QLatin1String("field"))
                Fail("unexpected element <" + Latin1(FReader.name().toString(), "an element name") +
                     "> in <fields>");
            TDataPacket::TColumn C;
            C.Name = Attribute("name", "a field name");
            if (C.Name.empty())
                Fail("a field has no name");
            for (const auto& Other : FPacket.Columns)
                if (SameText(Other.Name, C.Name))
                    Fail("duplicate field name " + Quoted(C.Name));
            const String Type = Attribute("type", "a field type");
            if (Type.empty())
                Fail("field " + Quoted(C.Name) + " has no type");
            if (!NameToType(Type, C.DataType))
                Fail("field " + Quoted(C.Name) + " has the unknown type " + Quoted(Type));
            const String Size = Attribute("size", "a field size");
            if (!Size.empty()) {
                if (C.DataType != ftString)
                    Fail("field " + Quoted(C.Name) + ": only string fields have a size");
                int N = 0;
                if (!TryStrToInt(Size, N) || N < 1 || N > 65535 || Size.find_first_not_of("0123456789") != String::npos)
                    Fail("field " + Quoted(C.Name) + " has the invalid size " + Quoted(Size) + " (1 to 65535)");
                C.Size = N;
            } else if (C.DataType == ftString) {
                C.Size = 20;
            }
            const String Required = Attribute("required", "a field attribute");
            if (Required == "true")
                C.Required = true;
            else if (!Required.empty() && Required != "false")
                Fail("field " + Quoted(C.Name) + ": required must be true or false, not " + Quoted(Required));
            FPacket.Columns.push_back(C);
            if (NextElement())
                Fail("<field> cannot contain elements");
        }
        if (FPacket.Columns.empty())
            Fail("the dataset has no fields");
    }

    void ReadRows()
    {
        const size_t N = FPacket.Columns.size();
        while (NextElement()) {
            if (FReader.name() != QLatin1String("row"))
                Fail("unexpected element <" + Latin1(FReader.name().toString(), "an element name") + "> in <rows>");
            const int Row = static_cast<int>(FPacket.Rows.size()) + 1;
            std::vector<TVariant> Values;
            Values.reserve(N);
            while (NextElement()) {
                if (Values.size() == N)
                    Fail("row " + IntToStr(Row) + " has more values than the " + IntToStr(static_cast<int64_t>(N)) +
                         " fields");
                const auto& Col = FPacket.Columns[Values.size()];
                if (FReader.name() == QLatin1String("null")) {
                    if (!FReader.attributes().isEmpty() || !ReadText(Col, Row).empty())
                        Fail("<null/> must be empty");
                    Values.emplace_back();
                } else if (FReader.name() == QLatin1String("v")) {
                    Values.push_back(ReadValue(Col, Row));
                } else {
                    Fail("unexpected element <" + Latin1(FReader.name().toString(), "an element name") +
                         "> in row " + IntToStr(Row));
                }
            }
            if (Values.size() != N)
                Fail("row " + IntToStr(Row) + " has " + IntToStr(static_cast<int64_t>(Values.size())) +
                     " values for " + IntToStr(static_cast<int64_t>(N)) + " fields");
            FPacket.Rows.push_back(std::move(Values));
        }
    }

    String ReadText(const TDataPacket::TColumn& Col, int Row)
    {
        const QString Text = FReader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        CheckError();
        return Latin1(Text, ("field " + Quoted(Col.Name) + " of row " + IntToStr(Row)).c_str());
    }

    [[noreturn]] void Invalid(const TDataPacket::TColumn& Col, int Row, const String& Text, const char* What) const
    {
        String Shown = Text.size() <= 40 ? Text : Text.substr(0, 37) + "...";
        Fail("field " + Quoted(Col.Name) + " of row " + IntToStr(Row) + ": " + Quoted(Shown) + " is not " + What);
    }

    String Base64(const TDataPacket::TColumn& Col, int Row, const String& Text) const
    {
        QByteArray Clean;
        Clean.reserve(static_cast<qsizetype>(Text.size()));
        for (char C : Text)
            if (C != ' ' && C != '\n' && C != '\r' && C != '\t')
                Clean.append(C);
        auto R = QByteArray::fromBase64Encoding(Clean, QByteArray::AbortOnBase64DecodingErrors);
        if (!R)
            Invalid(Col, Row, Text, "valid base64 data");
        return String(R.decoded.constData(), static_cast<size_t>(R.decoded.size()));
    }

    static bool Digits(const String& S, size_t Pos, size_t Count, int& Value)
    {
        if (Pos + Count > S.size())
            return false;
        Value = 0;
        for (size_t I = Pos; I < Pos + Count; ++I) {
            if (S[I] < '0' || S[I] > '9')
                return false;
            Value = Value * 10 + (S[I] - '0');
        }
        return true;
    }

    static bool ParseDate(const String& S, size_t Pos, TDateTime& D)
    {
        int Y, M, Day;
        return Digits(S, Pos, 4, Y) && S[Pos + 4] == '-' && Digits(S, Pos + 5, 2, M) && S[Pos + 7] == '-' &&
               Digits(S, Pos + 8, 2, Day) && TryEncodeDate(Y, M, Day, D);
    }

    static bool ParseTime(const String& S, size_t Pos, TDateTime& T)
    {
        int H, N, Sec, MS;
        return S.size() == Pos + 12 && Digits(S, Pos, 2, H) && S[Pos + 2] == ':' && Digits(S, Pos + 3, 2, N) &&
               S[Pos + 5] == ':' && Digits(S, Pos + 6, 2, Sec) && S[Pos + 8] == '.' && Digits(S, Pos + 9, 3, MS) &&
               H < 24 && TryEncodeTime(H, N, Sec, MS, T);
    }

    TVariant ReadValue(const TDataPacket::TColumn& Col, int Row)
    {
        const String Encoding = Attribute("enc", "an encoding");
        if (!Encoding.empty() && (Encoding != "base64" || (Col.DataType != ftString && Col.DataType != ftMemo)))
            Fail("field " + Quoted(Col.Name) + " of row " + IntToStr(Row) + ": unsupported encoding " +
                 Quoted(Encoding));
        const String Text = ReadText(Col, Row);
        switch (Col.DataType) {
        case ftString:
        case ftMemo: {
            String S = Encoding.empty() ? Text : Base64(Col, Row, Text);
            if (Col.DataType == ftString && S.size() > static_cast<size_t>(Col.Size))
                Fail("field " + Quoted(Col.Name) + " of row " + IntToStr(Row) + ": the value has " +
                     IntToStr(static_cast<int64_t>(S.size())) + " characters, more than the field's size " +
                     IntToStr(Col.Size));
            return TVariant(std::move(S));
        }
        case ftBlob:
        case ftGraphic: return TVariant(Base64(Col, Row, Text));
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftLargeint: {
            int64_t V = 0;
            const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
            if (Text.empty() || R.ec != std::errc() || R.ptr != Text.data() + Text.size())
                Invalid(Col, Row, Text, "an integer");
            const int64_t Min = Col.DataType == ftSmallint ? -32768
                                : Col.DataType == ftWord   ? 0
                                : Col.DataType == ftInteger ? std::numeric_limits<int32_t>::min()
                                                            : std::numeric_limits<int64_t>::min();
            const int64_t Max = Col.DataType == ftSmallint ? 32767
                                : Col.DataType == ftWord   ? 65535
                                : Col.DataType == ftInteger ? std::numeric_limits<int32_t>::max()
                                                            : std::numeric_limits<int64_t>::max();
            if (V < Min || V > Max)
                Invalid(Col, Row, Text, ("in the range " + IntToStr(Min) + " to " + IntToStr(Max)).c_str());
            return Col.DataType == ftLargeint ? TVariant(static_cast<long long>(V)) : TVariant(static_cast<int>(V));
        }
        case ftFloat:
        case ftCurrency: {
            double V = 0;
            const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
            if (Text.empty() || R.ec != std::errc() || R.ptr != Text.data() + Text.size())
                Invalid(Col, Row, Text, "a number");
            return TVariant(V);
        }
        case ftBoolean:
            if (Text == "true")
                return TVariant(true);
            if (Text == "false")
                return TVariant(false);
            Invalid(Col, Row, Text, "true or false");
        case ftDate: {
            TDateTime D;
            if (Text.size() != 10 || !ParseDate(Text, 0, D))
                Invalid(Col, Row, Text, "a date (yyyy-mm-dd)");
            return TVariant::FromDateTime(D);
        }
        case ftTime: {
            TDateTime T;
            if (!ParseTime(Text, 0, T))
                Invalid(Col, Row, Text, "a time (hh:mm:ss.zzz)");
            return TVariant::FromDateTime(T);
        }
        case ftDateTime: {
            TDateTime D, T;
            if (Text.size() != 23 || !ParseDate(Text, 0, D) || Text[10] != 'T' || !ParseTime(Text, 11, T))
                Invalid(Col, Row, Text, "a date and time (yyyy-mm-ddThh:mm:ss.zzz)");
            return TVariant::FromDateTime(D < 0 ? D - T : D + T);
        }
        case ftUnknown: break;
        }
        Fail("field " + Quoted(Col.Name) + " has no data type");
    }

    QXmlStreamReader FReader;
    String FSource;
    TDataPacket FPacket;
};

QByteArray ReadWholeFile(const String& Name, const TComponent* Owner)
{
    QFile F(ToQString(FileNameOf(Name)));
    if (!F.open(QIODevice::ReadOnly))
        DatabaseError("Cannot open dataset file " + Quoted(Name) + ": " + FromQString(F.errorString()), Owner);
    const QByteArray Data = F.readAll();
    if (F.error() != QFileDevice::NoError)
        DatabaseError("Cannot read dataset file " + Quoted(Name) + ": " + FromQString(F.errorString()), Owner);
    return Data;
}

} // namespace

// ---------------------------------------------------------------- the format

TDataPacket TClientDataSet::ReadPacket(const QByteArray& Data, const String& SourceName)
{
    return TPacketReader(Data, SourceName).Read();
}

QByteArray TClientDataSet::WritePacket(const TDataPacket& Packet)
{
    QByteArray Out;
    Out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    Out.append("<dataset version=\"").append(FormatVersion).append("\">\n  <fields>\n");
    for (const auto& C : Packet.Columns) {
        if (NeedsBase64(C.Name))
            throw EDatabaseError("The field name " + Quoted(C.Name) + " has control characters and cannot be stored");
        Out.append("    <field name=\"");
        AppendEscaped(Out, C.Name, true);
        Out.append("\" type=\"").append(TypeToName(C.DataType)).append("\"");
        if (C.DataType == ftString)
            Out.append(" size=\"").append(IntToStr(C.Size > 0 ? C.Size : 20).c_str()).append("\"");
        if (C.Required)
            Out.append(" required=\"true\"");
        Out.append("/>\n");
    }
    Out.append("  </fields>\n  <rows>\n");
    for (const auto& Row : Packet.Rows) {
        if (Row.size() != Packet.Columns.size())
            throw EDatabaseError("A row has " + IntToStr(static_cast<int64_t>(Row.size())) + " values for " +
                                 IntToStr(static_cast<int64_t>(Packet.Columns.size())) + " fields");
        Out.append("    <row>");
        for (size_t I = 0; I < Row.size(); ++I)
            AppendValue(Out, Row[I], Packet.Columns[I].DataType);
        Out.append("</row>\n");
    }
    Out.append("  </rows>\n</dataset>\n");
    return Out;
}

// ---------------------------------------------------------------- client dataset

TClientDataSet::TClientDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

void TClientDataSet::InternalOpen()
{
    if (!FFileName.empty() && !HasStore())
        SetPacket(ReadPacket(ReadWholeFile(FFileName, this), FFileName));
    TDataSet::InternalOpen();
}

void TClientDataSet::InternalClose()
{
    if (!FFileName.empty() && HasStore())
        DropStore();
}

void TClientDataSet::LoadPacket(TDataPacket&& Packet)
{
    if (Active())
        Close();
    if (HasStore())
        DropStore();
    SetPacket(std::move(Packet));
    Open();
}

void TClientDataSet::LoadFromFile(const String& FileName)
{
    const String Name = FileName.empty() ? FFileName : FileName;
    if (Name.empty())
        Error("No dataset file name given");
    LoadPacket(ReadPacket(ReadWholeFile(Name, this), Name));
}

void TClientDataSet::LoadFromStream(TStream& Stream)
{
    TMemoryStream M;
    M.CopyFrom(Stream, 0);
    const QByteArray Data(reinterpret_cast<const char*>(M.Memory()), static_cast<qsizetype>(M.Size()));
    LoadPacket(ReadPacket(Data, Name().empty() ? String("stream") : Name()));
}

void TClientDataSet::SaveToStream(TStream& Stream)
{
    CheckBrowseMode();
    const QByteArray Data = WritePacket(GetPacket());
    Stream.WriteBuffer(Data.constData(), Data.size());
}

void TClientDataSet::SaveToFile(const String& FileName)
{
    const String Name = FileName.empty() ? FFileName : FileName;
    if (Name.empty())
        Error("No dataset file name given");
    CheckBrowseMode();
    const QByteArray Data = WritePacket(GetPacket());
    QSaveFile F(ToQString(FileNameOf(Name)));
    if (!F.open(QIODevice::WriteOnly))
        Error("Cannot create dataset file " + Quoted(Name) + ": " + FromQString(F.errorString()));
    if (F.write(Data) != Data.size() || !F.commit())
        Error("Cannot write dataset file " + Quoted(Name) + ": " + FromQString(F.errorString()));
}

void RegisterClientDataSetClasses()
{
    RegisterClasses<TClientDataSet>();
}
