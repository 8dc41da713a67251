// The table editors of the real program as a user types into them: an entry
// whose value the evaluator cannot form (1/0, an overflow) before a row
// command, and the row buttons' Alt keys where the main menu bar has a menu
// of the same letter.
#include "real_program_session.h"

using namespace vortn::test;

namespace {

class RealTableEditor : public ::testing::Test {
protected:
    void TearDown() override { session.Stop(); }
    // From the Delete Row button, which has the focus when an editor opens,
    // Tab reaches Insert Row, then the first cell of the grid.
    void ToFirstCell() {
        session.Keys(session.MainWindow(), {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab")});
    }
    TRealProgramSession session;
};

struct FaultCase {
    const char* label;
    const char* project;
    int dataItem;        // places below the Data menu's first item
    const char* entry;   // typed into the first cell
    const char* command; // the row command's key
    // A line the saved file holds once the entry is mended to 2 and no row
    // was added or inserted.
    const char* savedLine;
    const char* countLine;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.label; }

const FaultCase kFaultCases[] = {
        // Data > Pile Coordinates: pile 1's X.
        {"PileDivisionByZeroThenAdd", "project-pile", 6, "1/0", "alt+a", "1 2 -1 \r\n", "FIXED=4\r\n"},
        {"PileOverflowThenAdd", "project-pile", 6, "10^5000", "alt+a", "1 2 -1 \r\n", "FIXED=4\r\n"},
        {"PileDivisionByZeroThenInsert", "project-pile", 6, "1/0", "alt+i", "1 2 -1 \r\n", "FIXED=4\r\n"},
        // Data > Side Soil of Fondation (Soil Properties): layer 1's velocity.
        {"MultilayerSoilDivisionByZeroThenInsert", "project-multilayer", 9, "1/0", "alt+i",
         "1 2 18 0.33 0.05 0.5", "CONSTANTS=2\r\n"},
};

class ArithmeticFaultInACell : public RealTableEditor, public ::testing::WithParamInterface<FaultCase> {};

}  // namespace

// The fault gets its message; the program goes on with the entry in the
// cell to be mended, and the row command did nothing.
TEST_P(ArithmeticFaultInACell, IsShownAndTheCellIsKept) {
    const FaultCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(session.Start(QString::fromLatin1(c.project)));
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(c.dataItem));
    ToFirstCell();
    session.Type(QString::fromLatin1(c.entry));
    session.Keys(session.MainWindow(), {QString::fromLatin1(c.command)});
    const QString box = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("table_fault_%1.png").arg(QString::fromLatin1(c.label)));
    ASSERT_TRUE(session.Running()) << "the program ended";
    ASSERT_FALSE(box.isEmpty()) << "no message";
    session.Keys(box, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown() || !session.Running(); }));
    ASSERT_TRUE(session.Running()) << "the program ended after the message";
    // The entry mended; the file saved with it.
    session.Type(QStringLiteral("2"));
    session.Keys(session.MainWindow(), {QStringLiteral("Return"), QStringLiteral("ctrl+s")});
    EXPECT_TRUE(session.WaitForSavedFile([&](const QString& text) {
        return text.contains(QString::fromLatin1(c.savedLine));
    })) << session.SavedFile().toStdString();
    EXPECT_TRUE(session.SavedFile().contains(QString::fromLatin1(c.countLine))) << session.SavedFile().toStdString();
    EXPECT_TRUE(session.Running());
}

INSTANTIATE_TEST_SUITE_P(Entries, ArithmeticFaultInACell, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Alt+D deletes the current row of Pile Coordinates; the Data menu stays shut.
TEST_F(RealTableEditor, AltDDeletesTheRowInsteadOfOpeningTheDataMenu) {
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-pile")));
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(6));
    ToFirstCell();
    session.Keys(session.MainWindow(), {QStringLiteral("Down"), QStringLiteral("alt+d")});
    session.Screenshot(QStringLiteral("table_alt_d.png"));
    EXPECT_FALSE(session.MenuShown());
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    EXPECT_TRUE(session.WaitForSavedFile([](const QString& text) {
        return text.contains(QLatin1String("FIXED=3\r\n1 -1 -1 \r\n2 -1 1 \r\n3 1 1 \r\n"));
    })) << session.SavedFile().toStdString();
    EXPECT_FALSE(session.MenuShown());
}

