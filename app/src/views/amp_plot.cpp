// Amplitude chart at a reference point.
#include "amp_plot.h"

#include "data_edit.h"
#include "print_target.h"
#include "handler_guard.h"
#include "message_box.h"
#include "program_data.h"
#include "project_holder.h"
#include "result_plots.h"
#include "scrolled_form.h"
#include "ui_AmpPlot.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineSeries>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vortn {

namespace {
constexpr long double kFootToMetre = 0.3048L;
constexpr long double kMetreToFoot = 3.2808398950131233596L;

QString General6(long double v) { return QString::number(double(v), 'g', 6); }

// The factor from lengths in unit system `from` to those of `display`.
long double LengthFactor(int from, int display) {
    if (from == 1 && display == 2) return kFootToMetre;
    if (from == 2 && display == 1) return 1 / kFootToMetre;
    return 1;
}

// Widens the axis to round ticks (1, 2 or 5 times a power of ten) and
// labels them with the decimals their step needs, so that no tick of a
// small range reads as 0.000000.
void RoundTicks(QValueAxis& axis) {
    axis.applyNiceNumbers();
    const double step = (axis.max() - axis.min()) / std::max(1, axis.tickCount() - 1);
    const int decimals = step > 0 ? std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 15) : 0;
    axis.setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
}
}  // namespace

