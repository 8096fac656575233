#include "ReglesFiche.h"

#include "calendar/Clock.h"
#include "calendar/HeureTexte.h"
#include "data/Cp1252.h"
#include "punch/CodesArrondi.h"

#include <algorithm>

namespace kip {

Personnel nouvelEmploye(qint32 aujourdhui)
{
    Personnel p;
    p.CARTE = 1;
    p.NOMBRE = NombreParDefaut;
    p.ARRONDI_ENTREE = QStringLiteral("00");
    p.ARRONDI_SORTIE = QStringLiteral("00");
    p.ARRONDI_SEMAINE = QStringLiteral("000");
    p.PREMIER_JOUR = aujourdhui;
    p.DERNIER_JOUR = aujourdhui + 1;
    p.DATE_EMBAUCHE = aujourdhui;
    p.DATE_DEBAUCHE = dayNumber(2099, 12, 31);
    p.AUTORISATION.fill(1);
    return p;
}

BornesArrondi bornesArrondi(const QString& code)
{
    const int n = roundingValue(code);
    if (n == 0)
        return {0, 0};
    if (n >= 1 && n <= ToleranceMax)
        return {n - 1, DecalageMax};
    return {ToleranceMax, DecalageMax};
}

void choisirArrondi(Personnel& employe, Cote cote, const QString& code)
{
    const BornesArrondi b = bornesArrondi(code);
    const bool entree = cote == Cote::Entree;
    (entree ? employe.ARRONDI_ENTREE : employe.ARRONDI_SORTIE) = code;
    quint8& tolerance = entree ? employe.TOLERANCE_ENTREE : employe.TOLERANCE_SORTIE;
    quint8& decalage = entree ? employe.DECALAGE_ENTREE : employe.DECALAGE_SORTIE;
    tolerance = quint8(std::min<int>(tolerance, b.tolerance));
    decalage = quint8(std::min<int>(decalage, b.decalage));
}

QString matriculeParDefaut(qint16 carte)
{
    return QStringLiteral("%1").arg(int(carte), LongueurMatricule, 10, QLatin1Char('0'));
}

QString matriculeApresCarte(const QString& matricule, const QString& fait, qint16 carte)
{
    const QString tape = matricule.trimmed();
    return tape.isEmpty() || tape == fait ? matriculeParDefaut(carte) : matricule;
}

DureeLue lireDuree(QStringView texte, int maxMinutes)
{
    DureeLue d;
    const HeureLue lu = LireHeureTexte(texte);
    const int maxHeures = maxMinutes / 60;
    const QString borne = HeureTexte(maxMinutes).trimmed();
    if (!lu.valide || lu.negatif) {
        d.raison = QStringLiteral("Entrez une durée en heures.minutes de 0.00 à %1 (par exemple 2.30).").arg(borne);
        return d;
    }
    if (lu.decimales > 59) {
        d.raison = QStringLiteral("Les minutes vont de 00 à 59 : %1 n'est pas une heure.").arg(texte.trimmed());
        return d;
    }
    if (lu.heures > maxHeures || lu.heures * 60 + lu.decimales > maxMinutes) {
        d.raison = QStringLiteral("La durée va de 0.00 à %1.").arg(borne);
        return d;
    }
    d.valide = true;
    d.minutes = qint16(lu.heures * 60 + lu.decimales);
    return d;
}

void trierPeriodes(QList<Periode>& periodes)
{
    std::stable_sort(periodes.begin(), periodes.end(), [](const Periode& a, const Periode& b) {
        return a.fin != b.fin ? a.fin > b.fin : a.debut > b.debut;
    });
}

QList<Periode> periodesDe(const Personnel& employe)
{
    QList<Periode> out;
    for (int i = 0; i < PeriodesMax; ++i) {
        const Periode p{employe.PERIODE_INACTIVITE_DEBUT[size_t(i)], employe.PERIODE_INACTIVITE_FIN[size_t(i)]};
        if (p.debut != 0 && p.fin != 0)
            out << p;
    }
    trierPeriodes(out);
    return out;
}

void ajouterPeriode(QList<Periode>& periodes, const Periode& periode)
{
    periodes << periode;
    trierPeriodes(periodes);
    while (periodes.size() > PeriodesMax)
        periodes.removeLast();
}

void rangerPeriodes(Personnel& employe, const QList<Periode>& periodes)
{
    employe.PERIODE_INACTIVITE_DEBUT.fill(0);
    employe.PERIODE_INACTIVITE_FIN.fill(0);
    for (int i = 0; i < std::min<int>(int(periodes.size()), PeriodesMax); ++i) {
        employe.PERIODE_INACTIVITE_DEBUT[size_t(i)] = periodes[i].debut;
        employe.PERIODE_INACTIVITE_FIN[size_t(i)] = periodes[i].fin;
    }
}

bool ordonnerDates(qint32& premier, qint32& dernier)
{
    if (dernier >= premier)
        return false;
    std::swap(premier, dernier);
    return true;
}

namespace {

struct DescriptionChamp
{
    const char* nom; // as the sentences name it
    int longueur;
};

DescriptionChamp descriptionTexte(Champ champ)
{
    switch (champ) {
    case Champ::Nom:
        return {"Le nom", LongueurNom};
    case Champ::Prenom:
        return {"Le prénom", LongueurPrenom};
    default:
        return {"Le matricule", LongueurMatricule};
    }
}

bool tenuParLeFichier(QChar c)
{
    if (c.unicode() < 0x20 || c.isSurrogate())
        return false;
    return c == QLatin1Char('?') || toCp1252(QString(c)) != "?";
}

Refus refus(Champ champ, const QString& raison)
{
    return {champ, raison};
}

bool dansListe(const QStringList& codes, const QString& code)
{
    return codes.contains(code);
}

Refus verifierArrondi(Champ code, Champ tol, Champ dec, const QString& valeur, int tolerance, int decalage,
                      const BornesArrondi& b, const char* cote)
{
    if (!dansListe(roundingCodes(), valeur))
        return refus(code, QStringLiteral("Choisissez un arrondi %1 dans la liste.").arg(QString::fromUtf8(cote)));
    if (tolerance > b.tolerance)
        return refus(
            tol, QStringLiteral("La tolérance %1 va de 0 à %2 minutes.").arg(QString::fromUtf8(cote)).arg(b.tolerance));
    if (decalage > b.decalage)
        return refus(
            dec, QStringLiteral("Le décalage %1 va de 0 à %2 minutes.").arg(QString::fromUtf8(cote)).arg(b.decalage));
    return {};
}

} // namespace

Refus verifierTexte(Champ champ, const QString& texte)
{
    const DescriptionChamp d = descriptionTexte(champ);
    const QString sujet = QString::fromUtf8(d.nom);
    if (texte.size() > d.longueur)
        return refus(champ, QStringLiteral("%1 tient sur %2 caractères au plus.").arg(sujet).arg(d.longueur));
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte.at(i);
        if (c.unicode() < 0x20)
            return refus(champ, QStringLiteral("%1 contient un caractère de contrôle.").arg(sujet));
        if (!tenuParLeFichier(c)) {
            const QString montre = c.isHighSurrogate() ? texte.mid(i, 2) : QString(c);
            return refus(champ, QStringLiteral("%1 contient un caractère que le fichier ne peut pas garder : « %2 ».")
                                    .arg(sujet, montre));
        }
    }
    return {};
}

