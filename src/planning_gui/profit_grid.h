#pragma once
// The grid of yearly profits: ten editable cells under the year headers
// "1й год" … "10й год", the row headed "Прибыль". Addressed like a string
// grid of 11 columns and 2 rows whose row 0 and column 0 are the headers.
#include <QTableWidget>

namespace kalvanta::plan_ui {

class ProfitGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 11;
    static constexpr int kRows = 2;

    explicit ProfitGrid(QWidget* parent = nullptr);

    // Cells[col][row]: (c, 0) the year headers, (0, 1) the row header,
    // (c, 1) the profit of year c.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);

    // The height that shows the headers, the row and the scroll bar.
    int fittingHeight() const;

    // Takes over the text of a cell editor that is still open.
    void commitOpenEditor();

protected:
    // Tab moves between the cells and leaves the grid after the last one
    // (Shift+Tab before the first), so the keyboard is never trapped.
    bool focusNextPrevChild(bool next) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QString corner_;
};

} // namespace kalvanta::plan_ui
