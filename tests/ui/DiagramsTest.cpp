// The diagrams painted: the pictures of the report have their size and show
// the governing point; the results tab shows the same diagrams beside the report.
#include "WindowTestSupport.h"

#include "DiagramPainter.h"
#include "ResultViews.h"
#include "ReferenceTables.h"
#include "ui/DiagramRenderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace infil;

namespace {

const QColor kMarkColour(0xc8, 0x40, 0x0c);

report::Diagram trenchLengths()
{
    ProjectRecord r;
    InitReferenceTables(r);
    SearchTrace t;
    t.quantity = &ProjectRecord::DelkaRyhy;
    t.pane = 4;
    const float lengths[] = {20, 30, 40, 45, 52, 58, 61, 61.957256f, 60};
    for (int k = 0; k < 9; ++k) {
        r.RainIntensities[k + 1] = 100;
        t.candidates[std::size_t(k)] = {r.RainDurations[k + 1], 100, SearchCandidate::State::Evaluated, lengths[k]};
    }
    t.governing = 7;
    return report::DesignDiagrams(r, report::DiagramSource{4, true, {t}})[0];
}

// Whether any pixel of the region has the colour exactly.
bool hasColour(const QImage& picture, const QColor& colour, QRect region = {})
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    if (region.isNull())
        region = image.rect();
    const QRgb wanted = colour.rgb();
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = region.left(); x <= region.right(); ++x)
            if (line[x] == wanted)
                return true;
    }
    return false;
}

} // namespace

