#pragma once
// The formula windows of the help window: one topic per link.
#include <QString>
#include <QStringList>

#include <vector>

namespace kalvanta {

struct FormulaTopic {
    QString labelName; // object name of the link label
    QString linkText;
    QString caption;
    QStringList lines;
};

const std::vector<FormulaTopic>& formulaTopics();

} // namespace kalvanta
