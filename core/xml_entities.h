#pragma once
// The character references of XML text, as the readers of workbooks and KML
// meet them.
#include <string>
#include <string_view>

namespace kit {

// &amp; &quot; &lt; &gt; &apos; and character references (&#21517; &#x5409;)
// decoded; any other reference dropped up to its ';'.
std::string decodeXmlEntities(std::string_view text);

}  // namespace kit
