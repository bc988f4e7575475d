#pragma once
// The description and results views of the main window.
//
// Both show pages stored in Windows-1250. Which page to show, and when, is the
// main window model's decision; these views only load, show, hide, save and print.

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

class QPagedPaintDevice;
class QPrinter;

namespace infil {
class MessagePort;
}

namespace infil::ui {

// A browser for the program's pages. It decodes the file as Windows-1250 and
// finds pictures relative to the page's folder, also when the page names them
// with backslashes (the report's "Webs\Desc_soubory\logo.gif").
class PageBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit PageBrowser(QWidget* parent = nullptr);

    // Shows the page in the file. When the file cannot be read, a short note takes
    // the page's place and the result is false.
    bool showFile(const QString& path);
    // Forgets the page, so nothing old can be shown, saved or printed.
    void clearPage();

    const QString& pagePath() const { return path_; }
    const QByteArray& pageBytes() const { return bytes_; }
    bool hasPage() const { return !path_.isEmpty(); }

    QVariant loadResource(int type, const QUrl& name) override;

private:
    QString path_;
    QByteArray bytes_;
};

// Tab "Popis technologie": the page describing the selected technology.
class DescriptionView : public QWidget {
    Q_OBJECT
public:
    explicit DescriptionView(QWidget* parent = nullptr);

    // Loads the page and shows the browser (a missing page shows a short note).
    bool showPage(const QString& path);
    // Hides the browser and forgets its page.
    void hidePage();

    PageBrowser* browser() const { return browser_; }

private:
    PageBrowser* browser_;
};

// Tab "Výsledky": the report, and what its buttons "Uložit jako" and "Tisk" do.
class ResultsView : public QWidget {
    Q_OBJECT
public:
    explicit ResultsView(QWidget* parent = nullptr);

    // Loads the report and shows the browser.
    bool showReport(const QString& path);
    // Hides the browser and forgets the page shown before.
    void hideReport();

    // Saves the shown page: as PDF when the name ends in ".pdf", otherwise as
    // the page's own bytes with its logo and the pictures beside it (the
    // diagrams) copied into "<name>_soubory" beside it.
    // Each file replaces one of its name whole or not at all. Failures are
    // reported through the message port (or a message box) and give false.
    bool saveAs(const QString& fileName);
    // Asks the user for a name (HTML or PDF) and saves the shown page under it.
    void askAndSave();
    // Saves under a name the user chose: the folder is remembered for the
    // next time, and saved() tells where the page went.
    bool saveChosen(const QString& fileName);
    // Where the save dialog opens: the folder a page was last saved to (kept
    // between runs), or the home folder when there is none or it is gone.
    static QString saveFolder();
    // Opens the print preview of the shown page, from which the user prints.
    void printPreview();
    // Lays the shown page out on the printer's pages.
    void printTo(QPrinter* printer);

    // Where save failures are reported; without one, a message box shows them.
    void setMessagePort(MessagePort* port) { messages_ = port; }

    PageBrowser* browser() const { return browser_; }

Q_SIGNALS:
    // The shown page was saved under this name.
    void saved(const QString& fileName);

private:
    void reportFailure(const QString& fileName, const QString& reason);
    void layOut(QPagedPaintDevice* device);

    PageBrowser* browser_;
    MessagePort* messages_ = nullptr;
};

} // namespace infil::ui
