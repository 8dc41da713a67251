// The transient load dialog of the real program: a negative number of
// points is refused with its message, and fewer points than amplitudes
// typed asks first; the default answer keeps every amplitude in the file.
#include "real_program_session.h"

using namespace vortn::test;

namespace {

// The half-space example under a transient load: 8 points, two loads.
void MakeTransient(const QString& project) {
    QFile f(project);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray deck = f.readAll();
    f.close();
    const QByteArray harmonic = "HARMONIC \r\nCONSTANTS \r\nNONQUADRATIC \r\n251.2 12.56 12.56 \r\n10 0 20 \r\n0 5 0 \r\n"
                                "0.1 0.2 0.3 0 \r\n";
    ASSERT_TRUE(deck.contains(harmonic));
    QByteArray transient = "TRANSIENT \r\nCONSTANTS \r\n8 \r\n0.01 \r\n2 \r\n3 \r\n";
    for (int k = 1; k <= 8; ++k) transient += QByteArray::number(k) + " \r\n";
    transient += "1 \r\n";
    for (int k = 1; k <= 8; ++k) transient += QByteArray::number(10 * k) + " \r\n";
    deck.replace(harmonic, transient);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(deck);
}

}  // namespace

TEST(RealTransientCounts, NegativeIsRefusedAndFewerPointsAskFirst) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space"), MakeTransient));
    // Data > Transient Loading Data, its first box "Number of points ".
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(9));
    // (An operator typed over the selected text would extend the value.)
    session.Keys(session.MainWindow(),
                 {QStringLiteral("ctrl+a"), QStringLiteral("BackSpace"), QStringLiteral("minus"), QStringLiteral("5")});
    session.Keys(session.MainWindow(), {QStringLiteral("Tab")});
    const QString refusal = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("transient_points_negative.png"));
    ASSERT_FALSE(refusal.isEmpty()) << "-5 points taken without a word";
    session.Keys(refusal, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown(); }));
    // Back in the box: 4 points, then File Save: the question, answered
    // with its default.
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
    session.Type(QStringLiteral("4"));
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    const QString question = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("transient_points_fewer.png"));
    ASSERT_FALSE(question.isEmpty()) << "amplitudes 5 to 8 left out without a word";
    session.Keys(question, {QStringLiteral("Return")});
    QByteArray kept = "TRANSIENT \r\nCONSTANTS \r\n8 \r\n0.01 \r\n2 \r\n3 \r\n";
    for (int k = 1; k <= 8; ++k) kept += QByteArray::number(k) + " \r\n";
    kept += "1 \r\n";
    for (int k = 1; k <= 8; ++k) kept += QByteArray::number(10 * k) + " \r\n";
    EXPECT_TRUE(session.WaitForSavedFile([&](const QString& text) {
        return text.contains(QString::fromLatin1(kept)) && !session.MessageBoxShown();
    })) << session.SavedFile().toStdString();
    EXPECT_TRUE(session.Running());
    session.Stop();
}
