#pragma once
// The files that go into an analysis: statements and input sets fill the
// wizard ("Импорт отчетности...", "Открыть исходные данные...", a file on the
// command line), and the record of the last analysis is saved as an input
// set ("Сохранить исходные данные...").
#include <QObject>
#include <QString>
#include <QStringList>

#include "wizard/wizard_window.h"

namespace kalvanta {

class TForm1;

inline const QString kImportTitle = QStringLiteral("Импорт отчетности");
inline const QString kOpenInputsTitle = QStringLiteral("Открыть исходные данные");
inline const QString kSaveInputsTitle = QStringLiteral("Сохранить исходные данные");
inline const QString kStatementFilter =
    QStringLiteral("Отчетность (*.xml *.json *.csv);;Все файлы (*)");
inline const QString kInputSetFilter = QStringLiteral("Исходные данные (*.json);;Все файлы (*)");
inline const QString kNothingToSave =
    QStringLiteral("Сохранять нечего: расчет еще не выполнен. Исходные данные сохраняются после "
                   "того, как отчет записан (Файл — Новый...).");
inline const QString kProductsKeptNote =
    QStringLiteral("Данные о продукции из файла не перенесены: цена в нем равна переменным издержкам на единицу "
                   "(в отчетности таких данных нет), а расчет операционного рычага выключен, и отчет их не "
                   "использует. Поля продукции в окне «Дополнительные данные» оставлены прежними.");
// %1 is the file chosen.
inline const QString kReplaceTypedQuestion =
    QStringLiteral("В окнах ввода данных есть значения, введенные вручную. Заменить их данными файла %1?");

class InputFiles : public QObject {
    Q_OBJECT
public:
    // The dialogs' own contents at this moment count as not typed.
    InputFiles(TForm1* main, const WizardLinks& wizard);

    void importStatements(); // "Импорт отчетности..."
    void openInputSet();     // "Открыть исходные данные..."
    void saveInputSet();     // "Сохранить исходные данные..."

    // A file named on the command line: a statement or an input set fills
    // the wizard, anything else opens as a report document. The content
    // decides, not the name.
    void openFromCommandLine(const QString& path);

    // Reads a statement or an input set and fills the wizard from it, then
    // shows the notes and the parameters dialog. A file that cannot be read
    // leaves the wizard and the record as they were; so does No to the
    // question asked when the dialogs hold values the user typed. True when
    // the wizard was filled.
    bool fillWizardFrom(const QString& path);

private:
    TForm1* main_;
    WizardLinks wizard_;
    QStringList untyped_; // the dialogs as the program last filled them
};

} // namespace kalvanta