TEST(DiagramPictures, HaveTheirSizeAndMarkTheGoverningPointOnlyWhenThereIsOne)
{
    const report::Diagram plot = trenchLengths();
    ASSERT_TRUE(plot.drawable());
    const QImage picture = QImage::fromData(ui::diagramPng(plot, QSize(640, 320), 2), "PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1280, 640));
    EXPECT_TRUE(hasColour(picture, kMarkColour));
    // The governing point lies in the right part of the plot, high up: 90 of
    // 120 min, the largest length.
    EXPECT_TRUE(hasColour(picture, kMarkColour, QRect(800, 0, 440, 320)));
    EXPECT_FALSE(hasColour(picture, kMarkColour, QRect(0, 320, 640, 320)));

    report::Diagram words = plot;
    words.message = "Výpočet nebyl proveden pro aktuální zadání.";
    const QImage said = QImage::fromData(ui::diagramPng(words, QSize(640, 320), 2), "PNG");
    EXPECT_EQ(said.size(), QSize(1280, 640));
    EXPECT_FALSE(hasColour(said, kMarkColour));
}

namespace {

class ResultsDiagramsTest : public test::MainWindowTest {
protected:
    ResultsDiagramsTest() { app.setDiagramRenderer(&renderer); }

    // The worked trench: 1000 m², 150 l/(s·ha) at 15 min only.
    void trenchDesign()
    {
        app.userAction([this] {
            auto& c = app.calc();
            c.box("txtProjName").setText("Rýha u haly");
            for (int k = 1; k <= 9; ++k)
                app.record().RainIntensities[k] = k == 3 ? 150.0f : 0.0f;
            c.selectTab(1);
            app.record().OdvodNepPlocha = 1000; // as the drained-area editor writes it
            c.box("txtOdvodNepPlocha").setText("1000");
            c.box("txtSoucFiltrace").setText("1e-5");
            c.optSelType[0]->click();
            c.cboSelType->setListIndex(4);
            c.box("txtPorVyplne", 4).setText("0.35");
            c.box("txtSirkaRyhy", 4).setText("0.5");
            c.box("txtVyskaRyhy", 4).setText("1");
            c.control<model::Button>("cmdCalcul", 4).click();
        });
    }

    // A combined object under a plausible rain: two searches, three diagrams.
    void combinedDesign()
    {
        app.userAction([this] {
            auto& c = app.calc();
            const float rain[] = {290, 218, 175, 146, 110, 82, 66, 48, 38};
            for (int k = 1; k <= 9; ++k)
                app.record().RainIntensities[k] = rain[k - 1];
            c.selectTab(1);
            app.record().OdvodNepPlocha = 2000;
            c.box("txtOdvodNepPlocha").setText("2000");
            c.box("txtSoucFiltrace").setText("5e-6");
            c.optSelType[0]->click();
            c.cboSelType->setListIndex(3);
            c.box("txtSoucFiltrPruleh", 3).setText("2e-5");
            c.box("txtSirkaRyhy", 3).setText("0.6");
            c.box("txtVyskaRyhy", 3).setText("0.8");
            c.control<model::Button>("cmdCalcul", 3).click();
        });
    }

    ui::QtDiagramRenderer renderer;
};

} // namespace

TEST_F(ResultsDiagramsTest, TheResultsTabShowsTheNineLengthsBesideTheReport)
{
    showMainWindow();
    trenchDesign();
    window->tabs()->setCurrentIndex(3);
    ui::DiagramsPanel* panel = window->diagramsPanel();
    ASSERT_TRUE(test::waitFor([&] { return panel->isVisible(); }));
    const auto views = panel->views();
    ASSERT_EQ(views.size(), 2u);
    const report::Diagram& lengths = views[0]->diagram();
    ASSERT_TRUE(lengths.drawable()) << lengths.message;
    EXPECT_EQ(lengths.points.size(), 9u);
    EXPECT_EQ(lengths.marked, 2);
    EXPECT_EQ(lengths.markLabel, "89.8 m při 15 min");
    EXPECT_GT(views[0]->height(), 150);

    // The same diagrams are the report's pictures, at twice their page size.
    ASSERT_EQ(app.reportPictures().size(), 2u);
    for (const std::string& picture : app.reportPictures())
        EXPECT_EQ(QImage(QString::fromStdString(picture)).size(), QSize(1280, 640)) << picture;

    // A PDF saved from the tab holds them as well.
    QTemporaryDir target;
    const QString pdf = target.filePath(QStringLiteral("rýha.pdf"));
    ASSERT_TRUE(window->resultsView()->saveAs(pdf));
    QFile saved(pdf);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_GE(saved.readAll().count("/Subtype /Image"), 2);

    window->tabs()->setCurrentIndex(1);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(app.reportPictures().empty());
}

// The results tab with its diagrams for a person to look at: set
// INFIL_SHOTS_DIR to a folder to write it (at the size the window opens with
// on a 1366 x 768 screen, and the combined object's three diagrams).
TEST_F(ResultsDiagramsTest, Screenshots)
{
    const char* dir = std::getenv("INFIL_SHOTS_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "INFIL_SHOTS_DIR not set";
    QDir().mkpath(dir);
    window->resize(1350, 700);
    showMainWindow();
    trenchDesign();
    window->tabs()->setCurrentIndex(3);
    test::waitFor([&] { return window->diagramsPanel()->isVisible(); });
    QTest::qWait(50);
    window->grab().save(QDir(dir).filePath("results-diagrams.png"));
    window->resultsView()->saveAs(QDir(dir).filePath("results-diagrams.pdf"));
    for (std::size_t k = 0; k < app.reportPictures().size(); ++k)
        QImage(QString::fromStdString(app.reportPictures()[k]))
            .save(QDir(dir).filePath(QString("report-picture%1.png").arg(k + 1)));

    window->tabs()->setCurrentIndex(1);
    combinedDesign();
    window->tabs()->setCurrentIndex(3);
    QTest::qWait(50);
    window->grab().save(QDir(dir).filePath("results-diagrams-combined.png"));

    // Words where there is nothing to draw: the surface searches nothing.
    window->tabs()->setCurrentIndex(1);
    app.userAction([this] {
        app.calc().box("txtSelIntDeste").setText("146");
        app.calc().box("txtSelDTrvDeste").setText("20");
        app.calc().cboSelType->setListIndex(1);
    });
    window->tabs()->setCurrentIndex(3);
    QTest::qWait(50);
    window->grab().save(QDir(dir).filePath("results-diagrams-surface.png"));
}
