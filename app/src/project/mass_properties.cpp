#include "mass_properties.h"

namespace vortn {

TMassProperties ComputeMassProperties(const std::vector<TMassComponent>& rows, const TVector3& previousCG) {
    TMassProperties r;
    r.hasRows = !rows.empty();
    Extended M = 0, Sx = 0, Sy = 0, Sz = 0;
    for (const TMassComponent& c : rows) {
        M += c.m;
        Sx += c.m * c.x;
        Sy += c.m * c.y;
        Sz += c.m * c.z;
    }
    r.totalMass = M;
    r.cg = previousCG;
    if (M > 0) r.cg = {Sx / M, Sy / M, Sz / M};
    Extended Pxy = 0, Pxz = 0, Pyz = 0;
    for (const TMassComponent& c : rows) {
        const Extended dx = c.x - r.cg.x, dy = c.y - r.cg.y, dz = c.z - r.cg.z;
        r.Ix += c.m * (dy * dy + dz * dz) + c.m * (c.b * c.b + c.c * c.c) / 12;
        r.Iy += c.m * (dx * dx + dz * dz) + c.m * (c.c * c.c + c.a * c.a) / 12;
        r.Iz += c.m * (dy * dy + dx * dx) + c.m * (c.b * c.b + c.a * c.a) / 12;
        Pxy += c.m * dy * dx;
        Pxz += c.m * dz * dx;
        Pyz += c.m * dy * dz;
    }
    r.Ixy = Pxy;
    r.Ixz = -Pxz;
    r.Iyz = -Pyz;
    return r;
}

TVector3 CentreOfBaseGlobal(const TVector3& cbLocal, const TVector3& cg) {
    return {cbLocal.x - cg.x, cbLocal.y - cg.y, -(cbLocal.z - cg.z)};
}

}  // namespace vortn
