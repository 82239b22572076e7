#pragma once
// The main window's report view `RichEdit1` and the report sink bound to it.
#include <QTextCursor>
#include <QTextEdit>

#include "analysis/report_sink.h"

namespace kalvanta {

inline const QString kReportViewName = QStringLiteral("Окно вывода отчета");

class ReportView : public QTextEdit {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);

    // Appends one paragraph without formatting of its own, so it follows the
    // view's base font.
    void appendLine(const QString& line);
    // Shows the vertical scroll bar from now on.
    void setVerticalScrollBars();
    // Sets the base font so that its character cell is `pixels` high; the
    // document is laid out again only when the font really changes.
    void setBaseFontHeight(int pixels);
    // Replaces the whole content at once (Clear).
    void clearAll();

protected:
    // The main window's shortcuts (Ctrl+X/C/V) run its menu commands.
    bool event(QEvent* e) override;
};

// Binds the report builder to a view: every line of one report goes into a
// single edit block, so the view lays itself out once per report.
class ReportViewSink : public ReportSink {
public:
    explicit ReportViewSink(ReportView& view);
    ~ReportViewSink() override;
    ReportViewSink(const ReportViewSink&) = delete;
    ReportViewSink& operator=(const ReportViewSink&) = delete;

    void appendLine(std::string_view line) override;
    void setVerticalScrollBars() override;
    void setBaseFontHeight(int pixels) override;

private:
    ReportView& view_;
    QTextCursor cursor_;
    bool blockOpen_ = false;
};

} // namespace kalvanta