// Alt+D on pile 4, the last row: pile 3 becomes the current row, and 7
// typed next is pile 3's X. File Save writes it (an editor that the deletion
// opened behind the view's back kept it from every check and from the save,
// and showed "-17").
TEST_F(RealTableEditor, AValueTypedAfterDeletingTheLastRowIsSaved) {
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-pile")));
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(6));
    ToFirstCell();
    session.Keys(session.MainWindow(),
                 {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("alt+d")});
    session.Type(QStringLiteral("7"));
    session.Screenshot(QStringLiteral("table_alt_d_last_row_typed_on.png"));
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    EXPECT_TRUE(session.WaitForSavedFile([](const QString& text) {
        return text.contains(QLatin1String("FIXED=3\r\n1 -1 -1 \r\n2 1 -1 \r\n3 7 1 \r\n"));
    })) << session.SavedFile().toStdString();
    EXPECT_FALSE(session.MessageBoxShown());
}

// 10 in pile 1's X, Alt+A, 20, Enter: pile 1 keeps 10 and the new pile 5
// gets 20 (not "1020" in pile 1).
TEST_F(RealTableEditor, AValueTypedAfterAltAGoesToTheNewRow) {
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-pile")));
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(6));
    ToFirstCell();
    session.Type(QStringLiteral("10"));
    session.Keys(session.MainWindow(), {QStringLiteral("alt+a")});
    session.Type(QStringLiteral("20"));
    session.Keys(session.MainWindow(), {QStringLiteral("Return")});
    session.Screenshot(QStringLiteral("table_alt_a_typed_on.png"));
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    EXPECT_TRUE(session.WaitForSavedFile([](const QString& text) {
        return text.contains(QLatin1String("FIXED=5\r\n1 10 -1 \r\n")) && text.contains(QLatin1String("\r\n5 20 0 \r\n"));
    })) << session.SavedFile().toStdString();
    EXPECT_FALSE(session.MessageBoxShown());
}

// abc in pile 1's X: Ctrl+S, Ctrl+S again, Ctrl+N, Ctrl+O and the window's
// close button (Alt+F4 of the window manager) each show the refusal; the
// file stays as it was and the program goes on.
TEST_F(RealTableEditor, EveryCommandAfterARefusalShowsItsMessage) {
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-pile")));
    const QString before = session.SavedFile();
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(6));
    ToFirstCell();
    session.Type(QStringLiteral("abc"));
    const char* const commands[] = {"ctrl+s", "ctrl+s", "ctrl+n", "ctrl+o", "alt+F4"};
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        session.Keys(session.MainWindow(), {QString::fromLatin1(command)});
        const QString box = session.WaitForMessageBox();
        session.Screenshot(QStringLiteral("table_refusal_%1.png").arg(QString::fromLatin1(command)));
        ASSERT_FALSE(box.isEmpty()) << "refused in silence";
        session.Keys(box, {QStringLiteral("Return")});
        ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown() || !session.Running(); }));
        ASSERT_TRUE(session.Running());
    }
    // File > Exit: opening the menu commits, with the message; Exit, chosen
    // in the same action, adds none and does not end the program.
    session.Keys(session.MainWindow(), {QStringLiteral("alt+f")});
    const QString box = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("table_refusal_file_menu.png"));
    ASSERT_FALSE(box.isEmpty()) << "the File menu opened over the refused entry in silence";
    session.Keys(box, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown() || !session.Running(); }));
    if (session.MenuShown()) {
        Xdotool({QStringLiteral("key"), QStringLiteral("x")});
        ASSERT_TRUE(WaitFor([&] { return !session.MenuShown() || !session.Running(); }));
    }
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.SavedFile(), before);
}
