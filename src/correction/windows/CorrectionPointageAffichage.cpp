// What the correction grid shows: its controls (the top row, the two week totals, the seven day blocks and the
// hidden buttons of the commands, built once), the week loaded into them, the totals and the cursor.
#include "AbsencesGrille.h"
#include "CorrectionPointage.h"
#include "SelecteurEmploye.h"
#include "calendar/Dates.h"
#include "calendar/windows/IconeCalendrier.h"
#include "correction/BornesPointage.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace kip {

namespace {

// The question mark of the help button.
QIcon iconeAide()
{
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2c, 0x3e, 0x50), 1.5));
    p.setBrush(QColor(0x2e, 0x86, 0xc1));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(19);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    p.end();
    return QIcon(image);
}

const char* const StyleLigne = "QLabel { background: #f3f5f7; border: 1px solid #c5ccd3; padding-right: 3px; }";
const char* const StyleProgramme = "QLabel { background: #e8f0f8; border: 1px solid #c5ccd3; padding-right: 3px; }";

} // namespace

void CorrectionPointage::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 6, 8, 6);
    colonne->setSpacing(4);
    const QFontMetrics fm(font());
    const int largeurCellule = fm.horizontalAdvance(QStringLiteral("88.88")) + 14;
    const int largeurTexte = fm.horizontalAdvance(QStringLiteral("Dimanche")) + 40;

    // The top row.
    auto* haut = new QHBoxLayout;
    haut->setSpacing(8);
    auto* semaine = new QToolButton(this);
    semaine->setObjectName(QStringLiteral("choixSemaine"));
    semaine->setIcon(iconeCalendrier());
    semaine->setIconSize(QSize(24, 24));
    semaine->setToolTip(QStringLiteral("Sélectionne la semaine"));
    semaine->setFocusPolicy(Qt::NoFocus);
    connect(semaine, &QToolButton::clicked, this, &CorrectionPointage::choisirSemaine);
    auto* aideBouton = new QToolButton(this);
    aideBouton->setObjectName(QStringLiteral("aide"));
    aideBouton->setIcon(iconeAide());
    aideBouton->setIconSize(QSize(24, 24));
    aideBouton->setToolTip(QStringLiteral("Une aide sur la navigation et la saisie dans cet écran"));
    aideBouton->setFocusPolicy(Qt::NoFocus);
    connect(aideBouton, &QToolButton::clicked, this, &CorrectionPointage::aide);
    m_texteSemaine = new QLabel(this);
    m_texteSemaine->setObjectName(QStringLiteral("semaine"));
    m_texteSemaine->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Sem.: 53/2026")) + 8);
    using Champ = ModeleSelecteur::Champ;
    m_selecteur = new SelecteurEmploye({Champ::Nom, Champ::Prenom, Champ::Carte},
                                       QStringLiteral("Sélection du personnel par nom et prénom"), this);
    m_selecteur->setObjectName(QStringLiteral("personnel"));
    m_selecteur->setFixedWidth(fm.horizontalAdvance(QLatin1Char('M')) * 14);
    m_selecteur->installEventFilter(this);
    connect(m_selecteur, &SelecteurEmploye::employeChoisi, this, &CorrectionPointage::choisirEmploye);
    m_entete = new QLabel(this);
    m_entete->setObjectName(QStringLiteral("entete"));
    QFont gras = font();
    gras.setBold(true);
    m_entete->setFont(gras);
    m_du = new QLabel(this);
    m_au = new QLabel(this);
    m_du->setObjectName(QStringLiteral("du"));
    m_au->setObjectName(QStringLiteral("au"));
    haut->addWidget(semaine);
    haut->addWidget(aideBouton);
    haut->addWidget(m_texteSemaine);
    haut->addWidget(m_selecteur);
    haut->addWidget(m_entete, 1);
    haut->addWidget(m_du);
    haut->addWidget(m_au);
    colonne->addLayout(haut);

    // The two week totals, the week total right above the column of the day totals.
    auto* totaux = new QHBoxLayout;
    totaux->setSpacing(4);
    totaux->addStretch(1);
    auto* legende = new QLabel(QStringLiteral("Total arrondi:"), this);
    m_totalArrondi = new QLabel(this);
    m_totalArrondi->setObjectName(QStringLiteral("totalArrondi"));
    auto* legendeSemaine = new QLabel(QStringLiteral("Total semaine:"), this);
    m_totalSemaine = new QLabel(this);
    m_totalSemaine->setObjectName(QStringLiteral("totalSemaine"));
    for (QLabel* l : {m_totalArrondi, m_totalSemaine}) {
        l->setFont(gras);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFixedWidth(largeurTexte);
        l->setStyleSheet(QStringLiteral("QLabel { background: #fff8dc; border: 1px solid #b8a878; "
                                        "padding-right: 4px; }"));
    }
    totaux->addWidget(legende);
    totaux->addWidget(m_totalArrondi);
    totaux->addSpacing(12);
    totaux->addWidget(legendeSemaine);
    totaux->addWidget(m_totalSemaine);
    colonne->addLayout(totaux);

    m_absences = new AbsencesGrille(m_db, this);
    connect(m_absences, &AbsencesGrille::retour, this, [this](int j) { allerA(j, 0); });
    for (int j = 0; j < JoursSemaine; ++j) {
        BlocJour& b = m_jours[size_t(j)];
        auto* bloc = new QFrame(this);
        bloc->setObjectName(QStringLiteral("jour_%1").arg(j + 1));
        bloc->setFrameShape(QFrame::StyledPanel);
        auto* lignes = new QVBoxLayout(bloc);
        lignes->setContentsMargins(4, 2, 4, 2);
        lignes->setSpacing(1);
        auto rangee = [&](auto&& cellule, QWidget* texte, QWidget* apres = nullptr) {
            auto* r = new QHBoxLayout;
            r->setSpacing(2);
            for (int c = 0; c < CellulesJour; ++c) {
                QWidget* w = cellule(c);
                w->setFixedWidth(largeurCellule);
                r->addWidget(w);
            }
            texte->setFixedWidth(largeurTexte);
            r->addSpacing(6);
            r->addWidget(texte);
            if (apres) {
                r->addSpacing(6);
                r->addWidget(apres);
            }
            r->addStretch(1);
            lignes->addLayout(r);
        };
        auto ligneLue = [&](std::array<QLabel*, CellulesJour>& cases, const char* style) {
            return [&cases, bloc, style](int c) {
                auto* l = new QLabel(bloc);
                l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                l->setStyleSheet(QString::fromLatin1(style));
                cases[size_t(c)] = l;
                return l;
            };
        };
        b.nomJour = new QLabel(bloc);
        b.nomJour->setFont(gras);
        b.date = new QLabel(bloc);
        b.total = new QLabel(bloc);
        b.total->setObjectName(QStringLiteral("total_%1").arg(j + 1));
        b.total->setFont(gras);
        b.total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        b.total->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #b8a878; background: #fffdf0; "
                                              "padding-right: 4px; }"));
        rangee(ligneLue(b.origine, StyleLigne), b.nomJour);
        rangee(ligneLue(b.programme, StyleProgramme), b.date);
        rangee(
            [&](int c) {
                auto* e = new QLineEdit(bloc);
                e->setObjectName(QStringLiteral("cellule_%1_%2").arg(j + 1).arg(c + 1));
                e->setMaxLength(LargeurCellule);
                e->setAlignment(Qt::AlignRight);
                e->installEventFilter(this);
                connect(e, &QLineEdit::textEdited, this, [this, j, c](const QString& t) { m_grille.poser(j, c, t); });
                b.cellules[size_t(c)] = e;
                return e;
            },
            b.total, m_absences->champ(j));
        m_absences->champ(j)->setParent(bloc);
        m_absences->champ(j)->setFixedWidth(largeurTexte + fm.horizontalAdvance(QStringLiteral("MAL AM")));
        b.bloc = bloc;
        colonne->addWidget(bloc);
    }
    colonne->addStretch(1);

    // The commands as hidden buttons.
    auto bouton = [this](const char* nomObjet, const char* texte, auto&& action) {
        auto* b = new QPushButton(QString::fromUtf8(texte), this);
        b->setObjectName(QLatin1String(nomObjet));
        b->hide();
        connect(b, &QPushButton::clicked, this, action);
    };
    bouton("semSuivante", "Sem suivante", [this] { semaineVoisine(1); });
    bouton("semPrecedente", "Sem precedente", [this] { semaineVoisine(-1); });
    bouton("carteSuivante", "Carte suivante", [this] { employeVoisin(OrdrePersonnel::Carte, Direction::Forward); });
    bouton("cartePrecedente", "Carte precedente",
           [this] { employeVoisin(OrdrePersonnel::Carte, Direction::Backward); });
    bouton("nomSuivant", "Nom suivant", [this] { employeVoisin(OrdrePersonnel::Nom, Direction::Forward); });
    bouton("nomPrecedent", "Nom precedent", [this] { employeVoisin(OrdrePersonnel::Nom, Direction::Backward); });
    bouton("sauver", "Sauver", [this] { sauver(); });
    bouton("annuler", "Annuler", [this] { annuler(); });
}

