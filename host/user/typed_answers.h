// Answers a person types into the window's status line: a file's path (Tab completes it), a crop
// rectangle, and choices among names offered.
#ifndef HX_USER_TYPED_ANSWERS_H
#define HX_USER_TYPED_ANSWERS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hx {

// The typed path completed as far as the folder's entries agree; a folder gets its "/".
std::string completePath(const std::string& typed);
// "x y w h" as four whole numbers; none when the text is not that.
std::optional<std::vector<int32_t>> parseRectangle(const std::string& text);
// Comma-separated choices: a number is the 1-based position among the offered names, anything else
// a name exactly; "*" is every name. Positions chosen, in the order typed; none, with the part not
// understood in `unknown`, when a part matches nothing.
std::optional<std::vector<size_t>> parseChoices(const std::string& text, const std::vector<std::string>& offered,
                                                std::string& unknown);

} // namespace hx

#endif
