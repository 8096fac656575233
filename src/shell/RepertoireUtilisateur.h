// Where Kip and kipother start when launched from the desktop's menu, which gives them no meaningful current
// directory: the user's installation directory, ~/Kip unless another one was chosen. It is asked on the first
// start (and again when the one remembered has gone), created when missing, and remembered in the user's
// configuration (~/.config/Kip/Kip.conf), never in the installation, which several users may share.
// Started without the option, a program keeps the rule of the terminal: the current directory must be Kip.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QSettings;

namespace kip {

// The option of the desktop entries: go to the user's installation directory before the start-up.
inline constexpr char OptionRepertoireUtilisateur[] = "--repertoire-utilisateur";
// The same, asking for the directory again (proposing the one remembered) even when it is there.
inline constexpr char OptionChoisirRepertoire[] = "--choisir-repertoire";

// How the directory is asked: a small dialog in the programs, scripted answers in tests.
class DemandeRepertoire
{
public:
    virtual ~DemandeRepertoire() = default;
    // The directory the user gives, starting from the one proposed; nothing when the user gives up.
    virtual std::optional<QString> demander(const QString& propose, const QString& texte) = 0;
};

class RepertoireUtilisateur
{
public:
    // reglages: the user's configuration; dossierPersonnel: the user's home directory.
    RepertoireUtilisateur(QSettings& reglages, const QString& dossierPersonnel);

    QString parDefaut() const; // ~/Kip
    QString memorise() const;  // empty before the first choice

    // The installation directory for what the user gave: the directory itself when it is named Kip (any
    // case), else its sub-directory Kip, since the start-up accepts no other name. "~" stands for the home
    // directory, and a relative path is taken from it.
    static QString installationPour(const QString& choisi, const QString& dossierPersonnel);

    // The directory to start in: the one remembered when it is there; otherwise (or when choisirDeNouveau)
    // the one the user gives, created and then remembered. Empty when the user gave up.
    QString etablir(DemandeRepertoire& demande, bool choisirDeNouveau = false);

private:
    QSettings& m_reglages;
    QString m_personnel;
};

// Where a workstation program starts, decided from its arguments: the current directory, or with the option
// of the desktop entries the user's installation directory, which then becomes the current directory. Nothing
// when the user gave up, which is no failure: the program ends without a word.
std::optional<QString> repertoireDeDepart(const QStringList& arguments, QSettings& reglages,
                                          const QString& dossierPersonnel, DemandeRepertoire& demande);

} // namespace kip
