#pragma once

#include <string>

namespace mofeng::mining {

// The controls of a mining window that a run reads and writes while it
// proceeds. Each call is one atomic access from the run's thread; a window
// that has gone answers with empty values and ignores writes. Texts are GBK.
class MiningView {
public:
    virtual ~MiningView() = default;

    // The must-contain text as it is now (read for every candidate).
    virtual std::string MustContainText() = 0;
    // Selected level: 0 one level, 1 two levels, 2 three levels, -1 none.
    virtual int LevelIndex() = 0;

    virtual void SetStatusLabel(std::string text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual int ProgressPosition() = 0;
};

}  // namespace mofeng::mining
