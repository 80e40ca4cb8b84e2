#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Files written and read back by a real office suite (LibreOffice, headless),
// so the readers meet what sellers' spreadsheet programs write.
namespace mofeng::app::test {

inline constexpr const char* kOfficeProgram = "/usr/bin/soffice";

inline bool HaveOfficeSuite() {
    return ::access(kOfficeProgram, X_OK) == 0;
}

// Why a test is skipped on a machine without the suite.
inline constexpr const char* kNoOfficeSuite =
    "LibreOffice is not installed (/usr/bin/soffice; Debian package libreoffice-calc-nogui)";

// Converts every input in one run of the suite (it starts slowly) into
// outputFolder, as `target` says ("xls:MS Excel 97", "ods", "xlsx:Calc MS Excel 2007 XML",
// "html:HTML (StarCalc)"); inputFilter, when given, reads the inputs (e.g.
// "CSV:44,34,76,1" for UTF-8 CSV). The suite keeps its profile in a folder
// of this process, so a running suite of the user's is never touched.
inline bool ConvertWithOfficeSuite(const std::vector<std::filesystem::path>& inputs,
                                   const std::string& target,
                                   const std::filesystem::path& outputFolder,
                                   const std::string& inputFilter = {}) {
    const std::filesystem::path profile =
        std::filesystem::temp_directory_path() / ("mofeng-office-" + std::to_string(::getpid()));
    std::string command = std::string(kOfficeProgram) + " --headless --norestore" +
                          " -env:UserInstallation=file://" + profile.string() + " --convert-to '" +
                          target + "' --outdir '" + outputFolder.string() + "'";
    if (!inputFilter.empty()) {
        command += " --infilter='" + inputFilter + "'";
    }
    for (const auto& input : inputs) {
        command += " '" + input.string() + "'";
    }
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace mofeng::app::test
