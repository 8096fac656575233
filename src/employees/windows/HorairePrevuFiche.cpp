#include "HorairePrevuFiche.h"

#include "absences/HorairesPrevus.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

namespace kip {

namespace {

const char* const NomsJours[] = {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"};

std::optional<qint32> lireDate(const QString& texte)
{
    static const QRegularExpression forme(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = forme.match(texte.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return d.isValid() ? std::optional(dayNumber(d)) : std::nullopt;
}

} // namespace

HorairePrevuFiche::HorairePrevuFiche(QWidget* parent) : QGroupBox(QStringLiteral("Heures prévues"), parent)
{
    setObjectName(QStringLiteral("horairePrevu"));
    auto* g = new QGridLayout(this);
    g->setHorizontalSpacing(6);
    const int largeur = QFontMetrics(font()).horizontalAdvance(QStringLiteral("00.000"));
    for (int i = 0; i < JoursParSemaine; ++i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("prevu%1").arg(i));
        e->setFixedWidth(largeur);
        e->setAlignment(Qt::AlignRight);
        auto* l = new QLabel(QLatin1String(NomsJours[i]), this);
        l->setBuddy(e);
        g->addWidget(l, 0, i);
        g->addWidget(e, 1, i);
        connect(e, &QLineEdit::textChanged, this, &HorairePrevuFiche::montrerTotal);
        m_jours[size_t(i)] = e;
    }
    m_total = new QLabel(this);
    g->addWidget(m_total, 1, JoursParSemaine);
    m_depuis = new QLineEdit(this);
    m_depuis->setObjectName(QStringLiteral("prevuDepuis"));
    m_depuis->setFixedWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("00/00/00000")));
    m_depuis->setPlaceholderText(QStringLiteral("toujours"));
    auto* depuis = new QLabel(QStringLiteral("à partir du"), this);
    depuis->setBuddy(m_depuis);
    // The date is typed, or chosen with the day picker as the form's other dates are.
    auto* calendrier = new QToolButton(this);
    calendrier->setObjectName(QStringLiteral("calendrier_prevuDepuis"));
    calendrier->setText(QStringLiteral("…"));
    calendrier->setToolTip(QStringLiteral("Sélectionne le jour à partir duquel les heures prévues s'appliquent"));
    connect(calendrier, &QToolButton::clicked, this, [this] {
        if (const std::optional<qint32> choisi = askDate(lireDate(m_depuis->text()).value_or(0), this))
            m_depuis->setText(DateTexte(*choisi));
    });
    auto* rangee = new QHBoxLayout;
    rangee->setSpacing(4);
    rangee->addWidget(m_depuis);
    rangee->addWidget(calendrier);
    g->addWidget(depuis, 0, JoursParSemaine + 1);
    g->addLayout(rangee, 1, JoursParSemaine + 1);
    g->setColumnStretch(JoursParSemaine + 2, 1);
}

bool HorairePrevuFiche::charger(Database& db, const Personnel& employe, bool nouveau)
{
    m_nouveau = nouveau;
    m_lu = false;
    Result<HorairesPrevus> h = LireHoraires(db);
    if (!h) {
        setEnabled(false);
        setToolTip(QStringLiteral("Heures prévues illisibles: %1").arg(h.error().description()));
        return false;
    }
    const qint32 aujourdhui = Clock::today();
    m_charges = nouveau ? h->motif(0, aujourdhui) : h->motif(employe.CARTE, aujourdhui);
    if (nouveau) {
        // Card 0 is no one's: its pattern is the default.
        m_depuis->clear();
    } else {
        m_depuis->setText(DateTexte(aujourdhui));
    }
    for (int i = 0; i < JoursParSemaine; ++i)
        m_jours[size_t(i)]->setText(HeureTexte(m_charges[size_t(i)]).trimmed());
    m_lu = true;
    montrerTotal();
    return true;
}

MinutesSemaine HorairePrevuFiche::lus(bool* ok) const
{
    MinutesSemaine m{};
    *ok = true;
    for (int i = 0; i < JoursParSemaine; ++i) {
        const HeureLue lu = LireHeureTexte(m_jours[size_t(i)]->text());
        const qint32 minutes = lu.heures * 60 + lu.decimales;
        if (!lu.valide || lu.negatif || lu.decimales >= 60 || minutes > MinutesJour)
            *ok = false;
        m[size_t(i)] = qint16(std::min(minutes, MinutesJour));
    }
    return m;
}

void HorairePrevuFiche::montrerTotal()
{
    bool ok = false;
    const MinutesSemaine m = lus(&ok);
    m_total->setText(ok ? QStringLiteral("= %1 par semaine").arg(HeureTexte(TotalMotif(m)).trimmed()) : QString());
}

std::optional<HorairePrevuFiche::Erreur> HorairePrevuFiche::verifier() const
{
    if (!m_lu)
        return std::nullopt;
    for (int i = 0; i < JoursParSemaine; ++i) {
        const HeureLue lu = LireHeureTexte(m_jours[size_t(i)]->text());
        if (!lu.valide || lu.negatif || lu.decimales >= 60 || lu.heures * 60 + lu.decimales > MinutesJour) {
            return Erreur{QStringLiteral("Les heures prévues du %1 s'écrivent h.mm, de 0.00 à 24.00.")
                              .arg(QLatin1String(NomsJours[i])),
                          m_jours[size_t(i)]};
        }
    }
    if (!m_depuis->text().trimmed().isEmpty() && !lireDate(m_depuis->text())) {
        return Erreur{
            QStringLiteral("La date à partir de laquelle les heures prévues s'appliquent s'écrit JJ/MM/AAAA."),
            m_depuis};
    }
    return std::nullopt;
}

FileError HorairePrevuFiche::enregistrer(Database& db, const Personnel& employe) const
{
    if (!m_lu)
        return {};
    bool ok = false;
    Horaire h;
    h.MINUTES = lus(&ok);
    if (!ok || (!m_nouveau && h.MINUTES == m_charges))
        return {};
    h.DEBUT = lireDate(m_depuis->text()).value_or(0);
    return EnregistrerHoraire(db, employe, h, m_nouveau);
}

} // namespace kip

#include "moc_HorairePrevuFiche.cpp"
