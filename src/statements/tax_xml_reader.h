#pragma once
// The tax service's XML of annual accounting statements: the full statements
// (KND 0710099, format versions 5.01 to 5.10) and the simplified statements
// of small businesses and non-profit organisations (KND 0710096, format
// versions 5.01 to 5.04); windows-1251 or UTF-8.
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// The reader's note on a file that declares windows-1251 but is written in
// UTF-8 (web editors re-save files so); the fuzz target reads such files the
// same way.
inline constexpr std::string_view kUtf8DespiteDeclarationNote =
    "Файл объявлен в кодировке windows-1251, но записан в UTF-8: прочитан как UTF-8.";

// Throws InputError naming sourceName and the element at fault. A file
// without a statement of financial results is read (hasProfitLoss false):
// its balance serves a company's history, and the mapping refuses it.
Statement readTaxXml(std::string_view bytes, const std::string& sourceName);

} // namespace kalvanta
