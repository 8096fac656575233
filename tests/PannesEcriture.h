// Runs a writer against a full or failing disk at every one of its writes: once to count its operations, then
// once per kind of fault and per operation, each time checking what the disk holds afterwards. The fault stays
// until the run ends, as a full disk does, so that a run under a fault must report its failure; a last round
// makes one write short and lets the next ones through, which the writer must finish.
#pragma once

#include "data/WriteFaults.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>

struct BilanPannes
{
    int operations = 0; // the writes and syncs of one run without a fault
    int essais = 0;
    int echecs = 0;     // runs that left a partial file, lost the former one or reported success wrongly
    QStringList pertes; // what went wrong, one line per failed run (the first few)

    void imprimer(const char* ecrivain) const
    {
        std::printf("[pannes] %-28s operations %3d  essais %4d  echecs %3d%s%s\n", ecrivain, operations, essais, echecs,
                    pertes.isEmpty() ? "" : "  ", pertes.isEmpty() ? "" : qPrintable(pertes.first()));
    }
};

// preparer() puts the files back as they were before the write; ecrire() runs the writer and says whether it
// reported success; verifier(reussi) says what is wrong on disk after a run (empty when nothing is).
inline BilanPannes essayerChaquePanne(const std::function<void()>& preparer, const std::function<bool()>& ecrire,
                                      const std::function<QString(bool reussi)>& verifier)
{
    BilanPannes b;
    preparer();
    kip::countWriteOperations();
    const bool reference = ecrire();
    b.operations = kip::writeOperationsSeen();
    kip::clearWriteFault();
    if (const QString faute = verifier(reference); !reference || !faute.isEmpty()) {
        b.echecs = 1;
        b.pertes << QStringLiteral("sans panne: ") + (reference ? faute : QStringLiteral("échec"));
        return b;
    }
    // A short write alone, the disk taking the rest at the next write: a writer that stops there and reports
    // success has committed half a file.
    const struct
    {
        kip::WriteFaultKind genre;
        int nombre;
        const char* nom;
    } pannes[] = {{kip::WriteFaultKind::ShortWrite, 0, "court"},
                  {kip::WriteFaultKind::NoSpace, 0, "plein"},
                  {kip::WriteFaultKind::IoError, 0, "es"},
                  {kip::WriteFaultKind::ShortWrite, 1, "court seul"}};
    for (const auto& p : pannes) {
        for (int n = 1; n <= b.operations; ++n) {
            preparer();
            bool reussi = false;
            {
                const kip::ScopedWriteFault panne({p.genre, n, p.nombre});
                reussi = ecrire();
            }
            ++b.essais;
            // The disk stays full from the fault on: a writer that says it succeeded ignored a failed write.
            QString faute = reussi && p.nombre == 0 ? QStringLiteral("succès annoncé malgré la panne") : QString();
            if (faute.isEmpty())
                faute = verifier(reussi);
            if (!faute.isEmpty()) {
                ++b.echecs;
                if (b.pertes.size() < 5)
                    b.pertes << QStringLiteral("%1:%2: %3").arg(QLatin1String(p.nom)).arg(n).arg(faute);
            }
        }
    }
    return b;
}
