// Writes the sample dataset files of the demonstration program: customers,
// orders, order items and parts of a small diving-equipment business, a fish
// catalogue with a drawn picture per species, county data for the map window
// and a small picture collection. Every name, number and picture is invented
// here from a fixed seed, so running the program again writes the same files.
//
//     zen_sample_data OUTPUT_FOLDER        (normally the repository's app/db)
//
// See docs/dataset-files.md for how to build it.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "DBClient.h"
#include "DateTime.h"

namespace {

// A 64-bit linear congruential generator; the high 31 bits are used.
class TRandom {
public:
    explicit TRandom(uint64_t Seed) : FState(Seed) {}
    uint32_t Next()
    {
        FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(FState >> 33);
    }
    int Below(int N) { return static_cast<int>(Next() % static_cast<uint32_t>(N)); }
    int Between(int Lo, int Hi) { return Lo + Below(Hi - Lo + 1); }
    double Unit() { return Next() / 2147483648.0; }
    bool Chance(int Percent) { return Below(100) < Percent; }
    template <class T, size_t N>
    const T& Pick(const T (&Items)[N])
    {
        return Items[Below(static_cast<int>(N))];
    }

private:
    uint64_t FState;
};

double Cents(double V)
{
    return std::round(V * 100) / 100;
}

String Digits(TRandom& R, int Count)
{
    String S;
    for (int I = 0; I < Count; ++I)
        S.push_back(static_cast<char>('0' + R.Below(10)));
    return S;
}

// A telephone number in the range kept for fiction.
String Phone(TRandom& R, const String& Area)
{
    return Area + "-555-0" + Digits(R, 3);
}

String Bmp(const QImage& Image)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    if (!Image.convertToFormat(QImage::Format_RGB888).save(&Buffer, "BMP"))
        throw Exception("Could not write a BMP picture");
    return String(Bytes.constData(), static_cast<size_t>(Bytes.size()));
}

TClientDataSet* NewTable(std::vector<TDataPacket::TColumn> Columns)
{
    auto* DS = new TClientDataSet();
    for (const auto& C : Columns)
        DS->FieldDefs()->Add(C.Name, C.DataType, C.Size, C.Required);
    DS->CreateDataSet();
    return DS;
}

void Save(TClientDataSet* DS, const String& Folder, const char* Name)
{
    DS->SaveToFile(Folder + "/" + Name);
    std::printf("%-14s %5d records\n", Name, DS->RecordCount());
    delete DS;
}

// ---------------------------------------------------------------- the business

struct TPlace {
    const char* City;
    const char* State;
    const char* Country;
    const char* Area; // telephone area code
};

const TPlace Places[] = {
    {"Port Alder", "FL", "US", "305"},      {"Gull Harbor", "FL", "US", "239"},
    {"Kestrel Bay", "CA", "US", "805"},     {"Seabright Cove", "CA", "US", "619"},
    {"Palm Crest", "HI", "US", "808"},      {"Wailani", "HI", "US", "808"},
    {"North Reach", "NC", "US", "252"},     {"Sandy Point", "TX", "US", "361"},
    {"Marrow Island", "WA", "US", "360"},   {"Heron Landing", "SC", "US", "843"},
    {"Cape Linden", "ME", "US", "207"},     {"Briar Shoals", "NJ", "US", "609"},
    {"Fairhaven Key", "FL", "US", "305"},   {"Osprey Point", "GA", "US", "912"},
    {"Coral Town", "New Providence", "Bahamas", "242"},
    {"Stella Maris", "Exuma", "Bahamas", "242"},
    {"Caye Loma", "Belize", "Belize", "501"},
    {"Savu Bay", "Northern", "Fiji", "679"},
    {"Tidewick", "BC", "Canada", "250"},
    {"Port Amber", "St. Ann", "Jamaica", "876"},
    {"Reefton", "QLD", "Australia", "617"},
    {"Isla Serena", "Quintana Roo", "Mexico", "998"},
    {"Lumaban", "Palawan", "Philippines", "632"},
    {"Georgeport", "Grand Cayman", "Cayman Islands", "345"},
};

