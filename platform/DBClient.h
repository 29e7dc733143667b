// A dataset kept in an XML dataset file (the format is described in
// docs/dataset-files.md):
//
//     <dataset version="1">
//       <fields>
//         <field name="CustNo" type="integer" required="true"/>
//         <field name="Company" type="string" size="30"/>
//       </fields>
//       <rows>
//         <row><v>1221</v><v>Blue Reef Outfitters</v></row>
//         <row><v>1231</v><null/></row>
//       </rows>
//     </dataset>
//
// With FileName set, opening reads the file; closing drops the records, so
// the next Open reads the file again. Changes reach the file only through
// SaveToFile. A missing or malformed file raises EDatabaseError naming the
// file, the line and what is wrong, and the dataset stays as it was.
#pragma once

#include <QByteArray>

#include "DB.h"

class TStream;

class TClientDataSet : public TDataSet {
    Q_OBJECT
    Q_PROPERTY(String FileName READ FileName WRITE SetFileName)
public:
    explicit TClientDataSet(TComponent* AOwner = nullptr);

    // Relative names are taken from the working directory; '\' separates
    // folders as '/' does.
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }

    // Reads a dataset file (FileName when none is given) and opens the
    // dataset on it. The file is read completely before anything changes.
    void LoadFromFile(const String& FileName = String());
    // Posts a pending edit and writes the records to the file (FileName when
    // none is given). The file is replaced only once it is written whole.
    void SaveToFile(const String& FileName = String());
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);

    // The format itself: ReadPacket raises EDatabaseError
    // "<SourceName>(<line>): <what>" for anything it cannot read.
    static TDataPacket ReadPacket(const QByteArray& Data, const String& SourceName);
    static QByteArray WritePacket(const TDataPacket& Packet);

protected:
    void InternalOpen() override;
    void InternalClose() override;

private:
    void LoadPacket(TDataPacket&& Packet);
    String FFileName;
};

void RegisterClientDataSetClasses();
