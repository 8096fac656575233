// One job on a worker thread, the way every long job of the programs runs: the work runs on the thread pool
// with a connection of its own, tells its progress by a queued signal, and its result is handed over on the
// thread of the job object (the GUI thread) just before terminee. Destroying the job asks the work to stop and
// waits for it: a job's writes are committed whole or not at all, and nothing the work uses outlives it.
//
// The work owns what it uses (captured by value): the wait happens in this base's destructor, after the
// members of a derived job are gone, so a derived job adds no member that its work reads.
#pragma once

#include "Files.h"

#include <QFuture>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <variant>
#include <vector>

namespace kip {

// What a job tells of its progress: done out of total, and what it is on (a step's name, or the employee in
// hand: name and card).
struct Avancement
{
    int fait = 0;
    int total = 0;
    QString texte;
    qint16 carte = 0;
};

class Tache;

// What the work sees of its job, on the worker thread.
class SuiviTache
{
public:
    explicit SuiviTache(Tache& tache) : m_tache(tache) {}
    void avancer(int fait, int total, const QString& texte = {}, qint16 carte = 0) const;
    bool annulee() const;
    // The flag itself, for core code that reads it after each record.
    const std::atomic<bool>* annulation() const;

private:
    Tache& m_tache;
};

class Tache : public QObject
{
    Q_OBJECT

public:
    explicit Tache(QObject* parent = nullptr);
    ~Tache() override;

    // Asks the work to stop; each job says where it looks (after the record in hand, after a step).
    void annuler() { m_annulee = true; }
    // Started, and its end not yet handed over.
    bool enCours() const { return m_enCours; }
    // Opens files through their open counts on this thread before the work starts, and holds them until the
    // job is destroyed: a repair question of the common open is then never waited for by the worker while
    // this thread waits for the worker.
    void tenir(std::initializer_list<FileId> fichiers);

Q_SIGNALS:
    void progression(const kip::Avancement& avancement);
    void terminee();

protected:
    // What to do on this object's thread before terminee: hand the result over.
    using Remise = std::function<void()>;
    // Runs travail on the thread pool; what it gives back is done on this object's thread, then terminee.
    void executer(std::function<Remise(const SuiviTache&)> travail);

private:
    friend class SuiviTache;

    std::atomic<bool> m_annulee{false};
    bool m_enCours = false;
    std::vector<std::unique_ptr<FileUse>> m_fichiers;
    QFuture<void> m_future;
};

// A job whose work gives back a Resultat (or nothing, for void): demarrer(travail) runs
// Resultat travail(const SuiviTache&) on a worker; terminee follows, the result then in resultat().
template <class Resultat> class TacheDe : public Tache
{
public:
    using Tache::Tache;

    template <class Travail> void demarrer(Travail travail)
    {
        executer([this, travail = std::move(travail)](const SuiviTache& suivi) -> Remise {
            if constexpr (std::is_void_v<Resultat>) {
                travail(suivi);
                return {};
            } else {
                auto r = std::make_shared<Resultat>(travail(suivi));
                return [this, r] { m_resultat = std::move(*r); };
            }
        });
    }

    // What the work gave back (nothing to read for a job without a result).
    using Valeur = std::conditional_t<std::is_void_v<Resultat>, std::monostate, Resultat>;
    const Valeur& resultat() const { return m_resultat; }
    Valeur& resultat() { return m_resultat; }

private:
    Valeur m_resultat{};
};

} // namespace kip
