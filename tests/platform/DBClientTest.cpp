// Client datasets: the XML dataset files, their errors and the sample data.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "DBTestSupport.h"

namespace {

String SourceDir()
{
    const QByteArray Env = qgetenv("ZEN_SOURCE_DIR");
    if (!Env.isEmpty())
        return Env.toStdString();
    // tests/platform/DBClientTest.cpp -> the repository
    return FromQString(QFileInfo(QString::fromLocal8Bit(__FILE__)).absoluteDir().absoluteFilePath("../.."));
}

void WriteText(const String& FileName, const String& Text)
{
    QFile F(ToQString(FileName));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(Text.data(), static_cast<qint64>(Text.size()));
}

String ReadText(const String& FileName)
{
    QFile F(ToQString(FileName));
    if (!F.open(QIODevice::ReadOnly))
        return "<missing>";
    return F.readAll().toStdString();
}

std::unique_ptr<TClientDataSet> MakeNumbersLike()
{
    return MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}}, {{1, "n1"}, {2, "n2"}, {3, "n3"}});
}

std::vector<TTestColumn> AllTypes()
{
    return {{"S", ftString, 40}, {"M", ftMemo},      {"I", ftInteger}, {"S16", ftSmallint}, {"W", ftWord},
            {"L", ftLargeint},   {"F", ftFloat},     {"C", ftCurrency}, {"B", ftBoolean},   {"D", ftDate},
            {"T", ftTime},       {"DT", ftDateTime}, {"Bl", ftBlob},   {"G", ftGraphic}};
}

} // namespace

// ---------------------------------------------------------------- round trip

TEST(DBClient, SavingAndLoadingKeepsEveryValue)
{
    String AllBytes;
    for (int I = 0; I < 256; ++I)
        AllBytes.push_back(static_cast<char>(I));
    const double D1850 = EncodeDate(1850, 6, 1); // before the epoch: negative
    const std::vector<std::vector<TVariant>> Rows = {
        {"a&b<c>\"d'e", "line 1\r\nline 2\ttab  \r", 2147483647, -32768, 65535, std::numeric_limits<long long>::max(),
         0.1, 1234.5678, true, TVariant::FromDateTime(EncodeDate(1, 1, 1)),
         TVariant::FromDateTime(EncodeTime(23, 59, 59, 999)),
         TVariant::FromDateTime(D1850 - EncodeTime(6, 30, 0, 5)), AllBytes, String("\0BM\0", 4)},
        {"  blanks  ", "ctrl \x01\x02\x1f and \x7f", -2147483647 - 1, 0, 0, std::numeric_limits<long long>::min(),
         -2.5e300, -0.01, false, TVariant::FromDateTime(EncodeDate(9999, 12, 31)), TVariant::FromDateTime(0.0),
         TVariant::FromDateTime(EncodeDate(2024, 2, 29) + EncodeTime(12, 0, 0, 1)), "", String()},
        {"caf\xe9 \xff\xa0", "", 0, 1, 1, 0, 1.0 / 3, 0.0, TVariant(), TVariant(), TVariant(), TVariant(), TVariant(),
         TVariant()},
        {"", TVariant(), TVariant(), TVariant(), TVariant(), TVariant(), 1e-300, TVariant(), TVariant(), TVariant(),
         TVariant(), TVariant(), TVariant(), TVariant()},
    };
    auto Original = MakeTable(AllTypes(), Rows, "Original");

    QTemporaryDir Dir;
    const String Name = FromQString(Dir.path()) + "/all.xml";
    Original->SaveToFile(Name);
    TClientDataSet Copy;
    Copy.SetFileName(Name);
    Copy.Open();
    ASSERT_EQ(Copy.RecordCount(), static_cast<int>(Rows.size()));
    ASSERT_EQ(Copy.FieldCount(), Original->FieldCount());
    for (int F = 0; F < Copy.FieldCount(); ++F) {
        EXPECT_EQ(Copy.Fields()[F]->FieldName(), Original->Fields()[F]->FieldName());
        EXPECT_EQ(Copy.Fields()[F]->DataType(), Original->Fields()[F]->DataType());
        EXPECT_EQ(Copy.Fields()[F]->Size(), Original->Fields()[F]->Size());
    }
    Original->First();
    for (Copy.First(); !Copy.Eof(); Copy.Next(), Original->Next())
        for (int F = 0; F < Copy.FieldCount(); ++F) {
            SCOPED_TRACE("row " + IntToStr(Copy.RecNo()) + ", field " + Copy.Fields()[F]->FieldName());
            const TVariant A = Original->Fields()[F]->Value();
            const TVariant B = Copy.Fields()[F]->Value();
            EXPECT_EQ(A.IsNull(), B.IsNull());
            EXPECT_EQ(A, B);
            if (A.Type() == TVarType::Double && B.Type() == TVarType::Double) {
                EXPECT_EQ(std::signbit(A.AsFloat()), std::signbit(B.AsFloat()));
            }
        }
    // Writing what was read gives the same file.
    const String First = ReadText(Name);
    Copy.SaveToFile(Name + "2");
    EXPECT_EQ(ReadText(Name + "2"), First);
    EXPECT_NE(First.find("<v enc=\"base64\">"), String::npos) << "control characters travel as base64";
    EXPECT_NE(First.find("line 1&#13;\nline 2\ttab  &#13;"), String::npos) << "CR survives as a reference";
}

