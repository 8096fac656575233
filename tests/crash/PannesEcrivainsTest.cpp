// Every writer of the project's files against a full or failing disk at each of its writes and syncs: it
// reports the failure, and leaves the former file whole (or, for an append, the former lines and no
// fragment). Each test prints its [pannes] line: operations of one run, runs with a fault, failed runs.
#include "../reports/GuiEnvironment.h"
#include "PannesEcriture.h"
#include "correction/BrouillonCorrection.h"
#include "data/FileAdmin.h"
#include "data/TextFiles.h"
#include "punch/TransfertPointages.h"
#include "reader/Attente.h"
#include "reader/EcritureDurable.h"
#include "reports/Csv.h"
#include "reports/ImagesPages.h"
#include "reports/MoteurBandes.h"
#include "reports/PeintrePage.h"
#include "shell/Sauvegarde.h"
#include "utilities/ReprisePointages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

QByteArray lu(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

void poser(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(octets), octets.size());
}

QByteArray lignes(int premiere, int nombre)
{
    QByteArray out;
    for (int c = premiere; c < premiere + nombre; ++c)
        out += kip::formatOriginLine(c % 10000, 7, 12, 2026, 12, 28, 1) + "\r\n";
    return out;
}

QStringList fichiers(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class PannesEcrivains : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }
    QString chemin(const QString& nom) const { return m_tmp.filePath(nom); }

    // A file rewritten whole: after a run, only its name is left, holding the new contents or the former ones.
    BilanPannes entier(const QString& nom, const QByteArray& ancien, const std::function<bool()>& ecrire,
                       const std::function<QByteArray()>& nouveau)
    {
        return essayerChaquePanne(
            [&] { poser(chemin(nom), ancien); }, ecrire,
            [&](bool reussi) {
                if (fichiers(m_tmp.path()).filter(QRegularExpression(QStringLiteral("^(?!source)"))) !=
                    QStringList{nom})
                    return QStringLiteral("reste: ") + fichiers(m_tmp.path()).join(u' ');
                const QByteArray attendu = reussi ? nouveau() : ancien;
                if (lu(chemin(nom)) != attendu)
                    return QStringLiteral("%1 octets au lieu de %2").arg(lu(chemin(nom)).size()).arg(attendu.size());
                return QString();
            });
    }

    QTemporaryDir m_tmp;
};

#define VERIFIER(bilan, nom)                                                                                           \
    (bilan).imprimer(nom);                                                                                             \
    EXPECT_GT((bilan).essais, 0);                                                                                      \
    EXPECT_EQ((bilan).echecs, 0) << (bilan).pertes.join(u'\n').toStdString()

