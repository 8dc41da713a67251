// How the program names project files: the caption's display name and the
// project the command line asks for.
#pragma once

#include <QString>

namespace vortn {

// The file name without its folder; ".vtd" (any case) dropped; the first
// letter upper-cased when more than one character remains.
QString GetDisplayName(const QString& fileName);

// The command-line argument as a project file name: ".vtd" appended when the
// file-name part holds no "."; made absolute against `currentDir`.
QString CommandLineProjectName(const QString& argument, const QString& currentDir);

}  // namespace vortn
