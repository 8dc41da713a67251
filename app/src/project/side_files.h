// The two side files a save writes beside the project file: the mass data
// file (.vtm), which the engine echoes, and the geometry file (.vtt), which
// the geometry viewer reads. A save always writes both with lines in them;
// an empty one beside a project file is damage the user is told of.
#pragma once

#include <QString>

namespace vortn {

// The message naming the empty side files of `projectFile` (empty: none).
QString EmptySideFilesNotice(const QString& projectFile);

// The side files and run outputs of a project take its name with the
// extension replaced, so a project not named .vtd shares them with a .vtd
// project of the same stem beside it ("pump.bak" and "pump.vtd" both have
// "pump.vtm"). The other project file beside `projectFile` whose side files
// and outputs those are, or empty: a .vtd project owns its names.
QString OtherOwnerOfSideFiles(const QString& projectFile);

// Why a save of `projectFile` is refused because its side files belong to
// `owner` (OtherOwnerOfSideFiles), naming both.
QString SideFilesOwnerRefusal(const QString& projectFile, const QString& owner);

}  // namespace vortn
