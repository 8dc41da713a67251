// The project file, block by block, and its two side files. Each block has
// one writer, which appends its lines, and one reader, which walks the same
// lines in the same order; both live side by side in the block's file.
//
//   title and options   TITLE=, MATRIX, GRAVITY=          project_title_block.cpp
//   foundation          FOUNDATION= .. INTERACTION        project_foundation_block.cpp
//   soil                SOIL .. BELOW=, SIDE-CAP/EMBEDDED project_soil_block.cpp
//   load                LOAD .. the load data             project_load_block.cpp
//   mass data           after RUN, and the .vtm file      project_mass_file.cpp
//   geometry            the .vtt file (writer only)       project_geometry_file.cpp
#pragma once

#include "program_data.h"
#include "project_holder.h"
#include "project_walker.h"

#include <QStringList>
#include <cstdint>
#include <vector>

namespace vortn {

// Everything a save derives from the project before it writes a line. The
// writers read it; the project takes it over only once the save succeeded.
struct TDeckPlan {
    bool pile = false, multi = false, half = false, stratum = false;
    uint8_t battered = 0;         // some pile has a batter angle, or the deck was battered already
    uint8_t weakZone = 0;         // some half-space layer has a weak-zone ratio, or it was set already
    uint8_t sideCap = 0;          // some pile-cap side layer has a weak-zone ratio, or it was set already
    int soilRows = 0;             // rows of D written (PILE: one per pile section)
    int belowRows = 0;            // MULTILAYER: Multisoil rows written after those of D
    int massCount = 0;            // mass components written
    Extended totalSoilDepth = 0;  // geometry file, defaults applied
    Extended geometryPileLength = 0;
    // How a refusal names them: by the values the user entered.
    QString totalSoilDepthName = QStringLiteral("the total soil depth");
    QString geometryPileLengthName = QStringLiteral("the pile length");
};

TDeckPlan DeriveDeckPlan(const TProgramData& p);

// The files of a project, in the order a save replaces them: the mass data
// file (.vtm), the geometry file (.vtt), the project file last.
std::vector<QString> ProjectFileSet(const QString& fileName);
// The project's side of a successful save.
void ApplyDeckPlan(TProgramData& p, const TDeckPlan& plan);

void WriteTitleBlock(const TProgramData& p, QStringList& lines);
void ReadTitleBlock(TProgramData& p, TDeckWalker& w);

void WriteFoundationBlock(const TProgramData& p, const TDeckPlan& plan, QStringList& lines);
void ReadFoundationBlock(TProgramData& p, TDeckWalker& w);

void WriteSoilBlock(const TProgramData& p, const TDeckPlan& plan, QStringList& lines);
void ReadSoilBlock(TProgramData& p, TDeckWalker& w);

void WriteLoadBlock(const TProgramData& p, QStringList& lines);
void ReadLoadBlock(TProgramData& p, TDeckWalker& w);

// The mass component lines that follow "RUN" in the project file; the mass
// data file holds the same lines, its centres only with mass components.
void WriteMassData(const TProgramData& p, const TDeckPlan& plan, QStringList& deckTail, QStringList& massFile);
void ReadMassData(TProgramData& p, TDeckWalker& w);

// Only the outside geometry viewer reads this file.
void WriteGeometryFile(const TProgramData& p, const TDeckPlan& plan, QStringList& lines);

}  // namespace vortn
