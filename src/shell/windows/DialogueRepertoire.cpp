#include "DialogueRepertoire.h"

#include "TableSommaire.h"
#include "resources/Pictures.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace kip {

namespace {
constexpr int LargeurTexte = 520;
}

DialogueRepertoire::DialogueRepertoire(const QString& dossierPersonnel, const QString& propose, const QString& texte,
                                       QWidget* parent)
    : QDialog(parent), m_personnel(dossierPersonnel)
{
    setWindowTitle(QStringLiteral("Répertoire des données de Kip"));
    setWindowIcon(QIcon(picturePath(imageIcone())));
    auto* layout = new QVBoxLayout(this);
    auto* explication = new QLabel(texte, this);
    explication->setWordWrap(true);
    explication->setMinimumWidth(LargeurTexte);
    layout->addWidget(explication);

    auto* ligne = new QHBoxLayout;
    m_saisie = new QLineEdit(propose, this);
    m_saisie->setObjectName(QStringLiteral("saisie"));
    ligne->addWidget(m_saisie, 1);
    auto* parcourir = new QPushButton(QStringLiteral("&Parcourir..."), this);
    parcourir->setObjectName(QStringLiteral("parcourir"));
    ligne->addWidget(parcourir);
    layout->addLayout(ligne);

    m_retenu = new QLabel(this);
    m_retenu->setObjectName(QStringLiteral("retenu"));
    m_retenu->setWordWrap(true);
    m_retenu->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_retenu);

    auto* boutons = new QDialogButtonBox(this);
    boutons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    boutons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    layout->addWidget(boutons);

    connect(parcourir, &QPushButton::clicked, this, &DialogueRepertoire::parcourir);
    connect(m_saisie, &QLineEdit::textChanged, this, &DialogueRepertoire::actualiser);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    actualiser();
}

QString DialogueRepertoire::saisi() const
{
    return m_saisie->text().trimmed();
}

QString DialogueRepertoire::retenu() const
{
    return saisi().isEmpty() ? QString() : RepertoireUtilisateur::installationPour(saisi(), m_personnel);
}

void DialogueRepertoire::parcourir()
{
    // The folder proposed may not exist yet: the dialog opens on the nearest one that does.
    QDir depart(retenu().isEmpty() ? m_personnel : retenu());
    while (!depart.exists() && depart.cdUp()) {
    }
    const QString choisi = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Choisir le répertoire des données de Kip"), depart.path());
    if (!choisi.isEmpty())
        m_saisie->setText(QDir::toNativeSeparators(choisi));
}

void DialogueRepertoire::actualiser()
{
    const QString dir = retenu();
    if (auto* ok = findChild<QPushButton*>(QStringLiteral("ok")))
        ok->setEnabled(!dir.isEmpty());
    if (dir.isEmpty()) {
        m_retenu->setText(QStringLiteral("Indiquez un répertoire."));
        return;
    }
    QString texte = QStringLiteral("Les données seront dans: %1").arg(dir);
    if (QFileInfo(QDir::cleanPath(saisi())).fileName().compare(QLatin1String("Kip"), Qt::CaseInsensitive) != 0)
        texte += QStringLiteral("\n(un répertoire de données doit s'appeler Kip)");
    m_retenu->setText(texte);
}

std::optional<QString> DemandeRepertoireFenetre::demander(const QString& propose, const QString& texte)
{
    DialogueRepertoire dialogue(m_personnel, propose, texte);
    if (dialogue.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialogue.retenu();
}

std::optional<QString> repertoireDeDepart(const QStringList& arguments)
{
    // ~/.config/Kip/Kip.conf, shared by Kip and kipother: they work on the same data.
    QSettings reglages(QStringLiteral("Kip"), QStringLiteral("Kip"));
    DemandeRepertoireFenetre demande(QDir::homePath());
    return repertoireDeDepart(arguments, reglages, QDir::homePath(), demande);
}

} // namespace kip

#include "moc_DialogueRepertoire.cpp"
