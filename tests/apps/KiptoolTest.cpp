// kiptool as a script runs it: a real process on a generated installation, its PDF read back with
// pdftotext, its exit statuses and its messages.
#include "../reports/TexteDuPdf.h"
#include "../shell/Processus.h"
#include "calendar/Clock.h"
#include "data/FileAdmin.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "kipgen/Generator.h"
#include "shell/Sauvegarde.h"
#include "shell/VerrouProgramme.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A command line written as one text, its words apart by spaces (the paths of the tests have none).
struct Ligne
{
    QString f;
    // %1, %2... replaced by the values; a value may be left unused.
    QStringList arg(std::initializer_list<QString> valeurs) const
    {
        QString l = f;
        int n = 0;
        for (const QString& v : valeurs)
            l.replace(QStringLiteral("%") + QString::number(++n), v);
        return l.split(u' ', Qt::SkipEmptyParts);
    }
    template <class... T> QStringList arg(const T&... v) const { return arg({QString(v)...}); }
    operator QStringList() const { return f.split(u' ', Qt::SkipEmptyParts); }
};
Ligne a(const char* ligne)
{
    return {QString::fromUtf8(ligne)};
}

class KiptoolTest : public ::testing::Test
{
protected:
    // A generated installation Kip in dir, of a week of punches.
    static void generer(const QString& dir, int employes, quint64 graine, int lignes, qint32 aujourdhui = 0)
    {
        kip::gen::GenOptions o;
        o.dir = dir + QStringLiteral("/Kip");
        o.employees = employes;
        o.weeks = 1;
        o.seed = graine;
        o.today = aujourdhui;
        o.dayLines = lignes;
        const kip::gen::GenResult r = kip::gen::generateInstallation(o);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
    }
    static void SetUpTestSuite()
    {
        s_tmp = new QTemporaryDir;
        ASSERT_TRUE(s_tmp->isValid());
        generer(s_tmp->path(), 12, 5, 12 * 40, kip::dayNumber(2026, 12, 9));
    }
    static void TearDownTestSuite()
    {
        delete s_tmp;
        s_tmp = nullptr;
    }

    QString installation() const { return s_tmp->path() + QStringLiteral("/Kip"); }
    QString sortie(const char* nom) const { return m_out.filePath(QLatin1String(nom)); }

    // panne: a fault of the disk for the process (KIP_PANNE_ECRITURE).
    FinProcessus kiptool(const QStringList& args, const QString& repertoire = {}, const QString& panne = {})
    {
        QProcessEnvironment env = environnementSansAffichage();
        if (!panne.isEmpty())
            env.insert(QStringLiteral("KIP_PANNE_ECRITURE"), panne);
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        return lancerJusquaLaFin(QStringLiteral(KIP_KIPTOOL), args, repertoire.isEmpty() ? m_out.path() : repertoire,
                                 env);
    }

    static QTemporaryDir* s_tmp;
    QTemporaryDir m_out;
};

QTemporaryDir* KiptoolTest::s_tmp = nullptr;

} // namespace

