#include "cli/CommandErrors.h"

#include <ostream>
#include <system_error>

#include "runtime/PathText.h"
#include "runtime/platform/Files.h"

namespace mofeng::cli {

int CommandErrors::Usage(const std::string& message) const {
    m_io.err << "mofeng-cli " << m_command << ": " << message << "\nTry 'mofeng-cli " << m_command
             << " --help'.\n";
    return kExitUsage;
}

int CommandErrors::Failure(const std::string& message) const {
    m_io.err << "mofeng-cli " << m_command << ": " << message << "\n";
    return kExitFailure;
}

std::string WhyUnwritable(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return "is a directory";
    }
    if (fs::exists(path, error)) {
        return runtime::platform::WriteAccessProblem(path);
    }
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (!fs::is_directory(folder, error)) {
        return "no such folder: " + runtime::PathToUtf8(folder);
    }
    return runtime::platform::WriteAccessProblem(folder);
}

}  // namespace mofeng::cli
