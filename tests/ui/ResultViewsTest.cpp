// The description and results views on real widgets: Czech letters survive the
// code page, the logo is found, a saved copy keeps its picture, and nothing old
// stays visible after a report is withdrawn.
#include "ReferenceTables.h"
#include "ReportFile.h"

#include "ResultViews.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace infil;

namespace {

const QString kWebs = QStringLiteral(INFIL_SOURCE_DIR "/data/Webs");

class Recorder : public MessagePort {
public:
    std::vector<Message> shown;
    void showMessage(const Message& m) override { shown.push_back(m); }
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every picture of the document, as the document resolves it.
std::vector<QVariant> pictures(QTextDocument* doc)
{
    std::vector<QVariant> found;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                found.push_back(doc->resource(QTextDocument::ImageResource,
                                              QUrl(it.fragment().charFormat().toImageFormat().name())));
    return found;
}

// An application folder with the shipped logo and a written report; with a
// diagram, its picture lies beside the report and the report names it.
struct AppFolder {
    QTemporaryDir dir;
    QString report;
    QString diagram;

    explicit AppFolder(bool withDiagram = false)
    {
        QDir(dir.path()).mkpath(QStringLiteral("Webs/Desc_soubory"));
        QFile::copy(kWebs + QStringLiteral("/Desc_soubory/logo.gif"),
                    dir.filePath(QStringLiteral("Webs/Desc_soubory/logo.gif")));
        ProjectRecord r;
        InitReferenceTables(r);
        InitSubAreaLists(r);
        r.ProjName = "Čistírna Žďár";
        r.Projektant = "Ing. Řehoř Šťastný";
        r.Investor = "Obec Čížkovice";
        r.MistoAkce = "Žďár nad Sázavou";
        r.Details = "Vsakování ze střech a zpevněných ploch areálu.\r\nPodloží: střední písek.";
        r.StationName = "Brno";
        r.PeriodicityText = "0.2";
        const float intensities[] = {290, 212, 170, 141, 105, 78, 63, 46, 37.5f};
        for (int i = 1; i <= 9; ++i)
            r.RainIntensities[i] = intensities[i - 1];
        r.SelDTrvDeste = 15;
        r.SubAreaSizes.reset(3);
        r.SubAreaCoefs.reset(3);
        r.SubAreaKinds.reset(3);
        r.SubAreaSizes[1] = 800;
        r.SubAreaCoefs[1] = 0.9f;
        r.SubAreaKinds[1] = "asfalt, bezesparý beton";
        r.SubAreaSizes[2] = 400;
        r.SubAreaCoefs[2] = 0.5f;
        r.SubAreaKinds[2] = "humusová vrstva < 10 cm";
        r.OdvodNepPlocha = 920;
        r.SoucFiltrace = 0.00002f;
        r.TypPudyPodlozi = "Střední písek";
        r.HPV = 4;
        r.SirkaRyhy = 0.6f;
        r.VyskaRyhy = 1;
        r.PrumTroubVnit = 150;
        r.PrumTroubVnej = 160;
        r.VystupPlocha = 50;
        r.VystupRychlost = 0.5f;
        r.InfilPlocha = 63.9f;
        r.ObjAkum = 10.1f;
        r.DelkaRyhy = 58.1f;
        r.ResultsFilePath = report::ResultsFilePathFor(dir.path().toStdString(), r.ProjName);
        FormState f;
        f.TechIndex = 4;
        report::ReportControls c;
        c.chkSelPretok4 = true;
        if (withDiagram) {
            const std::string name = report::ResultsFileNameFor(r.ProjName) + "-delka.png";
            diagram = dir.filePath(QString::fromStdString(name));
            QImage picture(1280, 640, QImage::Format_RGB32);
            picture.fill(Qt::darkBlue);
            picture.save(diagram, "PNG");
            c.diagrams = {{"Délka infilovací rýhy podle doby trvání deště", name, 640, 320, ""}};
        }
        Recorder messages;
        report::WriteResultsReport(r, f, c, {"7.3.2024", "9:05:01"}, messages);
        report = QString::fromStdString(r.ResultsFilePath);
    }
};

// How many pictures a PDF holds.
int pdfImages(const QByteArray& pdf) { return int(pdf.count("/Subtype /Image")); }

} // namespace

TEST(ResultsView, ShowsTheReportWithCzechLettersAndItsLogo)
{
    AppFolder app;
    ui::ResultsView view;
    view.resize(900, 700);
    ASSERT_TRUE(view.showReport(app.report));
    const QString text = view.browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Čistírna Žďár")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ing. Řehoř Šťastný")));
    EXPECT_TRUE(text.contains(QStringLiteral("Návrhový déšť")));
    EXPECT_TRUE(text.contains(QStringLiteral("humusová vrstva < 10 cm")));
    EXPECT_TRUE(text.contains(QStringLiteral("areálu.\u2028Podloží")) ||
                text.contains(QStringLiteral("areálu.\nPodloží")));
    EXPECT_TRUE(text.contains(QStringLiteral("Datum a čas výpočtu:")));
    const auto pics = pictures(view.browser()->document());
    ASSERT_EQ(pics.size(), 1u);
    EXPECT_FALSE(pics[0].value<QImage>().isNull());
}

