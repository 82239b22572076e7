// The shared handler guard: an error raised in a slot or an event handler
// is shown with the default error display where it arises, never passed on
// into Qt's event delivery, and the program goes on.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>
#include <vector>

#include "numeric/float_errors.h"
#include "support/declining_ui_services.h"
#include "ui/handler_guard.h"
#include "ui/ui_services.h"

using namespace kalvanta;

namespace {

class RecordingServices : public test::DecliningUiServices {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        QWidget* parent;
    };
    std::vector<Shown> shown;
    RecordingServices() { UiServices::setInstance(this); }
    ~RecordingServices() override { UiServices::setInstance(nullptr); }
    void message(QWidget* parent, Icon icon, const QString& title, const QString& text) override
    {
        shown.push_back({icon, title, text, parent});
    }
};

enum class Raise { Nothing, FloatOverflow, Conversion, RuntimeWithStop, NotAnException };

void raise(Raise what)
{
    switch (what) {
    case Raise::Nothing: return;
    case Raise::FloatOverflow: throw FloatError(FloatError::Kind::Overflow);
    case Raise::Conversion: throw ConversionError("1,2,3");
    case Raise::RuntimeWithStop: throw std::runtime_error("Cannot open file \"a.rtf\".");
    case Raise::NotAnException: throw 42;
    }
}

} // namespace

class HandlerGuardTest : public QObject {
    Q_OBJECT
private slots:
    void errorsGoToTheErrorDisplay_data()
    {
        QTest::addColumn<int>("raised");
        QTest::addColumn<QString>("shown"); // empty: no box
        QTest::newRow("nothing") << int(Raise::Nothing) << QString();
        QTest::newRow("float error") << int(Raise::FloatOverflow) << "Floating point overflow.";
        QTest::newRow("conversion") << int(Raise::Conversion) << "'1,2,3' is not a valid floating point value.";
        QTest::newRow("full stop kept") << int(Raise::RuntimeWithStop) << "Cannot open file \"a.rtf\".";
        QTest::newRow("not a std::exception") << int(Raise::NotAnException) << "Unknown error.";
    }
    void errorsGoToTheErrorDisplay()
    {
        QFETCH(int, raised);
        QFETCH(QString, shown);
        RecordingServices services;
        QWidget window;
        bool after = false;
        runHandler(&window, [&] {
            raise(Raise(raised));
            after = true;
        });
        QCOMPARE(after, shown.isEmpty());
        QCOMPARE(services.shown.size(), std::size_t(shown.isEmpty() ? 0 : 1));
        if (!shown.isEmpty()) {
            QCOMPARE(services.shown.front().text, shown);
            QCOMPARE(services.shown.front().icon, UiServices::Icon::Stop);
            QCOMPARE(services.shown.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
            QCOMPARE(services.shown.front().parent, &window);
        }
    }

    // This test's application object is a plain QApplication, which catches
    // nothing: an error escaping a slot would end the test program.
    void aGuardedSlotKeepsTheErrorFromQtAndLaterSlotsRun()
    {
        RecordingServices services;
        QPushButton button;
        int laterSlots = 0;
        QObject::connect(&button, &QPushButton::clicked, &button,
                         guarded(&button, [] { raise(Raise::FloatOverflow); }));
        QObject::connect(&button, &QPushButton::clicked, &button, [&laterSlots] { ++laterSlots; });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(laterSlots, 2);
        QCOMPARE(services.shown.size(), std::size_t{2});
        QCOMPARE(services.shown.back().text, QStringLiteral("Floating point overflow."));
    }

    void aGuardedTimerShowsItsError()
    {
        RecordingServices services;
        QWidget window;
        QTimer::singleShot(0, &window, guarded(&window, [] { raise(Raise::Conversion); }));
        QTRY_COMPARE(services.shown.size(), std::size_t{1});
        QCOMPARE(services.shown.front().text, QStringLiteral("'1,2,3' is not a valid floating point value."));
    }
};

QTEST_MAIN(HandlerGuardTest)
#include "test_handler_guard.moc"