// kiptool's command lines, run from the installation directory as a scheduled job runs them, with their exit
// codes: 0 and the PDF holds what the line asks for (a mid-week period takes whole weeks; what each report
// prints is checked on the core), 1 when nothing matches, 2 for bad arguments or an unusable installation; no
// file written but on 0, and the data left as they were.
TEST_F(KiptoolTest, CommandLinesEndWithTheirCodeAndWriteOnlyWhatTheyAskFor)
{
    QDir().mkpath(m_out.filePath(QStringLiteral("Autre/Data")));
    QDir().mkpath(m_out.filePath(QStringLiteral("Vide/Kip/Data")));
    const auto avant = empreintes(installation() + QStringLiteral("/Data"));
    // %1: the output file, %2: the installation, %3: the test's own directory. With 0, texte is in the PDF or
    // the output and absent is not in the PDF; otherwise texte is in the errors.
    const struct
    {
        const char* ligne;
        int code;
        const char* texte;
        const char* absent;
    } cas[] = {
        // The employee list has no period: none is asked for.
        {"report 1 --pdf %1", 0, "Edition du personnel", nullptr},
        {"report 3 --pdf %1 --from 25/11/2026 --to 01/12/2026", 0, "23/11/2026", "22/11/2026"},
        {"report 7 --pdf %1 --from 30/11/2026 --to 06/12/2026", 0,
         "Total de la période par employé et total des employés, 1 à x jours", "29/11/2026"},
        {"report --help", 0, "--hundredths", nullptr},
        // A period without day lines.
        {"report 2 --pdf %1 --from 01/01/2020 --to 31/01/2020", 1, "aucun fichier écrit", nullptr},
        {"export --csv %1 --from 25/11/2016 --to 01/12/2016", 1, "aucun fichier écrit", nullptr},
        {"journal --csv %1 --from 01/01/2020 --to 02/01/2020", 1, "aucun fichier écrit", nullptr},
        // Ranges beyond every card, name and matricule: the open side must not reach back to the last employee.
        {"report 2 --pdf %1 --from 30/11/2026 --to 06/12/2026 --range 9999:", 1, "aucun fichier écrit", nullptr},
        {"report 2 --pdf %1 --from 30/11/2026 --to 06/12/2026 --sort A --range ZZZZ:", 1, "aucun fichier écrit",
         nullptr},
        {"report 2 --pdf %1 --from 30/11/2026 --to 06/12/2026 --sort M --range :0", 1, "aucun fichier écrit", nullptr},
        {"report 11 --pdf %1 --from 30/11/2026 --to 06/12/2026", 2, "n'existe pas", nullptr},
        {"report 4 --pdf %1", 2, "--from et --to", nullptr},
        {"report 3 --from 32/11/2026 --to 06/12/2026 --pdf %1", 2, "date invalide", nullptr},
        {"report 3 --sort X --pdf %1 --from 30/11/2026 --to 06/12/2026", 2, "--sort", nullptr},
        {"report 3 --range abc: --pdf %1 --from 30/11/2026 --to 06/12/2026", 2, "numéro de carte invalide", nullptr},
        // A reversed range is refused, not swapped.
        {"report 3 --range 9999:1 --pdf %1 --from 30/11/2026 --to 06/12/2026", 2, "écrivez --range 1:9999", nullptr},
        {"report 3 --sort A --range Z:a --pdf %1 --from 30/11/2026 --to 06/12/2026", 2, "écrivez --range a:Z", nullptr},
        {"journal --from 30/11/2026 --to 06/12/2026 --range 20:10 --csv %1", 2, "--range: 20 vient après 10", nullptr},
        {"export --from 25/11/2026 --to 01/12/2026 --seuils 43:35 --csv %1", 2, "--seuils attend", nullptr},
        {"report 3 --from 30/11/2026 --to 06/12/2026 --dir %2", 2, "--pdf", nullptr},
        {"report 3 --pdf %1 --from 30/11/2026 --to 06/12/2026 --dir %3/Autre", 2, "n'est pas une installation",
         nullptr},
        {"report 3 --pdf %1 --from 30/11/2026 --to 06/12/2026 --dir %3/Vide/Kip", 2, "installation inutilisable",
         nullptr},
        {"rapport", 2, "commande inconnue", nullptr},
        {"", 2, "Usage", nullptr},
    };
    const QString fichier = sortie("sortie");
    for (const auto& c : cas) {
        SCOPED_TRACE(c.ligne);
        QFile::remove(fichier);
        const FinProcessus e = kiptool(a(c.ligne).arg(fichier, installation(), m_out.path()), installation());
        EXPECT_EQ(e.code, c.code) << e.erreurs.toStdString();
        const QString texte = c.code ? e.erreurs : e.sortie + texteDuPdf(fichier);
        EXPECT_TRUE(texte.contains(QString::fromUtf8(c.texte))) << texte.toStdString();
        if (c.absent) {
            EXPECT_FALSE(texte.contains(QLatin1String(c.absent)));
        }
        EXPECT_EQ(QFile::exists(fichier), c.code == 0 && QByteArray(c.ligne).contains("%1"));
        if (c.code == 0) {
            EXPECT_TRUE(e.erreurs.isEmpty()) << e.erreurs.toStdString();
        }
    }
    EXPECT_EQ(empreintes(installation() + QStringLiteral("/Data")), avant);
}