TEST(ResultsView, WithdrawnReportLeavesNothingToShowSaveOrPrint)
{
    AppFolder app;
    ui::ResultsView view;
    view.showReport(app.report);
    view.hideReport();
    EXPECT_TRUE(view.browser()->isHidden());
    EXPECT_TRUE(view.browser()->toPlainText().isEmpty());

    Recorder messages;
    view.setMessagePort(&messages);
    EXPECT_FALSE(view.saveAs(app.dir.filePath(QStringLiteral("copy.htm"))));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(QFile::exists(app.dir.filePath(QStringLiteral("copy.htm"))));

    // A page that cannot be read says so instead of keeping the previous one.
    view.showReport(app.report);
    EXPECT_FALSE(view.showReport(app.dir.filePath(QStringLiteral("Infil_gone"))));
    EXPECT_FALSE(view.browser()->toPlainText().contains(QStringLiteral("Čistírna")));
}

TEST(ResultsView, SavedCopyKeepsItsBytesAndFindsItsLogo)
{
    AppFolder app;
    QTemporaryDir target;
    ui::ResultsView view;
    Recorder messages;
    view.setMessagePort(&messages);
    view.showReport(app.report);

    const QString copy = target.filePath(QStringLiteral("Zpráva.htm"));
    ASSERT_TRUE(view.saveAs(copy));
    const QByteArray original = readAll(app.report);
    const std::string expected =
        report::RelinkLogo(std::string_view(original.constData(), std::size_t(original.size())),
                           "Zpráva_soubory");
    EXPECT_EQ(readAll(copy).toStdString(), expected);
    EXPECT_EQ(readAll(target.filePath(QStringLiteral("Zpráva_soubory/logo.gif"))),
              readAll(kWebs + QStringLiteral("/Desc_soubory/logo.gif")));

    // The copy shows the same text and its own logo.
    ui::ResultsView again;
    again.showReport(copy);
    EXPECT_EQ(again.browser()->toPlainText(), view.browser()->toPlainText());
    const auto pics = pictures(again.browser()->document());
    ASSERT_EQ(pics.size(), 1u);
    EXPECT_FALSE(pics[0].value<QImage>().isNull());

    const QString pdf = target.filePath(QStringLiteral("zprava.PDF"));
    ASSERT_TRUE(view.saveAs(pdf));
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF"));

    EXPECT_FALSE(view.saveAs(target.filePath(QStringLiteral("no/such/folder/x.htm"))));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("složka neexistuje"), std::string::npos);
}

// The diagrams beside the report go with a saved copy into its folder, and
// into a PDF.
TEST(ResultsView, SavedCopyAndPdfCarryTheDiagrams)
{
    AppFolder plain;
    AppFolder app(true);
    QTemporaryDir target;
    ui::ResultsView view;
    Recorder messages;
    view.setMessagePort(&messages);
    view.showReport(app.report);
    auto pics = pictures(view.browser()->document());
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[1].value<QImage>().size(), QSize(1280, 640));

    const QString copy = target.filePath(QStringLiteral("Zpráva.htm"));
    ASSERT_TRUE(view.saveAs(copy));
    const QString copied = target.filePath(QStringLiteral("Zpráva_soubory/") + QFileInfo(app.diagram).fileName());
    EXPECT_EQ(readAll(copied), readAll(app.diagram));
    ui::ResultsView again;
    again.showReport(copy);
    pics = pictures(again.browser()->document());
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[1].value<QImage>().size(), QSize(1280, 640));

    // A PDF holds one picture more than that of the report without the diagram.
    ASSERT_TRUE(view.saveAs(target.filePath(QStringLiteral("a.pdf"))));
    ui::ResultsView other;
    other.showReport(plain.report);
    ASSERT_TRUE(other.saveAs(target.filePath(QStringLiteral("b.pdf"))));
    EXPECT_EQ(pdfImages(readAll(target.filePath(QStringLiteral("a.pdf")))),
              pdfImages(readAll(target.filePath(QStringLiteral("b.pdf")))) + 1);
    EXPECT_TRUE(messages.shown.empty());
}

