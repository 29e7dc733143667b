// Reflection by name on Qt's meta-object system.
//
// A published property is a Q_PROPERTY declared by one of our classes (those
// whose class name does not start with "Q"), so a control sees its own
// properties but not those that QWidget declares. Property names compare
// case-insensitively, as identifiers of form files do. Kinds:
//
//   Integer/Int64  int, unsigned, qint64 ...
//   Float          double, float
//   Boolean        bool
//   String         String (std::string), QString, and char as a string of
//                  one character (the empty string is #0; ordinal access stays)
//   Enumeration    a Q_ENUM / Q_ENUM_NS type
//   Set            a Q_FLAG / Q_FLAG_NS type (QFlags)
//   IdentInteger   an integer type with names of its own (colours, cursors),
//                  registered with RegisterIntegerIdents
//   Class          a pointer to a QObject class: a sub-object (TFont) or a
//                  reference to a component (DataSource)
//   Method         an event (TEvent<...>) registered with ZEN_EVENT_TYPE
#pragma once

#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

#include "Classes.h"

enum class TPropKind { Unknown, Integer, Int64, Float, Boolean, String, Enumeration, Set, IdentInteger, Class, Method };

// Names of the values of integer types that have them (colours: "clRed").
struct TIntegerIdents {
    std::function<bool(int64_t Value, String& Ident)> ToIdent;
    std::function<bool(const String& Ident, int64_t& Value)> FromIdent;
};
void RegisterIntegerIdents(QMetaType Type, TIntegerIdents Idents);
const TIntegerIdents* FindIntegerIdents(QMetaType Type);

// True when the class that declares property Index of Meta is one of ours.
bool IsPublishedProperty(const QMetaObject* Meta, int Index);
// The published properties in declaration order, base classes first.
std::vector<QMetaProperty> GetPublishedProperties(const QObject* Object);
// The published property of that name, or an invalid QMetaProperty.
QMetaProperty FindPublishedProperty(const QObject* Object, const String& Name);

TPropKind PropKind(const QMetaProperty& Prop);
// The enumeration or set type of a property (valid only for those kinds).
QMetaEnum PropEnum(const QMetaProperty& Prop);
// The class a Class-kind property points to.
const QMetaObject* PropClass(const QMetaProperty& Prop);

// Enumerator names both ways; the value is -1 for an unknown name.
String GetEnumName(const QMetaEnum& Enum, int Value);
int GetEnumValue(const QMetaEnum& Enum, const String& Name);
// A set value written as the names of its members, "[fsBold,fsItalic]" with
// Brackets, and read back from either form. Raises EConvertError for an
// unknown member name.
String SetToString(const QMetaEnum& Enum, int Value, bool Brackets = false);
int StringToSet(const QMetaEnum& Enum, const String& Value);

// Resolves a dotted path ("TextOptions.ShadowEffects.Color"): the object that
// holds the last property and that property's name. Null when a step is not a
// published Class-kind property holding an object.
QObject* ResolvePropertyPath(QObject* Object, const String& Path, String* LastName);

// ---------------------------------------------------------------- access by name
// These raise EPropertyError "Property X does not exist" for a missing
// property and EConvertError for a value of the wrong kind.

int64_t GetOrdProp(const QObject* Object, const String& Name);
void SetOrdProp(QObject* Object, const String& Name, int64_t Value);
double GetFloatProp(const QObject* Object, const String& Name);
void SetFloatProp(QObject* Object, const String& Name, double Value);
String GetStrProp(const QObject* Object, const String& Name);
void SetStrProp(QObject* Object, const String& Name, const String& Value);
String GetEnumProp(const QObject* Object, const String& Name);
void SetEnumProp(QObject* Object, const String& Name, const String& Value);
String GetSetProp(const QObject* Object, const String& Name, bool Brackets = false);
void SetSetProp(QObject* Object, const String& Name, const String& Value);
QObject* GetObjectProp(const QObject* Object, const String& Name);
void SetObjectProp(QObject* Object, const String& Name, QObject* Value);
bool IsPublishedProp(const QObject* Object, const String& Name);

// Names of the published Boolean properties, in declaration order.
std::vector<String> GetBooleanPropertyNames(const QObject* Object);

// ---------------------------------------------------------------- values of one property
// The ordinal value (integers, Booleans, enumerations, sets, ident integers).
std::optional<int64_t> ReadOrdinal(const QObject* Object, const QMetaProperty& Prop);
bool WriteOrdinal(QObject* Object, const QMetaProperty& Prop, int64_t Value);
std::optional<String> ReadString(const QObject* Object, const QMetaProperty& Prop);
bool WriteString(QObject* Object, const QMetaProperty& Prop, const String& Value);
QObject* ReadObject(const QObject* Object, const QMetaProperty& Prop);
// Writes a pointer to an object of the property's class (or null).
bool WriteObject(QObject* Object, const QMetaProperty& Prop, QObject* Value);

ZEN_DECLARE_EXCEPTION(EPropertyError, Exception);
