#include "Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Helpers in a namespace of their own: the platform library is a unity build.
namespace ZenStreams {

constexpr int64_t MaxCopyBuffer = 0xF000;

String StreamPositionError(int64_t Position)
{
    return "Stream position out of range (" + std::to_string(Position) + ")";
}

// The position that Seek computes from Origin, or an exception when the sum
// does not fit.
int64_t SeekTarget(int64_t Offset, TSeekOrigin Origin, int64_t Current, int64_t Size)
{
    int64_t Base = 0;
    switch (Origin) {
    case soBeginning:
        return Offset;
    case soCurrent:
        Base = Current;
        break;
    case soEnd:
        Base = Size;
        break;
    default:
        throw EStreamError("Invalid seek origin (" + std::to_string(static_cast<int>(Origin)) + ")");
    }
    int64_t Result = 0;
    if (__builtin_add_overflow(Base, Offset, &Result))
        throw EStreamError(StreamPositionError(Offset));
    return Result;
}

// Read, write and resize of a stream over a contiguous byte container
// (memory stream and string stream share the same rules): reading stops at
// the end, writing past the end grows the data and zero-fills any gap, a
// position outside 0..max moves nothing.
template <class Container>
int64_t BufferRead(const Container& Data, int64_t& Position, void* Buffer, int64_t Count)
{
    const int64_t Size = static_cast<int64_t>(Data.size());
    if (Position < 0 || Count <= 0 || Position >= Size)
        return 0;
    const int64_t N = std::min(Count, Size - Position);
    std::memcpy(Buffer, Data.data() + Position, static_cast<size_t>(N));
    Position += N;
    return N;
}

template <class Container>
void BufferResize(Container& Data, int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Invalid stream size (" + std::to_string(NewSize) + ")");
    try {
        Data.resize(static_cast<size_t>(NewSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
}

template <class Container>
int64_t BufferWrite(Container& Data, int64_t& Position, const void* Buffer, int64_t Count)
{
    if (Position < 0 || Count <= 0)
        return 0;
    int64_t End = 0;
    if (__builtin_add_overflow(Position, Count, &End))
        return 0;
    if (End > static_cast<int64_t>(Data.size()))
        BufferResize(Data, End);
    std::memcpy(Data.data() + Position, Buffer, static_cast<size_t>(Count));
    Position = End;
    return Count;
}

String OpenErrorText(const char* What, const String& FileName, int Error)
{
    return String("Cannot ") + What + " file \"" + FileName + "\". " + std::strerror(Error);
}

} // namespace ZenStreams

// ---------------------------------------------------------------- TStream

TStream::~TStream() = default;

void TStream::ReadBuffer(void* Buffer, int64_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int64_t TStream::Size()
{
    const int64_t Pos = Seek(0, soCurrent);
    const int64_t Result = Seek(0, soEnd);
    Seek(Pos, soBeginning);
    return Result;
}

void TStream::SetSize(int64_t)
{
    throw EStreamError("This stream cannot change its size");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count)
{
    if (Count < 0)
        throw EStreamError("Invalid stream copy count (" + std::to_string(Count) + ")");
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    const int64_t Result = Count;
    std::vector<uint8_t> Buffer(static_cast<size_t>(std::min(Count, ZenStreams::MaxCopyBuffer)));
    while (Count != 0) {
        const int64_t N = std::min(Count, static_cast<int64_t>(Buffer.size()));
        Source.ReadBuffer(Buffer.data(), N);
        WriteBuffer(Buffer.data(), N);
        Count -= N;
    }
    return Result;
}

uint8_t TStream::ReadByte()
{
    uint8_t B = 0;
    ReadBuffer(&B, 1);
    return B;
}

uint16_t TStream::ReadUInt16()
{
    uint8_t B[2];
    ReadBuffer(B, 2);
    return static_cast<uint16_t>(B[0] | (B[1] << 8));
}

uint32_t TStream::ReadUInt32()
{
    uint8_t B[4];
    ReadBuffer(B, 4);
    return static_cast<uint32_t>(B[0]) | (static_cast<uint32_t>(B[1]) << 8) | (static_cast<uint32_t>(B[2]) << 16) |
           (static_cast<uint32_t>(B[3]) << 24);
}

int32_t TStream::ReadInt32()
{
    return static_cast<int32_t>(ReadUInt32());
}

void TStream::WriteByte(uint8_t Value)
{
    WriteBuffer(&Value, 1);
}

void TStream::WriteUInt16(uint16_t Value)
{
    const uint8_t B[2] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8)};
    WriteBuffer(B, 2);
}

void TStream::WriteUInt32(uint32_t Value)
{
    const uint8_t B[4] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8),
                          static_cast<uint8_t>(Value >> 16), static_cast<uint8_t>(Value >> 24)};
    WriteBuffer(B, 4);
}

void TStream::WriteInt32(int32_t Value)
{
    WriteUInt32(static_cast<uint32_t>(Value));
}

// ---------------------------------------------------------------- TMemoryStream

