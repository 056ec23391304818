// What a message box shows of its text: a name of any length must leave the box on the screen and
// quick to lay out. Words (runs without white space, such as a path) longer than kMaxWord
// characters keep their start and end around an ellipsis, and a text still longer than kMaxShown
// characters keeps its start and end the same way. The text is valid UTF-8 and cut between
// characters.
#pragma once

#include <cstddef>
#include <string>

namespace MessageText {

constexpr std::size_t kMaxWord = 160;
constexpr std::size_t kMaxShown = 1000;

// prompt made valid UTF-8 and shortened as above; unchanged when it is short enough.
std::string Shorten(const std::string& prompt);

}  // namespace MessageText