const char* const CompanyFirst[] = {"Coral",  "Blue Lagoon", "Reefside", "Tidewater", "Sandbar",  "Kelp Forest",
                                    "Harbor", "Pelican",     "Marlin",   "Seahorse",  "Driftwood", "Anchor Point",
                                    "Sunset", "Turtle Bay",  "Manta",    "Breakwater", "Saltwind", "Mangrove",
                                    "Deep Blue", "Shipwreck", "Lighthouse", "Moonfish", "Riptide", "Starfish"};
const char* const CompanySecond[] = {"Divers",     "Dive Shop",   "Outfitters",    "Scuba Center",
                                     "Aquatics",   "Water Sports", "Dive Club",     "Marine Supply",
                                     "Adventures", "Diving Co.",  "Sea Gear",      "Underwater Tours"};
const char* const Streets[] = {"Harbor Rd", "Ocean Ave", "Palm St",    "Reef Way", "Shell Ln",   "Bay Dr",
                               "Lighthouse Blvd", "Coral Ct", "Dune Rd", "Pier St", "Tide Pool Ln", "Gull Way"};
const char* const FirstNames[] = {"Ada",  "Ben",   "Carla", "Dev",  "Elena", "Farid", "Greta", "Hugo",
                                  "Iris", "Jonas", "Kira",  "Luis", "Maren", "Nils",  "Olga",  "Pavel",
                                  "Quinn", "Rosa", "Sami",  "Tomas", "Uma",  "Vera",  "Wade",  "Yara"};
const char* const LastNames[] = {"Abbott", "Brandt", "Castell", "Dorsey", "Ekland",  "Fenwick", "Garvey",
                                 "Holm",   "Ingram", "Jarvis",  "Kettle", "Lindqvist", "Marsh", "Norcross",
                                 "Oakes",  "Pruitt", "Quill",   "Rowan",  "Sutter",  "Thorne", "Upton",
                                 "Vance",  "Whitby", "Yardley"};

const char* const PartKinds[] = {"Regulator", "Fins",        "Mask",         "Snorkel",     "Wetsuit",
                                 "Air Tank",  "BC Vest",     "Dive Light",   "Depth Gauge", "Compass",
                                 "Dive Knife", "Gloves",     "Boots",        "Hood",        "Weight Belt",
                                 "Camera Housing", "Strobe", "Dive Computer", "Dry Bag",    "Surface Marker"};
const char* const PartLines[] = {"Classic", "Pro", "Travel", "Deep", "Lite"};
const double PartBase[] = {240, 45, 38, 18, 160, 180, 220, 75, 95, 40, 35, 22, 30, 25, 28, 310, 190, 420, 24, 30};

struct TPart {
    int No;
    double Price;
};

struct TCustomer {
    int No;
    String Company;
    String Contact;
    String Phone;
    String City;
    bool US;
    double TaxRate;
};

