#include "planning_gui_support.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>
#include <QWindow>

namespace kalvanta::plan_ui {

namespace {

// The last window of this program that had the focus; focus moving to no
// window (another program) leaves it as it was.
QPointer<QWindow>& lastFocusWindow()
{
    static QPointer<QWindow> last;
    return last;
}

void trackFocusWindows()
{
    static bool connected = false;
    if (connected || !qGuiApp)
        return;
    connected = true;
    // focusWindowChanged comes after the widgets' activation events, so
    // an activation handler still sees the window that was active before.
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qGuiApp, [](QWindow* w) {
        if (w)
            lastFocusWindow() = w;
    });
}

} // namespace

ActivationGate::ActivationGate(QWidget* window) : window_(window) { trackFocusWindows(); }

CalculatorDialog::CalculatorDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags), activation_(this)
{
}

void CalculatorDialog::showHelpAndReturn()
{
    if (showHelp_)
        showHelp_();
    // Without a window manager closing the help activates no window: the
    // return is an activation all the same.
    if (isVisible() && !isActiveWindow())
        activateWindow();
}

void CalculatorDialog::showEvent(QShowEvent* event)
{
    activation_.shown();
    if (!event->spontaneous())
        resetDue_ = true;
    QDialog::showEvent(event);
    centerOnFirstShow(this, centred_);
}

void CalculatorDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && activation_.activated() && resetDue_) {
        resetDue_ = false;
        openingActivation();
    }
}

bool ActivationGate::activated()
{
    if (!window_->isActiveWindow())
        return false;
    const bool backFromElsewhere = !justShown_ && lastFocusWindow() && lastFocusWindow() == window_->windowHandle();
    justShown_ = false;
    return !backFromElsewhere;
}

void centerOnFirstShow(QWidget* window, bool& centred)
{
    if (centred)
        return;
    centred = true;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QFont reportFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(pointSize);
    return font;
}

EditBlock::EditBlock(QTextEdit* view) : cursor_(view->document()) { cursor_.beginEditBlock(); }

EditBlock::~EditBlock() { cursor_.endEditBlock(); }

LinesView::LinesView(QWidget* parent) : QTextEdit(parent) {}

void LinesView::appendLine(const QString& line)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!(fresh_ && document()->isEmpty()))
        cursor.insertBlock();
    cursor.insertText(line);
    fresh_ = false;
}

void LinesView::clearLines()
{
    clear();
    document()->setModified(false);
    fresh_ = true;
}

QStringList LinesView::lines() const
{
    QStringList out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

} // namespace kalvanta::plan_ui
