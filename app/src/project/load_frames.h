// The two frames of the harmonic load's point of application and the
// transfer of the load to the centre of gravity.
//   global: origin at the C.G., z axis up-side down against the local one;
//   local:  the frame of the mass components (centre of base given in it).
#pragma once

#include "mass_properties.h"

#include <QString>

namespace vortn {

// x(C.B.), y(C.B.), z(C.B.) local and the base coordinates Xc, Yc, Zc.
struct TFrameLink {
    TVector3 cbLocal;
    TVector3 base;
};

TVector3 LocalToGlobal(const TVector3& p, const TFrameLink& link);
TVector3 GlobalToLocal(const TVector3& p, const TFrameLink& link);

// Moments about the C.G. of forces F and moments M acting at P (global):
// M' = M - P x F.
TVector3 MomentsAtCG(const TVector3& F, const TVector3& M, const TVector3& P);

// The message of the transfer button. `quadratic` picks coefficient words
// and units; unitSystem 2 gives SI units, any other English.
QString EquivalentLoadsText(bool quadratic, int unitSystem, const TVector3& F, const TVector3& Mcg);

}  // namespace vortn
