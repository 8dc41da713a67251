// Rigid-body mass properties of a foundation built from homogeneous
// rectangular blocks (the rows of the mass-component table): total mass,
// centre of gravity and the moments and products of inertia about it.
#pragma once

#include <vector>

namespace vortn {

using Extended = long double;

struct TVector3 {
    Extended x = 0, y = 0, z = 0;
};

// One block: mass m centred at (x, y, z), sizes a (x), b (y), c (z).
struct TMassComponent {
    Extended m = 0, x = 0, y = 0, z = 0, a = 0, b = 0, c = 0;
};

struct TMassProperties {
    bool hasRows = false;  // the total mass box is set only when there are rows
    Extended totalMass = 0;
    TVector3 cg;  // the previous C.G. when the total mass is not above 0
    Extended Ix = 0, Iy = 0, Iz = 0;
    // As the dialog shows them: the X-Y product as summed, the two products
    // that involve z negated.
    Extended Ixy = 0, Ixz = 0, Iyz = 0;
};

TMassProperties ComputeMassProperties(const std::vector<TMassComponent>& rows, const TVector3& previousCG);

// The centre of base in the global frame: origin at the C.G., x and y axes
// parallel to the local ones, z axis reversed.
TVector3 CentreOfBaseGlobal(const TVector3& cbLocal, const TVector3& cg);

}  // namespace vortn
