#include "TypInfo.h"

#include <QHash>

#include <cstring>
#include <string>
#include <unordered_map>

namespace {

bool SameName(const char* A, const String& B)
{
    size_t N = std::strlen(A);
    if (N != B.size())
        return false;
    for (size_t I = 0; I < N; ++I)
        if (std::tolower(static_cast<unsigned char>(A[I])) != std::tolower(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

QHash<int, TIntegerIdents>& IdentTypes()
{
    static QHash<int, TIntegerIdents> Types;
    return Types;
}

bool IsStringType(QMetaType T)
{
    return T == QMetaType::fromType<String>() || T.id() == QMetaType::QString;
}

[[noreturn]] void NoProperty(const String& Name)
{
    throw EPropertyError("Property " + Name + " does not exist");
}

QMetaProperty Need(const QObject* Object, const String& Name)
{
    QMetaProperty P = FindPublishedProperty(Object, Name);
    if (!P.isValid())
        NoProperty(Name);
    return P;
}

[[noreturn]] void BadKind(const QMetaProperty& P)
{
    throw EConvertError(String("Invalid property type: ") + P.typeName() + " of property " + P.name());
}

// Integer-like metatypes: enumerations, flags and ident integers are read and
// written through their raw bytes, whatever conversions Qt registered for them.
int64_t RawToInt(QMetaType T, const void* Data)
{
    const bool Unsigned = T.flags().testFlag(QMetaType::IsUnsignedEnumeration);
    switch (T.sizeOf()) {
    case 1: return Unsigned ? int64_t(*static_cast<const uint8_t*>(Data)) : int64_t(*static_cast<const int8_t*>(Data));
    case 2: return Unsigned ? int64_t(*static_cast<const uint16_t*>(Data)) : int64_t(*static_cast<const int16_t*>(Data));
    case 4: return Unsigned ? int64_t(*static_cast<const uint32_t*>(Data)) : int64_t(*static_cast<const int32_t*>(Data));
    case 8: return *static_cast<const int64_t*>(Data);
    default: return 0;
    }
}

QVariant IntToRaw(QMetaType T, int64_t Value)
{
    unsigned char Buffer[8] = {};
    switch (T.sizeOf()) {
    case 1: { int8_t V = static_cast<int8_t>(Value); std::memcpy(Buffer, &V, 1); break; }
    case 2: { int16_t V = static_cast<int16_t>(Value); std::memcpy(Buffer, &V, 2); break; }
    case 4: { int32_t V = static_cast<int32_t>(Value); std::memcpy(Buffer, &V, 4); break; }
    case 8: std::memcpy(Buffer, &Value, 8); break;
    default: return {};
    }
    return QVariant(T, Buffer);
}

} // namespace

void RegisterIntegerIdents(QMetaType Type, TIntegerIdents Idents)
{
    IdentTypes().insert(Type.id(), std::move(Idents));
}

const TIntegerIdents* FindIntegerIdents(QMetaType Type)
{
    if (!Type.isValid())
        return nullptr;
    auto& Types = IdentTypes();
    auto It = Types.constFind(Type.id());
    return It == Types.constEnd() ? nullptr : &*It;
}

bool IsPublishedProperty(const QMetaObject* Meta, int Index)
{
    const QMetaObject* M = Meta;
    while (M && Index < M->propertyOffset())
        M = M->superClass();
    return M && M->className()[0] != 'Q';
}

std::vector<QMetaProperty> GetPublishedProperties(const QObject* Object)
{
    std::vector<QMetaProperty> Result;
    if (!Object)
        return Result;
    const QMetaObject* Meta = Object->metaObject();
    for (int I = 0; I < Meta->propertyCount(); ++I)
        if (IsPublishedProperty(Meta, I))
            Result.push_back(Meta->property(I));
    return Result;
}

QMetaProperty FindPublishedProperty(const QObject* Object, const String& Name)
{
    if (!Object)
        return {};
    const QMetaObject* Meta = Object->metaObject();
    // Each class's published properties by their lower-case names, made at
    // the first lookup; the most derived declaration wins when a class
    // redeclares a property.
    thread_local std::unordered_map<const QMetaObject*, std::unordered_map<std::string, int>> Classes;
    auto [Found, New] = Classes.try_emplace(Meta);
    if (New)
        for (int I = 0; I < Meta->propertyCount(); ++I)
            if (IsPublishedProperty(Meta, I)) {
                std::string Key = Meta->property(I).name();
                for (char& C : Key)
                    C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
                Found->second[Key] = I;
            }
    std::string Key = Name;
    for (char& C : Key)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    const auto It = Found->second.find(Key);
    return It == Found->second.end() ? QMetaProperty() : Meta->property(It->second);
}

QMetaEnum PropEnum(const QMetaProperty& Prop)
{
    if (Prop.isEnumType() || Prop.isFlagType())
        return Prop.enumerator();
    // An enumeration moc could not link to the property (declared in another
    // scope) is still found through its metatype.
    QMetaType T = Prop.metaType();
    if (const QMetaObject* M = T.metaObject()) {
        QByteArray Name = T.name();
        int Colon = Name.lastIndexOf(':');
        if (Colon >= 0)
            Name = Name.mid(Colon + 1);
        int I = M->indexOfEnumerator(Name.constData());
        if (I >= 0)
            return M->enumerator(I);
    }
    return {};
}

TPropKind PropKind(const QMetaProperty& Prop)
{
    if (!Prop.isValid())
        return TPropKind::Unknown;
    QMetaType T = Prop.metaType();
    if (FindEventType(T))
        return TPropKind::Method;
    if (FindIntegerIdents(T))
        return TPropKind::IdentInteger;
    if (Prop.isFlagType())
        return TPropKind::Set;
    if (Prop.isEnumType())
        return TPropKind::Enumeration;
    if (T.flags().testFlag(QMetaType::IsEnumeration)) {
        QMetaEnum E = PropEnum(Prop);
        if (E.isValid())
            return E.isFlag() ? TPropKind::Set : TPropKind::Enumeration;
        return TPropKind::Integer;
    }
    if (T.flags().testFlag(QMetaType::PointerToQObject))
        return TPropKind::Class;
    // A character reads and writes as a string of one character.
    if (IsStringType(T) || T.id() == QMetaType::Char)
        return TPropKind::String;
    switch (T.id()) {
    case QMetaType::Bool: return TPropKind::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar: return TPropKind::Integer;
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return TPropKind::Int64;
    case QMetaType::Double:
    case QMetaType::Float: return TPropKind::Float;
    default: return TPropKind::Unknown;
    }
}

const QMetaObject* PropClass(const QMetaProperty& Prop)
{
    return Prop.metaType().metaObject();
}

String GetEnumName(const QMetaEnum& Enum, int Value)
{
    const char* Key = Enum.valueToKey(Value);
    return Key ? String(Key) : String();
}

int GetEnumValue(const QMetaEnum& Enum, const String& Name)
{
    for (int I = 0; I < Enum.keyCount(); ++I)
        if (SameName(Enum.key(I), Name))
            return Enum.value(I);
    return -1;
}

String SetToString(const QMetaEnum& Enum, int Value, bool Brackets)
{
    String Result;
    for (int I = 0; I < Enum.keyCount(); ++I) {
        int Bit = Enum.value(I);
        // Only single-bit members: combinations such as "All" are not members.
        if (Bit == 0 || (Bit & (Bit - 1)) != 0 || (Value & Bit) != Bit)
            continue;
        if (!Result.empty())
            Result += ',';
        Result += Enum.key(I);
    }
    return Brackets ? "[" + Result + "]" : Result;
}

int StringToSet(const QMetaEnum& Enum, const String& Value)
{
    String S = Value;
    auto Blank = [](unsigned char C) { return C <= ' '; };
    while (!S.empty() && Blank(S.front()))
        S.erase(S.begin());
    while (!S.empty() && Blank(S.back()))
        S.pop_back();
    if (!S.empty() && S.front() == '[') {
        if (S.back() != ']')
            throw EConvertError("Invalid property value: " + Value);
        S = S.substr(1, S.size() - 2);
    }
    int Result = 0;
    size_t Start = 0;
    while (Start <= S.size()) {
        size_t Comma = S.find(',', Start);
        String Item = S.substr(Start, Comma == String::npos ? String::npos : Comma - Start);
        while (!Item.empty() && Blank(Item.front()))
            Item.erase(Item.begin());
        while (!Item.empty() && Blank(Item.back()))
            Item.pop_back();
        if (!Item.empty()) {
            int Bit = GetEnumValue(Enum, Item);
            if (Bit == -1)
                throw EConvertError("Invalid property value: " + Item + " is not a member of " +
                                    Enum.enumName());
            Result |= Bit;
        } else if (Comma != String::npos) {
            throw EConvertError("Invalid property value: " + Value);
        }
        if (Comma == String::npos)
            break;
        Start = Comma + 1;
    }
    return Result;
}

QObject* ResolvePropertyPath(QObject* Object, const String& Path, String* LastName)
{
    QObject* Current = Object;
    size_t Start = 0;
    for (;;) {
        size_t Dot = Path.find('.', Start);
        if (Dot == String::npos) {
            if (LastName)
                *LastName = Path.substr(Start);
            return Current;
        }
        String Step = Path.substr(Start, Dot - Start);
        QMetaProperty P = FindPublishedProperty(Current, Step);
        if (PropKind(P) != TPropKind::Class)
            return nullptr;
        Current = ReadObject(Current, P);
        if (!Current)
            return nullptr;
        Start = Dot + 1;
    }
}

// ---------------------------------------------------------------- one property

std::optional<int64_t> ReadOrdinal(const QObject* Object, const QMetaProperty& Prop)
{
    QVariant V = Prop.read(Object);
    if (!V.isValid())
        return std::nullopt;
    // Characters are strings to forms but keep their ordinal access.
    if (V.metaType().id() == QMetaType::Char)
        return static_cast<uint8_t>(V.value<char>());
    switch (PropKind(Prop)) {
    case TPropKind::Enumeration:
    case TPropKind::Set:
    case TPropKind::IdentInteger: return RawToInt(V.metaType(), V.constData());
    case TPropKind::Boolean: return V.toBool() ? 1 : 0;
    case TPropKind::Integer:
    case TPropKind::Int64:
        if (V.metaType().flags().testFlag(QMetaType::IsEnumeration))
            return RawToInt(V.metaType(), V.constData());
        return V.toLongLong();
    default: return std::nullopt;
    }
}

bool WriteOrdinal(QObject* Object, const QMetaProperty& Prop, int64_t Value)
{
    QMetaType T = Prop.metaType();
    if (T.id() == QMetaType::Char) {
        if (Value < 0 || Value > 255)
            return false;
        return Prop.write(Object, QVariant::fromValue(static_cast<char>(Value)));
    }
    switch (PropKind(Prop)) {
    case TPropKind::Enumeration:
    case TPropKind::Set:
    case TPropKind::IdentInteger: return Prop.write(Object, IntToRaw(T, Value));
    case TPropKind::Boolean: return Prop.write(Object, QVariant(Value != 0));
    case TPropKind::Integer:
    case TPropKind::Int64: {
        if (T.flags().testFlag(QMetaType::IsEnumeration))
            return Prop.write(Object, IntToRaw(T, Value));
        QVariant V(static_cast<qlonglong>(Value));
        if (!V.convert(T))
            return false;
        return Prop.write(Object, V);
    }
    default: return false;
    }
}

std::optional<String> ReadString(const QObject* Object, const QMetaProperty& Prop)
{
    QVariant V = Prop.read(Object);
    if (V.metaType() == QMetaType::fromType<String>())
        return V.value<String>();
    if (V.metaType().id() == QMetaType::QString)
        return FromQString(V.toString());
    if (V.metaType().id() == QMetaType::Char) {
        const char C = V.value<char>();
        return C ? String(1, C) : String();
    }
    return std::nullopt;
}

bool WriteString(QObject* Object, const QMetaProperty& Prop, const String& Value)
{
    QMetaType T = Prop.metaType();
    if (T == QMetaType::fromType<String>())
        return Prop.write(Object, QVariant::fromValue(Value));
    if (T.id() == QMetaType::QString)
        return Prop.write(Object, QVariant(ToQString(Value)));
    // A character property takes one character; the empty string is #0.
    if (T.id() == QMetaType::Char) {
        if (Value.size() > 1)
            return false;
        return Prop.write(Object, QVariant::fromValue(Value.empty() ? '\0' : Value[0]));
    }
    return false;
}

QObject* ReadObject(const QObject* Object, const QMetaProperty& Prop)
{
    if (PropKind(Prop) != TPropKind::Class)
        return nullptr;
    QVariant V = Prop.read(Object);
    if (!V.isValid())
        return nullptr;
    // Pointers to QObject classes: QObject is the first base of every class
    // with a meta-object, so the stored pointer is the QObject's address.
    return *static_cast<QObject* const*>(V.constData());
}

bool WriteObject(QObject* Object, const QMetaProperty& Prop, QObject* Value)
{
    if (PropKind(Prop) != TPropKind::Class)
        return false;
    const QMetaObject* Class = PropClass(Prop);
    if (Value && Class && !Value->metaObject()->inherits(Class))
        return false;
    return Prop.write(Object, QVariant(Prop.metaType(), &Value));
}

// ---------------------------------------------------------------- by name

int64_t GetOrdProp(const QObject* Object, const String& Name)
{
    QMetaProperty P = Need(Object, Name);
    auto V = ReadOrdinal(Object, P);
    if (!V)
        BadKind(P);
    return *V;
}

void SetOrdProp(QObject* Object, const String& Name, int64_t Value)
{
    QMetaProperty P = Need(Object, Name);
    if (!WriteOrdinal(Object, P, Value))
        BadKind(P);
}

double GetFloatProp(const QObject* Object, const String& Name)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) != TPropKind::Float)
        BadKind(P);
    return P.read(Object).toDouble();
}

