// Draws every picture of the button bar, the about window and the home window: the buttons in their
// three states (0 normal, 1 mouse over, 2 pressed), the logo, the quit pictures, the program icon and the
// home pictures, and the icon of the desktop entries in the sizes of the icon theme. Run offscreen by
// scripts/pictures, which writes the PNGs committed under resources/pictures/ and resources/icons/hicolor/.
// Sizes follow the bar's layout at 1.5 pixels per window unit.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>
#include <cstdio>
#include <iterator>

namespace {

constexpr int ButtonWidth = 141; // 94 units
constexpr int ButtonHeight = 27; // 18 units
constexpr int LogoHeight = 39;   // 26 units
const char* const FontFamily = "Liberation Sans";

struct Button
{
    const char* name;
    const char* label;
    QColor accent;
};

const QColor Blue(0x2f, 0x6f, 0xb3);
const QColor Green(0x2e, 0x8b, 0x57);
const QColor Red(0xc0, 0x39, 0x2b);
const QColor Amber(0xd4, 0x8a, 0x1c);
const QColor Slate(0x5b, 0x6b, 0x7d);
const QColor Violet(0x6c, 0x4f, 0xa8);

// The button names as the bar knows them, in table order, with the French label drawn on each.
const Button Buttons[] = {
    {"Ajouter", "Ajouter", Green},
    {"Corriger", "Corriger", Blue},
    {"Imprimer", "Imprimer", Violet},
    {"Modifier", "Modifier", Blue},
    {"Parametres", "Paramètres", Slate},
    {"Personnel", "Personnel", Blue},
    {"Quitter", "Quitter", Red},
    {"Supprimer", "Supprimer", Red},
    {"Accepter", "Accepter", Green},
    {"Annuler", "Annuler", Red},
    {"Par_Nom_et_Prenom", "Par nom et prénom", Amber},
    {"Par_n_de_Carte", "Par n° de carte", Amber},
    {"Par_Matricule", "Par matricule", Amber},
    {"Par_n_Carte_et_Date", "Par n° carte et date", Amber},
    {"Par_Date_et_n_Carte", "Par date et n° carte", Amber},
    {"Par_Nom_et_Date", "Par nom et date", Amber},
    {"Par_Date_et_Nom", "Par date et nom", Amber},
    {"Carte_Suivante", "Carte suivante", Slate},
    {"Carte_Precedente", "Carte précédente", Slate},
    {"Nom_Suivant", "Nom suivant", Slate},
    {"Nom_Precedent", "Nom précédent", Slate},
    {"Semaine_Suivante", "Semaine suivante", Slate},
    {"Semaine_Precedente", "Semaine précédente", Slate},
    {"Sauver", "Sauver", Green},
    {"Garder", "Garder", Green},
    {"Effacer_Pointages", "Effacer pointages", Red},
    {"Utilitaires", "Utilitaires", Slate},
    {"Impression", "Impression", Violet},
    {"Config_Imprimante", "Config. imprimante", Violet},
    {"Journal", "Journal", Blue},
    {"Absences", "Absences", Green},
    {"Types_Absence", "Types d'absence", Slate},
    {"Mois_Suivant", "Mois suivant", Slate},
    {"Mois_Precedent", "Mois précédent", Slate},
    {"Soldes", "Soldes", Slate},
};

// The largest font not above maxPixels whose text fits the width.
QFont fittingFont(const QString& text, int width, int maxPixels, bool bold)
{
    QFont font(FontFamily);
    font.setBold(bold);
    for (int size = maxPixels; size > 7; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A rounded button: white face with a coloured stripe (0), tinted face under the mouse (1), filled with
// the accent colour and pushed one pixel down when pressed (2).
QImage drawButton(const QString& label, const QColor& accent, int state, int w = ButtonWidth, int h = ButtonHeight)
{
    QImage image = blank(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int push = state == 2 ? 1 : 0;
    QRectF face(0.5, 0.5 + push, w - 1.0, h - 2.0);
    if (state != 2) { // soft shadow under the raised button
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRoundedRect(face.translated(0, 1), 5, 5);
    }
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (state == 0) {
        fill.setColorAt(0, QColor(0xff, 0xff, 0xff));
        fill.setColorAt(1, QColor(0xe9, 0xed, 0xf2));
    } else if (state == 1) {
        fill.setColorAt(0, accent.lighter(185));
        fill.setColorAt(1, accent.lighter(150));
    } else {
        fill.setColorAt(0, accent.darker(115));
        fill.setColorAt(1, accent);
    }
    p.setBrush(fill);
    p.setPen(QPen(state == 0 ? QColor(0xb4, 0xbc, 0xc8) : accent.darker(130), 1));
    p.drawRoundedRect(face, 5, 5);
    if (state != 2) { // the stripe that tells the kind of action at a glance
        QPainterPath clip;
        clip.addRoundedRect(face, 5, 5);
        p.setClipPath(clip);
        p.fillRect(QRectF(face.left(), face.top(), 5, face.height()), accent);
        p.setClipping(false);
    }
    const QRect textArea(9, push, w - 13, h - 2);
    p.setFont(fittingFont(label, textArea.width(), 13, true));
    p.setPen(state == 2 ? QColor(Qt::white) : QColor(0x1d, 0x27, 0x33));
    p.drawText(textArea, Qt::AlignCenter, label);
    return image;
}

// A clock face, the emblem of the program. Small clocks keep the four quarter marks alone, drawn bolder, so
// that they stay marks rather than a grey ring.
void drawClock(QPainter& p, const QPointF& centre, qreal radius, const QColor& ring, const QColor& face, int marks = 12)
{
    p.setPen(QPen(ring, radius * 0.16));
    p.setBrush(face);
    p.drawEllipse(centre, radius, radius);
    const qreal mark = marks == 12 ? 0.06 : 0.13;
    p.setPen(QPen(ring, radius * mark, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < marks; ++i) {
        const qreal a = i * 2 * M_PI / marks;
        const QPointF dir(qSin(a), -qCos(a));
        p.drawLine(centre + dir * radius * (marks == 12 ? 0.72 : 0.66), centre + dir * radius * 0.84);
    }
    p.setPen(QPen(ring, radius * (marks == 12 ? 0.11 : 0.15), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -radius * 0.62));
    p.drawLine(centre, centre + QPointF(radius * 0.45, radius * 0.12));
    p.setBrush(ring);
    p.drawEllipse(centre, radius * 0.09, radius * 0.09);
}

QImage drawLogo(int state)
{
    QImage image = blank(ButtonWidth, LogoHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ring = state == 2 ? QColor(0xff, 0xc8, 0x57) : QColor(Qt::white);
    const QColor face = state == 1 ? QColor(0x3f, 0x86, 0xd0) : QColor(0x24, 0x5d, 0x9a);
    if (state == 1) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 36));
        p.drawRoundedRect(QRectF(0.5, 0.5, ButtonWidth - 1, LogoHeight - 1), 7, 7);
    }
    const int push = state == 2 ? 1 : 0;
    drawClock(p, QPointF(22, 19.5 + push), 14, ring, face);
    QFont font(FontFamily);
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(ring);
    p.drawText(QRect(44, push, ButtonWidth - 44, LogoHeight), Qt::AlignVCenter | Qt::AlignLeft, "Kip");
    font.setBold(false);
    font.setPixelSize(9);
    p.setFont(font);
    p.setPen(QColor(0xc9, 0xd8, 0xea));
    p.drawText(QRect(90, push + 23, 50, 12), Qt::AlignLeft, "v1.11");
    return image;
}

// The program's picture in the middle of the home window.
QImage drawHome(const QString& program)
{
    const int w = 520, h = 340;
    QImage image = blank(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient card(0, 0, 0, h);
    card.setColorAt(0, QColor(0xff, 0xff, 0xff));
    card.setColorAt(1, QColor(0xee, 0xf3, 0xf9));
    p.setPen(QPen(QColor(0xc8, 0xd3, 0xe1), 1));
    p.setBrush(card);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 18, 18);
    drawClock(p, QPointF(130, 150), 78, QColor(0x24, 0x5d, 0x9a), QColor(0xf7, 0xfa, 0xfd));
    QFont font = fittingFont(program, 260, 72, true);
    p.setFont(font);
    p.setPen(QColor(0x1d, 0x3f, 0x66));
    p.drawText(QRect(240, 70, 270, 90), Qt::AlignLeft | Qt::AlignVCenter, program);
    font.setBold(false);
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(QColor(0x4a, 0x5a, 0x6c));
    p.drawText(QRect(244, 160, 270, 60), Qt::AlignLeft | Qt::TextWordWrap, "Gestion des temps de présence");
    p.setPen(QPen(QColor(0x2f, 0x6f, 0xb3), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(246, 232, 330, 232);
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(QColor(0x7a, 0x88, 0x98));
    p.drawText(QRect(0, h - 44, w, 24), Qt::AlignCenter, "Pointage · Corrections · Rapports");
    return image;
}

// The program icon, drawn at each size rather than scaled, on the 64-pixel design.
QImage drawIcon(int size = 64)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 64.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x5d, 0x9a));
    p.drawRoundedRect(QRectF(2 * u, 2 * u, 60 * u, 60 * u), 14 * u, 14 * u);
    drawClock(p, QPointF(32 * u, 32 * u), (size <= 24 ? 23 : 21) * u, QColor(Qt::white), QColor(0x2f, 0x6f, 0xb3),
              size <= 32 ? 4 : 12);
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name + ".png");
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The sizes of the desktop's icon theme, and the name the desktop entries and the metainfo give the icon.
const int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
const char* const IconName = "org.example.kip.Kip";

bool saveIcons(const QDir& themeDir)
{
    bool ok = true;
    for (int size : IconSizes) {
        const QString dir = QString("%1x%1/apps").arg(size);
        ok = themeDir.mkpath(dir) && save(drawIcon(size), QDir(themeDir.filePath(dir)), IconName) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kip_picture_generator PICTURE_DIRECTORY ICON_THEME_DIRECTORY\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    int count = 0;
    for (int state = 0; state < 3; ++state) {
        const QString prefix = QString("bt%1_").arg(state);
        for (const Button& b : Buttons) {
            ok = save(drawButton(QString::fromUtf8(b.label), b.accent, state), dir, prefix + b.name) && ok;
            ++count;
        }
        ok = save(drawButton("Quitter Kip", Red, state), dir, prefix + "Quitter_Kip") && ok;
        ok = save(drawLogo(state), dir, prefix + "Logo_Kip") && ok;
        count += 2;
    }
    ok = save(drawHome("Kip"), dir, "Accueil_Kip") && ok;
    ok = save(drawHome("kipother"), dir, "Accueil_kipother") && ok;
    ok = save(drawIcon(), dir, "Icone_Kip") && ok;
    count += 3;
    const QDir themeDir(QString::fromLocal8Bit(argv[2]));
    ok = saveIcons(themeDir) && ok;
    count += int(std::size(IconSizes));
    QTextStream(stdout) << count << " pictures written to " << dir.absolutePath() << " and " << themeDir.absolutePath()
                        << "\n";
    return ok ? 0 : 1;
}
