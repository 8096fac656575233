#include "CsvAbsences.h"

#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/RecordFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace kip {

namespace {

enum Colonne
{
    ColCarte,
    ColMatricule,
    ColNom,
    ColPrenom,
    ColDate,
    ColCode,
    ColPartie,
    ColHeures,
    ColCommentaire,
    Colonnes
};

QStringList entete()
{
    return {QStringLiteral("Carte"),  QStringLiteral("Matricule"), QStringLiteral("Nom"),
            QStringLiteral("Prénom"), QStringLiteral("Date"),      QStringLiteral("Code"),
            QStringLiteral("Partie"), QStringLiteral("Heures"),    QStringLiteral("Commentaire")};
}

std::optional<qint32> lireDate(const QString& texte)
{
    static const QRegularExpression forme(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = forme.match(texte.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid())
        return std::nullopt;
    return dayNumber(d);
}

QString heuresCsv(qint32 minutes)
{
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// A line read, before it becomes an absence.
struct LueCsv
{
    int numero = 0;
    Absence absence;
};

} // namespace

std::vector<QStringList> LignesCsvAbsences(const std::vector<Absence>& absences, const IdentiteCartes& employes)
{
    std::vector<QStringList> lignes{entete()};
    for (const Absence& a : absences) {
        const Personnel p = employes.value(a.CARTE);
        lignes.push_back({QString::number(a.CARTE), p.MATRICULE, p.NOM, p.PRENOM, DateTexte(a.DATE), a.CODE,
                          NomPartie(a.partie()), a.partie() == PartieJour::Heures ? heuresCsv(a.MINUTES) : QString(),
                          a.COMMENTAIRE});
    }
    return lignes;
}

std::vector<LigneCsv> DecouperCsv(const QByteArray& contenu)
{
    QString texte = QString::fromUtf8(contenu);
    if (texte.startsWith(QChar(0xfeff)))
        texte.remove(0, 1);
    std::vector<LigneCsv> lignes;
    LigneCsv courante{1, {}};
    QString champ;
    bool cite = false, finDeLigne = false;
    int numero = 1;
    auto terminer = [&] {
        courante.champs << champ;
        champ.clear();
        // A line of blanks alone is no record.
        if (!(courante.champs.size() == 1 && courante.champs.first().trimmed().isEmpty()))
            lignes.push_back(courante);
        courante = LigneCsv{numero, {}};
    };
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte[i];
        if (cite) {
            if (c == u'"' && i + 1 < texte.size() && texte[i + 1] == u'"') {
                champ += u'"';
                ++i;
            } else if (c == u'"') {
                cite = false;
            } else {
                if (c == u'\n')
                    ++numero;
                champ += c;
            }
            continue;
        }
        if (c == u'"' && champ.trimmed().isEmpty()) {
            champ.clear();
            cite = true;
        } else if (c == u';') {
            courante.champs << champ;
            champ.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < texte.size() && texte[i + 1] == u'\n')
                ++i;
            ++numero;
            terminer();
            finDeLigne = true;
            continue;
        } else {
            champ += c;
        }
        finDeLigne = false;
    }
    if (!finDeLigne && (!champ.isEmpty() || !courante.champs.isEmpty()))
        terminer();
    return lignes;
}

