#include "app/Biff8Reader.h"

// The reader of builds without FreeXL (MOFENG_BIFF8=OFF): every BIFF8
// workbook is refused as a format this build does not read.
namespace mofeng::app {

bool Biff8ReaderAvailable() {
    return false;
}

std::optional<Workbook> ReadBiff8Workbook(const std::filesystem::path&, Biff8Problem& problem,
                                          const runtime::CancelToken*) {
    problem = Biff8Problem::Unavailable;
    return std::nullopt;
}

}  // namespace mofeng::app
