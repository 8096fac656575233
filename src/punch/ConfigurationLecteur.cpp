#include "ConfigurationLecteur.h"

#include "data/TextFiles.h"

#include <QDir>
#include <algorithm>

namespace kip {

namespace {
constexpr int MessageTestPortBase = 1025;
}

ConfigurationLecteur ConfigurationLecteur::lire(const QString& cheminKipGuard)
{
    const QStringList lignes = readKipGuardLines(cheminKipGuard);
    ConfigurationLecteur c;
    if (lignes.size() > 0) {
        bool nombre = false;
        const int port = lignes[0].trimmed().toInt(&nombre);
        c.port = nombre && port >= 1 && port <= PortLecteurMax ? port : 0;
    }
    if (lignes.size() > 1)
        c.sonCarteLue = lignes[1].trimmed();
    if (lignes.size() > 2)
        c.sonMauvaiseCarte = lignes[2].trimmed();
    if (lignes.size() > 3 && !lignes[3].trimmed().isEmpty())
        c.marque = lignes[3].trimmed();
    return c;
}

FileError ConfigurationLecteur::ecrire(const QString& cheminKipGuard) const
{
    KipGuard k;
    k.port = QString::number(port >= 1 && port <= PortLecteurMax ? port : 0);
    k.sonCarteLue = sonCarteLue;
    k.sonMauvaiseCarte = sonMauvaiseCarte;
    k.typeLecteur = marque;
    return k.write(cheminKipGuard);
}

QStringList ListeSons(const QString& repertoireSons)
{
    // The pattern "*.wav" matches any case of the extension, as on the file systems the installation came from.
    QStringList noms;
    for (const QString& nom : QDir(repertoireSons).entryList(QDir::Files | QDir::Readable))
        if (nom.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
            noms << nom;
    std::sort(noms.begin(), noms.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return noms;
}

int RangSon(const QStringList& sons, const QString& nomEnregistre)
{
    if (sons.isEmpty())
        return -1;
    const QString nom = nomEnregistre.trimmed();
    if (nom.isEmpty())
        return 0;
    const qsizetype rang = sons.indexOf(nom);
    return rang >= 0 ? int(rang) : 0;
}

int MessageTestPort(int port)
{
    return port >= 1 && port <= PortLecteurMax ? MessageTestPortBase + port : 0;
}

} // namespace kip
