#include "Decodeurs.h"

namespace kip {

namespace {

constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr char Nak = 0x15;

bool chiffre(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

Marque marqueDe(const QString& texte)
{
    return texte.trimmed().compare(QLatin1String("Omron"), Qt::CaseInsensitive) == 0 ? Marque::Omron : Marque::Magtek;
}

QString nomMarque(Marque marque)
{
    return marque == Marque::Omron ? QStringLiteral("Omron") : QStringLiteral("Magtek");
}

int numeroCarte(QByteArrayView champ)
{
    if (champ.isEmpty() || champ.size() > ChiffresNumeroMax)
        return -1;
    int valeur = 0;
    for (char c : champ) {
        if (!chiffre(c))
            return -1;
        // Leading zeros aside, more than four digits are already out of range.
        if (valeur > CarteMax)
            return -1;
        valeur = valeur * 10 + (c - '0');
    }
    return valeur >= CarteMin && valeur <= CarteMax ? valeur : -1;
}

Lecture lirePiste2(QByteArrayView donnees)
{
    if (donnees == "E")
        return Lecture::mauvaise(QStringLiteral("le lecteur signale une mauvaise lecture"));
    const qsizetype fin = donnees.indexOf('=');
    const QByteArrayView champ = fin < 0 ? donnees : donnees.first(fin);
    if (champ.isEmpty())
        return Lecture::mauvaise(QStringLiteral("piste 2 sans numéro"));
    for (char c : champ)
        if (!chiffre(c))
            return Lecture::mauvaise(QStringLiteral("piste 2 illisible"));
    const int carte = numeroCarte(champ);
    if (carte < 0)
        return Lecture::mauvaise(QStringLiteral("numéro hors de 1 à 9999: %1").arg(QString::fromLatin1(champ)));
    return Lecture::carteLue(carte);
}

Lecture lireLigneMagtek(QByteArrayView ligne)
{
    qsizetype debut = 0;
    // Track 1 may hold any character, a ';' included: it is passed over whole.
    if (ligne.startsWith('%')) {
        const qsizetype fin1 = ligne.indexOf('?');
        if (fin1 < 0)
            return Lecture::mauvaise(QStringLiteral("piste 1 incomplète"));
        debut = fin1 + 1;
    }
    const qsizetype sentinelle = ligne.indexOf(';', debut);
    if (sentinelle < 0)
        return Lecture::mauvaise(QStringLiteral("piste 2 absente"));
    const qsizetype fin = ligne.indexOf('?', sentinelle + 1);
    if (fin < 0)
        return Lecture::mauvaise(QStringLiteral("piste 2 incomplète"));
    return lirePiste2(ligne.sliced(sentinelle + 1, fin - sentinelle - 1));
}

Lecture lireLigneClavier(Marque marque, QByteArrayView ligne)
{
    if (marque == Marque::Magtek)
        return lireLigneMagtek(ligne);
    if (ligne.startsWith(';') && ligne.endsWith('?') && ligne.size() >= 2)
        ligne = ligne.sliced(1, ligne.size() - 2);
    for (char c : ligne)
        if (!chiffre(c) && c != '=')
            return Lecture::mauvaise(QStringLiteral("piste 2 illisible"));
    return lirePiste2(ligne);
}

QList<Lecture> DecodeurSerie::recevoir(QByteArrayView octets)
{
    QList<Lecture> sortie;
    for (char c : octets) {
        if (m_marque == Marque::Magtek)
            recevoirMagtek(c, sortie);
        else
            recevoirOmron(c, sortie);
    }
    return sortie;
}

void DecodeurSerie::recevoirMagtek(char c, QList<Lecture>& sortie)
{
    if (c == '\r' || c == '\n') {
        // The LF of a CR LF ends an empty line, which is no swipe.
        if (!m_tampon.isEmpty())
            sortie << lireLigneMagtek(m_tampon);
        m_tampon.clear();
        return;
    }
    m_tampon += c;
    if (m_tampon.size() > TailleMax) {
        m_tampon.clear();
        sortie << Lecture::mauvaise(QStringLiteral("ligne trop longue"));
    }
}

void DecodeurSerie::recevoirOmron(char c, QList<Lecture>& sortie)
{
    switch (m_etat) {
    case Etat::Attente:
        if (c == Stx) {
            m_etat = Etat::Trame;
            m_tampon.clear();
        } else if (c == Nak) {
            sortie << Lecture::mauvaise(QStringLiteral("le lecteur signale une mauvaise lecture"));
        }
        // Anything else between frames is line noise, not a swipe.
        return;
    case Etat::Trame:
        if (c == Stx) {
            sortie << Lecture::mauvaise(QStringLiteral("trame interrompue"));
            m_tampon.clear();
        } else if (c == Etx) {
            m_etat = Etat::Controle;
        } else if (c == Nak) {
            m_etat = Etat::Attente;
            m_tampon.clear();
            sortie << Lecture::mauvaise(QStringLiteral("le lecteur signale une mauvaise lecture"));
        } else {
            m_tampon += c;
            if (m_tampon.size() > TailleMax) {
                m_etat = Etat::Attente;
                m_tampon.clear();
                sortie << Lecture::mauvaise(QStringLiteral("trame trop longue"));
            }
        }
        return;
    case Etat::Controle: {
        char attendu = Etx;
        for (char d : std::as_const(m_tampon))
            attendu = char(attendu ^ d);
        if (c != attendu)
            sortie << Lecture::mauvaise(QStringLiteral("octet de contrôle faux"));
        else if (m_tampon.isEmpty())
            sortie << Lecture::mauvaise(QStringLiteral("piste 2 vide"));
        else
            sortie << lireLigneClavier(Marque::Omron, m_tampon);
        m_etat = Etat::Attente;
        m_tampon.clear();
        return;
    }
    }
}

std::optional<Lecture> DecodeurSerie::abandonner()
{
    if (!enCours())
        return std::nullopt;
    std::optional<Lecture> lecture;
    if (m_marque == Marque::Magtek) {
        const Lecture l = lireLigneMagtek(m_tampon);
        // A line that holds a whole track 2 is a swipe from a reader that ends its lines with nothing.
        lecture = l.bonne ? l : Lecture::mauvaise(QStringLiteral("lecture interrompue"));
    } else {
        lecture = Lecture::mauvaise(QStringLiteral("lecture interrompue"));
    }
    m_etat = Etat::Attente;
    m_tampon.clear();
    return lecture;
}

} // namespace kip
