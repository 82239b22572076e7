#include "profit_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

namespace kalvanta::plan_ui {

namespace {

// A profit cell tells assistive technology which year it holds.
class ProfitItem : public QTableWidgetItem {
public:
    ProfitItem() : QTableWidgetItem(QString()) {}

    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleTextRole || role == Qt::AccessibleDescriptionRole) {
            const QTableWidget* grid = tableWidget();
            QString year;
            QString rowName;
            if (grid) {
                if (const QTableWidgetItem* h = grid->horizontalHeaderItem(column()))
                    year = h->text();
                if (const QTableWidgetItem* h = grid->verticalHeaderItem(row()))
                    rowName = h->text();
            }
            const QString value = text().isEmpty() ? QStringLiteral("пусто") : text();
            if (role == Qt::AccessibleDescriptionRole)
                return QStringLiteral("Прибыль от инвестиционного проекта за %1").arg(year);
            return QStringLiteral("%1, %2: %3").arg(rowName, year, value);
        }
        return QTableWidgetItem::data(role);
    }
};

} // namespace

ProfitGrid::ProfitGrid(QWidget* parent) : QTableWidget(1, kColumns - 1, parent)
{
    for (int c = 0; c < columnCount(); ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        setItem(0, c, new ProfitItem);
    }
    setVerticalHeaderItem(0, new QTableWidgetItem(QString()));
    verticalHeader()->setFixedWidth(64);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    setColumnWidth(0, 65);
    for (int c = 1; c < columnCount(); ++c)
        setColumnWidth(c, 64);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(true);
    setCurrentCell(0, 0);
}

QString ProfitGrid::cell(int col, int row) const
{
    if (col == 0 && row == 0)
        return corner_;
    if (row == 0) {
        const QTableWidgetItem* h = horizontalHeaderItem(col - 1);
        return h ? h->text() : QString();
    }
    if (col == 0) {
        const QTableWidgetItem* h = verticalHeaderItem(row - 1);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* i = item(row - 1, col - 1);
    return i ? i->text() : QString();
}

void ProfitGrid::setCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= kColumns || row < 0 || row >= kRows)
        return;
    if (col == 0 && row == 0)
        corner_ = text;
    else if (row == 0)
        horizontalHeaderItem(col - 1)->setText(text);
    else if (col == 0)
        verticalHeaderItem(row - 1)->setText(text);
    else
        item(row - 1, col - 1)->setText(text);
}

int ProfitGrid::fittingHeight() const
{
    return horizontalHeader()->sizeHint().height() + rowHeight(0) +
           horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
}

void ProfitGrid::commitOpenEditor()
{
    QWidget* focus = QApplication::focusWidget();
    if (state() == QAbstractItemView::EditingState && focus && viewport()->isAncestorOf(focus))
        commitData(focus);
}

bool ProfitGrid::focusNextPrevChild(bool next)
{
    const int col = currentColumn();
    if ((next && col == columnCount() - 1) || (!next && col <= 0))
        return QWidget::focusNextPrevChild(next);
    return QTableWidget::focusNextPrevChild(next);
}

void ProfitGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const int col = currentColumn();
    const bool leaveForward = hint == QAbstractItemDelegate::EditNextItem && col == columnCount() - 1;
    const bool leaveBackward = hint == QAbstractItemDelegate::EditPreviousItem && col <= 0;
    if (leaveForward || leaveBackward) {
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        QWidget::focusNextPrevChild(leaveForward);
        return;
    }
    QTableWidget::closeEditor(editor, hint);
}

} // namespace kalvanta::plan_ui
