// The CSV of absences: a file with any bad line is refused whole, each bad line named with its reason; a good
// file comes back as the export writes it.
#include "absences/CsvAbsences.h"

#include "InstallationAbsences.h"

using namespace kip;

TEST_F(InstallationAbsences, ImportRefusesTheWholeFileAndNamesEachBadLine)
{
    const QByteArray entete = "Carte;Matricule;Nom;Prénom;Date;Code;Partie;Heures;Commentaire\r\n";
    const QByteArray bonne = "12;;MARTIN;;04/05/2026;CP;;;\r\n";
    const QByteArray autre = "12;;MARTIN;;06/05/2026;CP;;;\r\n";
    struct Cas
    {
        const char* ligne;
        const char* raison;
    };
    const Cas cas[] = {
        {"13;;;;04/05/2026;CP;;;", "aucun employé n'a la carte 13."},
        {"abc;;;;04/05/2026;CP;;;", "la carte \"abc\" n'est pas un numéro de 1 à 9999."},
        {";M099;;;04/05/2026;CP;;;", "aucun employé n'a le matricule M099."},
        {"7;M012;;;04/05/2026;CP;;;", "la carte 7 n'est pas celle du matricule M012."},
        {";;MARTIN;;04/05/2026;CP;;;", "ni carte ni matricule."},
        {"12;;;;31/04/2026;CP;;;", "la date \"31/04/2026\" n'est pas une date JJ/MM/AAAA."},
        {"12;;;;2026-05-04;CP;;;", "la date \"2026-05-04\" n'est pas une date JJ/MM/AAAA."},
        {"12;;;;05/05/2026;XX;;;", "le type d'absence \"XX\" n'existe pas."},
        {"12;;;;05/05/2026;CP;soir;;", "la partie \"soir\" n'est ni journée, ni matin, ni après-midi, ni heures."},
        {"12;;;;05/05/2026;REC;heures;;", "les heures \"\" ne sont pas une durée de 0:01 à 24:00."},
        {"12;;;;05/05/2026;REC;heures;25:00;", "les heures \"25:00\" ne sont pas une durée de 0:01 à 24:00."},
        {"12;;;;05/05/2026;CP;matin;2:00;", "des heures ne se donnent qu'avec la partie heures."},
        {"12;;;;04/05/2026;RTT;matin;;", "la carte 12 a déjà une absence ce 04/05/2026 à la ligne 2."},
        {"12;;;;05/05/2026", "5 champ(s) au lieu de 6 à 9"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.ligne);
        const ResultatImport r = ImporterAbsences(*db, entete + bonne + c.ligne + "\r\n" + autre);
        ASSERT_EQ(r.refus.size(), 1) << r.refus.join(u'|').toStdString();
        EXPECT_TRUE(r.refus.first().startsWith(QStringLiteral("ligne 3: ") + QString::fromUtf8(c.raison)))
            << r.refus.first().toStdString();
        EXPECT_EQ(stored(12, dayNumber(2026, 5, 4)), QStringLiteral("(aucune)"));
    }
    // Every bad line is named, not the first alone.
    const ResultatImport deux = ImporterAbsences(*db, entete + "13;;;;04/05/2026;CP\r\n" + bonne + "12;;;;x;CP\r\n");
    EXPECT_EQ(deux.refus, (QStringList{QStringLiteral("ligne 2: aucun employé n'a la carte 13."),
                                       QStringLiteral("ligne 4: la date \"x\" n'est pas une date JJ/MM/AAAA.")}));
    EXPECT_TRUE(journal().empty());
}

TEST_F(InstallationAbsences, ImportedFileComesBackAsExported)
{
    // A quoted comment with a semicolon, a line end inside quotes, hours in hundredths, a matricule for a card,
    // and a morning that keeps the afternoon already stored.
    JourAbsences apresMidi{7, dayNumber(2026, 5, 5), {}};
    apresMidi.poser(absence("MAL", PartieJour::ApresMidi));
    ASSERT_TRUE(EnregistrerJours(*db, {apresMidi}, {}, "saisie").ok());
    const QByteArray fichier = "\xEF\xBB\xBF"
                               "Carte;Matricule;Nom;Prénom;Date;Code;Partie;Heures;Commentaire\r\n"
                               ";m012;;;4/5/2026;cp;Journée;;\"congé; été\"\n"
                               "7;;;;05/05/2026;RTT;Matin;;\"deux\nlignes\"\r\n"
                               "\r\n"
                               "30;;;;06/05/2026;REC;heures;1,25;\r\n";
    const ResultatImport r = ImporterAbsences(*db, fichier);
    ASSERT_TRUE(r.fait()) << r.refus.join(u'|').toStdString() << r.erreur.description().toStdString();
    EXPECT_EQ(r.absences, 3);
    EXPECT_EQ(stored(12, dayNumber(2026, 5, 4)), QStringLiteral("CP journée - congé; été"));
    EXPECT_EQ(stored(7, dayNumber(2026, 5, 5)), QStringLiteral("RTT matin - deux\nlignes; MAL après-midi"));
    EXPECT_EQ(stored(30, dayNumber(2026, 5, 6)), QStringLiteral("REC 1.15"));
    EXPECT_EQ(journal().size(), 4u);

    Result<std::vector<Absence>> toutes = LireAbsences(*db, dayNumber(2026, 5, 1), dayNumber(2026, 5, 31));
    ASSERT_TRUE(toutes.ok());
    IdentiteCartes noms;
    noms.insert(12, employeEssai(12, QStringLiteral("MARTIN")));
    const std::vector<QStringList> lignes = LignesCsvAbsences(*toutes, noms);
    ASSERT_EQ(lignes.size(), 5u);
    EXPECT_EQ(lignes[1].join(u';'), QStringLiteral("12;;MARTIN;;04/05/2026;CP;journée;;congé; été"));
    EXPECT_EQ(lignes[4].join(u';'), QStringLiteral("30;;;;06/05/2026;REC;heures;1:15;"));
    // The export read back sets nothing new.
    QByteArray relu;
    for (const QStringList& l : lignes) {
        QStringList cites;
        for (QString c : l)
            cites << (c.contains(u';') || c.contains(u'\n') ? u'"' + c + u'"' : c);
        relu += cites.join(u';').toUtf8() + "\r\n";
    }
    const ResultatImport encore = ImporterAbsences(*db, relu);
    ASSERT_TRUE(encore.fait()) << encore.refus.join(u'|').toStdString();
    EXPECT_EQ(encore.jours, 0);
}
