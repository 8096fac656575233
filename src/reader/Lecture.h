// What a swipe gives once decoded: a card number, or a bad read and why. Also the reader makes that
// KipGuard.txt names, whose track formats the decoders know.
#pragma once

#include <QMetaType>
#include <QString>

namespace kip {

enum class Marque
{
    Magtek,
    Omron
};

// The make of line 4 of KipGuard.txt: "Omron" in any case, else Magtek (the settings form's default).
Marque marqueDe(const QString& texte);
QString nomMarque(Marque marque);

constexpr int CarteMin = 1;
constexpr int CarteMax = 9999;

struct Lecture
{
    bool bonne = false;
    int carte = 0; // 1 to 9999 when the read is good
    QString motif; // why a read is bad, for the journal

    static Lecture carteLue(int carte) { return {true, carte, {}}; }
    static Lecture mauvaise(const QString& motif) { return {false, 0, motif}; }
};

} // namespace kip

Q_DECLARE_METATYPE(kip::Lecture)
