// The main window's menus: every item with its caption and shortcut.
#include "main_form.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

using namespace vortn;

namespace {

struct MenuItem {
    const char* name;
    const char* caption;
    const char* shortcut;
};

void PrintTo(const MenuItem& m, std::ostream* os) { *os << m.name; }

const MenuItem kItems[] = {
    {"FileNew", "&New", "Ctrl+N"},
    {"FileOpen", "&Open...", "Ctrl+O"},
    {"FileSave", "&Save", "Ctrl+S"},
    {"FileSaveAs", "Save &As...", ""},
    {"FileSaveBitmap", "Save Bitmap", ""},
    {"FilePageSetup", "Page Setup", ""},
    {"FilePrintPage", "Print Page", ""},
    {"FileExit", "E&xit", ""},
    {"DataTitle", "&Title", ""},
    {"UnitsEnglish", "&English Units (lbs, slug, ft)", ""},
    {"UnitsSI", "&SI Units (kN, Mg, m)", ""},
    {"DataLayout", "Option of Foundation System", ""},
    {"LoadHarmonic", "Harmonic Loading", ""},
    {"LoadTransient", "Transient Loading", ""},
    {"LoadRandom", "Random Loading", ""},
    {"DataShape", "Option of Foundation Shape", ""},
    {"DataPileCapShape", "Pile Cap Shape/Dimension", ""},
    {"DataMass", "Footing Mass Parameters", ""},
    {"DataFoundation", "Foundation Dimension and Constants", ""},
    {"DataFoundationLayer", "Foundation Layer", ""},
    {"DataPileCapMass", "Pile Cap Mass Properties", ""},
    {"DataPileCoordinates", "Pile Coordinates", ""},
    {"DataPileProperties", "&Pile Properties", ""},
    {"DataPileElements", "Pile Elements", ""},
    {"DataSoilLayer", "Soil &Layer Data", ""},
    {"DataSoilBelow", "Soil Data Below Footing/PileTip", ""},
    {"DataSoilColumn", "Soil Column Layer", ""},
    {"HarmonicQuadratic", "Quadratic", ""},
    {"HarmonicNonQuadratic", "NonQuadratic", ""},
    {"DataTransient", "Transient Loading Data", ""},
    {"DataRandom", "Random Loading Data", ""},
    {"DataOptions", "Control &Options...", ""},
    {"CompRun", "&Run Analysis", ""},
    {"CompInput", "Edit I&nput Text", ""},
    {"CompKernel", "Edit &Processor-Run Notes", ""},
    {"CompOutput", "Edit &Output Text", ""},
    {"GraphKXX", "&Translational Stiffness (Kxx, Kyy, Kww)", ""},
    {"GraphKPPX", "Rotational Stiffness (Kppx, Kppy, Kzt)", ""},
    {"GraphCXX", "Translational Damping (Cxx, Cyy, Cww)", ""},
    {"GraphCPPX", "Rotational Damping (Cppx, Cppy, Czt)", ""},
    {"GraphDisp", "Footing Response Amplitude (Displacement)", ""},
    {"GraphRot", "Footing Response Amplitude (Rotation)", ""},
    {"GraphAmp", "Interactive Footing Response Amplitude ", ""},
    {"N3DView1", "3D View", ""},
    {"ViewTop", "Top View", ""},
    {"ViewSideXZ", "Side View (XZ-Plane)", ""},
    {"ViewSideYZ", "Side View (YZ-Plane)", ""},
    {"View3D", "3D View", ""},
    {"Show3DFoundation", "Foundation", ""},
    {"Show3DPiles", "Piles", ""},
    {"Show3DPileNumbers", "Pile Numbers", ""},
    {"Show3DSoilLayers", "Soil Layers", ""},
    {"Show3DSoilLabels", "Soil Layer Labels", ""},
    {"Show3DDepthLabels", "Soil Layer Depth Labels", ""},
    {"WindowCascade", "&Cascade", ""},
    {"WindowArrange", "&Arrange Icons", ""},
    {"HelpContents", "&Contents", ""},
    {"HelpManual", "&User's Manual", ""},
    {"HelpAbout", "&About...", ""},
    {"HelpUpdates", "Check for &Updates", ""},
};

class MainFormMenuItem : public ::testing::TestWithParam<MenuItem> {};

TEST_P(MainFormMenuItem, HasItsCaptionAndShortcut) {
    TMainForm form;
    const MenuItem& m = GetParam();
    auto* action = form.findChild<QAction*>(QLatin1String(m.name));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QLatin1String(m.caption));
    EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(m.shortcut)));
}

INSTANTIATE_TEST_SUITE_P(All, MainFormMenuItem, ::testing::ValuesIn(kItems));

TEST(MainFormMenus, MenuBarOrderAndSubmenus) {
    TMainForm form;
    QStringList titles;
    for (QAction* a : form.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Data", "&Computation", "&Graphics", "View Geometry", "Show 3D View",
                                   "&Window", "&Help"}));
    Ui::TMainForm& f = form.Form();
    EXPECT_EQ(f.DataUnits->title(), QStringLiteral("&Units"));
    EXPECT_EQ(f.DataLoadOption->title(), QStringLiteral("Option of Loading"));
    EXPECT_EQ(f.DataHarmonic->title(), QStringLiteral("Harmonic Loading Data"));
    // Hidden at start: the viewer item, the 3D view's menu, toolbar and File items.
    EXPECT_FALSE(f.N3DView1->isVisible());
    EXPECT_FALSE(f.Show3DMenu->menuAction()->isVisible());
    EXPECT_TRUE(f.ToolBar1->isHidden());
    for (QAction* a : {f.FileSaveBitmap, f.FilePageSetup, f.FilePrintPage}) EXPECT_FALSE(a->isVisible());
}

}  // namespace
