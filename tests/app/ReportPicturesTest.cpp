// The report's diagrams: pictures written beside the report, named in its last
// section, and gone with it.
#include "AppFixture.h"
#include "RainTestSupport.h"

#include "Cp1250.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace infil;
using namespace infil::test;

namespace {

// Draws every diagram as a few bytes naming it; can be told to fail.
class FakeRenderer : public model::DiagramRenderer {
public:
    std::string png(const report::Diagram& diagram, int width, int height) override
    {
        sizes.push_back({width, height});
        return failing ? "" : "PNG " + diagram.key;
    }
    bool failing = false;
    std::vector<std::pair<int, int>> sizes;
};

std::string read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The folder must exist before the application that writes into it.
struct Folder {
    TempDir folder;
};

class ReportPicturesTest : protected Folder, public AppTest {
protected:
    ReportPicturesTest() : AppTest(folder.path().string()) { app.setDiagramRenderer(&renderer); }

    // The trench of the worked example: 1000 m², 150 l/(s·ha) at 15 min only.
    void trench(const char* safety = "1.2")
    {
        rec().ProjName = "Rýha u haly";
        for (int k = 1; k <= 9; ++k)
            rec().RainIntensities[k] = k == 3 ? 150.0f : 0.0f;
        rec().OdvodNepPlocha = 1000; // as the drained-area editor writes it
        calc().box("txtOdvodNepPlocha").setText("1000");
        calc().box("txtSoucFiltrace").setText("1e-5");
        user([&] { calc().optSelType[0]->click(); });
        user([&] { calc().cboSelType->setListIndex(4); });
        calc().box("txtPorVyplne", 4).setText("0.35");
        calc().box("txtSirkaRyhy", 4).setText("0.5");
        calc().box("txtVyskaRyhy", 4).setText("1");
        calc().box("txtSoucBezp", 4).setText(safety);
        user([&] { calc().control<model::Button>("cmdCalcul", 4).click(); });
    }
    std::string page() { return report::FromWindows1250(read(app.lastReport())); }

    FakeRenderer renderer;
};

} // namespace

TEST_F(ReportPicturesTest, PicturesLieBesideTheReportAndGoWithIt)
{
    trench();
    user([&] { calc().selectTab(3); });
    ASSERT_FALSE(app.lastReport().empty());

    const fs::path length = folder / "Infil_Rýha u haly-delka.png";
    const fs::path rain = folder / "Infil_Rýha u haly-dest.png";
    EXPECT_EQ(app.reportPictures(), (std::vector<std::string>{length.string(), rain.string()}));
    EXPECT_EQ(read(length), "PNG delka");
    EXPECT_EQ(read(rain), "PNG dest");
    for (const auto& size : renderer.sizes)
        EXPECT_EQ(size, std::make_pair(model::Application::kPictureWidth, model::Application::kPictureHeight));

    const std::string text = page();
    EXPECT_NE(text.find("<u>Diagramy návrhu</u><p><img src=\"Infil_R%C3%BDha%20u%20haly-delka.png\" width=640 "
                        "height=320"),
              std::string::npos);
    EXPECT_NE(text.find("src=\"Infil_R%C3%BDha%20u%20haly-dest.png\""), std::string::npos);
    // The window shows the diagrams the pictures were drawn from.
    ASSERT_EQ(app.reportDiagrams().size(), 2u);
    EXPECT_EQ(app.reportDiagrams()[0].markLabel, "89.8 m při 15 min");

    // Back to the calculation: the report and its pictures are deleted.
    user([&] { calc().selectTab(1); });
    EXPECT_FALSE(fs::exists(length));
    EXPECT_FALSE(fs::exists(rain));
    EXPECT_TRUE(app.reportPictures().empty());
}

TEST_F(ReportPicturesTest, WithoutAPictureThePageSaysWhy)
{
    // A fault mid-search: the length's diagram says so in words, the rain is drawn.
    trench("0");
    user([&] { calc().selectTab(3); });
    std::string text = page();
    EXPECT_NE(text.find("<b>Délka infilovací rýhy podle doby trvání deště</b><br>Výpočet byl přerušen při době "
                        "trvání 5 min (dělení nulou)"),
              std::string::npos);
    EXPECT_EQ(app.reportPictures().size(), 1u);

    // A renderer that cannot draw, and none at all.
    user([&] { calc().selectTab(1); });
    calc().box("txtSoucBezp", 4).setText("1.2");
    user([&] { calc().control<model::Button>("cmdCalcul", 4).click(); });
    renderer.failing = true;
    user([&] { calc().selectTab(3); });
    text = page();
    EXPECT_NE(text.find("<br>Obrázek diagramu se nepodařilo vykreslit.</p>"), std::string::npos);
    EXPECT_TRUE(app.reportPictures().empty());

    app.setDiagramRenderer(nullptr);
    user([&] { calc().selectTab(1); });
    user([&] { calc().selectTab(3); });
    EXPECT_NE(page().find("<br>Obrázek diagramu není k dispozici.</p>"), std::string::npos);
}

TEST_F(ReportPicturesTest, ChangedInputsLeaveNoDiagramOfTheOldSearch)
{
    trench();
    calc().box("txtSirkaRyhy", 4).setText("0.6");
    user([&] { calc().selectTab(3); });
    ASSERT_FALSE(app.reportDiagrams().empty());
    EXPECT_EQ(app.reportDiagrams()[0].message, "Výpočet nebyl proveden pro aktuální zadání.");
}