// The files rewritten whole, each by its writer.
TEST_F(PannesEcrivains, FilesRewrittenWhole)
{
    const kip::KipGuard k{QStringLiteral("4"), QStringLiteral("bip.wav"), QStringLiteral("erreur.wav"),
                          QStringLiteral("Omron")};
    kip::Brouillon brouillon;
    brouillon.carte = 42;
    brouillon.lundi = 80000;
    brouillon.jours[2] = kip::TextesJour{};
    kip::Csv csv;
    for (int i = 0; i < 5000; ++i)
        csv.ligne({QString::number(i), QStringLiteral("MARTIN"), QStringLiteral("46,50")});
    kip::ImagesPages pages;
    for (int n = 0; n < 3; ++n) {
        kip::ImagePage page(8268, 11693);
        page.texte(1000, 1000, 3000, 150, QStringLiteral("Page %1").arg(n + 1), kip::polices::Normale);
        ASSERT_TRUE(pages.ajouter(page));
    }
    const QByteArray source = lignes(0, 12000); // 312,000 bytes: several chunks
    poser(chemin(QStringLiteral("source.txt")), source);
    const QByteArray reprises = lignes(0, 3000);
    auto ici = [this](const char* nom) { return chemin(QLatin1String(nom)); };
    const struct
    {
        const char* ecrivain;
        const char* fichier;
        QByteArray ancien;
        std::function<bool()> ecrire;
        std::function<QByteArray()> nouveau;
    } cas[] = {
        {"KipGuard::write", "KipGuard.txt", "1\r\na.wav\r\nb.wav\r\nMagtek\r\n",
         [&] { return k.write(ici("KipGuard.txt")).ok(); },
         [] { return QByteArray("4\r\nbip.wav\r\nerreur.wav\r\nOmron\r\n"); }},
        {"ecrireBrouillon", "brouillon.txt", "ancien brouillon",
         [&] { return kip::ecrireBrouillon(ici("brouillon.txt"), brouillon).ok(); },
         [&] { return kip::texteBrouillon(brouillon); }},
        {"ecrireCsv", "export.csv", "ancien export", [&] { return kip::ecrireCsv(ici("export.csv"), csv).ok(); },
         [&] { return csv.contenu(); }},
        // The document's bytes differ from one writing to the next (its date): a PDF whole enough to read.
        {"ecrirePdf", "rapport.pdf", "ancien rapport", [&] { return kip::ecrirePdf(pages, ici("rapport.pdf")).ok(); },
         [&] {
             const QByteArray fait = lu(ici("rapport.pdf"));
             return fait.startsWith("%PDF") && fait.trimmed().endsWith("%%EOF") ? fait : QByteArray();
         }},
        {"copierFichierTexte", "Origin00.txt", lignes(5000, 10),
         [&] { return kip::copierFichierTexte(ici("source.txt"), ici("Origin00.txt")).ok(); }, [&] { return source; }},
        {"ReprendrePointages", "Origin00.txt", lignes(7000, 5),
         [&] { return kip::ReprendrePointages(m_tmp.path(), reprises); }, [&] { return reprises + lignes(7000, 5); }},
    };
    for (const auto& c : cas) {
        for (const QString& f : fichiers(m_tmp.path()))
            if (f != QLatin1String("source.txt"))
                QFile::remove(chemin(f));
        const auto b = entier(QLatin1String(c.fichier), c.ancien, c.ecrire, c.nouveau);
        VERIFIER(b, c.ecrivain);
    }
}

TEST_F(PannesEcrivains, TheReadersAppend)
{
    const QString origine = chemin(QStringLiteral("Origin00.txt"));
    const QByteArray ancien = lignes(1, 3);
    const QByteArray ligne = lignes(42, 1);
    const auto b = essayerChaquePanne(
        [&] { poser(origine, ancien); }, [&] { return kip::ajouterDurablement(origine, ligne).ok(); },
        [&](bool reussi) {
            const QByteArray attendu = reussi ? ancien + ligne : ancien;
            return lu(origine) == attendu ? QString() : QStringLiteral("reste: ") + lu(origine);
        });
    VERIFIER(b, "ajouterDurablement");
}

TEST_F(PannesEcrivains, TheReadersHandOverOfItsHeldSwipes)
{
    const QString data = m_tmp.path();
    const QString origine = chemin(QStringLiteral("Origin00.txt"));
    const QByteArray ancien = lignes(1, 3);
    const QByteArray tenues = lignes(100, 4);
    const auto b = essayerChaquePanne(
        [&] {
            for (const QString& f : fichiers(data))
                QFile::remove(chemin(f));
            poser(origine, ancien);
            poser(chemin(kip::Attente::nomAttente()), tenues);
        },
        [&] {
            kip::Attente a(data);
            return a.reparer().ok() && a.verser(origine).ok();
        },
        [&](bool) {
            // Whatever the fault left, the next start puts every line in exactly one place, in its order.
            kip::Attente suivante(data);
            if (!suivante.reparer().ok() || !suivante.verser(origine).ok())
                return QStringLiteral("reprise impossible");
            return lu(origine) == ancien + tenues ? QString() : QStringLiteral("après reprise: ") + lu(origine);
        });
    VERIFIER(b, "Attente::verser");
}

TEST_F(PannesEcrivains, TheArchiveOfTheRawFile)
{
    const QString data = m_tmp.path();
    const QByteArray lues = lignes(1, 2000);
    const QByteArray suite = lignes(5000, 3);
    const auto b = essayerChaquePanne(
        [&] {
            for (const QString& f : fichiers(data))
                QFile::remove(chemin(f));
            poser(chemin(QStringLiteral("Origin00.txt")), lues + suite);
        },
        [&] { return kip::ArchiverOrigine(data, lues.size()).ok(); },
        [&](bool reussi) {
            const QByteArray o0 = lu(chemin(QStringLiteral("Origin00.txt")));
            const QByteArray o1 = lu(chemin(QStringLiteral("Origin01.txt")));
            if (reussi)
                return o0 == suite && o1 == lues ? QString() : QStringLiteral("archive fausse");
            // Every line read stays in a named file: the raw file is read again, and stores nothing twice.
            return o0 == lues + suite ? QString() : QStringLiteral("Origin00.txt changé: %1 octets").arg(o0.size());
        });
    VERIFIER(b, "ArchiverOrigine");
}