void SetFloatProp(QObject* Object, const String& Name, double Value)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) != TPropKind::Float)
        BadKind(P);
    QVariant V(Value);
    V.convert(P.metaType());
    P.write(Object, V);
}

String GetStrProp(const QObject* Object, const String& Name)
{
    QMetaProperty P = Need(Object, Name);
    auto V = ReadString(Object, P);
    if (!V)
        BadKind(P);
    return *V;
}

void SetStrProp(QObject* Object, const String& Name, const String& Value)
{
    QMetaProperty P = Need(Object, Name);
    if (!WriteString(Object, P, Value))
        BadKind(P);
}

String GetEnumProp(const QObject* Object, const String& Name)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) == TPropKind::Boolean)
        return P.read(Object).toBool() ? "True" : "False";
    if (PropKind(P) != TPropKind::Enumeration)
        BadKind(P);
    return GetEnumName(PropEnum(P), static_cast<int>(*ReadOrdinal(Object, P)));
}

void SetEnumProp(QObject* Object, const String& Name, const String& Value)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) == TPropKind::Boolean) {
        if (SameName("True", Value) || SameName("False", Value)) {
            P.write(Object, QVariant(SameName("True", Value)));
            return;
        }
    } else if (PropKind(P) == TPropKind::Enumeration) {
        int V = GetEnumValue(PropEnum(P), Value);
        if (V != -1 || Value == "-1") {
            WriteOrdinal(Object, P, V);
            return;
        }
    } else {
        BadKind(P);
    }
    throw EConvertError("Invalid property value: " + Value);
}

