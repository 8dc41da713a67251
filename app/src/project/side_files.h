// The two side files a save writes beside the project file: the mass data
// file (.vtm), which the engine echoes, and the geometry file (.vtt), which
// the geometry viewer reads. A save always writes both with lines in them;
// an empty one beside a project file is damage the user is told of.
#pragma once

#include <QString>

namespace vortn {

// The message naming the empty side files of `projectFile` (empty: none).
QString EmptySideFilesNotice(const QString& projectFile);

}  // namespace vortn
