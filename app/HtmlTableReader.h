#pragma once

#include <string_view>

#include "app/Workbook.h"

namespace mofeng::app {

// True when the bytes are an HTML document (after a byte order mark and
// blanks: a doctype, a comment or an <html>, <head>, <body>, <meta> or
// <table> tag).
bool LooksLikeHtml(std::string_view bytes);

// The tables of an HTML document, one sheet each in document order (a table
// inside a cell is read as that cell's text): rows of cells from <td> and
// <th>, a cell's text with its tags dropped, character references decoded,
// blanks collapsed as a browser shows them and <br> kept as a line feed; a
// cell spanning columns is followed by empty cells. The charset is the one the
// document declares (GBK and its relatives, or UTF-8), else UTF-8 when the
// bytes are valid UTF-8, else GBK. Texts in GBK. Any thread.
Workbook ReadHtmlTables(std::string_view bytes);

}  // namespace mofeng::app
