// The record's headers come before any Qt header: SlotList::slots() would
// otherwise meet Qt's "slots" keyword macro.
#include "Cp1250.h"
#include "Messages.h"
#include "ReportFile.h"

#include "ResultViews.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QMessageBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTextDocument>
#include <QTextFrame>
#include <QVBoxLayout>

#include <memory>
#include <utility>
#include <vector>

namespace infil::ui {
namespace {

QString fromBytes(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// The user's own settings of the program (~/.config/infil/infil.conf).
QSettings settings() { return QSettings(QStringLiteral("infil"), QStringLiteral("infil")); }
const char* const kSaveFolderKey = "report/saveFolder";
std::string toUtf8(const QString& s) { return s.toUtf8().toStdString(); }

} // namespace

// ---- PageBrowser ----

PageBrowser::PageBrowser(QWidget* parent) : QTextBrowser(parent)
{
    // The pages hold no navigation of their own; a click must not replace the report.
    setOpenLinks(false);
    // A little air between a value and its unit, which sit in neighbouring cells.
    document()->setDefaultStyleSheet(QStringLiteral("td, th { padding-left: 3px; padding-right: 3px; }"));
}

bool PageBrowser::showFile(const QString& path)
{
    clearPage();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setHtml(QStringLiteral("<p>Stránku <b>%1</b> nelze zobrazit.</p>").arg(path.toHtmlEscaped()));
        return false;
    }
    bytes_ = file.readAll();
    path_ = path;
    const std::string text = report::FromWindows1250(std::string_view(bytes_.constData(),
                                                                      std::size_t(bytes_.size())));
    setHtml(fromBytes(text));
    return true;
}

void PageBrowser::clearPage()
{
    path_.clear();
    bytes_.clear();
    clear();
}

QVariant PageBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::ImageResource && !path_.isEmpty()) {
        QString file;
        if (name.isLocalFile()) {
            file = name.toLocalFile();
        } else if (name.isRelative()) {
            QString relative = name.path(QUrl::FullyDecoded);
            relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
            file = QFileInfo(path_).absoluteDir().filePath(relative);
        }
        if (!file.isEmpty()) {
            QImage image(file);
            if (!image.isNull())
                return image;
        }
    }
    return QTextBrowser::loadResource(type, name);
}

// ---- DescriptionView ----