TEST(DBClient, FileLayout)
{
    auto DS = MakeTable({{"Id", ftInteger}, {"Name", ftString, 10}, {"When", ftDate}, {"Pic", ftBlob}},
                        {{1, "a&b", TVariant::FromDateTime(EncodeDate(2024, 3, 15)), "hi"}, {2}});
    TMemoryStream Out;
    DS->SaveToStream(Out);
    EXPECT_EQ(String(Out.Bytes().begin(), Out.Bytes().end()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<dataset version=\"1\">\n"
              "  <fields>\n"
              "    <field name=\"Id\" type=\"integer\"/>\n"
              "    <field name=\"Name\" type=\"string\" size=\"10\"/>\n"
              "    <field name=\"When\" type=\"date\"/>\n"
              "    <field name=\"Pic\" type=\"blob\"/>\n"
              "  </fields>\n"
              "  <rows>\n"
              "    <row><v>1</v><v>a&amp;b</v><v>2024-03-15</v><v>aGk=</v></row>\n"
              "    <row><v>2</v><null/><null/><null/></row>\n"
              "  </rows>\n"
              "</dataset>\n");
    Out.SetPosition(0);
    TClientDataSet Back;
    Back.LoadFromStream(Out);
    EXPECT_EQ(ColumnText(Back, "Name"), "a&b,");
    EXPECT_EQ(Back.FieldByName("Pic")->AsString(), "hi");
}

// ---------------------------------------------------------------- bad files

TEST(DBClient, BadFilesRaiseWithTheFileAndLineAndLeaveTheDataSetClosed)
{
    const String Head = "<?xml version=\"1.0\"?>\n<dataset version=\"1\">\n";
    const String Fields = "<fields>\n<field name=\"A\" type=\"integer\"/>\n<field name=\"S\" type=\"string\" size=\"3\"/>\n</fields>\n";
    auto Rows = [&](const String& R) { return Head + Fields + "<rows>\n" + R + "\n</rows>\n</dataset>\n"; };
    struct TCase {
        String Text;
        String Error; // after "<file>(": the line and the text
    };
    const TCase Cases[] = {
        {"<foo/>", "1): the document is not a dataset file (its first element must be <dataset>)"},
        {"<dataset>\n<fields/>", "1): <dataset> has no version"},
        {"<dataset version=\"2\"/>", "1): unsupported dataset file version '2'"},
        {Head + "<rows/>\n</dataset>", "3): <fields> expected after <dataset>"},
        {Head + "<fields>\n</fields>\n<rows/></dataset>", "4): the dataset has no fields"},
        {Head + "<fields>\n<field name=\"A\" type=\"money\"/>\n</fields>", "4): field 'A' has the unknown type 'money'"},
        {Head + "<fields>\n<field name=\"A\" type=\"integer\"/>\n<field name=\"a\" type=\"string\"/>\n</fields>",
         "5): duplicate field name 'a'"},
        {Head + "<fields>\n<field type=\"integer\"/>\n</fields>", "4): a field has no name"},
        {Head + "<fields>\n<field name=\"A\" type=\"integer\" size=\"4\"/>\n</fields>",
         "4): field 'A': only string fields have a size"},
        {Head + "<fields>\n<field name=\"S\" type=\"string\" size=\"0\"/>\n</fields>",
         "4): field 'S' has the invalid size '0' (1 to 65535)"},
        {Head + "<fields>\n<field name=\"A\" type=\"integer\" required=\"yes\"/>\n</fields>",
         "4): field 'A': required must be true or false, not 'yes'"},
        {Rows("<row><v>1</v></row>"), "8): row 1 has 1 values for 2 fields"},
        {Rows("<row><v>1</v><v>x</v><v>2</v></row>"), "8): row 1 has more values than the 2 fields"},
        {Rows("<row><v>1</v><v>x</v></row>\n<row><v>12x</v><null/></row>"),
         "9): field 'A' of row 2: '12x' is not an integer"},
        {Rows("<row><v>99999999999</v><null/></row>"),
         "8): field 'A' of row 1: '99999999999' is not in the range -2147483648 to 2147483647"},
        {Rows("<row><v>1</v><v>abcd</v></row>"),
         "8): field 'S' of row 1: the value has 4 characters, more than the field's size 3"},
        {Rows("<row><v>1</v><v enc=\"base64\">@@@</v></row>"), "8): field 'S' of row 1: '@@@' is not valid base64 data"},
        {Rows("<row><v enc=\"hex\">1</v><null/></row>"), "8): field 'A' of row 1: unsupported encoding 'hex'"},
        {Rows("<row><v>1</v><v>\xe2\x82\xac</v></row>"),
         "8): character U+20AC in field 'S' of row 1 cannot be kept in 8-bit text"},
        {Rows("<row><v>1</v><null>x</null></row>"), "8): <null/> must be empty"},
        {Rows("<row>junk<v>1</v><null/></row>"), "8): unexpected text 'junk'"},
        {Rows("<row><w/></row>"), "8): unexpected element <w> in row 1"},
        {Rows("<item/>"), "8): unexpected element <item> in <rows>"},
        {Rows("<row><v>1<b/></v><null/></row>"), "8): Expected character data."},
        {Head + Fields + "<rows/>\n<extra/>\n</dataset>", "8): unexpected element <extra> after </rows>"},
        {"<!DOCTYPE dataset [<!ENTITY e \"x\">]>\n<dataset version=\"1\"/>",
         "1): document type declarations are not allowed"},
        {Head + Fields + "<rows>\n<row><v>1</v><v>x</v></row>\n", "9): Premature end of document."},
        {"", "1): Premature end of document."},
    };
    QTemporaryDir Dir;
    const String Name = FromQString(Dir.path()) + "/bad.xml";
    TClientDataSet DS;
    DS.SetName("Bad");
    DS.SetFileName(Name);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        WriteText(Name, C.Text);
        EXPECT_RAISES(DS.Open(), EDatabaseError, Name + "(" + C.Error);
        EXPECT_FALSE(DS.Active());
        EXPECT_EQ(DS.FieldCount(), 0);
    }
    // Typed values get the same checks.
    struct TValueCase {
        const char* Type;
        const char* Value;
        const char* What;
    };
    const TValueCase Values[] = {
        {"smallint", "40000", "in the range -32768 to 32767"},
        {"word", "-1", "in the range 0 to 65535"},
        {"largeint", "9223372036854775808", "an integer"},
        {"float", "1,5", "a number"},
        {"currency", "", "a number"},
        {"boolean", "yes", "true or false"},
        {"date", "2024-02-30", "a date (yyyy-mm-dd)"},
        {"date", "24-02-03", "a date (yyyy-mm-dd)"},
        {"time", "24:00:00.000", "a time (hh:mm:ss.zzz)"},
        {"time", "12:00:00", "a time (hh:mm:ss.zzz)"},
        {"datetime", "2024-02-03 12:00:00.000", "a date and time (yyyy-mm-ddThh:mm:ss.zzz)"},
        {"blob", "not base64!", "valid base64 data"},
    };
    for (const TValueCase& V : Values) {
        SCOPED_TRACE(String(V.Type) + " " + V.Value);
        WriteText(Name, Head + "<fields>\n<field name=\"X\" type=\"" + V.Type + "\"/>\n</fields>\n<rows>\n<row><v>" +
                            V.Value + "</v></row>\n</rows>\n</dataset>\n");
        EXPECT_RAISES(DS.Open(), EDatabaseError,
                      Name + "(7): field 'X' of row 1: '" + V.Value + "' is not " + V.What);
    }
}

