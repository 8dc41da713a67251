// Which menu items the main window enables: the Data menu by foundation
// type, the Graphics menu by the loaded results, the Computation menu by the
// files present.
#include "front_end_fixture.h"

using namespace vortn;
using namespace vortn::test;

namespace {

// A plot-data file of one frequency beside the example project opened in the fixture's folder.
QString OpenWithOnePointResults(TMainForm& form, const QString& folder) {
    form.OpenFileName(CopyExampleTo(QStringLiteral("project-half-space"), folder));
    QFile vtp(folder + QStringLiteral("/project-half-space.vtp"));
    EXPECT_TRUE(vtp.open(QIODevice::WriteOnly));
    vtp.write("1\n");
    return vtp.fileName();
}

struct DataCase {
    const char* word;
    int footingType;
    bool pile, footing, layer, sideSoil, column;
    const char* sideCaption;
};
void PrintTo(const DataCase& c, std::ostream* os) { *os << c.word; }

class DataMenuEnabling : public FrontEndFixture, public ::testing::WithParamInterface<DataCase> {};

TEST_P(DataMenuEnabling, FollowsTheFoundationType) {
    const DataCase& c = GetParam();
    Form().Project().FoundationWord = QLatin1String(c.word);
    Form().Project().FootingType = c.footingType;
    Form().DataMenuClick();
    Ui::TMainForm& f = Ui();
    // Table items (the dialog items follow the same rule once their dialogs exist).
    EXPECT_EQ(f.DataPileElements->isEnabled(), c.pile);
    EXPECT_EQ(f.DataFoundation->isEnabled(), c.footing);
    EXPECT_EQ(f.DataPileCoordinates->isEnabled(), c.pile);
    EXPECT_EQ(f.DataSoilLayer->isEnabled(), c.pile);
    EXPECT_EQ(f.DataFoundationLayer->isEnabled(), c.layer);
    EXPECT_EQ(f.DataSideSoil->isEnabled(), c.sideSoil);
    EXPECT_EQ(f.DataSideSoil->text(), QLatin1String(c.sideCaption));
    EXPECT_EQ(f.DataSoilColumn->isEnabled(), c.column);
}

INSTANTIATE_TEST_SUITE_P(
        Types, DataMenuEnabling,
        ::testing::Values(DataCase{"HALF-SPACE", 1, false, true, false, true, false, "Side Soil of Fondation"},
                          DataCase{"PILE", 2, true, false, false, true, false, "Side Soil of Pile Cap"},
                          DataCase{"STRATUM", 3, false, true, false, false, false, "Side Soil"},
                          DataCase{"MULTILAYER", 4, false, true, true, true, true, "Side Soil of Fondation"},
                          // A word outside the list enables none of them and keeps the caption.
                          DataCase{"pile", 2, false, false, false, false, false, "Side Soil of Fondation"}),
        [](const auto& info) { return std::string(info.param.word).substr(0, 4); });

// The items that open a table or dialog choose it by the footing type code.
struct FootingItemsCase {
    int footingType;
    const char* sideSoil;    // table the side-soil item shows; "" none
    bool soilLayer;          // the soil-layer item shows D
    TDialogKind foundation;  // dialog the foundation item opens
    bool opensFoundation;
};
void PrintTo(const FootingItemsCase& c, std::ostream* os) { *os << c.footingType; }

class FootingItems : public FrontEndFixture, public ::testing::WithParamInterface<FootingItemsCase> {
protected:
    QStringList ShownTables() {
        QStringList shown;
        for (TGridTable* t : Form().Holder().Tables())
            if (t->Editor()) shown << t->Name;
        return shown;
    }
};

TEST_P(FootingItems, OpenWhatTheFootingTypeNeeds) {
    const FootingItemsCase& c = GetParam();
    Form().Project().FootingType = c.footingType;
    Form().DataSideSoilClick();
    EXPECT_EQ(ShownTables(), *c.sideSoil ? QStringList{QLatin1String(c.sideSoil)} : QStringList{});
    for (TGridTable* t : Form().Holder().Tables()) t->CloseEditor();
    Form().DataSoilLayerClick();
    EXPECT_EQ(ShownTables(), c.soilLayer ? QStringList{QStringLiteral("D")} : QStringList{});
    Form().DataFoundationClick();
    const TDialogHost& d = Form().Dialogs();
    EXPECT_EQ(d.IsOpen(TDialogKind::FoundationData), c.opensFoundation && c.foundation == TDialogKind::FoundationData);
    EXPECT_EQ(d.IsOpen(TDialogKind::FoundationProperties),
              c.opensFoundation && c.foundation == TDialogKind::FoundationProperties);
}

INSTANTIATE_TEST_SUITE_P(Codes, FootingItems,
                         ::testing::Values(FootingItemsCase{1, "D1", false, TDialogKind::FoundationData, true},
                                           FootingItemsCase{2, "pilecapsoil", true, TDialogKind::FoundationData, false},
                                           FootingItemsCase{3, "D", false, TDialogKind::FoundationData, true},
                                           FootingItemsCase{4, "D", false, TDialogKind::FoundationProperties, true},
                                           FootingItemsCase{0, "", false, TDialogKind::FoundationData, false}),
                         [](const auto& info) { return "Type" + std::to_string(info.param.footingType); });

TEST_F(FrontEndFixture, PileItemsFollowTheFoundationWord) {
    for (const char* word : {"PILE", "STRATUM", "pile"}) {
        SCOPED_TRACE(word);
        Form().Project().FoundationWord = QLatin1String(word);
        Form().UpdateFoundationMenu();
        const bool pile = QLatin1String(word) == QLatin1String("PILE");
        for (QAction* a : {Ui().DataPileProperties, Ui().DataPileElements, Ui().DataPileCoordinates})
            EXPECT_EQ(a->isEnabled(), pile) << a->objectName().toStdString();
    }
}

TEST_F(FrontEndFixture, UnitsMenuChecksTheProjectsSystem) {
    for (int system : {1, 2}) {
        Form().Project().UnitSystem = system;
        Form().UnitsMenuClick();
        EXPECT_EQ(Ui().UnitsEnglish->isChecked(), system == 1) << system;
        EXPECT_EQ(Ui().UnitsSI->isChecked(), system == 2) << system;
    }
}

// The loading word of the file read last sets the code only when it is a
// whole word of the list; the menu then follows the code.
struct LoadingWordCase {
    const char* label;
    const char* word;
    int before, after;
};
void PrintTo(const LoadingWordCase& c, std::ostream* os) { *os << c.label; }

class LoadingMenuFromWord : public FrontEndFixture, public ::testing::WithParamInterface<LoadingWordCase> {};

TEST_P(LoadingMenuFromWord, SetsTheCodeOfAWholeWord) {
    const LoadingWordCase& c = GetParam();
    Form().Project().LoadingCode = c.before;
    Form().Project().LoadingWord = QLatin1String(c.word);
    Form().UpdateLoadingMenu();
    EXPECT_EQ(Form().Project().LoadingCode, c.after);
    Ui::TMainForm& f = Ui();
    EXPECT_EQ(f.LoadHarmonic->isChecked(), c.after == 1);
    EXPECT_EQ(f.LoadTransient->isChecked(), c.after == 2);
    EXPECT_EQ(f.LoadRandom->isChecked(), c.after == 3);
    EXPECT_EQ(f.DataHarmonic->menuAction()->isEnabled(), c.after == 1);
    EXPECT_EQ(f.DataTransient->isEnabled(), c.after == 2);
    EXPECT_EQ(f.DataRandom->isEnabled(), c.after == 3);
}

INSTANTIATE_TEST_SUITE_P(Words, LoadingMenuFromWord,
                         ::testing::Values(LoadingWordCase{"Harmonic", "HARMONIC", 3, 1},
                                           LoadingWordCase{"Transient", "TRANSIENT", 1, 2},
                                           LoadingWordCase{"Random", "RANDOM", 1, 3},
                                           LoadingWordCase{"FileLine", "RANDOM ", 2, 2},
                                           LoadingWordCase{"LowerCase", "harmonic", 2, 2},
                                           LoadingWordCase{"Empty", "", 3, 3}),
                         [](const auto& info) { return std::string(info.param.label); });

struct SoilColumnCase {
    int elements, soil, before, after;
};
void PrintTo(const SoilColumnCase& c, std::ostream* os) { *os << c.elements << "-" << c.soil; }

class SoilColumnRows : public FrontEndFixture, public ::testing::WithParamInterface<SoilColumnCase> {};

TEST_P(SoilColumnRows, FollowTheElementsOnlyWhenTheDifferenceIsPositive) {
    const SoilColumnCase& c = GetParam();
    Form().Project().FoundationWord = QStringLiteral("MULTILAYER");
    Form().Holder().MultiElement().SetRowCount(c.elements);
    Form().Holder().D().SetRowCount(c.soil);
    Form().Holder().Multisoil().SetRowCount(c.before);
    Form().DataMenuClick();
    EXPECT_EQ(Form().Holder().Multisoil().RowCount(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Rows, SoilColumnRows,
                         ::testing::Values(SoilColumnCase{5, 2, 1, 3}, SoilColumnCase{3, 3, 4, 4},
                                           SoilColumnCase{2, 5, 4, 4}, SoilColumnCase{1, 0, 2, 2}));

struct GraphicsCase {
    const char* label;
    bool loaded;
    int matrix, loading;
    bool stiffness, response;
};
void PrintTo(const GraphicsCase& c, std::ostream* os) { *os << c.label; }

class GraphicsMenuEnabling : public FrontEndFixture, public ::testing::WithParamInterface<GraphicsCase> {};

TEST_P(GraphicsMenuEnabling, FollowsTheLastLoad) {
    const GraphicsCase& c = GetParam();
    const QString vtp = OpenWithOnePointResults(Form(), folder_.path());
    // The project's flags at load time count, not the ones changed after it.
    Form().Project().MatrixFlag = c.matrix;
    Form().Project().LoadingCode = c.loading;
    if (c.loaded) {
        ASSERT_TRUE(Form().LoadPlotData(vtp, false));
    }
    Form().Project().MatrixFlag = 1 - c.matrix;
    Form().Project().LoadingCode = c.loading == 1 ? 2 : 1;
    Form().GraphicsMenuClick();
    Ui::TMainForm& f = Ui();
    for (QAction* a : {f.GraphKXX, f.GraphKPPX, f.GraphCXX, f.GraphCPPX}) EXPECT_EQ(a->isEnabled(), c.stiffness);
    for (QAction* a : {f.GraphDisp, f.GraphRot, f.GraphAmp}) EXPECT_EQ(a->isEnabled(), c.response);
}

INSTANTIATE_TEST_SUITE_P(Table, GraphicsMenuEnabling,
                         ::testing::Values(GraphicsCase{"NothingLoaded", false, 1, 1, false, false},
                                           GraphicsCase{"HarmonicMatrix", true, 1, 1, true, true},
                                           GraphicsCase{"HarmonicNoMatrix", true, 0, 1, false, true},
                                           GraphicsCase{"TransientMatrix", true, 1, 2, true, false},
                                           GraphicsCase{"RandomNoMatrix", true, 0, 3, false, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(FrontEndFixture, GraphicsMenuNeedsThePlotFileToExist) {
    const QString vtp = OpenWithOnePointResults(Form(), folder_.path());
    ASSERT_TRUE(Form().LoadPlotData(vtp, false));
    QFile::remove(vtp);
    Form().GraphicsMenuClick();
    EXPECT_FALSE(Ui().GraphDisp->isEnabled());
}

TEST_F(FrontEndFixture, ComputationMenuEnablesTheEditItemsOfExistingFiles) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    QFile report(Path(QStringLiteral("project-half-space.vto")));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.close();
    Form().ComputationMenuClick();
    EXPECT_TRUE(Ui().CompInput->isEnabled());
    EXPECT_TRUE(Ui().CompOutput->isEnabled());
    EXPECT_FALSE(Ui().CompKernel->isEnabled());
    EXPECT_TRUE(Ui().CompRun->isEnabled());
}

TEST_F(FrontEndFixture, AnEditorThatCannotStartSaysSo) {
    Form().SetEditorPath(Path(QStringLiteral("no-such-editor")));
    Form().CompInputClick();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("An error occurred in running the Word Processor")});
}

TEST_F(FrontEndFixture, LoadingOptionMovesTheCheckAndTheDataItem) {
    Form().LoadingOptionClick(2);
    EXPECT_EQ(Form().Project().LoadingCode, 2);
    EXPECT_TRUE(Ui().LoadTransient->isChecked());
    EXPECT_FALSE(Ui().LoadHarmonic->isChecked());
    EXPECT_FALSE(Ui().DataHarmonic->menuAction()->isEnabled());
}

TEST_F(FrontEndFixture, MissingHelpDocumentsAreReported) {
    Form().HelpContentsClick();
    Form().HelpManualClick();
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("VortN3Help.chm")));
    EXPECT_TRUE(messages_[1].contains(QLatin1String("Vortn v3 Manual.pdf")));
}

TEST_F(FrontEndFixture, WindowMenuListsTheChildren) {
    Form().Holder().D().ShowTable();
    Form().Holder().PileData().ShowTable();
    Form().WindowMenuClick();
    QStringList shown;
    for (QAction* a : Ui().WindowMenu->actions())
        if (a->isVisible() && !a->isSeparator()) shown << a->text();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0], QStringLiteral("&Cascade"));
    EXPECT_EQ(shown[2], Form().MdiArea()->subWindowList()[0]->windowTitle());
}

}  // namespace
