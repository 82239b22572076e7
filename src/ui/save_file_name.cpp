#include "save_file_name.h"

#include <QDir>
#include <QFileInfo>

#include "ui_services.h"

namespace kalvanta {

QString withSuffix(const QString& typed, const QString& suffix)
{
    return QFileInfo(typed).suffix().compare(suffix, Qt::CaseInsensitive) == 0 ? typed : typed + u'.' + suffix;
}

SaveChoice askSaveFile(QWidget* parent, const QString& title, const QString& filters,
                       const SaveNameCompletion& complete)
{
    for (;;) {
        SaveChoice choice;
        UiServices& ui = UiServices::instance();
        const QString typed = ui.saveFileName(parent, QString(), filters);
        if (typed.isEmpty())
            return {};
        choice.filter = ui.lastSaveFilter();
        if (choice.filter.isEmpty())
            choice.filter = filters.section(QStringLiteral(";;"), 0, 0);
        choice.path = complete ? complete(typed, choice.filter) : typed;
        if (!QFileInfo::exists(choice.path))
            return choice;
        const QString question = QStringLiteral("%1 уже существует.\nЗаменить его?")
                                     .arg(QDir::toNativeSeparators(QFileInfo(choice.path).absoluteFilePath()));
        if (UiServices::instance().askYesNoDefaultNo(parent, title, question))
            return choice;
    }
}

} // namespace kalvanta
