// Shared pieces of the project-file tests: a holder with the main window's
// tables, a scratch folder, sample projects of every foundation and load
// type, and (project_dump.h) a dump of everything a project file carries.
#pragma once

#include "project_dump.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace project_test {

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

inline void WriteBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// The lines of a file written with CR LF (each line must end with CR LF).
inline QStringList CrLfLines(const QByteArray& data) {
    QString text = QString::fromLatin1(data);
    EXPECT_TRUE(text.isEmpty() || text.endsWith(QStringLiteral("\r\n")));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    for (const QString& l : lines) EXPECT_FALSE(l.contains(QLatin1Char('\n')) || l.contains(QLatin1Char('\r'))) << l.toStdString();
    return lines;
}

enum class Foundation { HalfSpace, Pile, Stratum, Multilayer };
enum class Loading { Harmonic, Quadratic, Transient, Random };

inline const char* Word(Foundation f) {
    switch (f) {
        case Foundation::HalfSpace: return "HALF-SPACE";
        case Foundation::Pile: return "PILE";
        case Foundation::Stratum: return "STRATUM";
        case Foundation::Multilayer: return "MULTILAYER";
    }
    return "";
}
inline const char* Name(Loading l) {
    switch (l) {
        case Loading::Harmonic: return "harmonic";
        case Loading::Quadratic: return "quadratic";
        case Loading::Transient: return "transient";
        case Loading::Random: return "random";
    }
    return "";
}

