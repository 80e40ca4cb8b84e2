#pragma once

#include <string>
#include <utility>
#include <vector>

// A stored (uncompressed) zip of the given members (name, text), made in
// memory: how the fuzz targets reach the XML inside a workbook.
std::string Zip(const std::vector<std::pair<const char*, std::string>>& parts);
