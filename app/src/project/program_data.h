// The project object: every scalar input of a project (file names, title,
// foundation and loading choices, footing and pile constants, mass values,
// soil below, load description). Tabular data lives in the thirteen grid
// tables of the project holder; the writer and the reader of the project
// files reach them through it.
#pragma once

#include "project_codes.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace vortn {

using Extended = long double;

class TProjectHolder;

// The file name of a new project until it is saved under a name of its own.
inline const QString kNewProjectFileName = QStringLiteral("NewData.vtd");
inline bool IsNewProjectFile(const QString& fileName) { return fileName == kNewProjectFileName; }

// The most transient or random load points a project file holds: far above
// what the engine accepts (1024 transient, 200 random points); the reader
// takes a larger count in a file for damage, the writer writes none, and
// the load dialogs' count boxes take none.
inline constexpr int kMaxLoadPoints = 100000;

// The largest project file the reader takes in. It holds a file in memory
// several times over while it reads, so a larger one is refused before it
// is read: a project never comes near it (kMaxLoadPoints values for each of
// the six load directions take about 10 MB).
inline constexpr qint64 kMaxProjectFileBytes = qint64(64) * 1024 * 1024;

// Why `fileName` is too large to be read as a project file; empty when it
// is not.
QString ProjectFileTooLarge(const QString& fileName);

// The program's version ("3.0"): caption, About box, names file, file
// filter and settings group.
QString ProgramVersion();

// The organisation and program names ("Tessik", "VORT-N") the settings
// store is kept under; set once, before the first QSettings.
void SetProgramNames();

class TProgramData {
public:
    // ---- fields, in declaration order ----
    int UnitSystem = 0;        // 1 English (lbs, slug, ft), 2 SI (kN, Mg, m)
    QString FileName;          // full path of the project file (.vtd)
    QString GeometryFileName;  // .vtt, set by the writer
    QString MassFileName;      // .vtm, set by the writer
    QString FoundationWord;    // "HALF-SPACE", "PILE", "STRATUM" or "MULTILAYER"
    QString LoadingWord;       // raw line after "LOAD" of the last file read
    int FootingType = 0;       // 1 HALF-SPACE, 2 PILE, 3 STRATUM, 4 MULTILAYER
    QString Title;
    int MassCount = 0;           // mass components written to the last saved file
    Extended SumPileLength = 0;  // kept by the side views

    Extended TotalMass = 0;
    Extended Ix = 0, Iy = 0, Iz = 0;     // mass moments of inertia
    Extended Ixy = 0, Ixz = 0, Iyz = 0;  // products of inertia

    Extended Xc = 0, Yc = 0, Zc = 0;  // centre of the footing / pile-cap base
    Extended PileLength = 0;
    Extended PileUnitWeight = 0;
    Extended StaticLoad = 0;
    Extended PilePoisson = 0;
    Extended PileDamping = 0;
    Extended ShearCoefficient = 0;
    Extended BaseDepth = 0;
    Extended BedRockDepth = 0;

    Extended CGx = 0, CGy = 0, CGz = 0;  // centre of gravity, local frame
    Extended CBX = 0, CBY = 0, CBZ = 0;  // centre of base, global frame
    Extended CBx = 0, CBy = 0, CBz = 0;  // centre of base, local frame

    Extended MaxFrequency = 0, MinFrequency = 0, FrequencyStep = 0;  // harmonic, Hz
    Extended Fx = 0, Fy = 0, Fz = 0;                                 // forces (coefficients when quadratic)
    Extended Mx = 0, My = 0, Mz = 0;                                 // moments (coefficients when quadratic)
    Extended LoadX = 0, LoadY = 0, LoadZ = 0;
    int LoadReference = 0;  // 0 C.G. (global), 1 centre of base (local)

    // Soil below the footing or pile tip, in this order in memory.
    Extended SoilVelocity = 0;
    Extended SoilUnitWeight = 0;
    Extended SoilDamping = 0;
    Extended SoilPoisson = 0;

