// A temporary installation with employees and day lines written by the test, and the means to run a
// report on it and read what it printed.
#pragma once

#include "GuiEnvironment.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "reports/EditionSemaine.h"
#include "reports/ExecutionEdition.h"
#include "reports/ImagesPages.h"
#include "reports/PeintrePage.h"

#include <QDir>
#include <QTemporaryDir>

// The pages of a report, byte for byte.
inline QList<QByteArray> octets(const kip::ImagesPages& pages)
{
    QList<QByteArray> out;
    for (int n = 1; n <= pages.nombre(); ++n)
        out << pages.page(n)->serialiser();
    return out;
}

class ReportsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Kip/Data"));
        kip::setPaths(kip::Paths::forInstallation(m_tmp.path() + QStringLiteral("/Kip")));
        kip::setMessagePresenter(&presenter);
        today = kip::dayNumber(2026, 12, 9); // a Wednesday
        kip::Clock::setToday(today);
        kip::Clock::setTimeOfDay(QTime(10, 20, 30));
        kip::commonOpen(kip::FileId::Personnel);
        kip::commonOpen(kip::FileId::PointVal);
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
        personnel = std::make_unique<kip::RecordFile<kip::Personnel>>(*db);
        journees = std::make_unique<kip::RecordFile<kip::PointVal>>(*db);
        ASSERT_EQ(personnel->open(), kip::NoError);
        ASSERT_EQ(journees->open(), kip::NoError);
    }
    void TearDown() override
    {
        journees.reset();
        personnel.reset();
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
        kip::Clock::setTimeOfDay(QTime());
    }

    kip::Personnel employe(qint16 carte, const QString& nom, const QString& prenom, const QString& arrondi = "000",
                           const QString& matricule = {})
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = prenom;
        p.MATRICULE = matricule.isNull() ? QStringLiteral("M%1").arg(carte, 4, 10, QLatin1Char('0')) : matricule;
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = arrondi;
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        EXPECT_EQ(personnel->add(p), kip::NoError);
        return p;
    }

    // A day line of the employee with user punches (stored values) and their total.
    kip::PointVal journee(const kip::Personnel& p, qint32 date, std::vector<qint16> pointages, quint8 inactif = 0)
    {
        kip::PointVal v;
        v.CARTE = p.CARTE;
        v.NOM = p.NOM;
        v.PRENOM = p.PRENOM;
        v.MATRICULE = p.MATRICULE;
        v.DATE = date;
        const kip::Semaine s = kip::NumeroSemaine(date);
        v.NUM_SEMAINE = s.numero;
        v.NUM_ANNEE = s.annee;
        v.INACTIF = inactif;
        v.clearPunches();
        int total = 0;
        for (size_t i = 0; i < pointages.size(); ++i) {
            v.POINTAGE_ORIGINE[i] = v.POINTAGE_PROGRAMME[i] = v.POINTAGE_UTILISATEUR[i] = pointages[i];
            if (i % 2 == 1)
                total += pointages[i] - pointages[i - 1];
        }
        v.TOTAL = qint16(total);
        EXPECT_EQ(journees->add(v), kip::NoError);
        return v;
    }
    // A day line whose three punch lines differ (stored values); its total is the user line's.
    kip::PointVal troisLignes(const kip::Personnel& p, qint32 date, const std::vector<qint16>& origine,
                              const std::vector<qint16>& programme, const std::vector<qint16>& utilisateur,
                              quint8 modif = 0, quint8 inactif = 0)
    {
        kip::PointVal v = journee(p, date, {}, inactif);
        auto copier = [](kip::PunchLine& ligne, const std::vector<qint16>& valeurs) {
            for (size_t i = 0; i < valeurs.size(); ++i)
                ligne[i] = valeurs[i];
        };
        copier(v.POINTAGE_ORIGINE, origine);
        copier(v.POINTAGE_PROGRAMME, programme);
        copier(v.POINTAGE_UTILISATEUR, utilisateur);
        int total = 0;
        for (size_t i = 1; i < utilisateur.size(); i += 2)
            total += utilisateur[i] - utilisateur[i - 1];
        v.TOTAL = qint16(total);
        v.MODIF = modif;
        EXPECT_EQ(journees->put(v), kip::NoError);
        return v;
    }
    // A day line of that many minutes, from 06:00.
    kip::PointVal minutes(const kip::Personnel& p, qint32 date, int total, quint8 inactif = 0)
    {
        return journee(p, date, {360, qint16(360 + total)}, inactif);
    }

    kip::ParametresEdition parametres(qint32 debut, qint32 fin, kip::Tri tri = kip::Tri::Numero)
    {
        kip::ParametresEdition p;
        p.NOMEDITION = QStringLiteral("Edition d'essai");
        p.tri = tri;
        p.carteDebut = 1;
        p.carteFin = 9999;
        p.nomDebut = QStringLiteral("A");
        p.nomFin = QStringLiteral("ZZZZ");
        p.matriculeDebut = QString();
        p.matriculeFin = QStringLiteral("ZZZZ");
        p.dateDebut = debut;
        p.dateFin = fin;
        return p;
    }

    kip::ResultatEdition executer(kip::Edition& e, const kip::ParametresEdition& p, kip::ControleExecution c = {})
    {
        kip::Database connexion(kip::paths().dataDir);
        return kip::ExecuterEdition(connexion, e, p, c);
    }

    // Every line of text of every page, page after page.
    static QStringList texte(const kip::ImagesPages& pages)
    {
        QStringList lignes;
        for (int n = 1; n <= pages.nombre(); ++n) {
            const std::optional<kip::ImagePage> page = pages.page(n);
            EXPECT_TRUE(page.has_value());
            if (page)
                lignes += page->lignesDeTexte();
        }
        return lignes;
    }
    // The texts of the pages written as a PDF, as pdftotext lays them out, each line's spaces reduced to one.
    QStringList textePdf(const kip::ImagesPages& pages)
    {
        const QString chemin = m_tmp.filePath(QStringLiteral("edition.pdf"));
        const kip::FileError erreur = kip::ecrirePdf(pages, chemin, QStringLiteral("Essai"));
        EXPECT_TRUE(erreur.ok()) << erreur.description().toStdString();
        QStringList lignes;
        for (const QString& l : texteDuPdf(chemin).split(QLatin1Char('\n')))
            if (!l.simplified().isEmpty())
                lignes << l.simplified();
        EXPECT_FALSE(lignes.isEmpty()) << "pdftotext";
        return lignes;
    }
    // Whether the check box just left of that caption on the page is ticked; nullopt when there is none.
    static std::vector<bool> casesDe(const kip::ImagePage& page, const QString& legende)
    {
        std::vector<bool> cases;
        for (const kip::ElementPage& t : page.elements()) {
            if (t.genre != kip::ElementPage::Genre::Texte || t.texte != legende)
                continue;
            for (const kip::ElementPage& c : page.elements())
                if (c.genre == kip::ElementPage::Genre::Case && c.x < t.x && t.x - c.x < 200 &&
                    std::abs(c.y - t.y) < 100)
                    cases.push_back(c.coche);
        }
        return cases;
    }
    static QStringList lignesCommencantPar(const QStringList& lignes, const QString& debut)
    {
        QStringList out;
        for (const QString& l : lignes)
            if (l.startsWith(debut))
                out << l;
        return out;
    }

    qint32 lundi(int semainesAvant) const { return kip::LundiDimanche(today).lundi - 7 * semainesAvant; }

    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    std::unique_ptr<kip::RecordFile<kip::Personnel>> personnel;
    std::unique_ptr<kip::RecordFile<kip::PointVal>> journees;
    qint32 today = 0;
};
