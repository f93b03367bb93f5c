// Helpers of the ".trx" dictionary reader (Translation::readFile). Internal to
// the library: not exported, reachable from the tests through the object
// library.
//
// A text in a dictionary line is taken as follows: the characters after its
// opening tag, less as many characters at the end as its closing tag is long
// (the closing tag itself is never compared), then escapes are resolved, then
// entities.
#pragma once

#include <cstddef>
#include <string>

namespace zel {
namespace trx {

// The text of `line` that begins at `start` and is followed by a closing tag of
// `closingLength` characters. A line too short for its closing tag yields
// everything after `start`.
std::string extractText(const std::string& line, std::size_t start,
                        std::size_t closingLength);

// Resolves backslash escapes: "\n" a line feed, "\t" a tab, a backslash before
// any other character that character; a backslash at the end is dropped.
std::string unescapeText(const std::string& text);

// Resolves the entities &amp; &lt; &gt; &quot; &apos;, each over the whole
// text, in that order (so "&amp;lt;" yields "<").
std::string decodeEntities(const std::string& text);

}  // namespace trx
}  // namespace zel
