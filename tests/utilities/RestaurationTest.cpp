// The restore: what a backup holds, exactly its rows back, the former files kept, the files needed alone, and
// the punches transferred since the backup read again by the next transfer.
#include "utilities/Restauration.h"

#include "../shell/ListenerLecteur.h"
#include "Utilitaires.h"
#include "data/Cp1252.h"
#include "data/RecordsAbsences.h"
#include "data/TextFiles.h"
#include "data/WriteFaults.h"
#include "punch/TransfertPointages.h"
#include "shell/LecteurCartes.h"
#include "shell/RemplacementEnsemble.h"
#include "shell/Sauvegarde.h"
#include "shell/TravauxInterrompus.h"
#include "shell/VerrouProgramme.h"

#include <QFileInfo>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

class RestaurationTest : public UtilitairesTest
{
protected:
    const qint32 jour = dayNumber(2004, 6, 14);

    // An installation of two employees, copied into SaveAuto.
    void installationSauvegardee()
    {
        employeActif(12, jour);
        employeActif(15, jour - 1);
        remplir(12, jour - 20, jour);
        remplir(15, jour - 5, jour);
        ASSERT_TRUE(SauvegardeAuto(p()).reussie());
    }
    // Changes every record file after the backup.
    void modifier()
    {
        employeActif(20);
        remplir(20, jour - 3, jour);
        Transaction t(*base, {FileId::Parametre});
        RecordFile<Parametre> f(*base);
        Parametre par;
        par.POSITIONSOMMAIRE = 1;
        ASSERT_TRUE(f.add(par).ok());
        ASSERT_TRUE(t.commit().ok());
    }
    QMap<QString, QMap<qint64, QByteArray>> tout(const QString& dir)
    {
        return {{"PARAMETRE", contenu<Parametre>(dir)},
                {"PERSONNEL", contenu<Personnel>(dir)},
                {"POINTVAL", contenu<PointVal>(dir)}};
    }
};

TEST_F(RestaurationTest, TheDescriptionSaysWhatTheCopyHolds)
{
    DescriptionSauvegarde vide = DecrireSauvegarde(p(), SourceRestauration::SaveManu);
    EXPECT_FALSE(vide.utilisable);
    EXPECT_EQ(vide.probleme, QStringLiteral("La copie de SaveManu ne contient pas Parametr.tps."));
    installationSauvegardee();
    const DescriptionSauvegarde d = DecrireSauvegarde(p(), SourceRestauration::SaveAuto);
    ASSERT_TRUE(d.utilisable) << d.probleme.toStdString();
    EXPECT_EQ(d.employes, 2);
    EXPECT_EQ(d.journees, 21 + 6);
    EXPECT_EQ(d.dernierPointage, jour);
    EXPECT_TRUE(d.texte(SourceRestauration::SaveAuto)
                    .endsWith(QStringLiteral(": 2 employé(s), 27 ligne(s) de jour, dernier pointage le 14/06/2004.")));
    EXPECT_TRUE(d.texte(SourceRestauration::SaveAuto).startsWith(QStringLiteral("  Copie de \\Kip\\SaveAuto du ")));
    // A copy that is not a record file cannot be restored, and nothing is touched.
    ecrire(QDir(p().saveAutoDir).filePath(QStringLiteral("Personne.tps")), "pas une base");
    modifier();
    const auto avant = tout(p().dataDir);
    const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    EXPECT_EQ(r.etat, ResultatRestauration::Etat::Refusee);
    EXPECT_TRUE(r.texte.endsWith(QStringLiteral("Rien n'a été restauré.")));
    EXPECT_EQ(tout(p().dataDir), avant);
}

TEST_F(RestaurationTest, BringsBackExactlyTheBackedUpRowsAndKeepsThePreviousFiles)
{
    installationSauvegardee();
    const auto sauvegardees = tout(p().saveAutoDir);
    modifier();
    const auto actuelles = tout(p().dataDir);
    ASSERT_NE(actuelles, sauvegardees);
    fermer();
    int etapes = 0;
    const ResultatRestauration r = Restaurer(
        p(), SourceRestauration::SaveAuto, [&](int etape, int total, const QString&) { etapes = etape + 100 * total; },
        0);
    ASSERT_TRUE(r.faite()) << r.texte.toStdString();
    EXPECT_EQ(etapes, 606);
    EXPECT_EQ(tout(p().dataDir), sauvegardees);
    EXPECT_EQ(tout(r.copieAvant), actuelles);
    EXPECT_EQ(r.positionSommaire, 0); // the backup had no settings record
    for (FileId id : {FileId::Parametre, FileId::Personnel, FileId::PointVal, FileId::DateSave, FileId::OnOff})
        EXPECT_TRUE(checkRecordFile(tableOf(id), p().file(id)).ok()) << tableOf(id).fileName.toStdString();
    EXPECT_TRUE(r.texte.startsWith(QStringLiteral("  La restauration a été réalisée depuis \\Kip\\SaveAuto")));
    EXPECT_TRUE(r.texte.contains(QStringLiteral("2 employé(s), 27 ligne(s) de jour.")));
    // No work file is left beside the data files.
    EXPECT_EQ(QDir(p().dataDir)
                  .entryList({QStringLiteral("*.restauration*"), QStringLiteral("*.part"), QStringLiteral("*.ancien"),
                              QStringLiteral("*.ensemble")}),
              QStringList());
}

