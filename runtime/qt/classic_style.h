#pragma once

class QStyle;

namespace rt::qt {

// The program's look unless the person chooses another style: Qt's classic "windows" style,
// whose scroll bars have arrow buttons, so that even a bar that scrolls one pixel stands out;
// title bars whose text can be read, the inactive ones standing out from the client area's
// background (Qt draws an inactive child's title in pale grey on the same mid grey as the
// background, and an active one in white on a light blue); a maximised child that keeps its
// title bar; title-bar buttons whose glyphs are shapes on whole device pixels, crisp at any
// scale; scroll bars drawn whole at any scale; and pop-up menus that highlight an entry as the
// active title bar is drawn.
QStyle* make_classic_style();

}  // namespace rt::qt
