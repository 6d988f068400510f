// The text types a Wayland selection travels in: which ones this program offers, which one
// it asks another program's offer for, and the bytes each one carries.
#pragma once

#include <string>
#include <vector>

namespace BPrivate {

// What this program's selections are offered as, the preferred first: the MIME type the
// protocol names and the X11 target names Xwayland and older toolkits look for.
extern const char* const kOfferedTextMimes[5];

// Of the types an offer lists, the one a paste asks for: empty when none is text.
std::string ChooseTextMime(const std::vector<std::string>& offered);

// The bytes a type carries for a text (Latin-1 for STRING, UTF-8 for the others); false for
// a type that is not offered.
bool EncodeSelectionText(const std::string& mime, const std::string& text, std::string* bytes);

// The text in the bytes that came for a type chosen by ChooseTextMime. Plain text without a
// charset is read as UTF-8 when it is that, as Latin-1 otherwise.
std::string DecodeSelectionText(const std::string& mime, std::string bytes);

} // namespace BPrivate
