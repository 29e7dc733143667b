// Byte streams: the common read/write/seek rules on every stream kind, memory
// stream growth and copying, file stream modes and errors.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include "Streams.h"

namespace {

String TempPath(const QTemporaryDir& Dir, const char* Name)
{
    return (Dir.path() + "/" + Name).toStdString();
}

String FileContents(const String& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    return String(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WriteFile(const String& FileName, const String& Data)
{
    std::ofstream(FileName, std::ios::binary) << Data;
}

String ReadAll(TStream& S)
{
    S.SetPosition(0);
    String Result(static_cast<size_t>(S.Size()), '\0');
    S.ReadBuffer(Result.data(), static_cast<int64_t>(Result.size()));
    return Result;
}

template <class E>
void ExpectThrowMessage(const std::function<void()>& F, const String& Message)
{
    try {
        F();
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const E& Ex) {
        EXPECT_EQ(Ex.Message(), Message);
    }
}

struct StreamKind {
    const char* Name;
    std::function<std::unique_ptr<TStream>(const QTemporaryDir&)> Make;
};

const StreamKind StreamKinds[] = {
    {"memory", [](const QTemporaryDir&) { return std::make_unique<TMemoryStream>(); }},
    {"string", [](const QTemporaryDir&) { return std::make_unique<TStringStream>(); }},
    {"file", [](const QTemporaryDir& Dir) { return std::make_unique<TFileStream>(TempPath(Dir, "s.bin"), fmCreate); }},
};

} // namespace

// The rules every stream shares: reading stops at the end, seeking from each
// origin, writing past the end fills the gap with zeros, little-endian helpers.
TEST(StreamCommon, ReadWriteSeekOnEveryKind)
{
    for (const StreamKind& Kind : StreamKinds) {
        SCOPED_TRACE(Kind.Name);
        QTemporaryDir Dir;
        std::unique_ptr<TStream> S = Kind.Make(Dir);

        S->WriteBuffer("hello", 5);
        EXPECT_EQ(S->Position(), 5);
        EXPECT_EQ(S->Size(), 5);

        char Buf[16] = {};
        S->SetPosition(0);
        EXPECT_EQ(S->Read(Buf, 3), 3);
        EXPECT_EQ(String(Buf, 3), "hel");
        EXPECT_EQ(S->Read(Buf, 10), 2); // only what is left
        EXPECT_EQ(String(Buf, 2), "lo");
        EXPECT_EQ(S->Read(Buf, 1), 0);
        ExpectThrowMessage<EReadError>([&] { S->ReadBuffer(Buf, 1); }, "Stream read error");

        EXPECT_EQ(S->Seek(-2, soEnd), 3);
        EXPECT_EQ(S->Seek(1, soCurrent), 4);
        EXPECT_EQ(S->Seek(2, soBeginning), 2);
        S->WriteBuffer("LL", 2); // overwrites in place
        EXPECT_EQ(S->Size(), 5);

        // Past the end: the gap reads back as zeros.
        EXPECT_EQ(S->Seek(8, soBeginning), 8);
        EXPECT_EQ(S->Size(), 5);
        S->WriteByte('!');
        EXPECT_EQ(S->Size(), 9);
        EXPECT_EQ(ReadAll(*S), String("heLLo\0\0\0!", 9));

        // Little-endian helpers, read back through the same stream.
        S->SetSize(0);
        EXPECT_EQ(S->Position(), 0);
        S->WriteInt32(-2);
        S->WriteUInt32(0x01020304u);
        S->WriteUInt16(0xA1B2);
        S->WriteByte(0x7F);
        EXPECT_EQ(ReadAll(*S), String("\xFE\xFF\xFF\xFF\x04\x03\x02\x01\xB2\xA1\x7F", 11));
        S->SetPosition(0);
        EXPECT_EQ(S->ReadInt32(), -2);
        EXPECT_EQ(S->ReadUInt32(), 0x01020304u);
        EXPECT_EQ(S->ReadUInt16(), 0xA1B2);
        EXPECT_EQ(S->ReadByte(), 0x7F);
        EXPECT_THROW(S->ReadUInt16(), EReadError);
    }
}

TEST(StreamMemory, SizePositionAndGrowth)
{
    TMemoryStream S;
    // Growth over many writes keeps every byte.
    for (int I = 0; I < 100000; ++I)
        S.WriteByte(static_cast<uint8_t>(I * 7));
    ASSERT_EQ(S.Size(), 100000);
    bool AllKept = true;
    for (int I = 0; I < 100000; ++I)
        AllKept = AllKept && S.Bytes()[static_cast<size_t>(I)] == static_cast<uint8_t>(I * 7);
    EXPECT_TRUE(AllKept);

    // Shrinking pulls the position back; growing zero-fills and keeps it.
    S.SetSize(10);
    EXPECT_EQ(S.Position(), 10);
    S.SetPosition(4);
    S.SetSize(20);
    EXPECT_EQ(S.Position(), 4);
    EXPECT_EQ(S.Bytes()[15], 0);

    // A negative position moves nothing.
    EXPECT_EQ(S.Seek(-30, soEnd), -10);
    uint8_t B = 0;
    EXPECT_EQ(S.Read(&B, 1), 0);
    ExpectThrowMessage<EWriteError>([&] { S.WriteBuffer(&B, 1); }, "Stream write error");
    EXPECT_EQ(S.Size(), 20);

    ExpectThrowMessage<EStreamError>([&] { S.SetSize(-1); }, "Invalid stream size (-1)");
    S.Clear();
    EXPECT_EQ(S.Size(), 0);
    EXPECT_EQ(S.Position(), 0);
}

TEST(StreamMemory, CopyLoadAndSave)
{
    TStringStream Source("0123456789");
    Source.SetPosition(7);

    // Count 0 copies the whole source from its start.
    TMemoryStream Dest;
    EXPECT_EQ(Dest.CopyFrom(Source, 0), 10);
    EXPECT_EQ(ReadAll(Dest), "0123456789");

    // A counted copy starts at the source's position.
    Source.SetPosition(2);
    TStringStream Part;
    EXPECT_EQ(Part.CopyFrom(Source, 3), 3);
    EXPECT_EQ(Part.DataString(), "234");
    EXPECT_THROW(Part.CopyFrom(Source, 100), EReadError);
    EXPECT_THROW(Part.CopyFrom(Source, -1), EStreamError);

    // Load replaces the content with the whole other stream; save appends at the target's position.
    TMemoryStream M;
    M.LoadFromStream(Source);
    EXPECT_EQ(ReadAll(M), "0123456789");
    TStringStream Out("ab");
    Out.Seek(0, soEnd);
    M.SaveToStream(Out);
    EXPECT_EQ(Out.DataString(), "ab0123456789");

    QTemporaryDir Dir;
    const String File = TempPath(Dir, "m.bin");
    M.SaveToFile(File);
    EXPECT_EQ(FileContents(File), "0123456789");
    TMemoryStream Back;
    Back.WriteBuffer("old content that is longer", 26);
    Back.LoadFromFile(File);
    EXPECT_EQ(ReadAll(Back), "0123456789");
}

TEST(StreamFile, OpenModes)
{
    QTemporaryDir Dir;
    const String File = TempPath(Dir, "f.txt");

    struct Case {
        const char* Name;
        unsigned Mode;
        String Before;
        String Write;   // written at the start
        String After;   // file contents afterwards
    };
    const Case Cases[] = {
        {"create truncates", fmCreate, "old data", "new", "new"},
        {"create makes a new file", fmCreate, "", "x", "x"},
        {"write keeps the rest", fmOpenWrite, "old data", "NEW", "NEW data"},
        {"read-write keeps the rest", fmOpenReadWrite, "old data", "OL", "OLd data"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::remove(File.c_str());
        if (!C.Before.empty())
            WriteFile(File, C.Before);
        {
            TFileStream S(File, C.Mode);
            EXPECT_EQ(S.FileName(), File);
            S.WriteBuffer(C.Write.data(), static_cast<int64_t>(C.Write.size()));
        }
        EXPECT_EQ(FileContents(File), C.After);
    }

    // Alternating reads and writes on one stream.
    WriteFile(File, "abcdef");
    {
        TFileStream S(File, fmOpenReadWrite);
        EXPECT_EQ(S.ReadByte(), 'a');
        S.WriteByte('B');
        EXPECT_EQ(S.ReadByte(), 'c');
        S.WriteByte('D');
        EXPECT_EQ(S.Position(), 4);
        EXPECT_EQ(S.Size(), 6);
        EXPECT_EQ(S.Position(), 4);
    }
    EXPECT_EQ(FileContents(File), "aBcDef");

    // SetSize truncates or extends the file and moves to its new end.
    {
        TFileStream S(File, fmOpenReadWrite);
        S.SetSize(3);
        EXPECT_EQ(S.Position(), 3);
        EXPECT_EQ(S.Size(), 3);
        S.SetPosition(1);
        S.SetSize(5);
        EXPECT_EQ(S.Position(), 5);
    }
    EXPECT_EQ(FileContents(File), String("aBc\0\0", 5));

    // A read-only stream does not write; a write-only one does not read.
    {
        TFileStream S(File, fmOpenRead);
        EXPECT_EQ(S.Write("z", 1), 0);
        EXPECT_THROW(S.WriteBuffer("z", 1), EWriteError);
        EXPECT_EQ(S.ReadByte(), 'a');
    }
    {
        TFileStream S(File, fmOpenWrite);
        EXPECT_THROW(S.ReadByte(), EReadError);
    }
    EXPECT_EQ(FileContents(File), String("aBc\0\0", 5));
}

TEST(StreamFile, OpenAndCreateErrorsNameTheFile)
{
    QTemporaryDir Dir;
    const String Missing = TempPath(Dir, "missing.txt");
    const String InMissingDir = TempPath(Dir, "no/such/dir.txt");
    const String DirName = Dir.path().toStdString();

    struct Case {
        const char* Name;
        String File;
        unsigned Mode;
        bool Create;    // EFCreateError, else EFOpenError
        String Message;
    };
    const Case Cases[] = {
        {"read a missing file", Missing, fmOpenRead, false,
         "Cannot open file \"" + Missing + "\". No such file or directory"},
        {"write a missing file", Missing, fmOpenWrite, false,
         "Cannot open file \"" + Missing + "\". No such file or directory"},
        {"create in a missing folder", InMissingDir, fmCreate, true,
         "Cannot create file \"" + InMissingDir + "\". No such file or directory"},
        {"read a folder", DirName, fmOpenRead, false, "Cannot open file \"" + DirName + "\". Is a directory"},
        {"create over a folder", DirName, fmCreate, true, "Cannot create file \"" + DirName + "\". Is a directory"},
        {"empty name", "", fmOpenRead, false, "Cannot open file \"\". No such file or directory"},
        {"bad access mode", Missing, 3, false, "Cannot open file \"" + Missing + "\". Invalid file open mode (3)"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        try {
            TFileStream S(C.File, C.Mode);
            ADD_FAILURE() << "opened";
        } catch (const EFCreateError& E) {
            EXPECT_TRUE(C.Create);
            EXPECT_EQ(E.Message(), C.Message);
        } catch (const EFOpenError& E) {
            EXPECT_FALSE(C.Create);
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Missing)));

    TMemoryStream M;
    ExpectThrowMessage<EFOpenError>([&] { M.LoadFromFile(Missing); },
                                    "Cannot open file \"" + Missing + "\". No such file or directory");
}
