// The program's icon: a foundation block on layered soil, drawn at the
// usual icon sizes.
#pragma once

#include <QIcon>

namespace vortn {

QIcon ProgramIcon();

}  // namespace vortn