Refus verifierFiche(const Personnel& p, const BornesFiche& bornes)
{
    if (p.CARTE < CarteMin || p.CARTE > CarteMax)
        return refus(Champ::Carte, QStringLiteral("Le numéro de carte va de %1 à %2.").arg(CarteMin).arg(CarteMax));
    for (auto [champ, texte] : {std::pair{Champ::Nom, &p.NOM}, std::pair{Champ::Prenom, &p.PRENOM},
                                std::pair{Champ::Matricule, &p.MATRICULE}})
        if (Refus r = verifierTexte(champ, *texte); !r.accepte())
            return r;
    // The lists sort by name: a blank one would stand nameless at the top of them.
    if (p.NOM.trimmed().isEmpty())
        return refus(Champ::Nom, QStringLiteral("Entrez le nom de l'employé."));
    if (Refus r = verifierArrondi(Champ::ArrondiEntree, Champ::ToleranceEntree, Champ::DecalageEntree, p.ARRONDI_ENTREE,
                                  p.TOLERANCE_ENTREE, p.DECALAGE_ENTREE, bornes.entree, "d'entrée");
        !r.accepte())
        return r;
    if (Refus r = verifierArrondi(Champ::ArrondiSortie, Champ::ToleranceSortie, Champ::DecalageSortie, p.ARRONDI_SORTIE,
                                  p.TOLERANCE_SORTIE, p.DECALAGE_SORTIE, bornes.sortie, "de sortie");
        !r.accepte())
        return r;
    if (!dansListe(weekRoundingCodes(), p.ARRONDI_SEMAINE))
        return refus(Champ::ArrondiSemaine, QStringLiteral("Choisissez un arrondi de semaine dans la liste."));
    if (p.DECALAGE_MINUIT < 0 || p.DECALAGE_MINUIT > DecalageMinuitMax)
        return refus(Champ::DecalageMinuit, QStringLiteral("Le décalage minuit va de 0.00 à 12.00."));
    if (p.EXTENSION < 0 || p.EXTENSION > ExtensionMax)
        return refus(Champ::Extension, QStringLiteral("L'extension de journée va de 0.00 à 14.00."));
    if (p.NOMBRE < 2 || p.NOMBRE > PunchSlotsUsed || p.NOMBRE % 2 != 0)
        return refus(Champ::Nombre, QStringLiteral("Le nombre de pointages par jour est pair, de 2 à 14."));
    if (p.DATE_EMBAUCHE == 0)
        return refus(Champ::DateEmbauche, QStringLiteral("Choisissez le premier jour de travail."));
    if (p.DATE_DEBAUCHE == 0)
        return refus(Champ::DateDebauche, QStringLiteral("Choisissez le dernier jour de travail."));
    if (p.DATE_DEBAUCHE < p.DATE_EMBAUCHE)
        return refus(Champ::DateDebauche, QStringLiteral("Le dernier jour de travail précède le premier."));
    for (int i = 0; i < PeriodesMax; ++i) {
        const qint32 debut = p.PERIODE_INACTIVITE_DEBUT[size_t(i)];
        const qint32 fin = p.PERIODE_INACTIVITE_FIN[size_t(i)];
        if (debut != 0 && fin != 0 && fin < debut)
            return refus(Champ::Periodes, QStringLiteral("Une période d'inactivité finit avant de commencer."));
    }
    return {};
}

QString descriptionCle(const QString& cle)
{
    if (cle == QLatin1String("PER:K_CARTE"))
        return QStringLiteral("Clé sur nø carte");
    if (cle == QLatin1String("PER:K_NOM_PRENOM"))
        return QStringLiteral("Clé sur nom et prénom");
    if (cle == QLatin1String("PER:K_MATRICULE"))
        return QStringLiteral("Clé sur matricule");
    return cle;
}

} // namespace kip
