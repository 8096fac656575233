#include "HeureTexte.h"

#include <cstdlib>

namespace kip {

QString HeureTexte(qint32 minutes, bool decimal)
{
    const qint64 absolu = std::llabs(qint64(minutes));
    const qint64 heures = absolu / 60;
    qint64 reste = absolu - 60 * heures;
    if (decimal)
        reste = (reste * 10 + 3) / 6; // hundredths of an hour, rounded: 5 minutes give 8, 30 give 50
    const QString tete = (minutes < 0 ? QStringLiteral("-") : QString()) + QString::number(heures);
    return tete.rightJustified(2, u' ') + u'.' + QStringLiteral("%1").arg(reste, 2, 10, QChar(u'0'));
}

double HeureDecimale(qint32 minutes, bool decimal)
{
    const qint64 absolu = std::llabs(qint64(minutes));
    const qint64 heures = absolu / 60;
    const qint64 reste = absolu - 60 * heures;
    // Work in hundredths so that the two decimals are exact before the one conversion to double.
    const qint64 centiemes = heures * 100 + (decimal ? (reste * 10 + 3) / 6 : reste);
    return double(minutes < 0 ? -centiemes : centiemes) / 100.0;
}

HeureLue LireHeureTexte(QStringView texte)
{
    HeureLue lu;
    bool chiffre = false, point = false, signe = false;
    int decimalesLues = 0;
    for (const QChar c : texte) {
        if (c == u' ')
            continue;
        if (c == u'-' && !signe && !chiffre && !point) {
            signe = lu.negatif = true;
        } else if ((c == u'.' || c == u',') && !point) {
            point = true;
        } else if (c.isDigit() && c.unicode() < 128) {
            const int n = c.unicode() - u'0';
            chiffre = true;
            if (!point) {
                if (lu.heures > 999999)
                    return {};
                lu.heures = lu.heures * 10 + n;
            } else if (++decimalesLues <= 2) {
                lu.decimales += n * (decimalesLues == 1 ? 10 : 1);
            } else {
                return {};
            }
        } else {
            return {};
        }
    }
    // A lone sign or point is not a number; blanks alone read as zero, as an empty number field does.
    lu.valide = chiffre || (!signe && !point);
    if (!lu.valide)
        return {};
    return lu;
}

qint32 MinutesDeTexte(QStringView texte, bool* ok)
{
    const HeureLue lu = LireHeureTexte(texte);
    if (ok)
        *ok = lu.valide;
    const qint32 minutes = lu.heures * 60 + lu.decimales;
    return lu.negatif ? -minutes : minutes;
}

} // namespace kip