TEST(DBClient, MissingFilesAndFailedSavesChangeNothing)
{
    QTemporaryDir Dir;
    const String Base = FromQString(Dir.path()) + "/";
    TClientDataSet DS;
    DS.SetName("Cust");
    DS.SetFileName(Base + "missing.xml");
    EXPECT_RAISES(DS.Open(), EDatabaseError,
                  "Cust: Cannot open dataset file '" + Base + "missing.xml': No such file or directory");
    EXPECT_FALSE(DS.Active());
    EXPECT_RAISES(DS.LoadFromFile(), EDatabaseError,
                  "Cust: Cannot open dataset file '" + Base + "missing.xml': No such file or directory");

    // A good file, then a bad one: the dataset keeps the good data.
    auto Good = MakeNumbersLike();
    Good->SaveToFile(Base + "good.xml");
    DS.LoadFromFile(Base + "good.xml");
    EXPECT_EQ(ColumnText(DS, "Id"), "1,2,3");
    WriteText(Base + "bad.xml", "<dataset version=\"1\">");
    EXPECT_THROW(DS.LoadFromFile(Base + "bad.xml"), EDatabaseError);
    EXPECT_TRUE(DS.Active());
    EXPECT_EQ(ColumnText(DS, "Id"), "1,2,3");

    // Saving into a folder that does not exist fails and leaves nothing.
    try {
        DS.SaveToFile(Base + "no/such/dir/out.xml");
        ADD_FAILURE() << "saving into a missing folder must fail";
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message().rfind("Cust: Cannot create dataset file '" + Base + "no/such/dir/out.xml': ", 0), 0u)
            << E.Message();
    }
    EXPECT_FALSE(QFile::exists(ToQString(Base + "no/such/dir/out.xml")));
    // A closed dataset cannot be saved, and the file stays as it was.
    const String Before = ReadText(Base + "good.xml");
    DS.Close();
    EXPECT_RAISES(DS.SaveToFile(Base + "good.xml"), EDatabaseError,
                  "Cust: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(ReadText(Base + "good.xml"), Before);
}

