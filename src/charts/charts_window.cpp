#include "charts_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QVBoxLayout>

#include <stdexcept>

#include "chart_canvas.h"
#include "history_pages.h"
#include "ui/drawn_icon.h"
#include "ui/handler_guard.h"
#include "ui/ui_services.h"

namespace kalvanta {

namespace {

const QString kSaveCaption = QStringLiteral("Сохранить диаграмму");
const QString kPictureFilter = QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)");
const QString kReplaceTitle = QStringLiteral("Confirm Save As");
const QString kPrintImageName = QStringLiteral("kalvanta-chart:page");
// Width of the picture on paper, in the print path's 96-dpi units: an A4
// or Letter page in either orientation has room for it.
constexpr qreal kPrintWidth = 680;

QString nativePath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

[[noreturn]] void fail(const QString& text) { throw std::runtime_error(text.toStdString()); }

void whiteBackground(QWidget* w)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, Qt::white);
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

// The empty state of a chart: its title and why it has nothing to show.
QWidget* emptyChart(const charts::Chart& spec)
{
    auto* label = new QLabel(QStringLiteral("<p><b>%1</b></p><p>%2</p>")
                                 .arg(spec.title.toHtmlEscaped(), spec.emptyReason.toHtmlEscaped()));
    label->setObjectName(spec.objectName);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(24);
    label->setMinimumSize(260, 260);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleName(spec.title);
    label->setAccessibleDescription(spec.emptyReason);
    return label;
}

// The names of a line chart's lines in their colours, wrapped beneath it.
QLabel* lineLegend(const charts::Chart& spec)
{
    QStringList items;
    for (const charts::Series& s : spec.series)
        items << QStringLiteral("<span style=\"color:%1\">&#9679;</span>&nbsp;%2")
                     .arg(s.colour.name(), s.name.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;")));
    auto* label = new QLabel(items.join(QStringLiteral(" &nbsp; ")));
    label->setObjectName(spec.objectName + QStringLiteral("Legend"));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

} // namespace

Tcharts::Tcharts(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Tcharts"));
    setWindowTitle(kChartsCaption);
    setAccessibleName(kChartsCaption);
    setWindowIcon(chartsIcon());

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setAccessibleName(QStringLiteral("Страницы диаграмм"));
    PageControl1->setDocumentMode(true);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) { drawPage(index); });

    auto button = [this](const QString& name, const QString& text, const QKeySequence& key, void (Tcharts::*handler)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, guarded(this, [this, handler] { (this->*handler)(); }));
        auto* shortcut = new QAction(this);
        shortcut->setShortcut(key);
        shortcut->setShortcutContext(Qt::WindowShortcut);
        connect(shortcut, &QAction::triggered, b, &QPushButton::click);
        addAction(shortcut);
        b->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')),
                                                    key.toString(QKeySequence::NativeText)));
        return b;
    };
    Button1 = button(QStringLiteral("Button1"), QStringLiteral("&Сохранить диаграмму..."), QKeySequence::Save,
                     &Tcharts::Button1Click);
    Button2 = button(QStringLiteral("Button2"), QStringLiteral("&Печать..."), QKeySequence::Print,
                     &Tcharts::Button2Click);
    Button3 = button(QStringLiteral("Button3"), QStringLiteral("&Копировать"), QKeySequence::Copy,
                     &Tcharts::Button3Click);
    Button4 = button(QStringLiteral("Button4"), QStringLiteral("&Закрыть"), QKeySequence(Qt::Key_Escape),
                     &Tcharts::Button4Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    // Room for the tabs of the history's pages beside the fixed analysis' ones.
    resize(1200, 720);
    rebuild();
}

void Tcharts::setRegionalSettings(const RegionalSettings& regional)
{
    regional_ = regional;
    stale_ = true;
    if (isVisible())
        rebuild();
}

void Tcharts::setAnalysis(const AnalysisResults& results, const ReportCoverage& run)
{
    results_ = results;
    run_ = run;
    hasAnalysis_ = true;
    stale_ = true;
    if (isVisible())
        rebuild();
}

void Tcharts::setHistory(std::shared_ptr<const history::CompanyHistory> history)
{
    history_ = std::move(history);
    // The user has just analysed it: its first page is what they come to see.
    historyArrived_ = history_ != nullptr;
    stale_ = true;
    if (isVisible())
        rebuild();
}

void Tcharts::showEvent(QShowEvent* e)
{
    if (stale_)
        rebuild();
    QWidget::showEvent(e);
}

