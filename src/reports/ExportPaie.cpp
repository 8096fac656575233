#include "ExportPaie.h"

#include "calendar/Dates.h"
#include "data/Files.h"

#include <algorithm>

namespace kip {

namespace {

QString carte(qint16 c)
{
    return QString::number(c);
}

} // namespace

bool LireSeuils(QStringView texte, SeuilsPaie* seuils)
{
    const qsizetype deuxPoints = texte.indexOf(QLatin1Char(':'));
    if (deuxPoints < 0)
        return false;
    auto minutes = [](QStringView t, qint32* m) {
        QString s = t.trimmed().toString();
        s.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double h = s.toDouble(&ok);
        if (!ok || h < 0 || h > 168)
            return false;
        *m = qint32(h * 60 + 0.5);
        return true;
    };
    SeuilsPaie s;
    if (!minutes(texte.left(deuxPoints), &s.duree) || !minutes(texte.mid(deuxPoints + 1), &s.premierTaux) ||
        s.premierTaux < s.duree)
        return false;
    *seuils = s;
    return true;
}

RepartitionSemaine RepartirSemaine(qint32 totalArrondi, const SeuilsPaie& seuils)
{
    RepartitionSemaine r;
    if (totalArrondi <= 0) {
        r.normales = totalArrondi;
        return r;
    }
    r.normales = std::min(totalArrondi, seuils.duree);
    r.premierTaux = std::clamp(totalArrondi - seuils.duree, 0, seuils.premierTaux - seuils.duree);
    r.secondTaux = std::max(0, totalArrondi - seuils.premierTaux);
    return r;
}

Csv CsvTotauxSemaines(const std::vector<TotauxSemainesEmploye>& totaux, bool centiemes, const SeuilsPaie& seuils,
                      ColonnesSoldes* soldes)
{
    Csv csv;
    auto h = [centiemes](qint64 m) { return Csv::heures(m, centiemes); };
    csv.ligne(QStringList{QStringLiteral("Carte"), QStringLiteral("Matricule"), QStringLiteral("Nom"),
                          QStringLiteral("Prénom"), QStringLiteral("Semaine"), QStringLiteral("Année"),
                          QStringLiteral("Total normal"), QStringLiteral("Total arrondi"),
                          QStringLiteral("Heures jusqu'à %1").arg(h(seuils.duree)),
                          QStringLiteral("Heures sup. 1er taux"),
                          QStringLiteral("Heures sup. 2e taux au-delà de %1").arg(h(seuils.premierTaux))} +
              (soldes ? soldes->entetes() : QStringList()));
    for (const TotauxSemainesEmploye& e : totaux) {
        const QStringList identite{carte(e.CARTE), e.MATRICULE, e.NOM, e.PRENOM};
        qint64 normal = 0;
        RepartitionSemaine somme;
        for (const TotalSemaine& s : e.semaines) {
            const RepartitionSemaine r = RepartirSemaine(s.totalArrondi, seuils);
            const qint32 lundi = DatesDeSemaine(s.NUM_SEMAINE, s.NUM_ANNEE).lundi;
            csv.ligne(identite +
                      QStringList{QString::number(s.NUM_SEMAINE), QString::number(s.NUM_ANNEE), h(s.totalNormal),
                                  h(s.totalArrondi), h(r.normales), h(r.premierTaux), h(r.secondTaux)} +
                      (soldes ? soldes->semaine(e.CARTE, lundi, centiemes) : QStringList()));
            normal += s.totalNormal;
            somme.normales += r.normales;
            somme.premierTaux += r.premierTaux;
            somme.secondTaux += r.secondTaux;
        }
        // The employee's total is the report's: the sum of the rounded weeks.
        csv.ligne(identite +
                  QStringList{QStringLiteral("Total"), QString(), h(normal), h(e.total), h(somme.normales),
                              h(somme.premierTaux), h(somme.secondTaux)} +
                  (soldes ? soldes->total(e.CARTE, centiemes) : QStringList()));
    }
    return csv;
}

Csv CsvTotauxPeriode(const TotauxPeriode& totaux, const ParametresEdition& parametres)
{
    Csv csv;
    auto h = [&](qint64 m) { return Csv::heures(m, parametres.centiemes); };
    csv.ligne({QStringLiteral("Carte"), QStringLiteral("Matricule"), QStringLiteral("Nom"), QStringLiteral("Prénom"),
               QStringLiteral("Total de la période")});
    for (const TotalPeriodeEmploye& e : totaux.employes)
        csv.ligne({carte(e.CARTE), e.MATRICULE, e.NOM, e.PRENOM, h(e.total)});
    csv.ligne({QStringLiteral("Total général"), QString(), QString(), QString(), h(totaux.totalGeneral)});
    return csv;
}

ResultatExport Exporter(Database& db, GenreExport genre, const ParametresEdition& parametres, const SeuilsPaie& seuils,
                        const QString& chemin, const ControleExecution& controle)
{
    ResultatExport r;
    ResultatEdition lecture;
    Csv csv;
    if (genre == GenreExport::TotauxSemaines) {
        std::vector<TotauxSemainesEmploye> totaux;
        lecture = CalculerTotauxSemaines(db, parametres, totaux, controle);
        if (lecture.complete()) {
            // The absence files and Solde.tps are read on a connection of their own, after the totals.
            const bool parCarte = parametres.tri == Tri::Numero;
            Database autre(db.dataDir());
            Result<ColonnesSoldes> soldes = ColonnesSoldes::lire(
                autre, parCarte ? parametres.carteDebut : 1, parCarte ? parametres.carteFin : 9999, parametres.dateFin);
            if (!soldes) {
                r.issue = ResultatEdition::Issue::Erreur;
                r.erreurLecture = soldes.error();
                return r;
            }
            csv = CsvTotauxSemaines(totaux, parametres.centiemes, seuils, &*soldes);
        }
    } else {
        TotauxPeriode totaux;
        lecture = CalculerTotauxPeriode(db, parametres, totaux, controle);
        if (lecture.complete())
            csv = CsvTotauxPeriode(totaux, parametres);
    }
    r.issue = lecture.issue;
    r.erreurLecture = lecture.erreurLecture;
    if (!lecture.complete())
        return r;
    r.lignes = csv.contenu().count("\r\n") - 1;
    r.erreurEcriture = ecrireCsv(chemin, csv);
    if (!r.erreurEcriture.ok())
        r.issue = ResultatEdition::Issue::Erreur;
    return r;
}

} // namespace kip
