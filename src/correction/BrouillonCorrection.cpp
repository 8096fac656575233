#include "BrouillonCorrection.h"

#include "data/Files.h"
#include "data/TextFiles.h"

#include <QFile>
#include <QUrl>

namespace kip {

namespace {

const QByteArray Entete = "Kip brouillon de correction 1";
const QByteArray FinLigne = "\r\n";

} // namespace

QString cheminBrouillon()
{
    return paths().dataDir + QStringLiteral("/BrouillonCorrection.txt");
}

QByteArray texteBrouillon(const Brouillon& b)
{
    QByteArray t = Entete + FinLigne;
    t += "carte=" + QByteArray::number(b.carte) + FinLigne;
    t += "lundi=" + QByteArray::number(b.lundi) + FinLigne;
    for (int j = 0; j < JoursSemaine; ++j) {
        if (!b.jours[size_t(j)])
            continue;
        // A cell may hold whatever was typed: each one percent-encoded, so that no text can break the line.
        QList<QByteArray> cellules;
        for (const QString& c : *b.jours[size_t(j)])
            cellules << QUrl::toPercentEncoding(c);
        t += "jour" + QByteArray::number(j + 1) + '=' + cellules.join('|') + FinLigne;
    }
    return t;
}

std::optional<Brouillon> brouillonDeTexte(const QByteArray& texte)
{
    const QList<QByteArray> lignes = texte.split('\n');
    if (lignes.isEmpty() || lignes.first().trimmed() != Entete)
        return std::nullopt;
    Brouillon b;
    bool carte = false, lundi = false;
    for (qsizetype i = 1; i < lignes.size(); ++i) {
        const QByteArray ligne = lignes[i].trimmed();
        if (ligne.isEmpty())
            continue;
        const qsizetype egal = ligne.indexOf('=');
        if (egal < 0)
            return std::nullopt;
        const QByteArray cle = ligne.left(egal);
        const QByteArray valeur = ligne.mid(egal + 1);
        bool ok = false;
        if (cle == "carte") {
            b.carte = qint16(valeur.toInt(&ok));
            carte = ok;
        } else if (cle == "lundi") {
            b.lundi = valeur.toInt(&ok);
            lundi = ok;
        } else if (cle.startsWith("jour")) {
            const int j = cle.mid(4).toInt(&ok) - 1;
            const QList<QByteArray> cellules = valeur.split('|');
            if (!ok || j < 0 || j >= JoursSemaine || cellules.size() != CellulesJour)
                return std::nullopt;
            TextesJour t;
            for (int c = 0; c < CellulesJour; ++c)
                t[size_t(c)] = QString::fromUtf8(QByteArray::fromPercentEncoding(cellules[c]));
            b.jours[size_t(j)] = t;
        }
    }
    if (!carte || !lundi)
        return std::nullopt;
    return b;
}

FileError ecrireBrouillon(const QString& chemin, const Brouillon& brouillon)
{
    return writeFileAtomically(chemin, texteBrouillon(brouillon));
}

std::optional<Brouillon> lireBrouillon(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return brouillonDeTexte(f.readAll());
}

void effacerBrouillon(const QString& chemin)
{
    QFile::remove(chemin);
}

} // namespace kip
