// Whether the results beside a project are those of its present input: the
// plot data of a run is written after the save that run starts with, so
// plot data older than the project file comes from an earlier input (a run
// killed with the program leaves the last completed run's plot data beside
// the input it was started with).
#pragma once

#include <QByteArray>
#include <QString>

namespace vortn {

// True when `plotFile` was last written before `projectFile`; false when
// either is missing or their times are equal.
bool ResultsOlderThanProject(const QString& projectFile, const QString& plotFile);

// What a run reads of a project: its deck and its mass data file, as bytes
// ("" for a file that cannot be read).
struct TEngineInput {
    QByteArray deck, mass;
    bool operator==(const TEngineInput&) const = default;
};
TEngineInput ReadEngineInput(const QString& projectFile);

// Dates `file` with the present time (nothing is written); false when it
// cannot.
bool TouchFile(const QString& file);

// What the main window says when it loads such results.
QString OlderResultsMessage(const QString& plotFile);

}  // namespace vortn