namespace {

qint64 employes(const QString& installation)
{
    kip::Database db(installation + QStringLiteral("/Data"));
    kip::RecordFile<kip::Personnel> file(db);
    return file.open().ok() ? file.records().valueOr(-1) : -1;
}

} // namespace

// The restore from the command line: the backed-up rows come back, the files it replaced are kept, and it is
// refused while another program holds the data.
TEST_F(KiptoolTest, RestoresTheDataFromABackupUnlessAProgramHoldsThem)
{
    QTemporaryDir tmp;
    generer(tmp.path(), 6, 11, 60);
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    const kip::Paths p = kip::Paths::forInstallation(dir);
    ASSERT_TRUE(kip::SauvegarderDans(p, p.saveManuDir).reussie());
    {
        // Two employees leave after the backup.
        kip::Database db(p.dataDir);
        kip::RecordFile<kip::Personnel> file(db);
        ASSERT_TRUE(file.open().ok());
        kip::Cursor<kip::Personnel> c = file.readAll();
        kip::Personnel e;
        for (int n = 0; n < 2; ++n) {
            ASSERT_TRUE(c.next(e).ok());
            ASSERT_TRUE(file.remove(e).ok());
        }
    }
    ASSERT_EQ(employes(dir), 4);

    EXPECT_EQ(kiptool(a("restore --from Ailleurs"), dir).code, 2);
    {
        kip::VerrouProgramme autre;
        ASSERT_EQ(autre.prendre(p.dataDir), kip::VerrouProgramme::Pris);
        const FinProcessus refus = kiptool(a("restore --from SaveManu"), dir);
        EXPECT_EQ(refus.code, 1) << refus.erreurs.toStdString();
        EXPECT_EQ(employes(dir), 4);
    }
    const FinProcessus faite = kiptool(a("restore --from savemanu --dir %1").arg(dir));
    EXPECT_EQ(faite.code, 0) << faite.erreurs.toStdString();
    EXPECT_EQ(employes(dir), 6);
    // The files before the restore are listed, and restored like any other copy.
    const FinProcessus liste = kiptool(a("restore --list"), dir);
    ASSERT_EQ(liste.code, 0) << liste.erreurs.toStdString();
    const QStringList lignes = liste.sortie.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 3) << liste.sortie.toStdString();
    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("SaveManu\tCopie de SaveManu\tCopie de \\Kip\\SaveManu du ")));
    const QString avant = lignes[2].section(u'\t', 0, 0);
    EXPECT_TRUE(avant.startsWith(QStringLiteral("AvantRestauration/"))) << lignes[2].toStdString();
    EXPECT_TRUE(lignes[2].contains(QStringLiteral(": 4 employé(s), ")));
    EXPECT_EQ(kiptool(a("restore --from %1").arg(avant), dir).code, 0);
    EXPECT_EQ(employes(dir), 4);
}

