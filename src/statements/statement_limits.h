#pragma once
// Hard limits of the statement readers, listed with the document readers'
// caps in document/document_limits.h. A tax service's XML of full annual
// statements is 20 to 60 KB, a state resource's list of a company's reports
// some hundred KB, a line-code table a few KB.
#include <cstddef>

namespace kalvanta::statement_limits {

// Largest statement file read at all (any kind): far above real files, small
// enough that a hostile one cannot exhaust memory in the parsers' trees.
inline constexpr std::size_t kMaxStatementBytes = 8u * 1024u * 1024u;

// Most XML elements in one tax service's file: full statements hold a few
// hundred; the cap bounds the DOM whatever the file's size.
inline constexpr std::size_t kMaxXmlElements = 100'000;

// Deepest element nesting the XML reader walks; the schema nests six levels.
inline constexpr std::size_t kMaxXmlDepth = 64;

// The state resource's list of a company's reports: every form of every
// year, about 20 KB a year; 4 MiB holds two centuries of them. The JSON
// parser's memory and nesting grow at most with the bytes.
inline constexpr std::size_t kMaxStateJsonBytes = 4u * 1024u * 1024u;

// Deepest nesting of objects and arrays in the state resource's JSON: its
// answers nest seven levels; the reader keeps one small state per level.
inline constexpr std::size_t kMaxStateJsonDepth = 64;

// Most reports and corrections in one state resource's file: a company files
// one report a year and corrects it a few times; the reader keeps a small
// record of each.
inline constexpr std::size_t kMaxStateJsonReports = 10'000;

// A line-code table is a few kilobytes (a hundred rows at most).
inline constexpr std::size_t kMaxLineCodeCsvBytes = 1u * 1024u * 1024u;

} // namespace kalvanta::statement_limits