void WriteBusiness(TRandom& R, const String& Folder, std::vector<TCustomer>& Customers)
{
    // Parts: sixty distinct kind/line combinations.
    std::vector<TPart> Parts;
    {
        TClientDataSet* DS = NewTable({{"PartNo", ftInteger, 0, true},
                                       {"VendorNo", ftInteger},
                                       {"Description", ftString, 30},
                                       {"OnHand", ftInteger},
                                       {"OnOrder", ftInteger},
                                       {"Cost", ftCurrency},
                                       {"ListPrice", ftCurrency}});
        std::set<std::pair<int, int>> Used;
        int No = 1310;
        while (Parts.size() < 60) {
            const int Kind = R.Below(20);
            const int Line = R.Below(5);
            if (!Used.insert({Kind, Line}).second)
                continue;
            const double Price = Cents(PartBase[Kind] * (0.7 + 0.15 * Line + 0.3 * R.Unit()));
            const double Cost = Cents(Price * (0.55 + 0.1 * R.Unit()));
            DS->AppendRecord({No, 2010 + 10 * R.Below(12), String(PartLines[Line]) + " " + PartKinds[Kind],
                              R.Between(0, 120), R.Chance(30) ? R.Between(10, 50) : 0, Cost, Price});
            Parts.push_back({No, Price});
            No += R.Between(3, 11);
        }
        Save(DS, Folder, "nvparts.xml");
    }

    // Customers: a mix of US and other countries.
    std::set<String> Companies;
    int CustNo = 1221;
    while (Customers.size() < 55) {
        // (Every call of R is a statement of its own or an element of a braced
        // list, so the order of the calls is fixed.)
        const String First = R.Pick(CompanyFirst);
        const String Company = First + " " + R.Pick(CompanySecond);
        if (!Companies.insert(Company).second)
            continue;
        const TPlace& P = R.Chance(60) ? Places[R.Below(14)] : Places[14 + R.Below(10)];
        const bool US = String(P.Country) == "US";
        const String Given = R.Pick(FirstNames);
        const String Contact = Given + " " + R.Pick(LastNames);
        TCustomer C{CustNo, Company, Contact, Phone(R, P.Area), P.City, US, US ? Cents(R.Between(0, 85) / 10.0) : 0.0};
        Customers.push_back(C);
        CustNo += R.Between(7, 60);
    }

    // Orders and their items.
    TClientDataSet* Orders = NewTable({{"OrderNo", ftInteger, 0, true},
                                       {"CustNo", ftInteger, 0, true},
                                       {"SaleDate", ftDateTime},
                                       {"ShipDate", ftDateTime},
                                       {"EmpNo", ftInteger},
                                       {"ShipVia", ftString, 7},
                                       {"Terms", ftString, 6},
                                       {"PaymentMethod", ftString, 7},
                                       {"ItemsTotal", ftCurrency},
                                       {"TaxRate", ftFloat},
                                       {"Freight", ftCurrency},
                                       {"AmountPaid", ftCurrency},
                                       {"Priority", ftSmallint}});
    TClientDataSet* Items = NewTable({{"OrderNo", ftInteger, 0, true},
                                      {"ItemNo", ftInteger, 0, true},
                                      {"PartNo", ftInteger},
                                      {"Qty", ftInteger},
                                      {"Discount", ftFloat}});
    const int Employees[] = {2, 4, 5, 8, 11, 12, 14, 15, 20, 24, 28, 29, 34, 36, 37};
    const char* const ShipVia[] = {"UPS", "DHL", "FedEx", "Emery", "US Mail"};
    const char* const Terms[] = {"Net 30", "Net 60", "COD", "FOB"};
    const char* const Payment[] = {"Credit", "Check", "Cash", "Wire"};
    const double Discounts[] = {0, 0, 0, 0, 5, 10, 15, 20};
    std::map<int, TDateTime> LastSale;
    const TDateTime Start = EncodeDate(2022, 1, 3);
    for (int OrderNo = 1003; OrderNo < 1003 + 420; ++OrderNo) {
        const TCustomer& C = Customers[static_cast<size_t>(R.Below(static_cast<int>(Customers.size())))];
        const int Day = R.Below(3 * 365);
        const int Hour = R.Between(8, 17);
        const int Minute = R.Below(60);
        const TDateTime Sale = Start + Day + EncodeTime(Hour, Minute, 0, 0);
        const TDateTime Ship = std::trunc(Sale) + R.Between(1, 9) + EncodeTime(9, 0, 0, 0);
        LastSale[C.No] = std::max(LastSale[C.No], Sale);
        const int Count = R.Chance(20) ? 1 : R.Chance(60) ? R.Between(2, 3) : R.Between(4, 5);
        std::set<size_t> Chosen;
        double Total = 0;
        for (int ItemNo = 1; ItemNo <= Count; ++ItemNo) {
            size_t P;
            do
                P = static_cast<size_t>(R.Below(static_cast<int>(Parts.size())));
            while (!Chosen.insert(P).second);
            const int Qty = R.Chance(70) ? R.Between(1, 5) : R.Between(6, 20);
            const double Discount = R.Pick(Discounts);
            Total += Qty * Parts[P].Price * (1 - Discount / 100);
            Items->AppendRecord({OrderNo, ItemNo, Parts[P].No, Qty, Discount});
        }
        Total = Cents(Total);
        const int Paid = R.Below(100);
        const int Quarters = R.Between(1, 3);
        const double Extra = 0.1 * R.Unit();
        const double AmountPaid = Paid < 45 ? Total : Paid < 65 ? 0.0 : Cents(Total * (Quarters * 0.25 + Extra));
        Orders->AppendRecord({OrderNo, C.No, TVariant::FromDateTime(Sale), TVariant::FromDateTime(Ship),
                              R.Pick(Employees), R.Pick(ShipVia), R.Pick(Terms), R.Pick(Payment), Total, C.TaxRate,
                              Cents(R.Between(0, 6000) / 100.0), std::min(AmountPaid, Total), R.Between(0, 3)});
    }
    Save(Orders, Folder, "nvorders.xml");
    Save(Items, Folder, "nvitems.xml");

    TClientDataSet* Cust = NewTable({{"CustNo", ftInteger, 0, true},
                                     {"Company", ftString, 30},
                                     {"Addr1", ftString, 30},
                                     {"Addr2", ftString, 30},
                                     {"City", ftString, 20},
                                     {"State", ftString, 20},
                                     {"Zip", ftString, 10},
                                     {"Country", ftString, 20},
                                     {"Phone", ftString, 15},
                                     {"FAX", ftString, 15},
                                     {"TaxRate", ftFloat},
                                     {"Contact", ftString, 25},
                                     {"LastInvoiceDate", ftDateTime}});
    for (const TCustomer& C : Customers) {
        const TPlace* P = nullptr;
        for (const TPlace& Q : Places)
            if (C.City == Q.City)
                P = &Q;
        const auto Last = LastSale.find(C.No);
        const String Number = IntToStr(R.Between(10, 9999));
        Cust->AppendRecord({C.No, C.Company, Number + " " + R.Pick(Streets),
                            R.Chance(25) ? TVariant("Suite " + IntToStr(R.Between(100, 499))) : TVariant(), C.City,
                            P->State, C.US ? TVariant(Digits(R, 5)) : R.Chance(50) ? TVariant(Digits(R, 4)) : TVariant(),
                            P->Country,
                            C.Phone, R.Chance(60) ? TVariant(Phone(R, P->Area)) : TVariant(), C.TaxRate, C.Contact,
                            Last == LastSale.end() ? TVariant() : TVariant::FromDateTime(Last->second)});
    }
    Save(Cust, Folder, "nvcust.xml");
}

