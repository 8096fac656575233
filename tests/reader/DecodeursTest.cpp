// The swipe decoders: track formats of both makes, bytes in any pieces, keyboard codes, simulated lines.
#include "reader/Decodeurs.h"

#include "reader/Clavier.h"
#include "reader/Entrees.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

using namespace kip;

namespace {

QByteArray trameOmron(const QByteArray& donnees)
{
    char controle = 0x03;
    for (char c : donnees)
        controle = char(controle ^ c);
    return QByteArray("\x02") + donnees + "\x03" + controle;
}

// Feeds a stream one byte at a time, as a slow line delivers it.
QList<Lecture> octetParOctet(DecodeurSerie& d, const QByteArray& flux)
{
    QList<Lecture> sortie;
    for (char c : flux)
        sortie += d.recevoir(QByteArrayView(&c, 1));
    return sortie;
}

} // namespace

TEST(DecodeursTest, CardNumberIsTheFirstFieldOfTrackTwoFromOneTo9999)
{
    EXPECT_EQ(numeroCarte("42"), 42);
    EXPECT_EQ(numeroCarte("0001"), 1);
    EXPECT_EQ(numeroCarte("0042"), 42);
    EXPECT_EQ(numeroCarte("9999"), 9999);
    EXPECT_EQ(numeroCarte("0000000000000009999"), 9999); // 19 digits
    EXPECT_EQ(numeroCarte("00000000000000000042"), -1);  // 20 digits
    EXPECT_EQ(numeroCarte("0000"), -1);
    EXPECT_EQ(numeroCarte("10000"), -1);
    EXPECT_EQ(numeroCarte("4970123456789012"), -1); // a bank card is no badge
    EXPECT_EQ(numeroCarte("99999999999999999"), -1);
    EXPECT_EQ(numeroCarte(""), -1);
    EXPECT_EQ(numeroCarte("12a"), -1);
}

TEST(DecodeursTest, MagtekLineTakesTrackTwoWhateverTheOtherTracksHold)
{
    EXPECT_EQ(lireLigneMagtek(";0042=4912?").carte, 42);
    EXPECT_EQ(lireLigneMagtek(";0042?").carte, 42);
    // Track 1 with a ';' of its own, then track 2, then track 3.
    const Lecture trois = lireLigneMagtek("%B0999^DUPONT;JEAN^4912?;0123=4912?;0000123=99?");
    EXPECT_TRUE(trois.bonne);
    EXPECT_EQ(trois.carte, 123);
    // A track 1 the reader could not read does not spoil a good track 2.
    EXPECT_EQ(lireLigneMagtek("%E?;0007=1?").carte, 7);

    for (const char* mauvaise :
         {";E?", "%B0042^DUPONT^?", ";0042=49", ";=4912?", ";00A2=1?", ";12345=1?", "", "%B12"}) {
        const Lecture l = lireLigneMagtek(mauvaise);
        EXPECT_FALSE(l.bonne) << mauvaise;
        EXPECT_FALSE(l.motif.isEmpty()) << mauvaise;
    }
}

TEST(DecodeursTest, MagtekSerialLinesInAnyPieces)
{
    DecodeurSerie d(Marque::Magtek);
    const QList<Lecture> lues = octetParOctet(d, ";0042=1?\r\n%E?;E?\r;0007?\n");
    ASSERT_EQ(lues.size(), 3);
    EXPECT_EQ(lues[0].carte, 42);
    EXPECT_FALSE(lues[1].bonne);
    EXPECT_EQ(lues[2].carte, 7);
    EXPECT_FALSE(d.enCours());

    // A reader set to end its lines with nothing: the whole track 2 is read when the bytes stop.
    EXPECT_TRUE(d.recevoir(";0100=1?").isEmpty());
    EXPECT_TRUE(d.enCours());
    std::optional<Lecture> fin = d.abandonner();
    ASSERT_TRUE(fin);
    EXPECT_EQ(fin->carte, 100);
    // A swipe cut short is a bad read, and the next one starts clean.
    EXPECT_TRUE(d.recevoir(";01").isEmpty());
    fin = d.abandonner();
    ASSERT_TRUE(fin);
    EXPECT_FALSE(fin->bonne);
    EXPECT_FALSE(d.abandonner());
    EXPECT_EQ(d.recevoir(";0005?\r").value(0).carte, 5);

    // Noise that never ends a line does not grow without bound.
    const QList<Lecture> bruit = d.recevoir(QByteArray(DecodeurSerie::TailleMax + 1, 'x'));
    ASSERT_EQ(bruit.size(), 1);
    EXPECT_FALSE(bruit[0].bonne);
}

