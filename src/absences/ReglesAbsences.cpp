#include "ReglesAbsences.h"

#include "calendar/HeureTexte.h"

#include <algorithm>

namespace kip {

namespace {

TypeAbsence type(const char* code, const char* libelle, qint32 couleur, bool credite, const char* solde)
{
    TypeAbsence t;
    t.CODE = QLatin1String(code);
    t.LIBELLE = QString::fromUtf8(libelle);
    t.COULEUR = couleur;
    t.CREDITE = credite ? 1 : 0;
    t.SOLDE = QLatin1String(solde);
    return t;
}

bool lettresMajuscules(const QString& code)
{
    return !code.isEmpty() && code.size() <= LongueurCode &&
           std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
}

// A name without its accents or case, so that "Après-midi" and "apres-midi" read alike.
QString sansAccents(QStringView texte)
{
    QString s = texte.toString().normalized(QString::NormalizationForm_D).toLower();
    s.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return s.trimmed();
}

} // namespace

std::vector<TypeAbsence> TypesParDefaut()
{
    // Whether a type counts as worked follows French practice: paid leave, days off and training keep the
    // planned hours credited; sickness, work accidents and unpaid absence do not.
    return {
        type("CP", "Congés payés", 0x4f8fd6, true, "CP"),
        type("RTT", "Réduction du temps de travail", 0x58b368, true, "RTT"),
        type("REC", "Récupération", 0x9ccc65, true, "REC"),
        type("MAL", "Maladie", 0xe0703c, false, ""),
        type("AT", "Accident du travail", 0xd33f49, false, ""),
        type("FOR", "Formation", 0x9575cd, true, ""),
        type("ABS", "Absence non rémunérée", 0x8d8d8d, false, ""),
        type(CodeFerie, "Jour férié", 0xc9a227, true, ""),
    };
}

QStringList SoldesPossibles()
{
    return {QString(), QStringLiteral("CP"), QStringLiteral("RTT"), QStringLiteral("REC")};
}

QString ErreurType(const TypeAbsence& t)
{
    if (!lettresMajuscules(t.CODE))
        return QStringLiteral("Le code \"%1\" doit avoir 1 à 4 lettres majuscules.").arg(t.CODE);
    if (t.LIBELLE.trimmed().isEmpty())
        return QStringLiteral("Le type %1 doit avoir un libellé.").arg(t.CODE);
    if (t.COULEUR < 0 || t.COULEUR > 0xffffff)
        return QStringLiteral("La couleur du type %1 est invalide.").arg(t.CODE);
    if (!SoldesPossibles().contains(t.SOLDE))
        return QStringLiteral("Le solde \"%1\" du type %2 est inconnu.").arg(t.SOLDE, t.CODE);
    return {};
}

QString ErreurTypes(const std::vector<TypeAbsence>& types)
{
    for (size_t i = 0; i < types.size(); ++i) {
        if (QString e = ErreurType(types[i]); !e.isEmpty())
            return e;
        for (size_t j = 0; j < i; ++j)
            if (types[j].CODE == types[i].CODE)
                return QStringLiteral("Le code %1 est donné à deux types.").arg(types[i].CODE);
    }
    return {};
}

const TypeAbsence* TypeDuCode(const std::vector<TypeAbsence>& types, QStringView code)
{
    for (const TypeAbsence& t : types)
        if (QStringView(t.CODE).compare(code.trimmed(), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool Chevauchent(PartieJour a, PartieJour b)
{
    return a == b || a == PartieJour::Journee || b == PartieJour::Journee;
}

QString NomPartie(PartieJour partie)
{
    switch (partie) {
    case PartieJour::Journee:
        return QStringLiteral("journée");
    case PartieJour::Matin:
        return QStringLiteral("matin");
    case PartieJour::ApresMidi:
        return QStringLiteral("après-midi");
    case PartieJour::Heures:
        return QStringLiteral("heures");
    }
    return {};
}

std::optional<PartieJour> PartieDuNom(QStringView nom)
{
    const QString n = sansAccents(nom);
    for (PartieJour p : {PartieJour::Journee, PartieJour::Matin, PartieJour::ApresMidi, PartieJour::Heures})
        if (n == sansAccents(NomPartie(p)))
            return p;
    return std::nullopt;
}

QString ErreurAbsence(const Absence& a, const std::vector<TypeAbsence>& types)
{
    if (!TypeDuCode(types, a.CODE))
        return QStringLiteral("Le type d'absence \"%1\" n'existe pas.").arg(a.CODE);
    if (a.PARTIE > quint8(PartieJour::Heures))
        return QStringLiteral("La partie de journée %1 est invalide.").arg(a.PARTIE);
    if (a.partie() == PartieJour::Heures) {
        if (a.MINUTES <= 0 || a.MINUTES > MinutesJour)
            return QStringLiteral("Une absence en heures doit durer de 0.01 à 24.00.");
    } else if (a.MINUTES != 0) {
        return QStringLiteral("Seule une absence en heures a une durée.");
    }
    return {};
}

void JourAbsences::poser(const Absence& absence)
{
    effacer(absence.partie());
    Absence a = absence;
    a.CARTE = carte;
    a.DATE = date;
    absences.push_back(a);
    std::sort(absences.begin(), absences.end(), [](const Absence& x, const Absence& y) { return x.PARTIE < y.PARTIE; });
}

void JourAbsences::effacer(PartieJour p)
{
    std::erase_if(absences, [p](const Absence& a) { return Chevauchent(a.partie(), p); });
}

const Absence* JourAbsences::partie(PartieJour p) const
{
    for (const Absence& a : absences)
        if (a.partie() == p)
            return &a;
    return nullptr;
}

bool JourAbsences::memesAbsences(const JourAbsences& autre) const
{
    if (absences.size() != autre.absences.size())
        return false;
    for (const Absence& a : absences) {
        const Absence* b = autre.partie(a.partie());
        if (!b || b->CODE.compare(a.CODE, Qt::CaseInsensitive) != 0 || b->MINUTES != a.MINUTES ||
            b->COMMENTAIRE != a.COMMENTAIRE)
            return false;
    }
    return true;
}

QString ErreurJour(const JourAbsences& jour, const std::vector<TypeAbsence>& types)
{
    for (size_t i = 0; i < jour.absences.size(); ++i) {
        const Absence& a = jour.absences[i];
        if (a.CARTE != jour.carte || a.DATE != jour.date)
            return QStringLiteral("Une absence n'est pas de la carte et du jour qu'elle concerne.");
        if (QString e = ErreurAbsence(a, types); !e.isEmpty())
            return e;
        for (size_t j = 0; j < i; ++j)
            if (Chevauchent(a.partie(), jour.absences[j].partie()))
                return QStringLiteral("Deux absences du même jour se chevauchent (%1 et %2).")
                    .arg(TexteAbsence(jour.absences[j]), TexteAbsence(a));
    }
    return {};
}

qint32 MinutesAbsence(const Absence& absence, qint32 minutesPrevues)
{
    switch (absence.partie()) {
    case PartieJour::Journee:
        return minutesPrevues;
    case PartieJour::Matin:
        return minutesPrevues - minutesPrevues / 2;
    case PartieJour::ApresMidi:
        return minutesPrevues / 2;
    case PartieJour::Heures:
        return absence.MINUTES;
    }
    return 0;
}

QString TexteAbsence(const Absence& a)
{
    QString t = a.CODE + QLatin1Char(' ') +
                (a.partie() == PartieJour::Heures ? HeureTexte(a.MINUTES).trimmed() : NomPartie(a.partie()));
    if (!a.COMMENTAIRE.trimmed().isEmpty())
        t += QStringLiteral(" - ") + a.COMMENTAIRE.trimmed();
    return t;
}

QString TexteJourAbsences(const JourAbsences& jour)
{
    if (jour.vide())
        return QStringLiteral("(aucune)");
    QStringList t;
    for (const Absence& a : jour.absences)
        t << TexteAbsence(a);
    return t.join(QStringLiteral("; "));
}

QString TexteCourtJour(const JourAbsences& jour)
{
    QStringList t;
    for (const Absence& a : jour.absences) {
        switch (a.partie()) {
        case PartieJour::Journee:
            t << a.CODE;
            break;
        case PartieJour::Matin:
            t << a.CODE + QStringLiteral(" M");
            break;
        case PartieJour::ApresMidi:
            t << a.CODE + QStringLiteral(" AM");
            break;
        case PartieJour::Heures:
            t << a.CODE + QLatin1Char(' ') + HeureTexte(a.MINUTES).trimmed();
            break;
        }
    }
    return t.join(QLatin1Char('/'));
}

std::optional<JourAbsences> LireTexteCourtJour(const QString& texte, const JourAbsences& ancien,
                                               const std::vector<TypeAbsence>& types, QString* erreur)
{
    JourAbsences jour{ancien.carte, ancien.date, {}};
    for (const QString& morceau : texte.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QStringList mots = morceau.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (mots.isEmpty())
            continue;
        const TypeAbsence* type = TypeDuCode(types, mots[0]);
        if (!type || mots.size() > 2) {
            *erreur = QStringLiteral("\"%1\" n'est pas une absence: un code, suivi de M (matin), AM (après-midi) ou "
                                     "d'heures (2.30).")
                          .arg(morceau.trimmed());
            return std::nullopt;
        }
        Absence a;
        a.CARTE = jour.carte;
        a.DATE = jour.date;
        a.CODE = type->CODE;
        const QString quoi = mots.value(1).toUpper();
        if (quoi.isEmpty() || quoi == QLatin1String("J")) {
            a.PARTIE = quint8(PartieJour::Journee);
        } else if (quoi == QLatin1String("M")) {
            a.PARTIE = quint8(PartieJour::Matin);
        } else if (quoi == QLatin1String("AM")) {
            a.PARTIE = quint8(PartieJour::ApresMidi);
        } else {
            const HeureLue lu = LireHeureTexte(quoi);
            const qint32 minutes = lu.heures * 60 + lu.decimales;
            if (!lu.valide || lu.negatif || lu.decimales >= 60 || minutes <= 0 || minutes > MinutesJour) {
                *erreur = QStringLiteral("\"%1\": les heures s'écrivent h.mm, de 0.01 à 24.00.").arg(mots[1]);
                return std::nullopt;
            }
            a.PARTIE = quint8(PartieJour::Heures);
            a.MINUTES = qint16(minutes);
        }
        for (const Absence& x : jour.absences) {
            if (Chevauchent(x.partie(), a.partie())) {
                *erreur = QStringLiteral("%1 et %2 prennent la même partie du jour.").arg(x.CODE, a.CODE);
                return std::nullopt;
            }
        }
        if (const Absence* avant = ancien.partie(a.partie()); avant && avant->CODE == a.CODE)
            a.COMMENTAIRE = avant->COMMENTAIRE;
        jour.poser(a);
    }
    return jour;
}

} // namespace kip