DescriptionView::DescriptionView(QWidget* parent) : QWidget(parent), browser_(new PageBrowser(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->hide();
}

bool DescriptionView::showPage(const QString& path)
{
    const bool ok = browser_->showFile(path);
    browser_->show();
    return ok;
}

void DescriptionView::hidePage()
{
    browser_->hide();
    browser_->clearPage();
}

// ---- ResultsView ----

ResultsView::ResultsView(QWidget* parent) : QWidget(parent), browser_(new PageBrowser(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_, 1);
    browser_->hide();
}

bool ResultsView::showReport(const QString& path)
{
    const bool ok = browser_->showFile(path);
    browser_->show();
    return ok;
}

void ResultsView::hideReport()
{
    browser_->hide();
    browser_->clearPage();
}


void ResultsView::reportFailure(const QString& fileName, const QString& reason)
{
    const QString text = QStringLiteral("Soubor %1 nelze uložit (%2).").arg(fileName, reason);
    if (messages_) {
        messages_->showMessage({MessageIcon::Stop, std::string(kAppTitle), toUtf8(text)});
        return;
    }
    QMessageBox::critical(this, QString::fromUtf8(kAppTitle.data(), qsizetype(kAppTitle.size())), text);
}

bool ResultsView::saveAs(const QString& fileName)
{
    if (!browser_->hasPage()) {
        reportFailure(fileName, QStringLiteral("není zobrazena žádná stránka"));
        return false;
    }
    // Each file is made whole under a temporary name and then takes its own
    // (see ReportFile.h): a failure leaves an older file of that name as it was.
    auto write = [this](const QString& name, std::string_view bytes) {
        std::string reason;
        if (report::WriteFileBytes(QFile::encodeName(name).toStdString(), bytes, &reason, true))
            return true;
        reportFailure(name, fromBytes(reason));
        return false;
    };

    if (fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&pdf);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setResolution(QPrinter(QPrinter::HighResolution).resolution());
            writer.setCreator(QStringLiteral("Infil"));
            layOut(&writer);
        }
        if (pdf.data().isEmpty()) {
            reportFailure(fileName, QStringLiteral("dokument PDF se nepodařilo vytvořit"));
            return false;
        }
        return write(fileName, std::string_view(pdf.data().constData(), std::size_t(pdf.data().size())));
    }

    // The copy finds its pictures (the logo, the diagrams beside the page) in a
    // folder named after it, as browsers save pages.
    const QFileInfo info(fileName);
    const QString folderName = info.completeBaseName() + QStringLiteral("_soubory");
    const std::string_view shown(browser_->pageBytes().constData(), std::size_t(browser_->pageBytes().size()));
    const std::string page =
        report::RelinkPicturesBeside(report::RelinkLogo(shown, toUtf8(folderName)), toUtf8(folderName));
    if (!write(fileName, page))
        return false;

    const QDir pageFolder = QFileInfo(browser_->pagePath()).absoluteDir();
    std::vector<std::pair<QString, QString>> pictures; // from, name in the folder
    pictures.emplace_back(pageFolder.filePath(QStringLiteral("Webs/Desc_soubory/logo.gif")), QStringLiteral("logo.gif"));
    for (const std::string& name : report::PicturesBeside(shown))
        pictures.emplace_back(pageFolder.filePath(fromBytes(name)), fromBytes(name));
    const QString folder = info.absoluteDir().filePath(folderName);
    bool folderMade = false;
    for (const auto& [from, name] : pictures) {
        QFile source(from);
        if (!source.open(QIODevice::ReadOnly))
            continue; // a picture gone from beside the page: the page is saved without it
        const QByteArray bytes = source.readAll();
        if (!folderMade && !QDir().mkpath(folder)) {
            reportFailure(folder, QStringLiteral("složku pro obrázky nelze vytvořit"));
            return false;
        }
        folderMade = true;
        if (!write(folder + QLatin1Char('/') + name, std::string_view(bytes.constData(), std::size_t(bytes.size()))))
            return false;
    }
    return true;
}

void ResultsView::printTo(QPrinter* printer)
{
    layOut(printer);
}

void ResultsView::layOut(QPagedPaintDevice* device)
{
    // The report's tables are laid out for a page some 900 pixels wide, wider than
    // paper at screen resolution: the page is scaled down to the paper, not cut.
    std::unique_ptr<QTextDocument> doc(browser_->document()->clone(browser_->document()));
    const QRectF paper = device->pageLayout().paintRectPixels(device->logicalDpiX());
    constexpr qreal kPageWidth = 940;
    constexpr qreal kMargin = 40;
    if (paper.width() > 0)
        doc->setPageSize(QSizeF(kPageWidth, kPageWidth * paper.height() / paper.width()));
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setMargin(kMargin);
    doc->rootFrame()->setFrameFormat(frame);
    doc->print(device);
}

void ResultsView::askAndSave()
{
    if (!browser_->hasPage())
        return;
    QFileDialog dialog(this, QStringLiteral("Uložit jako"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString html = QStringLiteral("Webová stránka (*.htm *.html)");
    const QString pdf = QStringLiteral("Dokument PDF (*.pdf)");
    dialog.setNameFilters({html, pdf});
    dialog.setDefaultSuffix(QStringLiteral("htm"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == pdf ? QStringLiteral("pdf") : QStringLiteral("htm"));
    });
    dialog.setDirectory(saveFolder());
    dialog.selectFile(QFileInfo(browser_->pagePath()).fileName() + QStringLiteral(".htm"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveChosen(dialog.selectedFiles().constFirst());
}

bool ResultsView::saveChosen(const QString& fileName)
{
    if (!saveAs(fileName))
        return false;
    settings().setValue(QLatin1String(kSaveFolderKey), QFileInfo(fileName).absolutePath());
    Q_EMIT saved(QFileInfo(fileName).absoluteFilePath());
    return true;
}

QString ResultsView::saveFolder()
{
    const QString folder = settings().value(QLatin1String(kSaveFolderKey)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void ResultsView::printPreview()
{
    if (!browser_->hasPage())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Tisk"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &ResultsView::printTo);
    preview.exec();
}

} // namespace infil::ui