TDlgAmpPlot::TDlgAmpPlot(TResultPlots& plots, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TDlgAmpPlot>()), plots_(plots) {
    ui_->setupUi(this);
    Ui::TDlgAmpPlot& f = *ui_;
    auto* chart = new QChart;
    const char* titles[] = {"X-Dir", "Y-Dir", "Z-dir"};
    bottom_ = new QValueAxis;
    left_ = new QValueAxis;
    bottom_->setTitleText(QStringLiteral("Frequency (Hz)"));
    chart->addAxis(bottom_, Qt::AlignBottom);
    chart->addAxis(left_, Qt::AlignLeft);
    for (int i = 0; i < 3; ++i) {
        series_[i] = new QLineSeries;
        series_[i]->setName(QLatin1String(titles[i]));
        series_[i]->setPointsVisible(true);
        chart->addSeries(series_[i]);
        series_[i]->attachAxis(bottom_);
        series_[i]->attachAxis(left_);
        connect(series_[i], &QLineSeries::clicked, this, [this, i](const QPointF& p) {
            RunGuarded([&] { SeriesClick(i, p); }, [this](const QString& text) { ShowMessage(text); });
        });
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The view made a chart of its own and gives up its ownership here.
    QChart* made = f.Chart1->chart();
    f.Chart1->setChart(chart);
    delete made;
    f.Chart1->setRenderHint(QPainter::Antialiasing);
    f.Chart1->setMouseTracking(true);
    f.Chart1->viewport()->setMouseTracking(true);
    f.Chart1->viewport()->installEventFilter(this);

    // Every handler runs through the guard: nothing may leave it.
    const TMessageSink show = [this](const QString& text) { ShowMessage(text); };
    const struct {
        TDataEdit* box;
        QLabel* label;
        const char* caption;
    } boxes[] = {{f.DataEdit1, f.Label1, "X"}, {f.DataEdit2, f.Label2, "Y"}, {f.DataEdit3, f.Label3, "Z"}};
    for (const auto& b : boxes) {
        b.box->SetCaption(QLatin1String(b.caption));
        b.box->SetUnitsString(QStringLiteral("L2"));
        b.box->SetEditLabel(b.label);
        ConnectGuarded(b.box, &TDataEdit::Exited, this, &TDlgAmpPlot::UpdateGraph, show);
    }
    for (QCheckBox* c : {f.CheckBox1, f.CheckBox2, f.CheckBox3})
        ConnectGuarded(c, &QCheckBox::toggled, this, &TDlgAmpPlot::UpdateGraph, show);
    ConnectGuarded(f.RadioButton1, &QRadioButton::clicked, this, &TDlgAmpPlot::UnitsClick, show);
    ConnectGuarded(f.RadioButton2, &QRadioButton::clicked, this, &TDlgAmpPlot::UnitsClick, show);
    ConnectGuarded(f.RadioButton5, &QRadioButton::clicked, this, &TDlgAmpPlot::UpdateGraph, show);
    ConnectGuarded(f.RadioButton6, &QRadioButton::clicked, this, &TDlgAmpPlot::UpdateGraph, show);
    ConnectGuarded(f.Button1, &QPushButton::clicked, this, &TDlgAmpPlot::DefaultClick, show);
    ConnectGuarded(f.Button6, &QPushButton::clicked, this, &TDlgAmpPlot::UpdateGraph, show);
    ConnectGuarded(f.Button2, &QPushButton::clicked, this, &TDlgAmpPlot::AllClick, show);
    ConnectGuarded(f.Button3, &QPushButton::clicked, this, &TDlgAmpPlot::UnselectAllClick, show);
    ConnectGuarded(
            f.Button7, &QPushButton::clicked, this, [this] { OnlyClick(0); }, show);
    ConnectGuarded(
            f.Button8, &QPushButton::clicked, this, [this] { OnlyClick(1); }, show);
    ConnectGuarded(
            f.Button9, &QPushButton::clicked, this, [this] { OnlyClick(2); }, show);
    ConnectGuarded(f.Button4, &QPushButton::clicked, this, &TDlgAmpPlot::ExportClick, show);
    ConnectGuarded(f.Button10, &QPushButton::clicked, this, &TDlgAmpPlot::PrintClick, show);
    connect(f.Button5, &QPushButton::clicked, this, &QDialog::accept);
    // On a small or scaled screen the chart and its controls scroll.
    ScrollFormContents(this);
}

TDlgAmpPlot::~TDlgAmpPlot() = default;

void TDlgAmpPlot::ShowMessage(const QString& text) { InformationBox(this, text); }

long double TDlgAmpPlot::BoxValue(int index) const {
    TDataEdit* boxes[] = {ui_->DataEdit1, ui_->DataEdit2, ui_->DataEdit3};
    try {
        return boxes[index]->Number();
    } catch (const Exception&) {
        return 0;  // an unreadable entry counts as 0 until the box's own check corrects it
    }
}

void TDlgAmpPlot::SetBoxValue(int index, long double value) {
    TDataEdit* boxes[] = {ui_->DataEdit1, ui_->DataEdit2, ui_->DataEdit3};
    boxes[index]->SetNumber(value);
}

long double TDlgAmpPlot::DisplayFactor() const {
    // The plots keep the unit system they were loaded in; the project may
    // have been switched to the other one since.
    return LengthFactor(plots_.pltDxyzR().Units(), displaySystem_);
}

long double TDlgAmpPlot::CentreFactor() const { return LengthFactor(ProgramData().UnitSystem, displaySystem_); }

void TDlgAmpPlot::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TDlgAmpPlot::FormActivate() {
    Ui::TDlgAmpPlot& f = *ui_;
    const TProgramData& p = ProgramData();
    const TUnitSystem units = p.Units() == TUnitSystem::SI ? TUnitSystem::SI : TUnitSystem::English;
    f.RadioButton1->setChecked(units == TUnitSystem::English);
    f.RadioButton2->setChecked(units == TUnitSystem::SI);
    const int system = CodeOf(units);  // the boxes and the factors take the code
    for (TDataEdit* b : {f.DataEdit1, f.DataEdit2, f.DataEdit3}) b->SetUnits(system);
    SetBoxValue(0, p.CGx);
    SetBoxValue(1, p.CGy);
    SetBoxValue(2, p.CGz);
    displaySystem_ = system;
    UpdateGraph();
    update();
}

void TDlgAmpPlot::UpdateGraph() {
    if (updating_) return;
    const QScopedValueRollback updating(updating_, true);
    Ui::TDlgAmpPlot& f = *ui_;
    const TProgramData& p = ProgramData();
    const long double h = DisplayFactor();
    const long double hc = CentreFactor();
    const bool rotation = f.RadioButton6->isChecked();
    if (rotation)
        left_->setTitleText(QStringLiteral("Rotational Amplitude (rad)"));
    else if (displaySystem_ == 1)
        left_->setTitleText(QStringLiteral("Translational Amplitude (ft)"));
    else
        left_->setTitleText(QStringLiteral("Translational Amplitude (m)"));

    const long double dx = BoxValue(0) - p.CGx * hc;
    const long double dy = BoxValue(1) - p.CGy * hc;
    const long double dz = BoxValue(2) - p.CGz * hc;
    QList<QPointF> points[3];
    const TGraphPlot& d = plots_.pltDxyzR();
    const TGraphPlot& m = plots_.pltMxyzR();
    const int n = d.LineCount() >= 3 && m.LineCount() >= 3 ? std::min(d.PointCount(), m.PointCount()) : 0;
    for (int i = 0; i < n; ++i) {
        const long double x = d.Points(0, i).X;
        const long double ux = d.Points(0, i).Y, uy = d.Points(1, i).Y, uz = d.Points(2, i).Y;
        const long double rx = m.Points(0, i).Y, ry = m.Points(1, i).Y, rz = m.Points(2, i).Y;
        long double y[3];
        if (rotation) {
            y[0] = rx, y[1] = ry, y[2] = rz;
        } else {
            y[0] = ux * h + dy * rz - dz * ry;
            y[1] = uy * h + dz * rx - dx * rz;
            y[2] = uz * h + dx * ry - dy * rx;
        }
        for (int s = 0; s < 3; ++s) points[s].append(QPointF(double(x), double(y[s])));
    }
    const QCheckBox* checks[] = {f.CheckBox1, f.CheckBox2, f.CheckBox3};
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;
    bool any = false;
    for (int s = 0; s < 3; ++s) {
        series_[s]->replace(points[s]);
        series_[s]->setVisible(checks[s]->isChecked());
        if (!checks[s]->isChecked()) continue;
        for (const QPointF& q : points[s]) {
            if (!any) xmin = xmax = q.x(), ymin = ymax = q.y();
            xmin = std::min(xmin, q.x()), xmax = std::max(xmax, q.x());
            ymin = std::min(ymin, q.y()), ymax = std::max(ymax, q.y());
            any = true;
        }
    }
    if (xmax <= xmin) xmax = xmin + 1;
    if (ymax <= ymin) ymax = ymin + (ymin == 0 ? 1 : std::fabs(ymin));
    bottom_->setRange(xmin, xmax);
    left_->setRange(ymin, ymax);
    RoundTicks(*bottom_);
    RoundTicks(*left_);
}

void TDlgAmpPlot::DefaultClick() {
    const TProgramData& p = ProgramData();
    const long double h = CentreFactor();
    SetBoxValue(0, p.CGx * h);
    SetBoxValue(1, p.CGy * h);
    SetBoxValue(2, p.CGz * h);
    UpdateGraph();
}

void TDlgAmpPlot::UnitsClick() {
    Ui::TDlgAmpPlot& f = *ui_;
    const int chosen = f.RadioButton1->isChecked() ? 1 : 2;
    for (TDataEdit* b : {f.DataEdit1, f.DataEdit2, f.DataEdit3}) b->SetUnits(chosen);
    if (chosen != displaySystem_) {
        const long double factor = chosen == 1 ? kMetreToFoot : kFootToMetre;
        for (int i = 0; i < 3; ++i) SetBoxValue(i, BoxValue(i) * factor);
        displaySystem_ = chosen;
    }
    UpdateGraph();
}

void TDlgAmpPlot::AllClick() {
    for (QCheckBox* c : {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3}) c->setChecked(true);
    UpdateGraph();
}

void TDlgAmpPlot::UnselectAllClick() {
    for (QCheckBox* c : {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3}) c->setChecked(false);
    UpdateGraph();
}

void TDlgAmpPlot::OnlyClick(int series) {
    QCheckBox* checks[] = {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3};
    for (int s = 0; s < 3; ++s) checks[s]->setChecked(s == series);
    UpdateGraph();
}

// ---- read-out and point clicks ----

bool TDlgAmpPlot::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Chart1->viewport() && event->type() == QEvent::MouseMove)
        ShowPointer(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

void TDlgAmpPlot::ShowPointer(const QPoint& pos) {
    ui_->Label4->clear();
    QChart* chart = ui_->Chart1->chart();
    const QPointF scene = ui_->Chart1->mapToScene(pos);
    const QPointF value = chart->mapToValue(chart->mapFromScene(scene), series_[0]);
    if (value.x() >= bottom_->min() && value.x() <= bottom_->max() && value.y() >= left_->min() &&
        value.y() <= left_->max())
        ui_->Label4->setText(QStringLiteral("(") + General6(value.x()) + QStringLiteral(",") + General6(value.y()) +
                             QStringLiteral(")"));
}

QString TDlgAmpPlot::PointInfo(int series, int n) const {
    const long double h = DisplayFactor();
    const TGraphPlot& d = plots_.pltDxyzR();
    const TGraphPlot& m = plots_.pltMxyzR();
    QString text = series_[series]->name() + QLatin1Char('\r');
    text += QStringLiteral("Point: ") + QString::number(n) + QLatin1Char('\r');
    text += QStringLiteral("Freq: ") + General6(series_[0]->at(n).x()) + QLatin1Char('\r');
    const char* names[] = {"X: ", "Y: ", "Z: "};
    for (int s = 0; s < 3; ++s) text += QLatin1String(names[s]) + General6(series_[s]->at(n).y()) + QLatin1Char('\r');
    const char* centre[] = {"Xo: ", "Yo: ", "Zo: "};
    for (int s = 0; s < 3; ++s) text += QLatin1String(centre[s]) + General6(d.Points(s, n).Y * h) + QLatin1Char('\r');
    const char* rotations[] = {"Rx: ", "Ry: ", "Rz: "};
    for (int s = 0; s < 3; ++s) text += QLatin1String(rotations[s]) + General6(m.Points(s, n).Y) + QLatin1Char('\r');
    return text;
}

void TDlgAmpPlot::SeriesClick(int series, const QPointF& point) {
    // The clicked point is the one nearest in frequency.
    const QList<QPointF> points = series_[series]->points();
    if (points.isEmpty()) return;
    int n = 0;
    for (int i = 1; i < points.size(); ++i)
        if (std::fabs(points[i].x() - point.x()) < std::fabs(points[n].x() - point.x())) n = i;
    hint_ = QStringLiteral(" Clicked Series: ") + series_[series]->name() + QStringLiteral(" at point: ") +
            QString::number(n);
    ui_->Chart1->setToolTip(hint_);
    ShowMessage(PointInfo(series, n));
}

// ---- export and printing ----

QStringList TDlgAmpPlot::ExportLines() const {
    const QString unit = displaySystem_ == 1 ? QStringLiteral("ft") : QStringLiteral("m");
    QStringList lines;
    lines << QStringLiteral("Reference Point");
    lines << QStringLiteral("X= ") + TailReal(BoxValue(0)) + QLatin1Char(' ') + unit + QStringLiteral(", Y= ") +
                     TailReal(BoxValue(1)) + QLatin1Char(' ') + unit + QStringLiteral(", Z= ") + TailReal(BoxValue(2)) +
                     QLatin1Char(' ') + unit;
    lines << QStringLiteral("n,Frequency,Disp_x,Disp_y,Disp_z");
    lines << QStringLiteral(",Hz,") + unit + QLatin1Char(',') + unit + QLatin1Char(',') + unit;
    const int n = plots_.pltDxyzR().LineCount() ? plots_.pltDxyzR().PointCount() : 0;
    for (int i = 0; i < n && i < series_[0]->count(); ++i) {
        QString line = QString::number(i + 1) + QLatin1Char(',') + TailReal(series_[0]->at(i).x());
        for (int s = 0; s < 3; ++s) line += QLatin1Char(',') + TailReal(series_[s]->at(i).y());
        lines << line;
    }
    return lines;
}

bool TDlgAmpPlot::WriteExport(const QString& fileName) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        const QByteArray bytes = ExportLines().join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
        ok = file.write(bytes) == bytes.size() && file.commit();
    }
    restoreCursor.dismiss();
    QApplication::restoreOverrideCursor();  // before the message box
    if (!ok) ShowMessage(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    return ok;
}

void TDlgAmpPlot::ExportClick() {
    QString name;
    if (SaveNameHook) {
        name = SaveNameHook();
    } else {
        QFileDialog dialog(this, QStringLiteral("Export Data"), QFileInfo(ProgramData().FileName).absolutePath(),
                           QStringLiteral("Text files (*.txt *.TXT)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().first();
    }
    if (name.isEmpty()) return;
    if (QFileInfo::exists(name)) {
        const QString question = QStringLiteral("File already exists, do you want to overwrite it?");
        if (QuestionBox(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) return;
    }
    WriteExport(name);
}

void TDlgAmpPlot::PrintClick() {
    QPrinter printer;
    if (!UseDefaultPrinterOrPdf(printer, this, windowTitle())) return;
    printer.setDocName(windowTitle());  // the PDF's title
    printer.setPageOrientation(ui_->RadioButton3->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(QStringLiteral("The chart could not be printed."));
        return;
    }
    ui_->Chart1->render(&painter);
    painter.end();
}

}  // namespace vortn