std::optional<qint32> MinutesCsv(const QString& texte)
{
    static const QRegularExpression hm(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    static const QRegularExpression dec(QStringLiteral("^(\\d{1,2})(?:[,.](\\d{1,2}))?$"));
    const QString t = texte.trimmed();
    if (const auto m = hm.match(t); m.hasMatch()) {
        const int minutes = m.captured(2).toInt();
        if (minutes > 59)
            return std::nullopt;
        return m.captured(1).toInt() * 60 + minutes;
    }
    if (const auto m = dec.match(t); m.hasMatch()) {
        const QString c = m.captured(2);
        const int centiemes = c.isEmpty() ? 0 : (c.size() == 1 ? c.toInt() * 10 : c.toInt());
        return m.captured(1).toInt() * 60 + (centiemes * 60 + 50) / 100;
    }
    return std::nullopt;
}

AnalyseCsv AnalyserCsvAbsences(const QByteArray& contenu, const std::vector<Personnel>& employes,
                               const std::vector<TypeAbsence>& types, const std::vector<Absence>& existantes)
{
    AnalyseCsv r;
    QHash<qint16, const Personnel*> parCarte;
    QHash<QString, const Personnel*> parMatricule;
    for (const Personnel& p : employes) {
        parCarte.insert(p.CARTE, &p);
        if (!p.MATRICULE.trimmed().isEmpty())
            parMatricule.insert(p.MATRICULE.trimmed().toUpper(), &p);
    }
    std::vector<LueCsv> lues;
    for (const LigneCsv& l : DecouperCsv(contenu)) {
        auto refuser = [&](const QString& raison) {
            r.erreurs << QStringLiteral("ligne %1: %2").arg(l.numero).arg(raison);
        };
        QStringList f = l.champs;
        if (lues.empty() && r.erreurs.isEmpty() &&
            f.first().trimmed().compare(QLatin1String("Carte"), Qt::CaseInsensitive) == 0)
            continue; // the header
        if (f.size() < ColPartie || f.size() > Colonnes) {
            refuser(QStringLiteral("%1 champ(s) au lieu de 6 à 9 (Carte;Matricule;Nom;Prénom;Date;Code;Partie;Heures;"
                                   "Commentaire).")
                        .arg(f.size()));
            continue;
        }
        while (f.size() < Colonnes)
            f << QString();
        const QString carteTexte = f[ColCarte].trimmed();
        const QString matricule = f[ColMatricule].trimmed().toUpper();
        const Personnel* p = nullptr;
        if (!carteTexte.isEmpty()) {
            bool ok = false;
            const int carte = carteTexte.toInt(&ok);
            p = ok ? parCarte.value(qint16(carte), nullptr) : nullptr;
            if (!ok || carte < 1 || carte > 9999) {
                refuser(QStringLiteral("la carte \"%1\" n'est pas un numéro de 1 à 9999.").arg(carteTexte));
                continue;
            }
            if (!p) {
                refuser(QStringLiteral("aucun employé n'a la carte %1.").arg(carte));
                continue;
            }
            if (!matricule.isEmpty() && p->MATRICULE.trimmed().toUpper() != matricule) {
                refuser(QStringLiteral("la carte %1 n'est pas celle du matricule %2.").arg(carte).arg(f[ColMatricule]));
                continue;
            }
        } else if (!matricule.isEmpty()) {
            p = parMatricule.value(matricule, nullptr);
            if (!p) {
                refuser(QStringLiteral("aucun employé n'a le matricule %1.").arg(f[ColMatricule].trimmed()));
                continue;
            }
        } else {
            refuser(QStringLiteral("ni carte ni matricule."));
            continue;
        }
        const std::optional<qint32> date = lireDate(f[ColDate]);
        if (!date) {
            refuser(QStringLiteral("la date \"%1\" n'est pas une date JJ/MM/AAAA.").arg(f[ColDate]));
            continue;
        }
        const TypeAbsence* type = TypeDuCode(types, f[ColCode]);
        if (!type) {
            refuser(QStringLiteral("le type d'absence \"%1\" n'existe pas.").arg(f[ColCode].trimmed()));
            continue;
        }
        const std::optional<PartieJour> partie =
            f[ColPartie].trimmed().isEmpty() ? std::optional(PartieJour::Journee) : PartieDuNom(f[ColPartie]);
        if (!partie) {
            refuser(QStringLiteral("la partie \"%1\" n'est ni journée, ni matin, ni après-midi, ni heures.")
                        .arg(f[ColPartie].trimmed()));
            continue;
        }
        Absence a;
        a.CARTE = p->CARTE;
        a.DATE = *date;
        a.PARTIE = quint8(*partie);
        a.CODE = type->CODE;
        a.COMMENTAIRE = f[ColCommentaire].trimmed();
        if (a.COMMENTAIRE.size() > 60) {
            refuser(QStringLiteral("le commentaire dépasse 60 caractères."));
            continue;
        }
        if (*partie == PartieJour::Heures) {
            const std::optional<qint32> minutes = MinutesCsv(f[ColHeures]);
            if (!minutes || *minutes <= 0 || *minutes > MinutesJour) {
                refuser(QStringLiteral("les heures \"%1\" ne sont pas une durée de 0:01 à 24:00.")
                            .arg(f[ColHeures].trimmed()));
                continue;
            }
            a.MINUTES = qint16(*minutes);
        } else if (!f[ColHeures].trimmed().isEmpty()) {
            refuser(QStringLiteral("des heures ne se donnent qu'avec la partie heures."));
            continue;
        }
        // Two lines of the file on the same part of a day contradict each other.
        const auto autre = std::find_if(lues.begin(), lues.end(), [&](const LueCsv& x) {
            return x.absence.CARTE == a.CARTE && x.absence.DATE == a.DATE &&
                   Chevauchent(x.absence.partie(), a.partie());
        });
        if (autre != lues.end()) {
            refuser(QStringLiteral("la carte %1 a déjà une absence ce %2 à la ligne %3.")
                        .arg(a.CARTE)
                        .arg(DateTexte(a.DATE))
                        .arg(autre->numero));
            continue;
        }
        lues.push_back({l.numero, a});
    }
    if (!r.erreurs.isEmpty())
        return r;
    std::map<std::pair<qint16, qint32>, JourAbsences> jours;
    for (const LueCsv& l : lues) {
        const auto cle = std::make_pair(l.absence.CARTE, l.absence.DATE);
        if (!jours.count(cle)) {
            JourAbsences j{l.absence.CARTE, l.absence.DATE, {}};
            for (const Absence& e : existantes)
                if (e.CARTE == j.carte && e.DATE == j.date)
                    j.absences.push_back(e);
            jours.emplace(cle, j);
        }
        jours[cle].poser(l.absence);
    }
    for (auto& [cle, j] : jours)
        r.jours.push_back(std::move(j));
    r.absences = int(lues.size());
    return r;
}

ResultatImport ImporterAbsences(Database& db, const QByteArray& contenu)
{
    ResultatImport r;
    std::vector<Personnel> employes;
    {
        FileUse use(FileId::Personnel);
        RecordFile<Personnel> fichier(db);
        if (r.erreur = fichier.open(); !r.erreur.ok())
            return r;
        Cursor<Personnel> c = fichier.readAll();
        for (;;) {
            Personnel p;
            const FileError e = c.next(p);
            if (e.code == EndOfFile)
                break;
            if (!e.ok()) {
                r.erreur = e;
                return r;
            }
            employes.push_back(p);
        }
    }
    Result<std::vector<TypeAbsence>> types = LireTypes(db);
    if (!types) {
        r.erreur = types.error();
        return r;
    }
    // A first reading without the stored absences finds the dates the file names.
    AnalyseCsv a = AnalyserCsvAbsences(contenu, employes, *types, {});
    r.refus = a.erreurs;
    if (!r.refus.isEmpty())
        return r;
    if (a.jours.empty()) {
        r.refus << QStringLiteral("le fichier ne contient aucune absence.");
        return r;
    }
    qint32 debut = a.jours.front().date, fin = debut;
    for (const JourAbsences& j : a.jours) {
        debut = std::min(debut, j.date);
        fin = std::max(fin, j.date);
    }
    Result<std::vector<Absence>> existantes = LireAbsences(db, debut, fin);
    if (!existantes) {
        r.erreur = existantes.error();
        return r;
    }
    a = AnalyserCsvAbsences(contenu, employes, *types, *existantes);
    IdentiteCartes identites;
    for (const Personnel& p : employes)
        identites.insert(p.CARTE, p);
    Result<std::vector<JourAbsences>> ecrits =
        EnregistrerJours(db, a.jours, identites, QString::fromUtf8(CauseJournal::ImportAbsences));
    if (!ecrits) {
        r.erreur = ecrits.error();
        return r;
    }
    r.absences = a.absences;
    r.jours = int(ecrits->size());
    return r;
}

} // namespace kip
