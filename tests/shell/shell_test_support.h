#pragma once
// Helpers shared by the window tests.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include "../support/file_size_limit.h"
#include "shell/clock_source.h"
#include "shell/main_window.h"
#include "shell/report_view.h"

namespace kalvanta::test {

inline ClockSource fixedClock()
{
    ClockSource clock;
    clock.now = [] { return ClockTime{14, 5, 9}; };
    clock.today = [] { return CivilDate{2026, 3, 14}; };
    return clock;
}

// The main window with the settings tests fix.
inline void prepare(TForm1& form)
{
    form.setRegionalSettings(RegionalSettings::russian());
    form.setClock(fixedClock());
}

// Every paragraph of a document, as typed.
inline QStringList blockTexts(const QTextDocument& document)
{
    QStringList lines;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

// The bytes of a file, or none when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QStringList toQStringList(const std::vector<std::string>& lines)
{
    QStringList out;
    for (const std::string& line : lines)
        out << QString::fromStdString(line);
    return out;
}


} // namespace kalvanta::test
