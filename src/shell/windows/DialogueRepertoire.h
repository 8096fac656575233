// The small dialog that asks a user for the installation directory on the first start from the desktop's
// menu: the directory proposed, a button to browse, and the directory that will be used (a sub-directory Kip
// when the one given is not named Kip).
#pragma once

#include "shell/RepertoireUtilisateur.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace kip {

class DialogueRepertoire : public QDialog
{
    Q_OBJECT

public:
    DialogueRepertoire(const QString& dossierPersonnel, const QString& propose, const QString& texte,
                       QWidget* parent = nullptr);

    QString saisi() const;
    QString retenu() const; // the installation directory for what is typed

private:
    void parcourir();
    void actualiser();

    QString m_personnel;
    QLineEdit* m_saisie = nullptr;
    QLabel* m_retenu = nullptr;
};

// The dialog as the start-up asks it.
class DemandeRepertoireFenetre : public DemandeRepertoire
{
public:
    explicit DemandeRepertoireFenetre(const QString& dossierPersonnel) : m_personnel(dossierPersonnel) {}
    std::optional<QString> demander(const QString& propose, const QString& texte) override;

private:
    QString m_personnel;
};

// The start of Kip and kipother: the current directory, or with the option of the desktop entries the user's
// installation directory, asked by the dialog on the first start and kept in the user's configuration.
// Nothing when the user gave up.
std::optional<QString> repertoireDeDepart(const QStringList& arguments);

} // namespace kip
