// The punch rules in one include: day assignment, merge, programme line, day total, week rounding and the
// rounding codes. The transfer applies rules 1 to 4 in this order to every raw punch.
#pragma once

#include "ArrondirSemaine.h"
#include "CalculerProgramme.h"
#include "CalculerTotal.h"
#include "ChoisirJournee.h"
#include "CodesArrondi.h"
#include "InsererPointage.h"