TEST(DBClient, FileNamesAreRelativeToTheWorkingDirectoryAndReadAtEachOpen)
{
    QTemporaryDir Dir;
    const QString Saved = QDir::currentPath();
    ASSERT_TRUE(QDir(Dir.path()).mkpath("db"));
    ASSERT_TRUE(QDir::setCurrent(Dir.path() + "/db"));
    struct TRestore {
        QString Path;
        ~TRestore() { QDir::setCurrent(Path); }
    } Restore{Saved};
    MakeNumbersLike()->SaveToFile("../numbers.xml");

    TClientDataSet DS;
    DS.SetFileName("..\\numbers.xml");
    DS.Open();
    EXPECT_EQ(DS.RecordCount(), 3);
    DS.Edit();
    DS.FieldByName("Name")->SetAsString("changed");
    DS.Post();
    DS.Close();
    DS.Open();
    EXPECT_EQ(ColumnText(DS, "Name"), "n1,n2,n3") << "unsaved changes go with Close; Open reads the file";
    DS.Edit();
    DS.FieldByName("Name")->SetAsString("saved");
    DS.SaveToFile();
    DS.Close();
    DS.Open();
    EXPECT_EQ(ColumnText(DS, "Name"), "saved,n2,n3");
}

// ---------------------------------------------------------------- sample data