// A name the user picks may already be a link (to a file of someone else's)
// or a pipe: the saved page replaces it and writes through neither.
TEST(ResultsView, SavingOverALinkOrAPipeReplacesItWithoutWritingThrough)
{
    AppFolder app;
    QTemporaryDir target;
    ui::ResultsView view;
    Recorder messages;
    view.setMessagePort(&messages);
    view.showReport(app.report);

    const QString victim = target.filePath(QStringLiteral("victim"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("precious");
    v.close();
    const QString html = target.filePath(QStringLiteral("a.htm"));
    const QString pdf = target.filePath(QStringLiteral("a.pdf"));
    ASSERT_TRUE(QFile::link(victim, html));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pdf).constData(), 0600), 0);

    ASSERT_TRUE(view.saveAs(html));
    ASSERT_TRUE(view.saveAs(pdf));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(readAll(victim), "precious");
    EXPECT_FALSE(QFileInfo(html).isSymLink());
    EXPECT_TRUE(readAll(html).startsWith("<html>"));
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF"));
}

// The save dialog opens where the user saved last, also in the next run, and
// the view says where the page went; a failed save remembers nothing.
TEST(ResultsView, TheSaveFolderIsRememberedAndTheSavedPathAnnounced)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    AppFolder app;
    QTemporaryDir target;
    ui::ResultsView view;
    Recorder messages;
    view.setMessagePort(&messages);
    view.showReport(app.report);
    EXPECT_EQ(ui::ResultsView::saveFolder(), QDir::homePath());

    QStringList announced;
    QObject::connect(&view, &ui::ResultsView::saved, [&](const QString& file) { announced << file; });
    const QString copy = target.filePath(QStringLiteral("projekt.htm"));
    ASSERT_TRUE(view.saveChosen(copy));
    EXPECT_EQ(announced, QStringList{QFileInfo(copy).absoluteFilePath()});
    EXPECT_EQ(ui::ResultsView::saveFolder(), QFileInfo(copy).absolutePath());

    EXPECT_FALSE(view.saveChosen(target.filePath(QStringLiteral("no/such/folder/x.htm"))));
    EXPECT_EQ(announced.size(), 1);
    EXPECT_EQ(ui::ResultsView::saveFolder(), QFileInfo(copy).absolutePath());

    // A folder that is gone since: the home folder again.
    const QString gone = target.filePath(QStringLiteral("gone"));
    QDir().mkpath(gone);
    ASSERT_TRUE(view.saveChosen(gone + QStringLiteral("/x.htm")));
    QDir(gone).removeRecursively();
    EXPECT_EQ(ui::ResultsView::saveFolder(), QDir::homePath());
}

TEST(DescriptionView, EveryTechnologyHasItsPage)
{
    ui::DescriptionView view;
    const char* titles[] = {"Plošné infilování", "Infilování v průlehu",
                            "Infilování v kombinovaném objektu",
                            "Infilování rýhové a kombinace rýhy a drénu", "Šachtové infilování",
                            "Infilovací nádrže"};
    for (int k = 1; k <= 6; ++k) {
        ASSERT_TRUE(view.showPage(kWebs + QStringLiteral("/Desc0%1.htm").arg(k))) << k;
        EXPECT_TRUE(view.browser()->toPlainText().contains(QString::fromUtf8(titles[k - 1]))) << k;
        const auto pics = pictures(view.browser()->document());
        ASSERT_FALSE(pics.empty()) << k;
        EXPECT_FALSE(pics[0].value<QImage>().isNull()) << k;
        // Stored in the code page they declare: no UTF-8 sequences for Czech letters.
        const QByteArray bytes = readAll(kWebs + QStringLiteral("/Desc0%1.htm").arg(k));
        EXPECT_TRUE(bytes.contains("charset=windows-1250")) << k;
        EXPECT_FALSE(bytes.contains("\xC3\xA1")) << k; // "á" in UTF-8
    }
    view.hidePage();
    EXPECT_TRUE(view.browser()->isHidden());
    EXPECT_FALSE(view.showPage(kWebs + QStringLiteral("/Desc07.htm")));
}

// Pictures of the views for a person to look at: INFIL_SHOTS=<folder>.
TEST(ResultsView, Screenshots)
{
    const QByteArray folder = qgetenv("INFIL_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set INFIL_SHOTS to a folder to get the pictures";
    AppFolder app;
    ui::ResultsView view;
    view.resize(1000, 760);
    view.showReport(app.report);
    view.show();
    view.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/results.png"));

    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &view, &ui::ResultsView::printTo);
    preview.resize(1000, 900);
    preview.show();
    preview.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/preview.png"));

    ui::DescriptionView description;
    description.resize(1000, 900);
    description.showPage(kWebs + QStringLiteral("/Desc05.htm"));
    description.show();
    description.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/desc05.png"));
}