// A damaged journal of corrections is said, with exit 1, by every command that reads the installation.
TEST_F(KiptoolTest, ADamagedJournalIsSaidAndEndsWithOne)
{
    QTemporaryDir tmp;
    generer(tmp.path(), 4, 3, 20);
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    const kip::Paths p = kip::Paths::forInstallation(dir);
    kip::setPaths(p);
    ASSERT_TRUE(kip::createRecordFile(kip::tableOf(kip::FileId::Journal), p.file(kip::FileId::Journal)).ok());
    {
        kip::Database db(p.dataDir);
        kip::Transaction t(db, {kip::FileId::Journal});
        for (int i = 0; i < 200; ++i) {
            kip::Journal e;
            e.CARTE = 12;
            e.AVANT = QString(200, u'a');
            ASSERT_TRUE(kip::ajouterAuJournal(t, e).ok());
        }
        ASSERT_TRUE(t.commit().ok());
    }
    {
        // Garbage over the middle of the file, past its first pages.
        QFile f(p.file(kip::FileId::Journal));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(f.size() / 2 / 4096 * 4096));
        f.write(QByteArray(4096, '\x5a'));
    }
    for (const QStringList& args : {a("journal --from 01/01/2020 --to 01/01/2030 --csv %1").arg(sortie("j.csv")),
                                    a("report 1 --pdf %1").arg(sortie("r.pdf"))}) {
        const FinProcessus e = kiptool(args, dir);
        EXPECT_EQ(e.code, 1) << args.first().toStdString() << ": " << e.erreurs.toStdString();
        EXPECT_TRUE(e.erreurs.contains(QStringLiteral("le journal des corrections ") + p.file(kip::FileId::Journal) +
                                       QStringLiteral(" est endommagé")))
            << e.erreurs.toStdString();
    }
    EXPECT_FALSE(QFile::exists(sortie("j.csv")));
    EXPECT_FALSE(QFile::exists(sortie("r.pdf")));
}

