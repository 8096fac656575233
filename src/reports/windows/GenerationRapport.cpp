// The progress window of a report run.
#include "GenerationRapport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kip {

GenerationRapport::GenerationRapport(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GenerationRapport"));
    setWindowTitle(QStringLiteral("Génération rapport"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(16, 14, 16, 14);
    m_barre = new QProgressBar(this);
    m_barre->setObjectName(QStringLiteral("barre"));
    m_barre->setRange(0, 100);
    m_barre->setValue(0);
    m_barre->setTextVisible(false);
    colonne->addWidget(m_barre);
    m_texte = new QLabel(this);
    m_texte->setObjectName(QStringLiteral("texte"));
    colonne->addWidget(m_texte);
    auto* bas = new QHBoxLayout;
    m_pourcentage = new QLabel(this);
    m_pourcentage->setObjectName(QStringLiteral("pourcentage"));
    bas->addWidget(m_pourcentage, 1);
    m_annuler = new QPushButton(QStringLiteral("&Annuler"), this);
    m_annuler->setObjectName(QStringLiteral("annuler"));
    bas->addWidget(m_annuler);
    colonne->addLayout(bas);
    connect(m_annuler, &QPushButton::clicked, this, &GenerationRapport::annulation);
    setFixedSize(340, 120);
    montrer(0);
}

QString GenerationRapport::textePourcent() const
{
    return m_pourcentage->text();
}

void GenerationRapport::montrer(int pourcent)
{
    if (m_pourcent == 100)
        return;
    m_pourcent = std::clamp(pourcent, 0, 100);
    m_barre->setValue(m_pourcent);
    m_pourcentage->setText(QStringLiteral("%1% terminé").arg(m_pourcent));
}

void GenerationRapport::reject()
{
    // Escape and the close box cancel the run like "&Annuler"; the window closes when the run has stopped.
    Q_EMIT annulation();
}

} // namespace kip

#include "moc_GenerationRapport.cpp"
