// The Kip program.
#include "apps/Poste.h"

int main(int argc, char** argv)
{
    return kip::lancerPoste(kip::Program::Kip, argc, argv);
}