namespace {

std::unique_ptr<TClientDataSet> OpenSample(const char* File)
{
    auto DS = std::make_unique<TClientDataSet>();
    DS->SetFileName(SourceDir() + "/app/db/" + File);
    DS->Open();
    return DS;
}

void ExpectFields(TDataSet& DS, std::initializer_list<std::pair<const char*, TFieldType>> Fields)
{
    for (const auto& [Name, Type] : Fields) {
        TField* F = DS.FindField(Name);
        ASSERT_NE(F, nullptr) << Name;
        EXPECT_EQ(F->DataType(), Type) << Name;
    }
}

} // namespace

TEST(DBSampleData, FilesHoldAConsistentSmallBusiness)
{
    auto Cust = OpenSample("nvcust.xml");
    auto Orders = OpenSample("nvorders.xml");
    auto Items = OpenSample("nvitems.xml");
    auto Parts = OpenSample("nvparts.xml");
    ExpectFields(*Cust, {{"CustNo", ftInteger}, {"Company", ftString}, {"Addr1", ftString}, {"City", ftString},
                         {"State", ftString}, {"Country", ftString}, {"Phone", ftString}});
    ExpectFields(*Orders, {{"OrderNo", ftInteger}, {"CustNo", ftInteger}, {"SaleDate", ftDateTime},
                           {"ItemsTotal", ftCurrency}, {"AmountPaid", ftCurrency}, {"Priority", ftSmallint}});
    ExpectFields(*Items, {{"OrderNo", ftInteger}, {"ItemNo", ftInteger}, {"PartNo", ftInteger}, {"Qty", ftInteger},
                          {"Discount", ftFloat}});
    ExpectFields(*Parts, {{"PartNo", ftInteger}, {"Description", ftString}, {"ListPrice", ftCurrency}});
    EXPECT_GE(Cust->RecordCount(), 30);
    EXPECT_LE(Cust->RecordCount(), 100);
    EXPECT_GE(Orders->RecordCount(), 200);
    EXPECT_GE(Items->RecordCount(), 800);

    std::set<String> Countries;
    for (Cust->First(); !Cust->Eof(); Cust->Next())
        Countries.insert(Cust->FieldByName("Country")->AsString());
    EXPECT_TRUE(Countries.count("US"));
    EXPECT_GE(Countries.size(), 3u);

    // Every item belongs to an order and a part; the order's total is the
    // sum of its items; nothing is paid beyond the total.
    std::map<int, double> Totals;
    for (Items->First(); !Items->Eof(); Items->Next()) {
        const TVariant Price = Parts->Lookup("PartNo", Items->FieldByName("PartNo")->Value(), "ListPrice");
        ASSERT_FALSE(Price.IsNull()) << "part " << Items->FieldByName("PartNo")->AsString();
        Totals[Items->FieldByName("OrderNo")->AsInteger()] += Items->FieldByName("Qty")->AsInteger() *
                                                              Price.AsFloat() *
                                                              (1 - Items->FieldByName("Discount")->AsFloat() / 100);
    }
    for (Orders->First(); !Orders->Eof(); Orders->Next()) {
        const int No = Orders->FieldByName("OrderNo")->AsInteger();
        ASSERT_FALSE(Cust->Lookup("CustNo", Orders->FieldByName("CustNo")->Value(), "CustNo").IsNull());
        ASSERT_TRUE(Totals.count(No)) << "order " << No << " has no items";
        EXPECT_NEAR(Orders->FieldByName("ItemsTotal")->AsFloat(), Totals[No], 0.01) << "order " << No;
        EXPECT_LE(Orders->FieldByName("AmountPaid")->AsFloat(), Orders->FieldByName("ItemsTotal")->AsFloat());
        const int P = Orders->FieldByName("Priority")->AsInteger();
        EXPECT_TRUE(P >= 0 && P <= 3);
    }
    EXPECT_EQ(Totals.size(), static_cast<size_t>(Orders->RecordCount()));

    // The three levels work as master and details.
    TDataSource CustSource, OrderSource;
    CustSource.SetDataSet(Cust.get());
    OrderSource.SetDataSet(Orders.get());
    Orders->SetIndexFieldNames("CustNo;OrderNo");
    Orders->SetMasterFields("CustNo");
    Orders->SetMasterSource(&CustSource);
    Items->SetIndexFieldNames("OrderNo;ItemNo");
    Items->SetMasterFields("OrderNo");
    Items->SetMasterSource(&OrderSource);
    int Seen = 0;
    for (Cust->First(); !Cust->Eof(); Cust->Next())
        for (Orders->First(); !Orders->Eof(); Orders->Next()) {
            EXPECT_EQ(Orders->FieldByName("CustNo")->AsInteger(), Cust->FieldByName("CustNo")->AsInteger());
            EXPECT_EQ(Items->FieldByName("OrderNo")->AsInteger(), Orders->FieldByName("OrderNo")->AsInteger());
            ++Seen;
        }
    Orders->SetMasterSource(nullptr);
    EXPECT_EQ(Seen, Orders->RecordCount());
}

