// "Footing Amplitude Plot": the harmonic response at a reference point the
// user enters, computed from the translational and rotational amplitudes at
// the centre of gravity, drawn against frequency, exported as text and
// printed.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLineSeries;
class QValueAxis;

namespace Ui {
class TDlgAmpPlot;
}

namespace vortn {

class TResultPlots;
class TProgramData;

class TDlgAmpPlot : public QDialog {
    Q_OBJECT

public:
    TDlgAmpPlot(TResultPlots& plots, QWidget* parent = nullptr);
    ~TDlgAmpPlot() override;

    Ui::TDlgAmpPlot& Form() const { return *ui_; }
    QLineSeries& Series(int index) const { return *series_[index]; }  // 0 X, 1 Y, 2 Z
    QValueAxis& BottomAxis() const { return *bottom_; }
    QValueAxis& LeftAxis() const { return *left_; }
    int DisplaySystem() const { return displaySystem_; }
    // The factor from the length unit of the loaded results to the display's.
    long double DisplayFactor() const;
    // The factor from the project's length unit (its C.G.) to the display's.
    long double CentreFactor() const;
    const QString& Hint() const { return hint_; }

    // The export's lines (CR LF joined when written).
    QStringList ExportLines() const;
    // Writes the export; false (after the message) when it cannot be written.
    bool WriteExport(const QString& fileName);
    // The information text of a click on point n of series s.
    QString PointInfo(int series, int n) const;
    // The read-out for a pointer at `pos` in the chart view's coordinates.
    void ShowPointer(const QPoint& pos);

    // The export's file name (tests answer it); empty: cancelled.
    std::function<QString()> SaveNameHook;

public slots:
    void FormActivate();
    void UpdateGraph();
    void DefaultClick();
    void UnitsClick();
    void AllClick();
    void UnselectAllClick();
    void OnlyClick(int series);
    void ExportClick();
    void PrintClick();
    void SeriesClick(int series, const QPointF& point);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMessage(const QString& text);
    long double BoxValue(int index) const;
    void SetBoxValue(int index, long double value);

    std::unique_ptr<Ui::TDlgAmpPlot> ui_;
    TResultPlots& plots_;
    QLineSeries* series_[3];
    QValueAxis* bottom_;
    QValueAxis* left_;
    int displaySystem_ = 1;
    QString hint_;
    bool updating_ = false;
};

}  // namespace vortn