String GetSetProp(const QObject* Object, const String& Name, bool Brackets)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) != TPropKind::Set)
        BadKind(P);
    return SetToString(PropEnum(P), static_cast<int>(*ReadOrdinal(Object, P)), Brackets);
}

void SetSetProp(QObject* Object, const String& Name, const String& Value)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) != TPropKind::Set)
        BadKind(P);
    WriteOrdinal(Object, P, StringToSet(PropEnum(P), Value));
}

QObject* GetObjectProp(const QObject* Object, const String& Name)
{
    QMetaProperty P = Need(Object, Name);
    if (PropKind(P) != TPropKind::Class)
        BadKind(P);
    return ReadObject(Object, P);
}

void SetObjectProp(QObject* Object, const String& Name, QObject* Value)
{
    QMetaProperty P = Need(Object, Name);
    if (!WriteObject(Object, P, Value))
        throw EConvertError(String("Invalid property value: an object of class ") +
                            (Value ? Value->metaObject()->className() : "nil") + " for property " + P.name());
}

bool IsPublishedProp(const QObject* Object, const String& Name)
{
    return FindPublishedProperty(Object, Name).isValid();
}

std::vector<String> GetBooleanPropertyNames(const QObject* Object)
{
    std::vector<String> Names;
    for (const QMetaProperty& P : GetPublishedProperties(Object))
        if (PropKind(P) == TPropKind::Boolean)
            Names.emplace_back(P.name());
    return Names;
}
