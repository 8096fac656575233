// The shared bands.
#include "BandesCommunes.h"

#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"

#include <algorithm>

namespace kip {

namespace {

constexpr qint32 Largeur = MiseEnPage::LargeurImprimable;
constexpr qint32 PasTitre = 116; // lines of the title, a little tighter than the font's own leading
constexpr qint32 HautPied = 40;
constexpr qint32 ColonneTotalLong = 6719; // ten positions and two decimals, as in the period totals

} // namespace

void dessinerEnTetePage(Dessin& d, const EnTetePage& e)
{
    constexpr qint32 Haut = 469;
    d.cadre(0, 0, Largeur, Haut);
    // The title wraps over up to three lines in its box of 5260 by 365.
    d.texteCadre(52, 52, 5260, 365, e.titre, polices::Grasse, PasTitre);
    constexpr qint32 Pas = 130;
    constexpr qint32 Premier = 40;
    d.texte(6146, Premier, 573, QStringLiteral("Edition du:"));
    d.texte(6719, Premier, 700, NomJour(e.date));
    d.texte(6719, Premier + Pas, 700, DateTexte(e.date));
    d.texte(6719, Premier + 2 * Pas, 700, e.heure.toString(QStringLiteral("HH:mm:ss")));
}

void dessinerPiedPage(Dessin& d, int page, bool centiemes)
{
    d.caseACocher(0, HautPied + 30, centiemes,
                  QStringLiteral("Cette édition est en heure et centièmes si la case est "
                                 "cochée"));
    dessinerNumeroPage(d, page);
}

void dessinerNumeroPage(Dessin& d, int page)
{
    constexpr qint32 Haut = HautPied;
    d.cadre(6302, Haut, Largeur - 6302, 200);
    d.texte(6354, Haut + 36, 500, QStringLiteral("Page:"));
    d.texte(6900, Haut + 36, BordTotaux - 6900, QStringLiteral("%1").arg(page, 4, 10, QLatin1Char('0')),
            polices::Normale, Alignement::Droite);
}

void dessinerEnTeteEmploye(Dessin& d, const Identite& e)
{
    constexpr qint32 Haut = 52;
    constexpr qint32 Texte = Haut + 66;
    d.cadre(0, Haut, Largeur, 260);
    d.texte(104, Texte, 500, texteCarte(e.carte), polices::Grasse);
    d.texte(625, Texte, 1979 - 625 - 40, e.nom, polices::Grasse);
    d.texte(1979, Texte, 3177 - 1979 - 40, e.prenom, polices::Grasse);
    d.texte(3177, Texte, 1200, e.matricule, polices::Grasse);
}

void dessinerPiedEmploye(Dessin& d, const Identite& e, const QString& total, bool totalLong)
{
    constexpr qint32 Haut = 52;
    constexpr qint32 Texte = Haut + 66;
    constexpr qint32 Gauche = 2865;
    d.cadre(Gauche, Haut, 4583, 260);
    d.texte(Gauche + 52, Texte, 1000, QStringLiteral("Total général de:"), polices::Grasse);
    d.texte(3906, Texte, 330, texteCarte(e.carte), polices::Grasse);
    d.texte(4271, Texte, 1300, e.nom, polices::Grasse);
    const qint32 colonneTotal = totalLong ? ColonneTotalLong : 6979;
    d.texte(5625, Texte, std::min<qint32>(1300, colonneTotal - 40 - 5625), e.prenom, polices::Grasse);
    d.texte(colonneTotal, Texte, BordTotaux - colonneTotal, total, polices::Grasse, Alignement::Droite);
}

QString textePointage(qint16 valeur, bool centiemes)
{
    if (valeur < 0 || valeur > DerniereMinuteStockee)
        return QString();
    return HeureTexte(valeur >= MinutesJour ? valeur - MinutesJour : valeur, centiemes);
}

QString texteTotal(qint64 minutes, bool centiemes, int positions)
{
    if (minutes == 0)
        return QString();
    const qint64 absolu = minutes < 0 ? -minutes : minutes;
    const qint64 heures = absolu / 60;
    // The minutes past the hours go through the one rule of the hundredths: ".30", or ".50" in hundredths.
    const QString decimales = QString::number(HeureDecimale(qint32(absolu - 60 * heures), centiemes), 'f', 2).mid(1);
    return (QLatin1String(minutes < 0 ? "-" : "") + QString::number(heures) + decimales)
        .rightJustified(positions, QLatin1Char(' '));
}

QString texteCarte(qint16 carte)
{
    return QStringLiteral("%1").arg(carte, 4, 10, QLatin1Char('0'));
}

} // namespace kip
