#pragma once
// Hard limits of the statement readers. A file past one is not a statement
// an accounting program or the state resource wrote: it is refused before
// parsing, so no file can make a reader allocate without bound.
#include <cstddef>

namespace kalvanta::statements::limits {

// The state resource's list of a company's reports: every form of every
// year, about 20 KB a year; 4 MiB holds two centuries of them. The JSON
// parser's memory and nesting grow at most with the bytes.
inline constexpr std::size_t kMaxStateJsonBytes = 4u * 1024u * 1024u;

// A line-code table is a few kilobytes (a hundred rows at most).
inline constexpr std::size_t kMaxLineCodeCsvBytes = 1u * 1024u * 1024u;

} // namespace kalvanta::statements::limits
