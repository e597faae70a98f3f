// Text made safe for HTML and SVG: any file name or header a user's file holds shows as
// itself and can never open an element, an attribute or an entity.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The text with & < > " ' written as character references, every byte that is not part of
// valid UTF-8 (and every control character but tab and line feed) as U+FFFD, so the page
// shows where a name held bytes that are not text.
std::string escapeMarkup(std::string_view text);

}  // namespace orvane
