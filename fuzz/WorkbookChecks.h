#pragma once

#include "app/Workbook.h"

// What every workbook reader promises of what it gives, checked on each sheet
// together with the import's own handling (the caption row, the sheet chosen):
// rows no wider than a sheet's 16384 columns, a caption row among the first
// ten rows, the sheet chosen by default one of the candidates.
void CheckWorkbook(const mofeng::app::Workbook& workbook);