TEST(DecodeursTest, OmronFramesAreCheckedByTheirCheckByte)
{
    DecodeurSerie d(Marque::Omron);
    QByteArray flux = "noise" + trameOmron("0042=4912") + trameOmron("1234");
    QByteArray faux = trameOmron("0055");
    faux[faux.size() - 1] = char(faux.back() ^ 1);
    flux += faux + "\x15" + trameOmron("") + trameOmron("12345") + trameOmron("00;2");
    const QList<Lecture> lues = octetParOctet(d, flux);
    ASSERT_EQ(lues.size(), 7);
    EXPECT_EQ(lues[0].carte, 42);
    EXPECT_EQ(lues[1].carte, 1234);
    for (int i = 2; i < 7; ++i)
        EXPECT_FALSE(lues[i].bonne) << i;
    EXPECT_FALSE(d.enCours());

    // A frame that starts again before its end, and one cut short.
    const QList<Lecture> relance = d.recevoir(QByteArray("\x02") + "12" + trameOmron("0008"));
    ASSERT_EQ(relance.size(), 2);
    EXPECT_FALSE(relance[0].bonne);
    EXPECT_EQ(relance[1].carte, 8);
    EXPECT_TRUE(d.recevoir("\x02"
                           "0042\x03")
                    .isEmpty());
    EXPECT_TRUE(d.enCours());
    const std::optional<Lecture> coupee = d.abandonner();
    ASSERT_TRUE(coupee);
    EXPECT_FALSE(coupee->bonne);
    EXPECT_EQ(d.recevoir(trameOmron("0009")).value(0).carte, 9);
}

TEST(DecodeursTest, KeyboardReaderTypesInTheUsLayout)
{
    EXPECT_EQ(caractereUs(KEY_SLASH, true), '?');
    EXPECT_EQ(caractereUs(KEY_5, true), '%');
    EXPECT_EQ(caractereUs(KEY_SEMICOLON, false), ';');
    EXPECT_EQ(caractereUs(KEY_B, true), 'B');
    EXPECT_EQ(caractereUs(KEY_KP7, false), '7');
    EXPECT_EQ(caractereUs(KEY_LEFTCTRL, false), 0);

    SaisieClavier s;
    std::optional<QByteArray> ligne;
    auto taper = [&](int code, bool maj = false) {
        if (maj) {
            EXPECT_FALSE(s.touche(KEY_LEFTSHIFT, 1));
        }
        EXPECT_FALSE(s.touche(code, 1));
        EXPECT_FALSE(s.touche(code, 2)); // a repeat types nothing
        EXPECT_FALSE(s.touche(code, 0));
        if (maj) {
            EXPECT_FALSE(s.touche(KEY_LEFTSHIFT, 0));
        }
    };
    taper(KEY_SEMICOLON);
    for (int code : {KEY_0, KEY_0, KEY_4, KEY_2, KEY_EQUAL, KEY_1})
        taper(code);
    taper(KEY_SLASH, true);
    ligne = s.touche(KEY_ENTER, 1);
    ASSERT_TRUE(ligne);
    EXPECT_EQ(*ligne, ";0042=1?");
    EXPECT_EQ(lireLigneClavier(Marque::Magtek, *ligne).carte, 42);
    EXPECT_FALSE(s.touche(KEY_KPENTER, 1)); // an empty line is no swipe

    EXPECT_EQ(lireLigneClavier(Marque::Omron, "0042=4912").carte, 42);
    EXPECT_EQ(lireLigneClavier(Marque::Omron, ";0042=4912?").carte, 42);
    EXPECT_FALSE(lireLigneClavier(Marque::Omron, "0042x").bonne);
}

TEST(DecodeursTest, SimulatedLinesAreCardNumbersOrWhatAReaderTypes)
{
    EXPECT_EQ(EntreeSimulation::lireLigne(Marque::Magtek, "42").carte, 42);
    EXPECT_EQ(EntreeSimulation::lireLigne(Marque::Magtek, " 0042 \r").carte, 42);
    EXPECT_FALSE(EntreeSimulation::lireLigne(Marque::Magtek, "10000").bonne);
    EXPECT_FALSE(EntreeSimulation::lireLigne(Marque::Magtek, "0").bonne);
    EXPECT_EQ(EntreeSimulation::lireLigne(Marque::Magtek, ";0017=1?").carte, 17);
    EXPECT_FALSE(EntreeSimulation::lireLigne(Marque::Magtek, ";E?").bonne);
    EXPECT_FALSE(EntreeSimulation::lireLigne(Marque::Omron, "E").bonne);
}
