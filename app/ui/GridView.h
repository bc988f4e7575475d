#pragma once
// The Qt view of a grid model (model/Grid.h): mirrors its texts, alignments,
// merged cells, pictures, current cell, sizes and position, and forwards the
// user's clicks and arrow keys to the model. It never edits a cell; dialogs put
// their own editors over cellRect().

#include "model/Grid.h"

#include <functional>

#include <QPixmap>
#include <QTableWidget>

namespace infil::ui {

// Screen pixels (logical, 96 per inch) for a length in twips (1440 per inch).
int twipsToPixels(int twips);

class GridView : public QTableWidget {
    Q_OBJECT
public:
    // Item data roles the view fills besides the text and its alignment.
    static constexpr int PictureRole = Qt::UserRole + 1; // int of model::Grid::Picture
    static constexpr int FixedRole = Qt::UserRole + 2;   // bool: a fixed column's cell

    explicit GridView(model::Grid& grid, QWidget* parent = nullptr);

    // How the user's clicks and arrow keys reach the model: a window passes its
    // Binder::act, so a handler's fault becomes a message like any other action.
    using ActionRunner = std::function<void(const std::function<void()>&)>;
    void setActionRunner(ActionRunner runner) { run_ = std::move(runner); }

    model::Grid& grid() const { return grid_; }

    // A cell's rectangle in this widget's coordinates; row 0 is the header row.
    // Merged cells give the rectangle of the single cell, so an editor covers
    // only the row it edits.
    QRect cellRect(int row, int col) const;

    // The two pictures, 16 x 16: a red check mark and a blank.
    static QPixmap picture(model::Grid::Picture picture);

    // Copies the model into the widgets; runs on every change of the model.
    void sync();

    // With more than one line, the header row is that many rows high and its
    // texts wrap at word breaks instead of ending in "…".
    void setHeaderLines(int lines);

    // The column whose cells take a tick ("Výběr"): Enter on a cell there
    // without its tick clicks it, as Space does on any cell; any other Enter
    // is the window's (a second Enter confirms the pick).
    void setPickColumn(int col) { pickColumn_ = col; }

    // Placed by its window's layout rather than at the model's place: it asks
    // for the model's size, but for more where a large type needs it; rows are
    // as high as the type, columns keep their shares of the width. A grid of
    // Rows::All is as high as its rows; one of Rows::Some scrolls.
    enum class Rows { All, Some };
    void setPlacedByLayout(Rows rows);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColumnWidths();
    void showHeaderTexts();

    model::Grid& grid_;
    ActionRunner run_ = [](const std::function<void()>& action) { action(); };
    int rowPixels() const;
    // The width in which every column shows its texts whole at its share.
    int widthForTexts() const;
    int heightForRows(int rows) const;

    int headerLines_ = 1;
    int pickColumn_ = -1;
    bool laidOut_ = false;
    bool allRows_ = false;
};

} // namespace infil::ui
