// Result plots of the main window and their resource.
#include "result_plots.h"

#include "component_stream.h"
#include "exceptions.h"

#include <QFile>
#include <QRegularExpression>

namespace vortn {

namespace {

[[noreturn]] void Malformed(int line, const QString& why) {
    throw EReadError(QStringLiteral("Plot resource, line %1: %2").arg(line).arg(why));
}

void SetProperty(TGraphPlot& plot, const QString& name, const QString& valueText, int line) {
    TComponentReader r(valueText);
    auto text = [&] { return r.ReadString(); };
    auto integer = [&] { return int(r.ReadInteger()); };
    auto boolean = [&] { return r.ReadBoolean(); };
    try {
        if (name == QLatin1String("Caption"))
            plot.Caption = text();
        else if (name == QLatin1String("CurveName"))
            plot.CurveName = text();
        else if (name == QLatin1String("XCaption"))
            plot.XCaption = text();
        else if (name == QLatin1String("XUnits"))
            plot.XUnits = text();
        else if (name == QLatin1String("YCaption"))
            plot.YCaption = text();
        else if (name == QLatin1String("YUnits"))
            plot.YUnits = text();
        else if (name == QLatin1String("XOnTop"))
            plot.XOnTop = boolean();
        else if (name == QLatin1String("ShowLegend"))
            plot.ShowLegend = boolean();
        else if (name == QLatin1String("Markers"))
            plot.Markers = integer();
        else if (name == QLatin1String("SizeFont"))
            plot.SizeFont = integer();
        else if (name == QLatin1String("LegendFont"))
            plot.LegendFont = integer();
        else if (name == QLatin1String("WidthLine"))
            plot.WidthLine = integer();
        else
            Malformed(line, QStringLiteral("unknown property ") + name);
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Malformed(line, e.Message());
    }
}

}  // namespace

std::vector<std::unique_ptr<TGraphPlot>> ReadResultPlotResource(const QString& text) {
    static const QRegularExpression objectLine(QStringLiteral("^object\\s+(\\w+)\\s*:\\s*TGraphPlot$"));
    static const QRegularExpression propertyLine(QStringLiteral("^(\\w+)\\s*=\\s*(.+)$"));
    std::vector<std::unique_ptr<TGraphPlot>> plots;
    TGraphPlot* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("//"))) continue;
        if (!current) {
            const auto m = objectLine.match(line);
            if (!m.hasMatch()) Malformed(i + 1, QStringLiteral("\"object <name>: TGraphPlot\" expected"));
            plots.push_back(std::make_unique<TGraphPlot>());
            current = plots.back().get();
            current->Name = m.captured(1);
        } else if (line == QLatin1String("end")) {
            current = nullptr;
        } else {
            const auto m = propertyLine.match(line);
            if (!m.hasMatch()) Malformed(i + 1, QStringLiteral("property expected"));
            SetProperty(*current, m.captured(1), m.captured(2), i + 1);
        }
    }
    if (current) Malformed(int(lines.size()), QStringLiteral("\"end\" missing"));
    return plots;
}

TResultPlots::TResultPlots(const QString& resource) {
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly)) throw EInOutError(QStringLiteral("Cannot read ") + resource);
    owned_ = ReadResultPlotResource(QString::fromUtf8(f.readAll()));
    struct Slot {
        const char* name;
        TGraphPlot** plot;
    };
    const Slot named[] = {{"pltRealKXX", &kxx_},   {"pltRealKYY", &kyy_},   {"pltRealKWW", &kww_},
                          {"pltRealKPPX", &kppx_}, {"pltRealKPPY", &kppy_}, {"pltRealKZT", &kzt_},
                          {"pltRealKXP", &kxp_},   {"pltRealKYP", &kyp_},   {"pltDampCXX", &cxx_},
                          {"pltDampCYY", &cyy_},   {"pltDampCWW", &cww_},   {"pltDampCPPX", &cppx_},
                          {"pltDampCPPY", &cppy_}, {"pltDampCZT", &czt_},   {"pltDampCXP", &cxp_},
                          {"pltDampCYP", &cyp_},   {"pltDxyzR", &dxyz_},    {"pltMxyzR", &mxyz_}};
    for (auto& p : owned_) all_.push_back(p.get());
    for (const Slot& s : named) {
        *s.plot = ByName(QLatin1String(s.name));
        if (!*s.plot) throw EReadError(QStringLiteral("Plot resource: ") + QLatin1String(s.name) + " missing");
    }
}

std::vector<TGraphPlot*> TResultPlots::Stiffness() const { return {kxx_, kyy_, kww_, kppx_, kppy_, kzt_, kxp_, kyp_}; }

std::vector<TGraphPlot*> TResultPlots::Damping() const { return {cxx_, cyy_, cww_, cppx_, cppy_, czt_, cxp_, cyp_}; }

TGraphPlot* TResultPlots::ByName(const QString& name) const {
    for (TGraphPlot* p : all_)
        if (p->Name == name) return p;
    return nullptr;
}

void TResultPlots::Clear() {
    for (TGraphPlot* p : all_) {
        p->SetLineCount(0);
        p->LineNames.clear();
    }
    SetLoadState(0, 0);
}

}  // namespace vortn
