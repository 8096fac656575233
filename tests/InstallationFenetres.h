// The installation of the tests (Installation.h) for the window tests under Qt Test: made once per test
// program, emptied before each test, and the windows opened and found as the frame opens them.
#pragma once

#include "Installation.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"

#include <QTest>

class InstallationFenetres : public essai::Installation
{
public:
    // Once per test program: the windows registered as the programs register them, and a first installation.
    void preparer(void (*enregistrer)())
    {
        enregistrer();
        QVERIFY(vider());
    }
    // After each test: nothing a helper could not do.
    void verifier() { QVERIFY2(pannes.isEmpty(), qPrintable(pannes.join(u'\n'))); }

    // The window of that name opened on the frame, its posted show and hide events handled.
    template <class F> static F* ouvrir(const QString& nom, kip::Cadre& cadre)
    {
        auto* f = qobject_cast<F*>(kip::ouvrirFenetre(nom, cadre));
        if (f)
            QTest::qWait(0);
        return f;
    }
    // The window of that kind on screen, if any (a closed one may wait for its deletion).
    template <class F> static F* ouverte(kip::Cadre& cadre)
    {
        for (F* f : cadre.zone()->findChildren<F*>())
            if (f->numeroFenetre() != 0)
                return f;
        return nullptr;
    }
};