// ---------------------------------------------------------------- the map window's counties

void WriteCounties(TRandom& R, const String& Folder, const std::vector<TCustomer>& Customers)
{
    const char* const Names[] = {"Alder",    "Brookmere", "Calloway", "Dunmore", "Eastwater", "Fernhill",
                                 "Glenrock", "Hollis",    "Ironwood", "Juniper", "Kingsley",  "Larkspur",
                                 "Merriam",  "Northgate", "Oxbow",    "Pinecrest"};
    const char* const Seats[] = {"Millbrook", "Ashford", "Riverton", "Stonebridge", "Clearwater", "Maple Falls",
                                 "Granite City", "Hollis", "Forge", "Cedarvale", "Kingsley", "Meadowview",
                                 "Merriam", "Gatesville", "Bend", "Summit"};
    std::vector<const TCustomer*> US;
    for (const TCustomer& C : Customers)
        if (C.US)
            US.push_back(&C);
    TClientDataSet* DS = NewTable({{"CountyNo", ftInteger, 0, true},
                                   {"CountyName", ftString, 20, true},
                                   {"Seat", ftString, 20},
                                   {"Population", ftInteger},
                                   {"AreaSqMi", ftFloat},
                                   {"CustNo", ftInteger},
                                   {"Company", ftString, 30},
                                   {"Contact", ftString, 25},
                                   {"Phone", ftString, 15},
                                   {"Sales", ftCurrency}});
    for (size_t I = 0; I < std::size(Names); ++I) {
        const TCustomer& C = *US[I % US.size()];
        DS->AppendRecord({static_cast<int>(I + 1), Names[I], Seats[I], R.Between(8000, 450000),
                          R.Between(2000, 19000) / 10.0, C.No, C.Company, C.Contact, C.Phone,
                          Cents(R.Between(50000, 2500000) / 100.0)});
    }
    Save(DS, Folder, "nvcounty.xml");
}

// ---------------------------------------------------------------- pictures

QColor Hsv(TRandom& R, int SatLo, int ValLo)
{
    const int H = R.Below(360);
    const int S = R.Between(SatLo, 255);
    return QColor::fromHsv(H, S, R.Between(ValLo, 255));
}

// A point, an ellipse and a rectangle at random, with the calls of R in a fixed order.
QPoint RandomPoint(TRandom& R, int X0, int X1, int Y0, int Y1)
{
    const int X = R.Between(X0, X1);
    return QPoint(X, R.Between(Y0, Y1));
}