TEST(DBSampleData, PictureAndMapFiles)
{
    auto Fish = OpenSample("biolife.xml");
    ExpectFields(*Fish, {{"SpeciesNo", ftInteger}, {"Category", ftString}, {"CommonName", ftString},
                         {"LengthCm", ftFloat}, {"Notes", ftMemo}, {"Graphic", ftGraphic}});
    auto Pictures = OpenSample("nvpicture.xml");
    ExpectFields(*Pictures, {{"Description", ftString}, {"Picture", ftGraphic}});
    auto County = OpenSample("nvcounty.xml");
    ExpectFields(*County, {{"CountyName", ftString}, {"CustNo", ftInteger}, {"Company", ftString}});
    EXPECT_GE(County->RecordCount(), 8);
    EXPECT_GE(Fish->RecordCount(), 20);

    for (auto [DS, Field] : {std::pair{Fish.get(), "Graphic"}, std::pair{Pictures.get(), "Picture"}})
        for (DS->First(); !DS->Eof(); DS->Next()) {
            const std::vector<uint8_t> Bytes = static_cast<TBlobField*>(DS->FieldByName(Field))->AsBytes();
            ASSERT_GT(Bytes.size(), 2u);
            EXPECT_EQ(String(Bytes.begin(), Bytes.begin() + 2), "BM");
            QImage Image;
            ASSERT_TRUE(Image.loadFromData(Bytes.data(), static_cast<int>(Bytes.size()), "BMP"))
                << Field << " of record " << DS->RecNo();
            EXPECT_EQ(Image.size(), QSize(160, 100));
        }
    for (Fish->First(); !Fish->Eof(); Fish->Next())
        EXPECT_GT(Fish->FieldByName("Notes")->AsString().size(), 40u);
    EXPECT_TRUE(County->Locate("CountyName", County->FieldByName("CountyName")->AsString()));
}