    int FixedFlag = 0;       // 1 FIXED, 0 PINNED
    int CircularFlag = 0;    // 1 circular, 0 rectangular
    int EndBearingFlag = 0;  // 1 END-BEARING, 0 FLOATING
    QString ConnectionWord;  // pile dialog choices
    QString TipWord;
    QString InteractionWord;
    Extended Radius = 0;
    Extended Length = 0;
    Extended Width = 0;
    Extended TotalSoilDepth = 0;  // computed by the writer for the geometry file
    int MatrixFlag = 0;           // 1: write "MATRIX"
    int LoadingCode = 0;          // 1 harmonic, 2 transient, 3 random
    int InteractionFlag = 0;      // 1: "INTERACTION"
    Extended PileModulus = 0;
    Extended TimeInterval = 0;                                // transient
    Extended RandomMaxFrequency = 0, RandomMinFrequency = 0;  // random, Hz
    Extended ObservationPeriod = 0;
    int NumberOfPoints = 0;     // transient and random
    int NumberOfLoadTypes = 0;  // transient: load types; random: spectra
    int QuadraticFlag = 0;      // 1 QUADRATIC harmonic load
    uint8_t BatteredFlag = 0;   // some pile has a non-zero batter angle
    uint8_t SideCapFlag = 0;    // some pile-cap side layer has a weak-zone ratio
    uint8_t WeakZoneFlag = 0;   // some soil layer has a weak-zone ratio

    // ---- construction ----
    // The default project (closes the holder's child windows, switches
    // everything to SI, empties the tables to one zero row each).
    static std::unique_ptr<TProgramData> CreateDefault(TProjectHolder& holder);
    // The default project's values, without touching the tables.
    void SetDefaultFields();
    // Builds the project from a project file. Reading errors are reported
    // through the holder's message hook; what was read up to there stays
    // and the result is always a usable project. filterIndex is ignored.
    static std::unique_ptr<TProgramData> CreateFromFile(TProjectHolder& holder, const QString& fileName,
                                                        int filterIndex = 0);

    // Writes the .vtd, .vtm and .vtt files as a whole: all three are
    // replaced or none is. A value that cannot be written or a file that
    // cannot be replaced raises EInOutError with the message, leaves the old
    // files and the project as they were and the project marked modified.
    void SaveToFile();

    // Converts every stored quantity to unit system `target` (clamped to
    // 1..2), then the holder's tables and open dialogs.
    void SetUnits(int target);

    // ---- the codes as their types ----
    // The type of the foundation word; None for a word outside the list.
    TFoundationType FoundationType() const { return FoundationTypeOfWord(FoundationWord); }
    // The footing type last derived from a word of the list.
    TFoundationType Footing() const { return FoundationTypeOfCode(FootingType); }
    void SetFooting(TFoundationType type) { FootingType = CodeOf(type); }
    // The footing type follows a word of the list; another word keeps it.
    void SetFootingFromWord() {
        if (const TFoundationType type = FoundationType(); type != TFoundationType::None) SetFooting(type);
    }
    // What the views draw: the word's type, else the last footing type.
    TFoundationType FoundationOrFooting() const {
        const TFoundationType type = FoundationType();
        return type != TFoundationType::None ? type : Footing();
    }
    TLoadingType Loading() const { return LoadingTypeOfCode(LoadingCode); }
    void SetLoading(TLoadingType type) { LoadingCode = CodeOf(type); }
    TUnitSystem Units() const { return UnitSystemOfCode(UnitSystem); }

    TProjectHolder& Holder() const { return *holder_; }

    explicit TProgramData(TProjectHolder& holder) : holder_(&holder) {}

private:
    TProjectHolder* holder_;
};

// General format with 8 significant digits, "." as decimal separator:
// fixed notation unless the value needs more than 8 integer digits or its
// magnitude is below 0.00001; "E" exponent without "+" or leading zeros.
QString FloatText(Extended x);
// The 23-character scientific form of the tail reals: " 3.20000000000000E+0001".
QString TailReal(Extended x);
int TextLength(const QString& s);
// 1-based position of the first ","; length + 1 when there is none.
int CommaPos(const QString& s);
// 1-based position of the first blank; length + 1 when there is none.
int BlankPos(const QString& s);
// The file name with its extension replaced (or appended when it has none).
QString ChangeFileExt(const QString& fileName, const QString& extension);

}  // namespace vortn
