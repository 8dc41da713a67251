// Shared pieces of the view tests: a project holder with the main window's
// tables, sample foundations (a single pile, four piles, footings, the
// example pile group), a paint device that records what is drawn, and the
// folder for screenshots.
#pragma once

#include "columns.h"
#include "program_data.h"
#include "project_holder.h"
#include "message_catcher.h"
#include "view_support.h"

#include <QDir>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <QStringList>
#include <QTextItem>
#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <string>
#include <memory>
#include <vector>

namespace views_test {

using vortn::Extended;
using vortn::TGridTable;
using vortn::TProgramData;
using vortn::TProjectHolder;

inline void Fill(TGridTable& t, std::initializer_list<std::initializer_list<Extended>> rows) {
    t.SetRowCount(int(rows.size()));
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (Extended v : row) t.Cells(c++, r).SetAsFloat(v);
        ++r;
    }
}

// A pile in the coordinates table: x, y, batter angle (degrees), plane (1 XZ, 2 YZ).
struct PileAt {
    Extended x, y, angle = 0;
    int plane = 1;
};

class ViewsTest : public ::testing::Test {
public:
    void SetUp() override {
        holder_ = std::make_unique<TProjectHolder>();
        vortn::SetMessageHook(vortn::test::CollectMessages(messages_));
    }
    void TearDown() override { vortn::SetMessageHook(nullptr); }

    TProjectHolder& H() { return *holder_; }
    TProgramData& P() { return holder_->Project(); }

    void Foundation(const char* word, int code) {
        P().FoundationWord = QString::fromLatin1(word);
        P().FootingType = code;
    }
    // A pile group: every pile of `sections` (length, radius) from the head down.
    void Piles(std::initializer_list<PileAt> piles, std::initializer_list<std::pair<Extended, Extended>> sections) {
        Foundation("PILE", 2);
        TGridTable& c = H().Pilecoord();
        c.SetRowCount(int(piles.size()));
        int i = 0;
        for (const PileAt& p : piles) {
            c.Cells(0, i).SetAsFloat(p.x);
            c.Cells(1, i).SetAsFloat(p.y);
            c.Cells(2, i).SetAsFloat(p.angle);
            c.Cells(3, i).SetAsInteger(p.plane);
            ++i;
        }
        TGridTable& s = H().PileData();
        s.SetRowCount(int(sections.size()));
        i = 0;
        for (const auto& [length, radius] : sections) {
            s.Cells(0, i).SetAsFloat(length);
            s.Cells(1, i).SetAsFloat(radius);
            s.Cells(2, i).SetAsFloat(radius);
            ++i;
        }
    }
    void Rectangular(Extended length, Extended width) {
        P().CircularFlag = 0;
        P().Length = length;
        P().Width = width;
    }
    void Circular(Extended radius) {
        P().CircularFlag = 1;
        P().Radius = radius;
    }
    void OpenExample(const char* name) {
        H().OpenProject(QStringLiteral(VORTN_EXAMPLES "/") + QString::fromLatin1(name));
        ASSERT_EQ(H().Project().FoundationWord, QStringLiteral("PILE")) << H().LastMessage().toStdString();
    }

    std::unique_ptr<TProjectHolder> holder_;
    QStringList messages_;
};

// Test names from the `name` of a table's cases ("four piles" -> four_piles).
inline auto CaseName() {
    return [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    };
}

// Where the tests leave their pictures for a reviewer.
inline QString ScreenshotPath(const QString& name) {
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    return QStringLiteral(VORTN_SCREENSHOT_DIR "/") + name;
}

inline bool IsDark(const QImage& image, int x, int y) { return image.pixelColor(x, y).lightness() < 80; }

// A paint device that keeps the lines, polygons, ellipses and texts drawn on it.
class RecordingDevice : public QPaintDevice {
public:
    struct Text {
        QPointF at;
        QString text;
    };
    RecordingDevice(int width, int height) : width_(width), height_(height), engine_(this) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

    std::vector<QLineF> lines;
    std::vector<QPolygonF> polygons;
    std::vector<QRectF> ellipses;
    std::vector<Text> texts;

    QStringList TextLines() const {
        QStringList l;
        for (const Text& t : texts) l << t.text;
        return l;
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
                return width_;
            case PdmHeight:
                return height_;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(QPaintDevice::devicePixelRatioFScale());
            default:
                return 1;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(RecordingDevice* d) : QPaintEngine(AllFeatures), d_(d) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawLines(const QLineF* lines, int n) override {
            for (int i = 0; i < n; ++i) d_->lines.push_back(lines[i]);
        }
        void drawLines(const QLine* lines, int n) override {
            for (int i = 0; i < n; ++i) d_->lines.push_back(QLineF(lines[i]));
        }
        void drawPolygon(const QPointF* p, int n, PolygonDrawMode mode) override {
            if (mode == PolylineMode) {
                for (int i = 0; i + 1 < n; ++i) d_->lines.push_back(QLineF(p[i], p[i + 1]));
                return;
            }
            d_->polygons.push_back(QPolygonF(QList<QPointF>(p, p + n)));
        }
        void drawPolygon(const QPoint* p, int n, PolygonDrawMode mode) override {
            std::vector<QPointF> f(p, p + n);
            drawPolygon(f.data(), n, mode);
        }
        void drawEllipse(const QRectF& r) override { d_->ellipses.push_back(r); }
        void drawEllipse(const QRect& r) override { d_->ellipses.push_back(QRectF(r)); }
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override { d_->texts.push_back({p, item.text()}); }
        Type type() const override { return User; }

    private:
        RecordingDevice* d_;
    };

    int width_, height_;
    mutable Engine engine_;
};

}  // namespace views_test
