// The Kip program.
#include "apps/Poste.h"
#include "punch/windows/SaisieParametre.h"
#include "utilities/windows/Utilitaires.h"

int main(int argc, char** argv)
{
    return kip::lancerPoste(kip::Program::Kip, argc, argv, [] {
        kip::enregistrerSaisieParametre();
        kip::enregistrerUtilitaires();
    });
}