TEST_F(KiptoolTest, ExportsTheWeekTotalsAsCsvForPayroll)
{
    const auto avant = empreintes(installation() + QStringLiteral("/Data"));
    const QString csv = sortie("paie.csv");
    const FinProcessus e = kiptool(
        a("export --from 25/11/2026 --to 01/12/2026 --range :9999 --hundredths --seuils 30:40 --csv %1 --dir %2")
            .arg(csv, installation()));
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lignes = f.readAll().split('\n');
    ASSERT_GT(lignes.size(), 10);
    // The choices reach the export (what it writes is checked on the core): the thresholds in the header, the
    // whole weeks 48 and 49 of the period, hundredths.
    EXPECT_TRUE(lignes[0].startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(lignes[0].contains("Heures jusqu'\xC3\xA0 30,00"));
    const QList<QByteArray> champs = lignes[1].trimmed().split(';');
    // The eleven former columns, then one per absence type and the working-time balance.
    ASSERT_EQ(champs.size(), lignes[0].trimmed().split(';').size()) << lignes[1].toStdString();
    EXPECT_TRUE(lignes[0].trimmed().endsWith(";Solde du compte"));
    EXPECT_EQ(champs[4], "48");
    EXPECT_TRUE(champs[7].contains(','));
    EXPECT_TRUE(lignes[lignes.size() - 2].contains(";49;") || lignes[lignes.size() - 2].contains(";Total;"));
    EXPECT_EQ(empreintes(installation() + QStringLiteral("/Data")), avant);
}

TEST_F(KiptoolTest, WritesTheJournalOfCorrectionsOfAPeriodAndCards)
{
    kip::setPaths(kip::Paths::forInstallation(installation()));
    {
        kip::Database db(kip::paths().dataDir);
        for (auto [jour, carte] : {std::pair{2, 12}, std::pair{3, 12}, std::pair{3, 40}, std::pair{9, 12}}) {
            kip::Clock::setToday(kip::dayNumber(2026, 11, jour));
            kip::Transaction t(db, {kip::FileId::Journal});
            kip::Journal e;
            e.CARTE = qint16(carte);
            e.NOM = QStringLiteral("MARTIN");
            e.JOUR = kip::dayNumber(2026, 10, 30);
            e.AVANT = QStringLiteral("8.00 12.00 = 4.00");
            e.APRES = QStringLiteral("8.00 12.30 = 4.30");
            e.CAUSE = QStringLiteral("essai; \"un\"");
            ASSERT_TRUE(kip::ajouterAuJournal(t, e).ok());
            ASSERT_TRUE(t.commit().ok());
        }
        kip::Clock::setToday(0);
    }
    const QString csv = sortie("journal.csv");
    const FinProcessus e =
        kiptool(a("journal --from 02/11/2026 --to 03/11/2026 --range 1:20 --csv %1").arg(csv), installation());
    ASSERT_EQ(e.code, 0) << e.erreurs.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lignes = f.readAll().split('\n');
    ASSERT_EQ(lignes.size(), 4); // header, two entries, nothing after the last CR LF
    EXPECT_TRUE(lignes[1].startsWith("02/11/2026;"));
    EXPECT_TRUE(lignes[2].startsWith("03/11/2026;"));
    EXPECT_TRUE(
        lignes[2].contains(";12;;MARTIN;;30/10/2026;8.00 12.00 = 4.00;8.00 12.30 = 4.30;\"essai; \"\"un\"\"\"\r"))
        << lignes[2].toStdString();
}

TEST_F(KiptoolTest, AFullDiskWritesNoFileLeavesTheFormerOneAndEndsWithTwo)
{
    kip::setPaths(kip::Paths::forInstallation(installation()));
    {
        kip::Database db(kip::paths().dataDir);
        kip::Clock::setToday(kip::dayNumber(2026, 11, 20));
        kip::Transaction t(db, {kip::FileId::Journal});
        for (int carte = 1; carte <= 300; ++carte) {
            kip::Journal e;
            e.CARTE = qint16(carte);
            e.NOM = QStringLiteral("MARTIN");
            e.CAUSE = QStringLiteral("une cause assez longue pour remplir plus d'un bloc du disque");
            ASSERT_TRUE(kip::ajouterAuJournal(t, e).ok());
        }
        ASSERT_TRUE(t.commit().ok());
        kip::Clock::setToday(0);
    }
    const struct
    {
        const char* nom;
        QStringList args;
    } commandes[] = {
        {"export", a("export --from 20/11/2026 --to 06/12/2026 --csv")},
        {"journal", a("journal --from 20/11/2026 --to 06/12/2026 --csv")},
        {"report", a("report 3 --from 20/11/2026 --to 06/12/2026 --pdf")},
    };
    const struct
    {
        const char* panne;
        const char* cause;
    } pannes[] = {{"plein:1", "Plus de place sur le disque (28)"},
                  {"plein:1:1", "Plus de place sur le disque (28)"}, // the space is back for what follows
                  {"court:1", "Plus de place sur le disque (28)"},
                  {"es:2", "Erreur d'entrée-sortie du disque (5)"}};
    for (const auto& c : commandes) {
        const QString fichier = m_out.filePath(QStringLiteral("%1.sortie").arg(QLatin1String(c.nom)));
        for (const auto& p : pannes) {
            SCOPED_TRACE(std::string(c.nom) + " " + p.panne);
            QFile::remove(fichier);
            FinProcessus e = kiptool(c.args + QStringList{fichier}, installation(), QLatin1String(p.panne));
            EXPECT_EQ(e.code, 2) << e.erreurs.toStdString();
            EXPECT_TRUE(e.erreurs.contains(QString::fromUtf8(p.cause))) << e.erreurs.toStdString();
            EXPECT_TRUE(e.erreurs.contains(QStringLiteral("aucun fichier écrit"), Qt::CaseInsensitive))
                << e.erreurs.toStdString();
            EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList()) << "nothing, not even a part";
            // A former file of that name stays as it was.
            {
                QFile ancien(fichier);
                ASSERT_TRUE(ancien.open(QIODevice::WriteOnly));
                ancien.write("ancien");
            }
            e = kiptool(c.args + QStringList{fichier}, installation(), QLatin1String(p.panne));
            EXPECT_EQ(e.code, 2) << e.erreurs.toStdString();
            QFile ancien(fichier);
            ASSERT_TRUE(ancien.open(QIODevice::ReadOnly));
            EXPECT_EQ(ancien.readAll(), QByteArray("ancien"));
        }
        QFile::remove(fichier);
        const FinProcessus e = kiptool(c.args + QStringList{fichier}, installation());
        EXPECT_EQ(e.code, 0) << c.nom << ": " << e.erreurs.toStdString();
        EXPECT_GT(QFileInfo(fichier).size(), 0) << c.nom;
        QFile::remove(fichier);
    }
}