void Tcharts::rebuild()
{
    stale_ = false;
    const int shown = PageControl1->currentIndex();
    pages_.clear();
    // Drawn once the pages are in place, not while they come and go.
    const QSignalBlocker quiet(PageControl1);
    while (PageControl1->count() > 0) {
        QWidget* old = PageControl1->widget(0);
        PageControl1->removeTab(0);
        delete old;
    }

    if (!hasAnalysis_ && !history_) {
        Label1->setText(QStringLiteral("Анализ еще не выполнен: диаграммы строятся по результатам расчета."));
        Button1->setEnabled(false);
        Button2->setEnabled(false);
        Button3->setEnabled(false);
        return;
    }
    QString header = !hasAnalysis_  ? QStringLiteral("Анализа за 1 или 2 года еще не было.")
                     : run_.twoYear ? QStringLiteral("Последний анализ: отчет за 2 года.")
                                    : QStringLiteral("Последний анализ: отчет за 1 год.");
    if (hasAnalysis_ && !run_.error.empty())
        header += QStringLiteral(" Отчет прерван ошибкой «%1»: разделы, которые он не дописал, показаны пустыми.")
                      .arg(QString::fromStdString(run_.error));
    if (history_)
        header += QLatin1Char(' ') + charts::historyHeader(*history_);
    Label1->setText(header);
    Button1->setEnabled(true);
    Button2->setEnabled(true);
    Button3->setEnabled(true);

    // Without an analysis its sections say so, as after one that stopped early.
    pages_ = charts::chartPages(hasAnalysis_ ? results_ : AnalysisResults{}, hasAnalysis_ ? run_ : ReportCoverage{},
                                regional_);
    for (charts::Page& page : charts::historyPages(history_.get(), regional_))
        pages_.push_back(std::move(page));
    // Only the page shown is drawn; the others when they are first shown.
    for (const charts::Page& page : pages_) {
        auto* holder = new QWidget;
        holder->setObjectName(page.objectName);
        whiteBackground(holder);
        new QGridLayout(holder);
        PageControl1->addTab(holder, page.tabTitle);
    }
    int current = shown < 0 ? 0 : std::min(shown, PageControl1->count() - 1);
    if (historyArrived_)
        for (int i = 0; i < int(pages_.size()); ++i)
            if (pages_[std::size_t(i)].objectName == QStringLiteral("historyRatiosPage"))
                current = i;
    historyArrived_ = false;
    PageControl1->setCurrentIndex(current);
    drawPage(PageControl1->currentIndex());
}

