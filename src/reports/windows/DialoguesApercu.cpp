// The preview's dialogs.
#include "DialoguesApercu.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kip {

SautDePage::SautDePage(int courante, int nombre, QWidget* parent) : QDialog(parent), m_courante(courante)
{
    setObjectName(QStringLiteral("SauterAUnePage"));
    setWindowTitle(QStringLiteral("Sauter à une page"));
    auto* colonne = new QVBoxLayout(this);
    auto* ligne = new QHBoxLayout;
    auto* etiquette = new QLabel(QStringLiteral("&Page"), this);
    m_spin = new QSpinBox(this);
    m_spin->setObjectName(QStringLiteral("page"));
    m_spin->setRange(1, std::max(1, nombre));
    m_spin->setValue(courante);
    m_spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_spin->setToolTip(QStringLiteral("Sélectionner le numéro de page"));
    m_spin->setMinimumWidth(80);
    etiquette->setBuddy(m_spin);
    ligne->addWidget(etiquette);
    ligne->addWidget(m_spin);
    ligne->addWidget(new QLabel(QStringLiteral("sur %1").arg(nombre), this));
    ligne->addStretch(1);
    colonne->addLayout(ligne);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setToolTip(QStringLiteral("Aller à la page sélectionné"));
    m_ok->setDefault(true);
    m_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    m_annuler->setToolTip(QStringLiteral("Annuler cette sélection"));
    boutons->addWidget(m_ok);
    boutons->addWidget(m_annuler);
    colonne->addLayout(boutons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_annuler, &QPushButton::clicked, this, &QDialog::reject);
}

int SautDePage::page() const
{
    return result() == QDialog::Accepted ? m_spin->value() : m_courante;
}

ChangementAffichage::ChangementAffichage(int largeur, int hauteur, int maximum, std::function<void(int, int)> appliquer,
                                         QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ModifierLAffichage"));
    setWindowTitle(QStringLiteral("Modifier l'affichage"));
    auto* colonne = new QVBoxLayout(this);
    auto* groupe = new QGroupBox(QStringLiteral("Pages affiché"), this);
    auto* formulaire = new QFormLayout(groupe);
    m_horizontal = new QSpinBox(groupe);
    m_vertical = new QSpinBox(groupe);
    for (QSpinBox* s : {m_horizontal, m_vertical}) {
        s->setRange(1, maximum);
        s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }
    m_horizontal->setObjectName(QStringLiteral("horizontal"));
    m_vertical->setObjectName(QStringLiteral("vertical"));
    m_horizontal->setValue(largeur);
    m_vertical->setValue(hauteur);
    formulaire->addRow(QStringLiteral("Horizontal"), m_horizontal);
    formulaire->addRow(QStringLiteral("Vertical"), m_vertical);
    colonne->addWidget(groupe);
    auto changer = [this, appliquer] { appliquer(m_horizontal->value(), m_vertical->value()); };
    connect(m_horizontal, &QSpinBox::valueChanged, this, changer);
    connect(m_vertical, &QSpinBox::valueChanged, this, changer);
}

} // namespace kip

#include "moc_DialoguesApercu.cpp"
