#include "RepertoireUtilisateur.h"

#include "Demarrage.h"
#include "data/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kip {

namespace {

const char* const CleRepertoire = "Demarrage/Repertoire";

const char* const TextePremierDepart =
    "Kip range les données de l'entreprise (personnel, pointages, sauvegardes) dans un répertoire nommé Kip.\n"
    "Acceptez celui qui est proposé, ou indiquez-en un autre: le répertoire Kip partagé par les postes de "
    "l'entreprise, par exemple. Ce choix est retenu pour les prochains démarrages.";

const char* const TexteIntrouvable =
    "Le répertoire des données de Kip est introuvable:\n%1\n"
    "Il a pu être déplacé, ou le partage qui le contient n'est pas connecté. Indiquez-le de nouveau; s'il "
    "n'existe plus, un répertoire vide sera créé.";

const char* const TexteNouveauChoix = "Indiquez le répertoire des données de Kip.";

} // namespace

RepertoireUtilisateur::RepertoireUtilisateur(QSettings& reglages, const QString& dossierPersonnel)
    : m_reglages(reglages), m_personnel(QDir::cleanPath(dossierPersonnel))
{
}

QString RepertoireUtilisateur::parDefaut() const
{
    return m_personnel + QStringLiteral("/Kip");
}

QString RepertoireUtilisateur::memorise() const
{
    const QString dir = m_reglages.value(QLatin1String(CleRepertoire)).toString().trimmed();
    // A value edited by hand is held to the same rule as a choice.
    return dir.isEmpty() ? QString() : installationPour(dir, m_personnel);
}

QString RepertoireUtilisateur::installationPour(const QString& choisi, const QString& dossierPersonnel)
{
    const QString personnel = QDir::cleanPath(dossierPersonnel);
    QString dir = choisi.trimmed();
    if (dir == QLatin1String("~"))
        dir = personnel;
    else if (dir.startsWith(QLatin1String("~/")))
        dir = personnel + dir.mid(1);
    dir = QDir::cleanPath(QDir(personnel).absoluteFilePath(dir));
    if (!Demarrage::estRepertoireInstallation(dir))
        dir = QDir::cleanPath(dir + QStringLiteral("/Kip"));
    return dir;
}

QString RepertoireUtilisateur::etablir(DemandeRepertoire& demande, bool choisirDeNouveau)
{
    const QString memo = memorise();
    if (!memo.isEmpty() && !choisirDeNouveau && QFileInfo(memo).isDir())
        return memo;
    // A remembered directory that has gone is not made again unasked: it may lie on a share that is not
    // connected, and an empty directory in its place would hide the data.
    QString propose = memo.isEmpty() ? parDefaut() : memo;
    QString texte = QString::fromUtf8(TextePremierDepart);
    if (!memo.isEmpty())
        texte = choisirDeNouveau ? QString::fromUtf8(TexteNouveauChoix) : QString::fromUtf8(TexteIntrouvable).arg(memo);
    for (;;) {
        const std::optional<QString> reponse = demande.demander(propose, texte);
        if (!reponse || reponse->trimmed().isEmpty())
            return QString();
        const QString dir = installationPour(*reponse, m_personnel);
        QDir().mkpath(dir);
        const QFileInfo info(dir);
        if (info.isDir() && info.isWritable() && info.isExecutable()) {
            m_reglages.setValue(QLatin1String(CleRepertoire), dir);
            m_reglages.sync();
            return dir;
        }
        showBox(QStringLiteral("Erreur d'accès"), QStringLiteral("Impossible d'accéder à:\r\n") + dir,
                MessageIcon::Stop);
        propose = dir;
    }
}

std::optional<QString> repertoireDeDepart(const QStringList& arguments, QSettings& reglages,
                                          const QString& dossierPersonnel, DemandeRepertoire& demande)
{
    const bool choisir = arguments.contains(QLatin1String(OptionChoisirRepertoire));
    if (!choisir && !arguments.contains(QLatin1String(OptionRepertoireUtilisateur)))
        return QDir::currentPath();
    RepertoireUtilisateur utilisateur(reglages, dossierPersonnel);
    const QString dir = utilisateur.etablir(demande, choisir);
    if (dir.isEmpty())
        return std::nullopt;
    // Relative names (a file dialog's first folder, say) then mean the installation too.
    QDir::setCurrent(dir);
    return dir;
}

} // namespace kip