void Tcharts::drawPage(int index)
{
    QWidget* holder = PageControl1->widget(index);
    if (!holder || index >= int(pages_.size()) || holder->property("drawn").toBool())
        return;
    holder->setProperty("drawn", true);
    const QLocale locale = charts::localeFor(regional_);
    const charts::Page& page = pages_[std::size_t(index)];
    auto* grid = static_cast<QGridLayout*>(holder->layout());
    const int columns = std::max(1, page.columns);
    std::vector<QWidget*> charts;
    for (const charts::Chart& spec : page.charts) {
        auto* column = new QVBoxLayout;
        QWidget* chart = spec.empty() ? emptyChart(spec) : new charts::ChartCanvas(spec, locale);
        column->addWidget(chart, 1);
        charts.push_back(chart);
        if (!spec.empty() && spec.kind == charts::Chart::Kind::Lines && spec.series.size() > 1)
            column->addWidget(lineLegend(spec));
        if (!spec.notes.isEmpty()) {
            auto* notes = new QLabel(spec.notes.join(QLatin1Char('\n')));
            notes->setObjectName(spec.objectName + QStringLiteral("Notes"));
            notes->setWordWrap(true);
            notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
            column->addWidget(notes);
        }
        const int at = int(charts.size()) - 1;
        grid->addLayout(column, at / columns, at % columns);
    }
    for (int c = 0; c < std::min<int>(columns, int(page.charts.size())); ++c)
        grid->setColumnStretch(c, 1);
    // Tab goes from the page's tabs through its charts to the buttons.
    QWidget* previous = PageControl1;
    for (QWidget* chart : charts) {
        setTabOrder(previous, chart);
        previous = chart;
    }
    setTabOrder(previous, Button1);
    // A layout would show them only from the event loop; the page may be
    // saved or printed before that.
    for (QWidget* child : holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->show();
}

QWidget* Tcharts::currentPage() const { return PageControl1->currentWidget(); }

QString Tcharts::currentTitle() const
{
    const int i = PageControl1->currentIndex();
    if (i < 0 || i >= int(pages_.size()))
        return kChartsCaption;
    QStringList titles;
    for (const charts::Chart& c : pages_[std::size_t(i)].charts)
        titles << c.title;
    return titles.join(QStringLiteral("; "));
}

QImage Tcharts::pagePicture(qreal scale) const
{
    QWidget* page = currentPage();
    if (!page)
        return {};
    QImage image(page->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    page->render(&painter);
    painter.end();
    return image;
}

void Tcharts::fillPrintDocument(QTextDocument& document) const
{
    const QImage picture = pagePicture();
    document.clear();
    document.addResource(QTextDocument::ImageResource, QUrl(kPrintImageName), picture);
    QTextCursor cursor(&document);
    QTextCharFormat titleFormat;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    titleFormat.setFont(font);
    cursor.insertText(currentTitle(), titleFormat);
    cursor.insertBlock();
    QTextImageFormat image;
    image.setName(kPrintImageName);
    const QSizeF logical = picture.deviceIndependentSize();
    const qreal width = std::min<qreal>(kPrintWidth, logical.width());
    image.setWidth(width);
    image.setHeight(logical.height() * width / logical.width());
    cursor.insertImage(image);
}

void Tcharts::writePicture(const QString& path) const
{
    QWidget* page = currentPage();
    if (!page)
        fail(QStringLiteral("Нет диаграммы для сохранения."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("Не удалось создать файл %1: %2").arg(nativePath(path), file.errorString()));
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(page->size());
        svg.setViewBox(QRect(QPoint(0, 0), page->size()));
        // The generator writes title and description as they stand, and
        // the zones' names hold "<".
        svg.setTitle(currentTitle().toHtmlEscaped());
        QStringList descriptions;
        for (const charts::Chart& c : pages_[std::size_t(PageControl1->currentIndex())].charts)
            descriptions << c.title + QStringLiteral(": ") + c.description();
        svg.setDescription(descriptions.join(QLatin1Char('\n')).toHtmlEscaped());
        QPainter painter;
        if (!painter.begin(&svg))
            fail(QStringLiteral("Не удалось записать файл %1.").arg(nativePath(path)));
        page->render(&painter);
        painter.end();
    } else if (!pagePicture().save(&file, "PNG")) {
        fail(QStringLiteral("Не удалось записать файл %1: %2").arg(nativePath(path), file.errorString()));
    }
    if (!file.commit())
        fail(QStringLiteral("Не удалось записать файл %1: %2").arg(nativePath(path), file.errorString()));
}

void Tcharts::Button1Click()
{
    QString path = UiServices::instance().saveFileName(this, kSaveCaption, kPictureFilter);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += QStringLiteral(".png");
    } else if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg")) {
        UiServices::instance().message(
            this, UiServices::Icon::Warning, kSaveCaption,
            QStringLiteral("Диаграмма сохраняется как рисунок PNG или SVG: укажите имя файла с расширением .png "
                           "или .svg.\n%1")
                .arg(nativePath(path)));
        return;
    }
    // Replacing a file silently would lose what it holds.
    if (QFileInfo::exists(path) &&
        !UiServices::instance().askYesNo(
            this, kReplaceTitle, QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(nativePath(path))))
        return;
    try {
        writePicture(path);
    } catch (const std::exception& e) {
        showError(e, this);
    }
}

void Tcharts::Button2Click()
{
    if (!print_ || !currentPage())
        return;
    QTextDocument document;
    fillPrintDocument(document);
    print_(document);
}

void Tcharts::Button3Click()
{
    const int i = PageControl1->currentIndex();
    if (i < 0)
        return;
    auto* data = new QMimeData;
    data->setImageData(pagePicture());
    // A text for programs that take no pictures: the values the chart shows.
    QStringList text;
    for (const charts::Chart& c : pages_[std::size_t(i)].charts)
        text << c.title + QStringLiteral(": ") + c.description();
    data->setText(text.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(data);
}

void Tcharts::Button4Click() { close(); }

QIcon chartsIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 80), 0.8));
        p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 14.5));
        const struct {
            qreal x, h;
            QColor c;
        } bars[] = {{3, 6, QColor(40, 90, 170)}, {7, 10, QColor(230, 140, 40)}, {11, 8, QColor(40, 140, 60)}};
        for (const auto& b : bars) {
            p.setBrush(b.c);
            p.drawRect(QRectF(b.x, 14.5 - b.h, 3, b.h));
        }
    });
}

} // namespace kalvanta
