// Byte layouts of the records and the fixed columns of the raw punch lines.
#include "data/Pack.h"
#include "data/TextFiles.h"

#include <gtest/gtest.h>

using namespace kip;

namespace {
qint32 le32(const QByteArray& b, int at)
{
    return qint32(quint8(b[at]) | quint8(b[at + 1]) << 8 | quint8(b[at + 2]) << 16 | quint32(quint8(b[at + 3])) << 24);
}
qint16 le16(const QByteArray& b, int at)
{
    return qint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}
} // namespace

TEST(RecordLayout, SizesOfEveryRecord)
{
    EXPECT_EQ(pack(Parametre{}).size(), 1283);
    EXPECT_EQ(pack(Personnel{}).size(), 199);
    EXPECT_EQ(pack(PointVal{}).size(), 198);
    EXPECT_EQ(pack(DateSave{}).size(), 8);
    EXPECT_EQ(pack(OnOff{}).size(), 1);
}

TEST(RecordLayout, PersonnelFieldOffsetsAndPadding)
{
    Personnel p;
    p.CARTE = 0x1234;
    p.MATRICULE = QStringLiteral("M7");
    p.NOM = QStringLiteral("Lefèvre");
    p.PRENOM = QStringLiteral("Zoé");
    p.PREMIER_POINTAGE = 75000;
    p.DERNIER_POINTAGE = -2;
    p.EXTENSION = 480;
    p.NOMBRE = 4;
    p.DECALAGE_MINUIT = 120;
    p.ARRONDI_ENTREE = QStringLiteral("15");
    p.ARRONDI_SEMAINE = QStringLiteral("+05");
    p.DATE_EMBAUCHE = 70001;
    p.PERIODE_INACTIVITE_DEBUT[9] = 71234;
    p.PERIODE_INACTIVITE_FIN[0] = 71300;
    p.AUTORISATION[15] = 1;
    const QByteArray b = pack(p);
    EXPECT_EQ(le16(b, 0), 0x1234);
    EXPECT_EQ(b.mid(2, 10), QByteArray("M7        "));
    EXPECT_EQ(b.mid(12, 20), QByteArray("Lef\xe8vre             ")); // Windows-1252, padded with spaces
    EXPECT_EQ(b.mid(32, 15), QByteArray("Zo\xe9            "));
    EXPECT_EQ(le32(b, 47), 75000);
    EXPECT_EQ(le32(b, 51), -2);
    EXPECT_EQ(le16(b, 55), 480);
    EXPECT_EQ(quint8(b[57]), 4);
    EXPECT_EQ(le16(b, 58), 120);
    EXPECT_EQ(b.mid(60, 2), QByteArray("15"));
    EXPECT_EQ(b.mid(92, 3), QByteArray("+05"));
    EXPECT_EQ(le32(b, 95), 70001);
    EXPECT_EQ(le32(b, 103 + 36), 71234);
    EXPECT_EQ(le32(b, 143), 71300);
    EXPECT_EQ(quint8(b[198]), 1);

    // Read back whole: every field the offsets above place comes back to the same bytes.
    Personnel back;
    ASSERT_TRUE(unpack(b, back));
    EXPECT_EQ(pack(back), b);
    EXPECT_EQ(back.NOM, QStringLiteral("Lefèvre"));
}

TEST(RecordLayout, PointValPunchLinesAndParametreArrays)
{
    PointVal v;
    v.clearPunches();
    v.DATE = 74000;
    v.TOTAL = -5;
    v.POINTAGE_ORIGINE[0] = 480;
    v.POINTAGE_UTILISATEUR[19] = 2879;
    const QByteArray b = pack(v);
    EXPECT_EQ(le32(b, 47), 74000);
    EXPECT_EQ(le16(b, 54), -5);
    EXPECT_EQ(quint8(b[58]), 1); // terminal of slot 1
    EXPECT_EQ(le16(b, 78), 480);
    EXPECT_EQ(le16(b, 80), PunchEmpty);
    EXPECT_EQ(le16(b, 196), 2879);

    Parametre par;
    par.IDENTIFICATION[1] = QStringLiteral("Atelier €");
    par.TABPERSONNEL = 3;
    const QByteArray pb = pack(par);
    EXPECT_EQ(pb.mid(431 + 20, 20), QByteArray("Atelier \x80           "));
    EXPECT_EQ(quint8(pb[1282]), 3);
    Parametre back;
    ASSERT_TRUE(unpack(pb, back));
    EXPECT_EQ(back.IDENTIFICATION[1], QStringLiteral("Atelier €"));
    EXPECT_FALSE(unpack(pb.left(100), back));
}

TEST(OriginLine, FixedColumnsWhateverTheSeparators)
{
    for (const char* line :
         {"0123 05/11/2004 17:45 03", "0123x05-11.2004T17h45#03", "0123\t05\t11\t2004\t17\t45\t03"}) {
        const OriginLine o = OriginLine::parse(QByteArray(line));
        EXPECT_EQ(o.carte, 123) << line;
        EXPECT_EQ(o.jour, 5);
        EXPECT_EQ(o.mois, 11);
        EXPECT_EQ(o.annee, 2004);
        EXPECT_EQ(o.heure * 60 + o.minute, 1065);
        EXPECT_EQ(o.terminal, 3);
    }
    // Characters other than digits make the value fail its range check; a short line lacks its fields.
    const OriginLine bad = OriginLine::parse(QByteArray("01a3 05/11/2004 17:4"));
    EXPECT_EQ(bad.carte, -1);
    EXPECT_EQ(bad.jour, 5);
    EXPECT_EQ(bad.minute, -1);
    EXPECT_EQ(bad.terminal, -1);
    EXPECT_EQ(formatOriginLine(123, 5, 11, 2004, 17, 45, 3), QByteArray("0123 05/11/2004 17:45 03"));
}
