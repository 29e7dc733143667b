// Stored forms: the text form format, its reader and its writer.
//
//     object MainForm: TMainForm
//       Caption = 'Zentavo Suite'
//       Font.Style = [fsBold]
//       Items.Strings = (
//         'one'
//         'two')
//       Buttons = <
//         item
//           Caption = 'First'
//         end>
//       RegionData = {0C000000...}          binary data as hex
//       Picture.Data = {file 'main.bmp.bin'} or a file beside the form
//       OnClick = TitleLabelClick           a method of the form
//       DataSource = DataSource1            a component of the form
//       object Button1: TButton
//         ...
//       end
//     end
//
// Reading parses the whole text first, then creates the components through
// the class registry, sets their properties by reflection, reads their own
// stored data (TPersistent::DefineProperties), resolves component references
// once everything exists, binds events to methods of the root by name and
// finally calls Loaded on every component read. A failure raises EReadError
// naming the file, the line, the component and the property, and deletes
// every component the reader created.
#pragma once

#include <functional>
#include <vector>

#include "Classes.h"

class TStream;
class TReader;
class TWriter;

// ---------------------------------------------------------------- parsed form

enum class TValueType {
    vaNull,
    vaInt,        // 12, -3, $FF
    vaFloat,      // 1.5, 2E10
    vaString,     // 'text'#13#10'more'
    vaIdent,      // clRed, True, SomeHandler, Component1
    vaSet,        // [fsBold, fsItalic]
    vaList,       // ( value value ... )
    vaBinary,     // { hex } or {file 'name'}
    vaCollection, // < item ... end item ... end >
};

struct TFormProperty;

struct TFormValue {
    TValueType Type = TValueType::vaNull;
    int Line = 0;
    int64_t Int = 0;
    double Float = 0;
    String Str;                        // string, identifier, or file name of binary data
    std::vector<uint8_t> Bytes;        // binary data given inline
    std::vector<TFormValue> Items;     // list items; set elements as identifiers
    std::vector<std::vector<TFormProperty>> CollectionItems;
    bool FromFile = false;             // binary data named a file beside the form

    static TFormValue MakeInt(int64_t V);
    static TFormValue MakeFloat(double V);
    static TFormValue MakeString(String V);
    static TFormValue MakeIdent(String V);
    static TFormValue MakeBinary(std::vector<uint8_t> V);
};

struct TFormProperty {
    String Name; // possibly dotted: Font.Style
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    String Name;
    String ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

// Parses form text; raises EReadError "<file>(<line>): <what>" on bad syntax.
TFormObject ParseFormText(const String& Text, const String& FileName);
// Writes a parsed form back as text (binary data always inline).
String FormObjectToText(const TFormObject& Object);

// ---------------------------------------------------------------- filers

// What DefineProperties sees: a reader or a writer, to which a persistent
// object declares the named properties it stores itself.
class TFiler {
public:
    using TReaderProc = std::function<void(TReader&)>;
    using TWriterProc = std::function<void(TWriter&)>;
    using TStreamProc = std::function<void(TStream&)>;

    virtual ~TFiler();
    TComponent* Root() const { return FRoot; }

    // A property stored as one or more values (strings, numbers, lists).
    virtual void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // A property stored as bytes; the stream passed to ReadData holds exactly
    // the stored bytes, WriteData writes them.
    virtual void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

protected:
    TComponent* FRoot = nullptr;
};

// Reads the value of a defined property. Each Read raises EReadError
// "Invalid property value" when the stored value has another type.
class TReader : public TFiler {
public:
    TValueType NextValue() const;
    int64_t ReadInteger();
    double ReadFloat();
    String ReadString();
    bool ReadBoolean();
    String ReadIdent();
    void ReadListBegin();
    bool EndOfList() const;
    void ReadListEnd();

    void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

private:
    friend class TFormReader;
    TReader() = default;
    const TFormValue& Current() const;
    void Advance();

    // The property being looked for and whether a definition took it.
    String FWanted;
    const TFormValue* FValue = nullptr;
    const TFormProperty* FProperty = nullptr;
    String FBaseDir;
    bool FFound = false;
    // Position inside the value: a stack of (list, index) for nested lists.
    std::vector<std::pair<const TFormValue*, size_t>> FStack;
    bool FConsumed = false;
};

// Writes the value of a defined property.
class TWriter : public TFiler {
public:
    void WriteInteger(int64_t Value);
    void WriteFloat(double Value);
    void WriteString(const String& Value);
    void WriteBoolean(bool Value);
    void WriteIdent(const String& Value);
    void WriteListBegin();
    void WriteListEnd();

    void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

private:
    friend class TFormWriter;
    TWriter() = default;
    void Put(TFormValue V);

    String FPrefix;
    std::vector<TFormProperty>* FOut = nullptr;
    std::vector<TFormValue*> FStack;
    TFormValue FValue;
    bool FHaveValue = false;
};

// ---------------------------------------------------------------- reading

struct TFormReadOptions {
    String FileName;  // for messages
    String BaseDir;   // where binary data files named by the form are
};

// Reads a parsed form into Root (its class must be the stored class or one
// derived from it) or, when Root is null, creates the root through the class
// registry with the given owner. Returns the root.
TComponent* ReadComponent(const TFormObject& Form, TComponent* Root, TComponent* Owner,
                          const TFormReadOptions& Options = {});
TComponent* ReadComponentFromText(const String& Text, TComponent* Root, TComponent* Owner = nullptr,
                                  const TFormReadOptions& Options = {});
// Reads a form file; binary data files are looked for beside it.
TComponent* ReadComponentFromFile(const String& FileName, TComponent* Root, TComponent* Owner = nullptr);

// ---------------------------------------------------------------- writing

struct TFormWriteOptions {
    // Binary data longer than this goes into a file beside the form when
    // writing a form file (0: always inline).
    size_t ExternalBinaryThreshold = 0;
};

// Writes Root, its properties that differ from those of a new instance of its
// class, its own stored data and its children. A class names the properties
// it writes even at their default value in Q_CLASSINFO("AlwaysStored",
// "Name, Other") (ancestors' lists count too).
TFormObject WriteComponent(TComponent* Root);
String ComponentToText(TComponent* Root);
void WriteComponentToFile(const String& FileName, TComponent* Root, const TFormWriteOptions& Options = {});