TEST_F(RestaurationTest, RefusedWhileAnotherWindowOrProgramHoldsTheFiles)
{
    installationSauvegardee();
    modifier();
    const auto avant = tout(p().dataDir);
    {
        FileUse fiche(FileId::Personnel); // the employee list is open
        const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
        EXPECT_EQ(r.etat, ResultatRestauration::Etat::Refusee);
        EXPECT_EQ(r.texte, QStringLiteral("  Le fichier Personne.tps est ouvert par une autre fenêtre: fermez toutes "
                                          "les autres fenêtres de Kip. Rien n'a été restauré."));
    }
    {
        Transaction ecriture(*base, {FileId::PointVal}); // a database tool writes
        ASSERT_TRUE(ecriture.ok());
        EXPECT_EQ(Restaurer(p(), SourceRestauration::SaveAuto, {}, 0).etat, ResultatRestauration::Etat::Refusee);
    }
    // Another program of the system runs on the same data.
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    const pid_t autre = ::fork();
    if (autre == 0) {
        VerrouProgramme verrou;
        const char pris = verrou.prendre(p().dataDir) == VerrouProgramme::Pris ? '1' : '0';
        (void)!::write(tube[1], &pris, 1);
        ::pause();
        ::_exit(0);
    }
    char pris = 0;
    ASSERT_EQ(::read(tube[0], &pris, 1), 1);
    ASSERT_EQ(pris, '1');
    const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    ::kill(autre, SIGKILL);
    ::waitpid(autre, nullptr, 0);
    EXPECT_EQ(r.etat, ResultatRestauration::Etat::Refusee);
    EXPECT_EQ(r.texte, QStringLiteral("  Kip ou l'un de ses modules est déja en cours d'utilisation. Rien n'a été "
                                      "restauré."));
    EXPECT_EQ(tout(p().dataDir), avant);
    EXPECT_FALSE(QFileInfo::exists(RepertoireAvantRestauration(p())));
}

TEST_F(RestaurationTest, PunchesTransferredSinceTheBackupAreReadAgainOnceEach)
{
    employeActif(12);
    // At the backup: one archive already read, and a punch of the morning not yet transferred.
    const QByteArray ancienne = pointage(12, jour - 7, 8, 0);
    const QByteArray matin = pointage(12, jour, 8, 0);
    ecrire(p().origin(1), ancienne);
    ecrire(p().origin(0), matin);
    ASSERT_TRUE(SauvegardeAuto(p()).reussie());
    // The transfer of that start read the morning punch and one more, and archived them; a punch came since.
    const QByteArray transferes = matin + pointage(12, jour, 12, 0);
    const QByteArray apres = pointage(12, jour, 13, 30);
    ResultatTransfert lu;
    {
        ecrire(p().origin(0), transferes);
        lu = TransfererPointages(*base, p().origin(0), jour);
        ASSERT_TRUE(lu.reussi());
        ecrire(p().origin(2), ancienne);
        ecrire(p().origin(1), transferes);
        ecrire(p().origin(0), apres);
    }
    fermer();
    ListenerLecteur lecteur;
    LecteurCartes::programme().chercher();
    const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    ASSERT_TRUE(r.faite()) << r.texte.toStdString();
    // The reader was paused while its raw file was rewritten.
    EXPECT_EQ(lecteur.numeros(), (QList<int>{1024, 1025}));
    EXPECT_EQ(r.pointagesRepris, 2);
    EXPECT_TRUE(r.texte.endsWith(QStringLiteral(" 2 pointage(s) transféré(s) depuis la copie seront repris au "
                                                "prochain démarrage.")));
    // The archives stay as they are; the raw file holds the transferred punches ahead of the new one.
    EXPECT_EQ(lireFichier(p().origin(2)), ancienne);
    EXPECT_EQ(lireFichier(p().origin(1)), transferes);
    EXPECT_EQ(lireFichier(p().origin(0)), transferes + apres);
    EXPECT_TRUE(lireFichier(r.copieAvant + QStringLiteral("/Origin00.txt")) == apres);

    // The next transfer stores each punch once, also when it reads the file a second time.
    rouvrir();
    for (int fois = 0; fois < 2; ++fois)
        ASSERT_TRUE(TransfererPointages(*base, p().origin(0), jour).reussi());
    RecordFile<PointVal> f(*base);
    ASSERT_TRUE(f.open().ok());
    PointVal v;
    v.CARTE = 12;
    v.DATE = jour;
    ASSERT_TRUE(f.get(v, POV_K_CARTE_DATE).ok());
    EXPECT_EQ(v.POINTAGE_ORIGINE[0], 480);
    EXPECT_EQ(v.POINTAGE_ORIGINE[1], 720);
    EXPECT_EQ(v.POINTAGE_ORIGINE[2], 810);
    EXPECT_EQ(v.POINTAGE_ORIGINE[3], PunchEmpty);
}