int64_t TMemoryStream::Read(void* Buffer, int64_t Count)
{
    return ZenStreams::BufferRead(FData, FPosition, Buffer, Count);
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count)
{
    return ZenStreams::BufferWrite(FData, FPosition, Buffer, Count);
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    FPosition = ZenStreams::SeekTarget(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    ZenStreams::BufferResize(FData, NewSize);
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    const int64_t Count = Stream.Size();
    SetSize(Count);
    if (Count != 0)
        Stream.ReadBuffer(FData.data(), Count);
}

void TMemoryStream::SaveToStream(TStream& Stream)
{
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
    TFileStream Stream(FileName, fmOpenRead);
    LoadFromStream(Stream);
}

void TMemoryStream::SaveToFile(const String& FileName)
{
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

// ---------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const String& FileName, unsigned Mode) : FFileName(FileName)
{
    const bool Create = (Mode & fmCreate) == fmCreate;
    const char* What = Create ? "create" : "open";
    auto Fail = [&](int Error) -> void {
        if (Create)
            throw EFCreateError(ZenStreams::OpenErrorText(What, FileName, Error));
        throw EFOpenError(ZenStreams::OpenErrorText(What, FileName, Error));
    };
    if (FileName.empty() || FileName.find('\0') != String::npos)
        Fail(ENOENT);

    int Flags = 0;
    const char* FileMode = nullptr;
    if (Create) {
        Flags = O_RDWR | O_CREAT | O_TRUNC;
        FileMode = "w+b";
    } else {
        switch (Mode & 3) {
        case fmOpenRead:
            Flags = O_RDONLY;
            FileMode = "rb";
            break;
        case fmOpenWrite:
            Flags = O_WRONLY;
            FileMode = "wb"; // fdopen does not truncate
            break;
        case fmOpenReadWrite:
            Flags = O_RDWR;
            FileMode = "r+b";
            break;
        default:
            throw EFOpenError("Cannot open file \"" + FileName + "\". Invalid file open mode (" +
                              std::to_string(Mode) + ")");
        }
    }
    const int Fd = ::open(FileName.c_str(), Flags | O_CLOEXEC, 0666);
    if (Fd < 0)
        Fail(errno);
    struct stat Info {};
    if (::fstat(Fd, &Info) == 0 && S_ISDIR(Info.st_mode)) {
        ::close(Fd);
        Fail(EISDIR);
    }
    FFile = ::fdopen(Fd, FileMode);
    if (!FFile) {
        const int Error = errno;
        ::close(Fd);
        Fail(Error);
    }
}

TFileStream::~TFileStream()
{
    if (FFile)
        std::fclose(FFile);
}

void TFileStream::SwitchTo(TLastOperation Operation)
{
    // The C library needs a positioning call between reading and writing.
    if (FLastOperation != Operation && FLastOperation != TLastOperation::None)
        ::fseeko(FFile, 0, SEEK_CUR);
    FLastOperation = Operation;
}

int64_t TFileStream::Read(void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    SwitchTo(TLastOperation::Read);
    const size_t N = std::fread(Buffer, 1, static_cast<size_t>(Count), FFile);
    if (N < static_cast<size_t>(Count))
        std::clearerr(FFile);
    return static_cast<int64_t>(N);
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    SwitchTo(TLastOperation::Write);
    const size_t N = std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile);
    if (N < static_cast<size_t>(Count))
        std::clearerr(FFile);
    return static_cast<int64_t>(N);
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    int Whence = SEEK_SET;
    switch (Origin) {
    case soBeginning:
        Whence = SEEK_SET;
        break;
    case soCurrent:
        Whence = SEEK_CUR;
        break;
    case soEnd:
        Whence = SEEK_END;
        break;
    default:
        throw EStreamError("Invalid seek origin (" + std::to_string(static_cast<int>(Origin)) + ")");
    }
    // A query of the position leaves the buffered state alone.
    if (Offset == 0 && Origin == soCurrent) {
        const off_t Pos = ::ftello(FFile);
        if (Pos >= 0)
            return Pos;
    }
    if (::fseeko(FFile, static_cast<off_t>(Offset), Whence) != 0)
        throw EStreamError(ZenStreams::OpenErrorText("seek in", FFileName, errno));
    FLastOperation = TLastOperation::None;
    return ::ftello(FFile);
}

void TFileStream::SetSize(int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Invalid stream size (" + std::to_string(NewSize) + ")");
    // As on the runtime, the position moves to the new end.
    Seek(NewSize, soBeginning);
    std::fflush(FFile);
    if (::ftruncate(::fileno(FFile), static_cast<off_t>(NewSize)) != 0)
        throw EStreamError(ZenStreams::OpenErrorText("resize", FFileName, errno));
}

// ---------------------------------------------------------------- TStringStream

int64_t TStringStream::Read(void* Buffer, int64_t Count)
{
    return ZenStreams::BufferRead(FData, FPosition, Buffer, Count);
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count)
{
    return ZenStreams::BufferWrite(FData, FPosition, Buffer, Count);
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    FPosition = ZenStreams::SeekTarget(Offset, Origin, FPosition, static_cast<int64_t>(FData.size()));
    return FPosition;
}

void TStringStream::SetSize(int64_t NewSize)
{
    ZenStreams::BufferResize(FData, NewSize);
    if (FPosition > NewSize)
        FPosition = NewSize;
}