inline void SetRow(TGridTable& t, int row, std::initializer_list<Extended> values) {
    int c = 0;
    for (Extended v : values) t.Cells(c++, row).SetAsFloat(v);
}

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        cwd_ = QDir::currentPath();
        holder_ = std::make_unique<TProjectHolder>();
    }
    // Opening a project makes its folder the current directory.
    void TearDown() override {
        holder_.reset();
        QDir::setCurrent(cwd_);
    }

    TProjectHolder& H() { return *holder_; }
    TProgramData& P() { return holder_->Project(); }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Saves the current project as `name` in the scratch folder.
    void SaveAs(const QString& name) {
        P().FileName = Path(name);
        P().SaveToFile();
    }
    QStringList DeckLines(const QString& name) { return CrLfLines(ReadBytes(Path(name))); }
    // Every file of the scratch folder, hidden ones (the save's temporary files) included.
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    // A physically sound project of the given kind, in SI units.
    void Build(Foundation f, Loading l, bool battered = false) {
        H().NewProject();
        TProgramData& p = P();
        p.Title = QStringLiteral("Sample %1 %2").arg(QLatin1String(Word(f)), QLatin1String(Name(l)));
        p.FoundationWord = QLatin1String(Word(f));
        p.FootingType = f == Foundation::HalfSpace ? 1 : f == Foundation::Pile ? 2 : f == Foundation::Stratum ? 3 : 4;
        p.CircularFlag = 0;
        p.Length = 4;
        p.Width = 3;
        p.TotalMass = 60;
        p.Ix = 90;
        p.Iy = 120;
        p.Iz = 150;
        p.Xc = 0;
        p.Yc = 0;
        p.Zc = 0.8;
        p.SoilVelocity = 250;
        p.SoilUnitWeight = 19;
        p.SoilPoisson = 0.35;
        p.SoilDamping = 0.05;
        TGridTable& mass = H().MassCal();
        mass.SetRowCount(2);
        SetRow(mass, 0, {40, 0, 0, 0.5, 4, 3, 1});
        SetRow(mass, 1, {20, 0.2, 0.1, 1.4, 1, 1, 0.5});
        p.CGx = 0.05;
        p.CGy = 0.03;
        p.CGz = 0.8;
        p.CBx = 0;
        p.CBy = 0;
        p.CBz = 0;
        switch (f) {
            case Foundation::HalfSpace: {
                TGridTable& d1 = H().D1();
                d1.SetRowCount(1);
                SetRow(d1, 0, {0.5, 150, 18, 0.33, 0.05, 0.5});
                break;
            }
            case Foundation::Stratum:
                p.BaseDepth = 0.5;
                p.BedRockDepth = 8;
                break;
            case Foundation::Pile: {
                p.FixedFlag = 1;
                p.InteractionFlag = 1;
                p.PileLength = 10;
                p.PileUnitWeight = 24;
                p.StaticLoad = 600;
                p.PilePoisson = 0.25;
                p.PileDamping = 0.02;
                p.ShearCoefficient = 0.85;
                p.PileModulus = 2.5e7;
                TGridTable& c = H().Pilecoord();
                c.SetRowCount(4);
                SetRow(c, 0, {-1, -1, 0});
                SetRow(c, 1, {1, -1, 0});
                SetRow(c, 2, {-1, 1, 0});
                SetRow(c, 3, {1, 1, 0});
                if (battered) {
                    c.Cells(2, 1).SetAsFloat(10);
                    c.Cells(2, 3).SetAsFloat(8);
                    c.Cells(3, 3).SetAsInteger(2);
                }
                TGridTable& e = H().PileData();
                e.SetRowCount(2);
                SetRow(e, 0, {5, 0.25, 0.25, 0.19635, 0.0030680, 0.0030680, 0.0061359});
                SetRow(e, 1, {5, 0.25, 0.25, 0.19635, 0.0030680, 0.0030680, 0.0061359});
                TGridTable& d = H().D();
                d.SetRowCount(2);
                SetRow(d, 0, {150, 18, 0.33, 0.05, 0.5});
                SetRow(d, 1, {200, 18.5, 0.33, 0.05, 1});
                TGridTable& s = H().pilecapsoil();
                s.SetRowCount(1);
                SetRow(s, 0, {0.6, 140, 17.5, 0.3, 0.05, 0});
                break;
            }
            case Foundation::Multilayer: {
                p.PileLength = 3;
                p.PileUnitWeight = 24;
                p.StaticLoad = 600;
                p.PilePoisson = 0.2;
                p.PileDamping = 0.02;
                p.ShearCoefficient = 0.85;
                p.PileModulus = 2.5e7;
                TGridTable& e = H().MultiElement();
                e.SetRowCount(3);
                for (int r = 0; r < 3; ++r) SetRow(e, r, {1, 2, 1.5, 12, 9, 16, 25});
                TGridTable& d = H().D();
                d.SetRowCount(2);
                SetRow(d, 0, {150, 18, 0.33, 0.05, 0.5});
                SetRow(d, 1, {180, 18, 0.33, 0.05, 0.6});
                TGridTable& s = H().Multisoil();
                s.SetRowCount(1);
                SetRow(s, 0, {220, 18.5, 0.33, 0.05, 1, 1});
                break;
            }
        }
        switch (l) {
            case Loading::Harmonic:
            case Loading::Quadratic:
                p.LoadingCode = 1;
                p.QuadraticFlag = l == Loading::Quadratic ? 1 : 0;
                p.MaxFrequency = 40;
                p.MinFrequency = 2;
                p.FrequencyStep = 2;
                p.Fx = l == Loading::Quadratic ? 0.02 : 10;
                p.Fz = l == Loading::Quadratic ? 0.05 : 20;
                p.My = l == Loading::Quadratic ? 0.01 : 5;
                p.LoadX = 0.1;
                p.LoadY = 0.2;
                p.LoadZ = 0.3;
                break;
            case Loading::Transient: {
                p.LoadingCode = 2;
                p.NumberOfPoints = 64;
                p.TimeInterval = 0.01;
                TGridTable& t = H().TLoadtype();
                t.SetRowCount(2);
                t.Cells(0, 0).SetAsInteger(1);
                t.Cells(0, 1).SetAsInteger(3);
                for (int r = 0; r < 2; ++r) {
                    TGridTable* sub = t.Cells(1, r).AsObject();
                    sub->SetRowCount(64);
                    for (int k = 0; k < 64; ++k) sub->Cells(0, k).SetAsFloat(k < 8 ? (r + 1) * 10.0L * k : 0);
                }
                p.NumberOfLoadTypes = 2;
                break;
            }
            case Loading::Random: {
                p.LoadingCode = 3;
                p.RandomMaxFrequency = 20;
                p.RandomMinFrequency = 1;
                p.NumberOfPoints = 20;
                p.ObservationPeriod = 10;
                TGridTable& t = H().Trandom();
                t.SetRowCount(1);
                t.Cells(0, 0).SetAsInteger(3);
                TGridTable* sub = t.Cells(1, 0).AsObject();
                sub->SetRowCount(20);
                for (int k = 0; k < 20; ++k) sub->Cells(0, k).SetAsFloat(1 + 0.1L * k);
                p.NumberOfLoadTypes = 1;
                break;
            }
        }
    }

    std::unique_ptr<TProjectHolder> holder_;
    QTemporaryDir dir_;
    QString cwd_;
};

}  // namespace project_test
