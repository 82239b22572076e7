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
        const QString typed = UiServices::instance().saveFileNameAndType(parent, QString(), filters, &choice.filter);
        if (typed.isEmpty())
            return {};
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
