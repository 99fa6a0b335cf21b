#pragma once

// The program's texts as a person reads them, written out here rather than taken from the
// program, so that a changed text is caught.

#include <string>

namespace texts {

// The label of frmResizeT after a layout pass; on screen the line break is a plain "\n".
inline const std::string kTwoLines =
    "Nu zou het formulier een extra scrollbar gaan genereren\r\nNiet dus .....";
inline const std::string kTwoLinesOnScreen =
    "Nu zou het formulier een extra scrollbar gaan genereren\nNiet dus .....";
inline const std::string kDouble = "Oeps. Dubbele scrollbar";

// What "Vul tekstbox" repeats.
inline const std::string kPhrase = "The quick brown fox jumps over .... ";

}  // namespace texts
