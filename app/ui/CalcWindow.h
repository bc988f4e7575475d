#pragma once
// The main window frmCalc: a thin view of the main window's model (CalcForm).
// It builds the widgets, binds each to its control model and mirrors the
// window's own state (tab, enabled); everything it does is decided by the model.

#include "model/Application.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QTabWidget;
class QTimer;

namespace infil::model {
class CalcForm;
class Container;
class Control;
} // namespace infil::model

namespace infil::ui {

class Binder;
class DescriptionView;
class DiagramsPanel;
class ProjectMenu;
class ResultsView;
class SelectionGuide;
class VeerHost;

class CalcWindow : public QMainWindow, private model::ReportView {
    Q_OBJECT
public:
    // The window shows the application's main window model; the application
    // (and its message port) must outlive the window.
    explicit CalcWindow(model::Application& app, QWidget* parent = nullptr);
    ~CalcWindow() override;

    model::Application& application() const { return app_; }
    Binder& binder() const { return *binder_; }
    QTabWidget* tabs() const { return tabs_; }
    // The widget that shows a control of the window, nullptr if none.
    QWidget* widgetFor(const model::Control& control) const;

    // The diagram on the "Výpočet" tab; its captionHost(0..2) are the places of
    // the three rotated captions.
    SelectionGuide* selectionGuide() const { return guide_; }
    // The hosting of the guide's three turned captions.
    VeerHost& veerHost() const { return *veerHost_; }
    // Where the description view (tab "Popis technologie") and the results view
    // (tab "Výsledky") go: empty widgets with a vertical layout.
    QWidget* descriptionArea() const { return descriptionArea_; }
    QWidget* resultsArea() const { return resultsArea_; }
    DescriptionView* descriptionView() const { return descriptionView_; }
    ResultsView* resultsView() const { return resultsView_; }
    // The design's diagrams beside the report.
    DiagramsPanel* diagramsPanel() const { return diagrams_; }
    // The menu "Soubor" and its project commands.
    ProjectMenu* projectMenu() const { return projectMenu_; }

Q_SIGNALS:
    // The user closed the window: the program ends.
    void closed();

protected:
    // Asks about unsaved changes first; "Storno" keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // A project file dropped on the window opens.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildProjectTab();
    QWidget* buildCalculationTab();
    QWidget* buildSharedInputs(QWidget* parent);
    QWidget* buildTechnologyChoice(QWidget* parent);
    QWidget* buildVerdict(QWidget* parent);
    QWidget* buildPaneArea(const std::vector<model::Control*>& panes, QWidget* parent);
    QWidget* buildPane(model::Container& pane, QWidget* parent);
    QWidget* buildPanel(model::Container& panel, QWidget* pane);
    // ReportView: the results tab's buttons act on the shown report.
    void saveShownReport() override;
    void previewShownReport() override;
    QWidget* buildDescriptionTab();
    QWidget* buildResultsTab();
    void mirrorTab();
    void mirrorPages();

    model::Application& app_;
    model::CalcForm& calc_;
    Binder* binder_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    SelectionGuide* guide_ = nullptr;
    QWidget* descriptionArea_ = nullptr;
    QWidget* resultsArea_ = nullptr;
    DescriptionView* descriptionView_ = nullptr;
    ResultsView* resultsView_ = nullptr;
    DiagramsPanel* diagrams_ = nullptr;
    ProjectMenu* projectMenu_ = nullptr;
    int shownRevision_ = 0;
    QTimer* clock_ = nullptr;
    int boxWidth_ = 0;
    std::unique_ptr<VeerHost> veerHost_;
};

} // namespace infil::ui
