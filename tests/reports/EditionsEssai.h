// The installation of the tests with the means to write a report's employees and day lines, run the
// report and read what it printed.
#pragma once

#include "GuiEnvironment.h"
#include "InstallationTest.h"
#include "calendar/Dates.h"
#include "reports/EditionSemaine.h"
#include "reports/ExecutionEdition.h"
#include "reports/ImagesPages.h"
#include "reports/PeintrePage.h"

#include <sqlite3.h>

// The pages of a report, byte for byte.
inline QList<QByteArray> octets(const kip::ImagesPages& pages)
{
    QList<QByteArray> out;
    for (int n = 1; n <= pages.nombre(); ++n)
        out << pages.page(n)->serialiser();
    return out;
}

class EditionsTest : public InstallationTest
{
protected:
    // An employee stored with that week rounding and registration number.
    kip::Personnel salarie(qint16 carte, const QString& nom, const QString& prenom, const QString& arrondi = "000",
                           const QString& matricule = {})
    {
        kip::Personnel p = employe(carte, nom, prenom, matricule);
        p.ARRONDI_SEMAINE = arrondi;
        return ajouter(p);
    }
    // A day line stored with user punches (stored values) and their total.
    kip::PointVal journee(const kip::Personnel& p, qint32 date, std::vector<qint16> pointages, quint8 inactif = 0)
    {
        kip::PointVal v = Installation::journee(p, date, {}, inactif != 0);
        v.INACTIF = inactif;
        for (size_t i = 0; i < pointages.size(); ++i)
            v.POINTAGE_ORIGINE[i] = v.POINTAGE_PROGRAMME[i] = v.POINTAGE_UTILISATEUR[i] = pointages[i];
        v.TOTAL = qint16(total(v.POINTAGE_UTILISATEUR));
        return ajouter(v);
    }
    // A day line whose three punch lines differ (stored values); its total is the user line's.
    kip::PointVal troisLignes(const kip::Personnel& p, qint32 date, const std::vector<qint16>& origine,
                              const std::vector<qint16>& programme, const std::vector<qint16>& utilisateur,
                              quint8 modif = 0, quint8 inactif = 0)
    {
        kip::PointVal v = Installation::journee(p, date);
        v.INACTIF = inactif;
        std::copy(origine.begin(), origine.end(), v.POINTAGE_ORIGINE.begin());
        std::copy(programme.begin(), programme.end(), v.POINTAGE_PROGRAMME.begin());
        std::copy(utilisateur.begin(), utilisateur.end(), v.POINTAGE_UTILISATEUR.begin());
        v.TOTAL = qint16(total(v.POINTAGE_UTILISATEUR));
        v.MODIF = modif;
        return ajouter(v);
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
        kip::Database autre = connexion();
        return kip::ExecuterEdition(autre, e, p, c);
    }

    // Another station's write on the day lines (%1 names their table), made at once or refused, never waited
    // for: the cause of the refusal, or empty when it was made. While a report reads, the SQLite file refuses
    // it; the server makes it, and the report goes on reading the snapshot it began with.
    QString ecrireAilleurs(const QString& sql)
    {
        if (surServeur())
            return serveuressai::administrer(m_moteur.base()->nom(), QStringLiteral("SET lock_timeout = '5s'; ") +
                                                                         sql.arg(QStringLiteral("POINTVAL.POINTVAL")));
        sqlite3* autre = nullptr;
        QString erreur;
        if (sqlite3_open_v2(kip::paths().file(kip::FileId::PointVal).toUtf8().constData(), &autre,
                            SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(autre, 0);
            if (sqlite3_exec(autre, sql.arg(QStringLiteral("POINTVAL")).toUtf8().constData(), nullptr, nullptr,
                             nullptr) != SQLITE_OK)
                erreur = QString::fromUtf8(sqlite3_errmsg(autre));
        } else {
            erreur = QStringLiteral("open");
        }
        sqlite3_close(autre);
        return erreur;
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
        const QString chemin = tmp.filePath(QStringLiteral("edition.pdf"));
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
};