TEST_F(RestaurationTest, TheJournalIsKeptAndTheRestoreIsWrittenInItWithPlainSpaces)
{
    commonOpen(FileId::Journal);
    employeActif(12, jour);
    remplir(12, jour - 7291, jour);
    ASSERT_TRUE(SauvegardeAuto(p()).reussie());
    // An entry made after the backup: a restore must not lose it.
    {
        Transaction t(*base, {FileId::Journal});
        Journal e;
        e.CARTE = 12;
        e.CAUSE = QString::fromUtf8(CauseJournal::ModificationEmploye);
        ASSERT_TRUE(ajouterAuJournal(t, e).ok());
        ASSERT_TRUE(t.commit().ok());
    }
    fermer();
    const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    ASSERT_TRUE(r.faite()) << r.texte.toStdString();
    EXPECT_TRUE(r.texte.contains(QStringLiteral("7 292 ligne(s) de jour"))) << r.texte.toStdString();
    Database lien = connexion();
    std::vector<Journal> entrees;
    ASSERT_TRUE(lireJournal(lien, {}, entrees).ok());
    ASSERT_EQ(entrees.size(), 2u);
    EXPECT_EQ(entrees[0].CAUSE, QString::fromUtf8(CauseJournal::ModificationEmploye));
    EXPECT_EQ(entrees[1].CAUSE, QStringLiteral("Restauration SaveAuto"));
    // As stored: Windows-1252 has no narrow no-break space, which came back as "7?292".
    EXPECT_TRUE(entrees[1].APRES.contains(QStringLiteral("1 employé(s), 7 292 ligne(s) de jour")))
        << entrees[1].APRES.toStdString();
    EXPECT_EQ(nombreAvecMilliers(-1234567), QStringLiteral("-1 234 567"));
}

TEST_F(RestaurationTest, AbsenceFilesComeBackWhenTheCopyHoldsThemAndStayOtherwise)
{
    commonOpen(FileId::Absence);
    auto poser = [&](qint16 carte) {
        Transaction t(*base, {FileId::Absence});
        Absence a;
        a.CARTE = carte;
        a.DATE = jour;
        a.CODE = QStringLiteral("CP");
        ASSERT_TRUE(RecordFile<Absence>(*base).add(a).ok());
        ASSERT_TRUE(t.commit().ok());
    };
    auto cartes = [&] {
        QList<int> c;
        for (const QByteArray& r : contenu<Absence>(p().dataDir))
            c << int(qint16(quint8(r[0]) | quint8(r[1]) << 8));
        return c;
    };
    poser(12);
    installationSauvegardee();
    poser(15); // after the backup
    fermer();
    ASSERT_TRUE(Restaurer(p(), SourceRestauration::SaveAuto, {}, 0).faite());
    EXPECT_EQ(cartes(), QList<int>{12});

    // A copy made before the absence files existed: the current ones are kept.
    rouvrir();
    poser(15);
    fermer();
    for (const char* nom : {"TypeAbs.tps", "Absence.tps", "Horaire.tps", "ReglAbs.tps"})
        QFile::remove(QDir(p().saveAutoDir).filePath(QLatin1String(nom)));
    ASSERT_TRUE(Restaurer(p(), SourceRestauration::SaveAuto, {}, 0).faite());
    EXPECT_EQ(cartes(), (QList<int>{12, 15}));
}