void CorrectionPointage::afficher()
{
    const Personnel& p = m_grille.employe();
    m_texteSemaine->setText(TexteSemaine(m_grille.semaine()));
    m_du->setText(QStringLiteral("Du ") + DateTexte(m_grille.lundi()));
    m_au->setText(QStringLiteral("au ") + DateTexte(m_grille.dimanche()));
    m_entete->setText(TexteEmployeGrille(p));
    m_selecteur->montrer(p.CARTE);
    for (int j = 0; j < JoursSemaine; ++j) {
        const JourGrille& jour = m_grille.jour(j);
        BlocJour& b = m_jours[size_t(j)];
        b.nomJour->setText(NomJour(jour.date));
        b.date->setText(DateTexte(jour.date));
        for (int c = 0; c < CellulesJour; ++c) {
            b.origine[size_t(c)]->setText(jour.origine[size_t(c)]);
            b.programme[size_t(c)]->setText(jour.programme[size_t(c)]);
            b.cellules[size_t(c)]->setText(jour.utilisateur[size_t(c)]);
            b.acceptes[size_t(c)] = jour.utilisateur[size_t(c)];
        }
        b.bloc->setVisible(!jour.cache);
    }
    afficherTotaux();
}

void CorrectionPointage::afficherTotaux()
{
    for (int j = 0; j < JoursSemaine; ++j)
        m_jours[size_t(j)].total->setText(TexteTotal(m_grille.jour(j).total));
    m_totalSemaine->setText(TexteTotal(m_grille.totalSemaine()));
    m_totalArrondi->setText(TexteTotal(m_grille.totalArrondi()));
}

void CorrectionPointage::curseurPremierJour()
{
    const int jour = m_grille.premierJourAffiche();
    if (jour >= 0)
        allerA(jour, 0);
}

void CorrectionPointage::allerA(int jour, int colonne)
{
    if (jour < 0 || jour >= JoursSemaine || m_grille.jour(jour).cache)
        return;
    m_jour = jour;
    m_colonne = colonne;
    QLineEdit* e = cellule(jour, colonne);
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
}

bool CorrectionPointage::trouverCellule(QObject* objet, int& jour, int& colonne) const
{
    for (int j = 0; j < JoursSemaine; ++j)
        for (int c = 0; c < CellulesJour; ++c)
            if (m_jours[size_t(j)].cellules[size_t(c)] == objet) {
                jour = j;
                colonne = c;
                return true;
            }
    return false;
}

void CorrectionPointage::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    if (m_ouverte) {
        // Back in front after another window (the absence window): the absences it may have changed are read again.
        (void)m_absences->charger(m_grille.employe(), m_grille.lundi());
        allerA(m_jour, m_colonne);
    }
}

} // namespace kip
