#pragma once
// Writes a document as RTF 1.x that this program reads back to an equal
// document and that word processors open with the same text and formatting.
//
// Layout of the output (deterministic: the same document gives the same bytes):
//   {\rtf1\ansi\ansicpg1251\deff0\deflang1049\uc1
//   {\fonttbl{\f0\fnil\fcharset204 <default family>;}{\f1...}}   font 0 is the default font
//   {\colortbl;\red..\green..\blue..;}                           entry 0 is the automatic colour
//   {\*\defchp\f0\fs<default size>}
//   {\*\generator Kalvanta 4.5;}
//   \pard\plain\f0\fs21 <text>\plain\f1\fs28\b <text>\par        one line per paragraph
//   }
// Every run states its font and size in full, so readers that ignore the
// default properties show the same thing. Non-ASCII characters are \uN with
// a cp1251 byte (or "?") for readers without Unicode; spaces are written as
// they stand, so trailing and repeated spaces survive.
#include "document/document.h"

#include <string>

namespace kalvanta::doc {

// The generator name written into every file. LibreOffice treats RTF from
// unnamed or Word generators with Word's space handling, which changes runs
// of spaces; under a generator of its own it keeps them as written.
inline constexpr const char* kRtfGenerator = "Kalvanta 4.5";

std::string writeRtf(const Document& document);

} // namespace kalvanta::doc