// An underwater scene with one fish.
QImage DrawFish(TRandom& R)
{
    QImage Image(160, 100, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter P(&Image);
    QLinearGradient Water(0, 0, 0, 100);
    Water.setColorAt(0, QColor(120, 200, 235));
    Water.setColorAt(1, QColor(10, 60, 130));
    P.fillRect(Image.rect(), Water);
    P.setPen(Qt::NoPen);
    // Light rays from the surface.
    P.setBrush(QColor(160, 220, 245));
    for (int I = 0; I < 3; ++I) {
        const int X = R.Between(0, 150);
        P.drawPolygon(QPolygon({QPoint(X, 0), QPoint(X + 12, 0), QPoint(X + 40, 70), QPoint(X + 32, 70)}));
    }
    // Sand with a wavy top, rocks and weed.
    QPolygon Sand;
    Sand << QPoint(0, 100);
    const double Phase = R.Unit() * 6.28;
    for (int X = 0; X <= 160; X += 8)
        Sand << QPoint(X, 86 + static_cast<int>(std::lround(4 * std::sin(Phase + X / 18.0))));
    Sand << QPoint(160, 100);
    P.setBrush(QColor(214, 190, 130));
    P.drawPolygon(Sand);
    P.setBrush(QColor(110, 100, 95));
    for (int I = R.Between(1, 3); I > 0; --I) {
        const QPoint C = RandomPoint(R, 5, 155, 86, 94);
        const int RX = R.Between(6, 14);
        P.drawEllipse(C, RX, R.Between(4, 8));
    }
    P.setPen(QPen(QColor(40, 140, 70), 3));
    for (int I = R.Between(2, 4); I > 0; --I) {
        const int X = R.Between(5, 155);
        const int Top = 92 - R.Between(25, 50);
        QPolygon Weed;
        for (int Y = 92; Y > Top; Y -= 6)
            Weed << QPoint(X + ((Y / 6) % 2 ? 3 : -3), Y);
        P.drawPolyline(Weed);
    }
    // Bubbles.
    P.setPen(QPen(QColor(230, 245, 255), 1));
    P.setBrush(Qt::NoBrush);
    for (int I = R.Between(3, 7); I > 0; --I) {
        const int Rad = R.Between(1, 3);
        P.drawEllipse(RandomPoint(R, 10, 150, 5, 60), Rad, Rad);
    }

    // The fish, drawn facing right and mirrored half of the time.
    const QColor Body = Hsv(R, 150, 170);
    const QColor Stripe = R.Chance(50) ? QColor(Qt::white) : Hsv(R, 100, 40);
    const QColor Fin = Body.darker(130);
    const int L = R.Between(70, 104);
    const int H = R.Between(26, 46);
    const QPoint Centre = RandomPoint(R, 72, 88, 40, 52);
    P.translate(Centre);
    if (R.Chance(50))
        P.scale(-1, 1);
    P.setPen(QPen(Fin.darker(150), 1));
    P.setBrush(Fin);
    P.drawPolygon(QPolygon({QPoint(-L / 2 + 6, 0), QPoint(-L / 2 - 18, -H / 2), QPoint(-L / 2 - 12, 0),
                            QPoint(-L / 2 - 18, H / 2)}));                          // tail
    P.drawPolygon(QPolygon({QPoint(-L / 4, -H / 2 + 4), QPoint(0, -H / 2 - R.Between(6, 16)),
                            QPoint(L / 5, -H / 2 + 3)}));                           // dorsal fin
    P.drawPolygon(QPolygon({QPoint(-L / 6, H / 2 - 3), QPoint(0, H / 2 + 8), QPoint(L / 8, H / 2 - 2)})); // belly fin
    QPainterPath Shape;
    Shape.addEllipse(QRectF(-L / 2.0, -H / 2.0, L, H));
    P.setBrush(Body);
    P.drawPath(Shape);
    P.save();
    P.setClipPath(Shape);
    P.setPen(Qt::NoPen);
    P.setBrush(Stripe);
    const int Stripes = R.Below(5);
    for (int I = 0; I < Stripes; ++I)
        P.drawRect(-L / 2 + (I + 1) * L / (Stripes + 2) - 3, -H / 2, R.Between(3, 7), H);
    if (R.Chance(40)) {
        P.setBrush(Body.lighter(150));
        for (int I = 0; I < 12; ++I)
            P.drawEllipse(RandomPoint(R, -L / 2, L / 2, -H / 2, H / 2), 2, 2);
    }
    P.restore();
    P.setPen(QPen(Body.darker(160), 1));
    P.drawArc(QRect(L / 2 - 22, -H / 4, 8, H / 2), -60 * 16, 120 * 16); // gill
    P.setPen(Qt::NoPen);
    P.setBrush(Qt::white);
    P.drawEllipse(QPoint(L / 2 - 11, -H / 8), 4, 4);
    P.setBrush(Qt::black);
    P.drawEllipse(QPoint(L / 2 - 10, -H / 8), 2, 2);
    P.end();
    return Image;
}

const char* const FishCategories[] = {"Angelfish", "Butterflyfish", "Grouper", "Snapper", "Wrasse",
                                      "Parrotfish", "Triggerfish", "Damselfish", "Surgeonfish", "Moray",
                                      "Ray", "Shark", "Jack", "Goby"};
const char* const FishAdjectives[] = {"Sunburst", "Lemon",   "Banded",   "Spotted", "Royal",     "Copper",
                                      "Midnight", "Harlequin", "Saddled", "Blue-line", "Flame",   "Silver",
                                      "Peppered", "Checkered", "Golden", "Painted", "Striped",   "Masked",
                                      "Dusky",    "Scarlet", "Jewel",    "Ocellated", "Freckled", "Zebra",
                                      "Twilight", "Ivory",   "Crested",  "Velvet"};
const char* const GenusStart[] = {"Hali", "Cora", "Pomo", "Thera", "Acan", "Luta", "Chromo", "Pseudo", "Sera", "Zena"};
const char* const GenusEnd[] = {"ichthys", "canthus", "don", "nus", "ops", "labrus"};
const char* const SpeciesWords[] = {"aurorus", "lineatus", "maculosus", "vespertinus", "fulgens", "tessellatus",
                                    "placidus", "umbrosus", "radians", "pictus", "velatus", "serenus"};
const char* const Habitats[] = {"outer reef slopes", "shallow lagoons", "sea-grass beds", "rocky ledges",
                                "wreck sites", "sandy channels", "coral bommies", "mangrove edges"};
const char* const Foods[] = {"small crustaceans", "algae grazed from rocks", "sponges and tunicates",
                             "plankton in open water", "worms hidden in sand", "smaller fish at dusk"};
const char* const Meetings[] = {"alone near a cleaning station", "in loose schools above the reef",
                                "in pairs that keep to one territory", "resting under overhangs by day",
                                "hovering close to the bottom"};
const char* const Features[] = {"bold colour", "long dorsal fin", "curious nature", "quick darting swim",
                                "pattern of bars", "large eye"};

void WriteFish(TRandom& R, const String& Folder)
{
    TClientDataSet* DS = NewTable({{"SpeciesNo", ftInteger, 0, true},
                                   {"Category", ftString, 15},
                                   {"CommonName", ftString, 30},
                                   {"SpeciesName", ftString, 40},
                                   {"LengthCm", ftFloat},
                                   {"LengthIn", ftFloat},
                                   {"Notes", ftMemo},
                                   {"Graphic", ftGraphic}});
    std::set<String> Names;
    int No = 90020;
    while (Names.size() < 28) {
        const String Category = R.Pick(FishCategories);
        const String Common = String(R.Pick(FishAdjectives)) + " " + Category;
        if (!Names.insert(Common).second)
            continue;
        const String Stem = R.Pick(GenusStart);
        const String Genus = Stem + R.Pick(GenusEnd);
        const String Species = Genus + " " + R.Pick(SpeciesWords);
        const double Cm = R.Between(60, 1500) / 10.0;
        const int D1 = R.Between(1, 15);
        const int D2 = D1 + R.Between(5, 40);
        const String Habitat = R.Pick(Habitats);
        const String Food = R.Pick(Foods);
        const String Meeting = R.Pick(Meetings);
        const String Feature = R.Pick(Features);
        const String Notes = "The " + Common + " lives on " + Habitat + " at depths of " + IntToStr(D1) + " to " +
                             IntToStr(D2) + " metres. It feeds on " + Food + ".\r\n\r\nDivers usually meet it " +
                             Meeting + "; its " + Feature + " makes it easy to recognise. Adults reach about " +
                             IntToStr(static_cast<int>(std::lround(Cm))) + " cm.";
        DS->AppendRecord({No, Category, Common, Species, Cm, Cents(Cm / 2.54), Notes, Bmp(DrawFish(R))});
        No += 10;
    }
    Save(DS, Folder, "biolife.xml");
}

// Pictures of the collection, one drawing per design.
QImage DrawPicture(TRandom& R, int Design)
{
    QImage Image(160, 100, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter P(&Image);
    P.setPen(Qt::NoPen);
    switch (Design) {
    case 0: { // sunset over the sea
        QLinearGradient Sky(0, 0, 0, 60);
        Sky.setColorAt(0, QColor(70, 40, 120));
        Sky.setColorAt(1, QColor(250, 150, 60));
        P.fillRect(0, 0, 160, 60, Sky);
        P.setBrush(QColor(255, 220, 90));
        P.drawEllipse(QPoint(80, 60), 22, 22);
        for (int Y = 60; Y < 100; Y += 4) {
            P.setBrush(QColor(30, 50 + Y / 2, 120 + Y / 2));
            P.drawRect(0, Y, 160, 4);
        }
        P.setBrush(QColor(255, 200, 80));
        for (int Y = 62; Y < 96; Y += 6)
            P.drawRect(80 - (96 - Y) / 3, Y, 2 * (96 - Y) / 3, 2);
        break;
    }
    case 1: // checkerboard
        for (int Y = 0; Y < 100; Y += 10)
            for (int X = 0; X < 160; X += 10) {
                P.setBrush(((X + Y) / 10) % 2 ? QColor(30, 30, 40) : QColor(235, 225, 200));
                P.drawRect(X, Y, 10, 10);
            }
        break;
    case 2: // concentric rings
        for (int Rad = 90; Rad > 0; Rad -= 8) {
            P.setBrush(QColor::fromHsv((Rad * 4) % 360, 200, 230));
            P.drawEllipse(QPoint(80, 50), Rad, Rad);
        }
        break;
    case 3: // colour bars
        for (int I = 0; I < 8; ++I) {
            P.setBrush(QColor::fromHsv(I * 45, 230, 240));
            P.drawRect(I * 20, 0, 20, 100);
        }
        break;
    case 4: { // mountains
        P.fillRect(0, 0, 160, 100, QColor(170, 210, 240));
        for (int Layer = 0; Layer < 3; ++Layer) {
            QPolygon Hills;
            Hills << QPoint(0, 100);
            for (int X = 0; X <= 160; X += 20)
                Hills << QPoint(X, 40 + Layer * 18 + R.Between(-14, 14));
            Hills << QPoint(160, 100);
            P.setBrush(QColor(60 + Layer * 40, 90 + Layer * 30, 70 + Layer * 10));
            P.drawPolygon(Hills);
        }
        break;
    }
    case 5: // starry night
        P.fillRect(0, 0, 160, 100, QColor(10, 15, 45));
        P.setBrush(QColor(250, 250, 210));
        for (int I = 0; I < 60; ++I) {
            const QPoint Star = RandomPoint(R, 0, 159, 0, 99);
            const int W = 1 + R.Below(2);
            P.drawRect(Star.x(), Star.y(), W, 1 + R.Below(2));
        }
        P.drawEllipse(QPoint(125, 25), 12, 12);
        P.setBrush(QColor(10, 15, 45));
        P.drawEllipse(QPoint(131, 21), 11, 11);
        break;
    case 6: // waves
        P.fillRect(0, 0, 160, 100, QColor(235, 245, 250));
        for (int Row = 0; Row < 8; ++Row) {
            P.setPen(QPen(QColor::fromHsv(190 + Row * 4, 200, 230 - Row * 15), 3));
            QPolygon Wave;
            for (int X = 0; X <= 160; X += 4)
                Wave << QPoint(X, 8 + Row * 12 + static_cast<int>(std::lround(4 * std::sin(X / 10.0 + Row))));
            P.drawPolyline(Wave);
        }
        break;
    case 7: // diagonal stripes
        P.fillRect(0, 0, 160, 100, QColor(250, 240, 120));
        P.setBrush(QColor(40, 40, 40));
        for (int X = -100; X < 160; X += 24)
            P.drawPolygon(QPolygon({QPoint(X, 100), QPoint(X + 12, 100), QPoint(X + 112, 0), QPoint(X + 100, 0)}));
        break;
    case 8: // mosaic
        for (int I = 0; I < 40; ++I) {
            P.setBrush(Hsv(R, 80, 120));
            const QPoint Corner = RandomPoint(R, 0, 149, 0, 89);
            const int W = R.Between(10, 50);
            P.drawRect(Corner.x(), Corner.y(), W, R.Between(8, 40));
        }
        break;
    case 9: { // sailboat
        P.fillRect(0, 0, 160, 65, QColor(150, 205, 240));
        P.fillRect(0, 65, 160, 35, QColor(20, 90, 160));
        P.setBrush(QColor(120, 70, 40));
        P.drawPolygon(QPolygon({QPoint(45, 66), QPoint(115, 66), QPoint(103, 78), QPoint(57, 78)}));
        P.setBrush(Qt::white);
        P.drawPolygon(QPolygon({QPoint(80, 12), QPoint(80, 62), QPoint(50, 62)}));
        P.setBrush(QColor(230, 80, 60));
        P.drawPolygon(QPolygon({QPoint(83, 18), QPoint(83, 62), QPoint(108, 62)}));
        break;
    }
    case 10: { // lighthouse
        P.fillRect(0, 0, 160, 100, QColor(40, 50, 90));
        P.setBrush(QColor(255, 240, 150));
        P.drawPolygon(QPolygon({QPoint(80, 22), QPoint(0, 5), QPoint(0, 35)}));
        P.drawPolygon(QPolygon({QPoint(80, 22), QPoint(160, 10), QPoint(160, 40)}));
        P.setBrush(QColor(90, 90, 90));
        P.drawRect(0, 85, 160, 15);
        for (int I = 0; I < 5; ++I) {
            P.setBrush(I % 2 ? QColor(200, 30, 40) : QColor(245, 245, 245));
            P.drawRect(70 + I, 30 + I * 11, 20 - 2 * I, 11);
        }
        P.setBrush(QColor(255, 230, 120));
        P.drawRect(72, 18, 16, 12);
        break;
    }
    default: { // spiral of squares
        P.fillRect(0, 0, 160, 100, QColor(250, 250, 250));
        P.translate(80, 50);
        for (int I = 0; I < 36; ++I) {
            P.setBrush(QColor::fromHsv(I * 10, 200, 220));
            P.drawRect(I, -2, 10, 10);
            P.rotate(20);
        }
        break;
    }
    }
    P.end();
    return Image;
}

void WritePictures(TRandom& R, const String& Folder)
{
    const char* const Titles[] = {"Sunset over the bay",  "Checkerboard",     "Concentric rings", "Colour bars",
                                  "Mountain range",       "Starry night",     "Waves",            "Diagonal stripes",
                                  "Mosaic",               "Sailboat",         "Lighthouse",       "Spiral of squares"};
    const char* const Notes[] = {
        "A warm gradient sky with the sun touching the water and its reflection broken by the waves.",
        "Ten-pixel squares in two colours; useful for checking scaling and tiling.",
        "Rings of changing hue around the centre of the picture.",
        "Eight vertical bars around the colour wheel.",
        "Three ranges of hills, the nearest the darkest.",
        "Scattered stars and a crescent moon on a deep blue sky.",
        "Eight rows of waves in shades of blue.",
        "Black stripes at an angle on yellow, as on a warning sign.",
        "Forty rectangles of random colour, size and place.",
        "A small boat with two sails on a calm sea.",
        "A striped lighthouse sending its beams over a dark sea.",
        "Coloured squares turning around the centre.",
    };
    TClientDataSet* DS = NewTable({{"PictureNo", ftInteger, 0, true},
                                   {"Description", ftString, 40},
                                   {"Notes", ftMemo},
                                   {"Picture", ftGraphic}});
    for (int I = 0; I < 12; ++I)
        DS->AppendRecord({I + 1, Titles[I], Notes[I], Bmp(DrawPicture(R, I))});
    Save(DS, Folder, "nvpicture.xml");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const String Folder = argv[1];
    try {
        TRandom Business(20240315);
        std::vector<TCustomer> Customers;
        WriteBusiness(Business, Folder, Customers);
        TRandom Map(1848);
        WriteCounties(Map, Folder, Customers);
        TRandom Fish(90020);
        WriteFish(Fish, Folder);
        TRandom Art(4096);
        WritePictures(Art, Folder);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "zen_sample_data: %s\n", E.what());
        return 1;
    }
    return 0;
}
