#include "ExempleVue.h"

#include <QGridLayout>
#include <QLabel>

namespace kip {

namespace {

QLabel* boite(QWidget* parent, const char* nomObjet, int i, const QString& style)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(nomObjet)).arg(i + 1));
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(style);
    // Room for the widest text, "16.37-16.46", whatever the font.
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("00.00-00.00")) + 16);
    l->setMaximumWidth(l->minimumWidth() + 24);
    return l;
}

} // namespace

ExempleVue::ExempleVue(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("exemple"));
    setFrameShape(QFrame::StyledPanel);
    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(10, 8, 10, 10);
    grille->setHorizontalSpacing(8);
    grille->setVerticalSpacing(6);
    m_titre = new QLabel(this);
    m_titre->setObjectName(QStringLiteral("titreExemple"));
    m_titre->setWordWrap(true);
    grille->addWidget(m_titre, 0, 0, 1, ValeursExemple + 1);
    grille->addWidget(new QLabel(QStringLiteral("Plages:"), this), 1, 0);
    grille->addWidget(new QLabel(QStringLiteral("Valeurs retenues:"), this), 2, 0);
    const QString vert = QStringLiteral("background: #80ff80; color: black; border: 1px solid #2e8b2e; padding: 2px;");
    const QString rouge = QStringLiteral(
        "background: #d01818; color: white; font-weight: bold; border: 1px solid #7a0000; padding: 2px;");
    for (int i = 0; i < ValeursExemple; ++i) {
        m_plages[size_t(i)] = boite(this, "plage", i, vert);
        m_retenues[size_t(i)] = boite(this, "retenue", i, rouge);
        grille->addWidget(m_plages[size_t(i)], 1, i + 1);
        grille->addWidget(m_retenues[size_t(i)], 2, i + 1);
    }
    grille->setColumnStretch(ValeursExemple + 1, 1);
}

void ExempleVue::montrer(const ExempleArrondi& e)
{
    m_titre->setText(e.titre);
    for (int i = 0; i < ValeursExemple; ++i) {
        m_plages[size_t(i)]->setText(e.textePlage(i));
        m_retenues[size_t(i)]->setText(e.texteRetenue(i));
    }
}

QString ExempleVue::titre() const
{
    return m_titre->text();
}

QStringList ExempleVue::plages() const
{
    QStringList out;
    for (const QLabel* l : m_plages)
        out << l->text();
    return out;
}

QStringList ExempleVue::retenues() const
{
    QStringList out;
    for (const QLabel* l : m_retenues)
        out << l->text();
    return out;
}

} // namespace kip

#include "moc_ExempleVue.cpp"