TEST_F(RestaurationTest, EachRestoreKeepsTheFilesBeforeItDatedTheLastFiveAndEachCanBeRestored)
{
    installationSauvegardee();
    modifier();
    fermer();
    const auto avantTout = tout(p().dataDir);
    // Restored again and again: the copy made before the first restore is never replaced by a later one.
    QStringList copies;
    for (int i = 0; i < CopiesAvantRestaurationGardees + 1; ++i) {
        const ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
        ASSERT_TRUE(r.faite()) << r.texte.toStdString();
        copies << r.copieAvant;
        EXPECT_TRUE(r.texte.contains(QStringLiteral("conservés dans \\Kip\\SaveManu\\AvantRestauration\\") +
                                     QFileInfo(r.copieAvant).fileName()));
        if (i == 0) {
            EXPECT_EQ(tout(copies[0]), avantTout);
        }
    }
    EXPECT_EQ(copies.removeDuplicates(), 0);
    // The oldest is gone; the five newest are listed, newest first, after SaveAuto and SaveManu.
    const QList<CopieRestaurable> liste = CopiesRestaurables(p());
    ASSERT_EQ(liste.size(), 2 + CopiesAvantRestaurationGardees);
    EXPECT_EQ(liste[0].nom, QStringLiteral("SaveAuto"));
    EXPECT_EQ(liste[1].nom, QStringLiteral("SaveManu"));
    EXPECT_FALSE(QFileInfo::exists(copies[0]));
    for (int i = 0; i < CopiesAvantRestaurationGardees; ++i)
        EXPECT_EQ(liste[2 + i].repertoire, copies[copies.size() - 1 - i]);
    EXPECT_TRUE(liste[2].libelle().startsWith(QStringLiteral("Avant la restauration du ")));

    // A restore undone: the files before the second restore, which held the first restore's result.
    CopieRestaurable avant;
    ASSERT_TRUE(CopieDeNom(p(), liste.last().nom, &avant));
    const ResultatRestauration r = Restaurer(p(), avant, {}, 0);
    ASSERT_TRUE(r.faite()) << r.texte.toStdString();
    EXPECT_EQ(tout(p().dataDir), tout(p().saveAutoDir));
    EXPECT_FALSE(CopieDeNom(p(), QStringLiteral("AvantRestauration/rien"), &avant));
}

TEST_F(RestaurationTest, AFailedPutBackSaysWhichFilesAreAsBeforeAndWhereTheCopiesAre)
{
    installationSauvegardee();
    modifier();
    fermer();
    const auto actuelles = tout(p().dataDir);
    // The second file's new version cannot take its place, and the put-back fails from there on too.
    int renommages = 0;
    RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
        if (++renommages >= 4)
            return -1;
        return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
    });
    ResultatRestauration r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    RemplacementEnsemble::setRenommage({});
    EXPECT_EQ(r.etat, ResultatRestauration::Etat::Echec);
    EXPECT_FALSE(r.texte.contains(QStringLiteral("restés tels qu'ils étaient"))) << r.texte.toStdString();
    EXPECT_TRUE(r.texte.contains(QStringLiteral("Viennent de la copie: Parametr.tps."))) << r.texte.toStdString();
    EXPECT_TRUE(r.texte.contains(QStringLiteral("Sont tels qu'avant la restauration: PointVal.tps.")));
    EXPECT_TRUE(r.texte.contains(QStringLiteral("Manquent: Personne.tps.")));
    EXPECT_TRUE(
        r.texte.contains(QStringLiteral("\\Kip\\SaveManu\\AvantRestauration\\") + QFileInfo(r.copieAvant).fileName()));
    EXPECT_EQ(tout(r.copieAvant), actuelles);
    // The next start finishes the restore: the whole copy, nothing mixed.
    EXPECT_TRUE(RemplacementEnsemble::donneesEnSuspens(p().dataDir));
    EXPECT_FALSE(ReprendreTravauxInterrompus(p()).donneesMelangees);
    EXPECT_EQ(tout(p().dataDir), tout(p().saveAutoDir));

    // When the put-back works, the files are said (and are) as they were.
    renommages = 0;
    RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
        if (++renommages == 4)
            return -1;
        return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
    });
    const auto restaurees = tout(p().dataDir);
    r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    RemplacementEnsemble::setRenommage({});
    EXPECT_TRUE(r.texte.endsWith(QStringLiteral("Les fichiers de données sont restés tels qu'ils étaient.")));
    EXPECT_EQ(tout(p().dataDir), restaurees);
}

TEST_F(RestaurationTest, AFullDiskBeforeTheCopyOfTheCurrentFilesChangesNothingAndSaysWhy)
{
    installationSauvegardee();
    modifier();
    fermer();
    const auto actuelles = tout(p().dataDir);
    ASSERT_TRUE(installWriteFaultVfs());
    ResultatRestauration r;
    {
        const ScopedWriteFault panne({WriteFaultKind::NoSpace, 1, 0});
        r = Restaurer(p(), SourceRestauration::SaveAuto, {}, 0);
    }
    EXPECT_EQ(r.etat, ResultatRestauration::Etat::Echec);
    EXPECT_TRUE(r.texte.contains(QStringLiteral("Parametr.tps, Personne.tps, PointVal.tps n'a pas pu être copié")))
        << r.texte.toStdString();
    EXPECT_TRUE(r.texte.contains(QStringLiteral("(Plus de place sur le disque (28)).")));
    EXPECT_TRUE(r.texte.endsWith(QStringLiteral("Les fichiers de données sont restés tels qu'ils étaient.")));
    EXPECT_EQ(tout(p().dataDir), actuelles);
}