// kiptool soldes: an employee's balances shown, a starting balance and a credit set (the RTT shown grows by
// the credit), and each bad command line refused with 2 and its message, the data left as they were.
TEST_F(KiptoolTest, ShowsAndSetsTheBalancesOfAnEmployee)
{
    kip::Database db(installation() + QStringLiteral("/Data"));
    kip::RecordFile<kip::Personnel> file(db);
    ASSERT_TRUE(file.open().ok());
    kip::Personnel p;
    ASSERT_TRUE(file.read(kip::PER_K_CARTE, kip::Personnel{}).next(p).ok());
    const QString carte = QString::number(p.CARTE);
    const auto rtt = [&] {
        const FinProcessus e = kiptool(a("soldes %1 --dir %2").arg(carte, installation()));
        EXPECT_EQ(e.code, 0) << e.erreurs.toStdString();
        EXPECT_TRUE(e.sortie.contains(QStringLiteral("Compte d'heures: "))) << e.sortie.toStdString();
        const qsizetype i = e.sortie.indexOf(QStringLiteral("RTT: "));
        return i < 0 ? -1.0 : e.sortie.mid(i + 5).section(u' ', 0, 0).replace(u',', u'.').toDouble();
    };
    const double avant = rtt();
    const struct
    {
        const char* ligne;
        int code;
        const char* texte; // in the output (0) or the errors (2)
    } cas[] = {
        {"soldes %1 --depart HEUR --valeur 12:30 --date 01/12/2026 --commentaire reprise --dir %2", 0,
         "HEUR départ 01/12/2026: +12.30 (reprise) enregistré"},
        {"soldes %1 --credit RTT --valeur 2,5 --date 01/12/2026 --dir %2", 0, "RTT crédit 01/12/2026: 2,50"},
        {"soldes %1 --credit HEUR --valeur 2 --date 01/12/2026 --dir %2", 2, "Seuls les soldes RTT et REC"},
        {"soldes %1 --depart CP --valeur 2h --date 01/12/2026 --dir %2", 2, "valeur invalide: 2h"},
        {"soldes %1 --depart HEUR --valeur 1 --dir %2", 2, "--depart ou --credit se donne avec --valeur et --date"},
        {"soldes %1 --date 31/02/2026 --dir %2", 2, "date invalide"},
        {"soldes 0 --dir %2", 2, "de 1 à 9999"},
        {"soldes 10000 --dir %2", 2, "de 1 à 9999"},
        {"soldes %1 --dir %1", 2, "n'est pas une installation Kip"},
    };
    for (const auto& c : cas) {
        const auto donnees = empreintes(installation() + QStringLiteral("/Data"));
        const FinProcessus e = kiptool(a(c.ligne).arg(carte, installation()));
        EXPECT_EQ(e.code, c.code) << c.ligne << "\n" << e.erreurs.toStdString();
        EXPECT_TRUE((c.code ? e.erreurs : e.sortie).contains(QString::fromUtf8(c.texte)))
            << c.ligne << "\n"
            << (e.sortie + e.erreurs).toStdString();
        if (c.code) {
            EXPECT_EQ(empreintes(installation() + QStringLiteral("/Data")), donnees) << c.ligne;
        }
    }
    EXPECT_DOUBLE_EQ(rtt(), avant + 2.5);
}