TEST_F(PannesEcrivains, ABackupNamesEveryFileItCouldNotCopyAndKeepsItsFormerCopy)
{
    ASSERT_TRUE(kip::installWriteFaultVfs());
    const kip::Paths p = kip::Paths::forInstallation(chemin(QStringLiteral("Kip")));
    QDir().mkpath(p.dataDir);
    const QString copie = chemin(QStringLiteral("Kip/SaveManu"));
    QDir().mkpath(copie);
    auto remplir = [&](int lignesTexte, int employes) {
        poser(p.origin(0), lignes(0, lignesTexte));
        poser(p.kipGuard(), QByteArray::number(employes) + "\r\n");
        for (kip::FileId id : {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal}) {
            QFile::remove(p.file(id));
            ASSERT_TRUE(kip::createRecordFile(kip::tableOf(id), p.file(id)).ok());
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(p.file(kip::FileId::Personnel).toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                               QByteArray::number(employes) +
                               ") INSERT INTO PERSONNEL (CARTE, NOM) SELECT i, printf('N%0100d', i) FROM n";
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    // What a copy holds, by name: a text file's bytes, a record file's row count.
    auto etat = [&](const QString& dir) {
        QMap<QString, QByteArray> e;
        for (const QString& f : fichiers(dir)) {
            if (!f.endsWith(QLatin1String(".tps"))) {
                e[f] = lu(QDir(dir).filePath(f));
                continue;
            }
            sqlite3* db = nullptr;
            QByteArray n;
            if (sqlite3_open_v2(QDir(dir).filePath(f).toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
                SQLITE_OK) {
                for (const char* sql : {"PRAGMA quick_check", "SELECT name FROM sqlite_master WHERE type = 'table'"}) {
                    sqlite3_stmt* st = nullptr;
                    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
                        n += reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) + QByteArray("/");
                    sqlite3_finalize(st);
                }
                const QByteArray compte = "SELECT count(*) FROM " + n.split('/').value(1);
                sqlite3_stmt* st = nullptr;
                if (sqlite3_prepare_v2(db, compte.constData(), -1, &st, nullptr) == SQLITE_OK &&
                    sqlite3_step(st) == SQLITE_ROW)
                    n += QByteArray::number(sqlite3_column_int64(st, 0));
                sqlite3_finalize(st);
            }
            sqlite3_close(db);
            e[f] = n;
        }
        return e;
    };
    remplir(100, 10);
    ASSERT_TRUE(kip::SauvegarderDans(p, copie).reussie());
    QDir().mkpath(chemin(QStringLiteral("ancienne")));
    for (const QString& f : fichiers(copie))
        ASSERT_TRUE(QFile::copy(QDir(copie).filePath(f), chemin(QStringLiteral("ancienne/")) + f));
    const auto ancienne = etat(copie);
    remplir(3000, 60);
    const auto nouvelle = etat(p.dataDir);
    kip::ResultatSauvegarde r;
    const auto b = essayerChaquePanne(
        [&] {
            for (const QString& f : fichiers(copie))
                QFile::remove(QDir(copie).filePath(f));
            for (const QString& f : fichiers(chemin(QStringLiteral("ancienne"))))
                QFile::copy(chemin(QStringLiteral("ancienne/")) + f, QDir(copie).filePath(f));
        },
        [&] {
            r = kip::SauvegarderDans(p, copie);
            return r.reussie();
        },
        [&](bool) {
            const auto e = etat(copie);
            if (e.keys() != ancienne.keys())
                return QStringLiteral("fichiers: ") + e.keys().join(u' ');
            for (const QString& f : e.keys()) {
                if (e[f] == nouvelle.value(f))
                    continue;
                if (e[f] != ancienne[f])
                    return QStringLiteral("%1 ni ancien ni nouveau").arg(f);
                if (!r.echecs.contains(f))
                    return QStringLiteral("%1 non copié mais pas signalé").arg(f);
            }
            return QString();
        });
    VERIFIER(b, "SauvegarderDans");
}

} // namespace
