#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

#include "net/EndpointConfig.h"

namespace mofeng::ui {

// The command line of the desktop program.
struct StartupOptions {
    bool demo = false;   // serve the endpoints from an in-process simulator
    bool https = false;  // with demo: over HTTPS, with a test authority made at start
    bool today = false;  // with demo: answering as today's servers do
    // Normalised base URLs given on the command line.
    std::optional<std::string> searchUrl;
    std::optional<std::string> indexUrl;
    std::optional<std::string> suggestUrl;
    // A keyword file offered by the first 导入关键词 dialog; empty: none.
    QString keywordFile;
    // Qt's own "-platform NAME", passed on to Qt; empty when not given.
    QString platform;
    bool showHelp = false;
    bool showVersion = false;
    QString helpText;  // filled when showHelp is set
};

struct ParsedStartupOptions {
    StartupOptions options;
    QString error;  // non-empty: print it on stderr and exit with code 2
};

// arguments[0] is the program. Unknown options, stray arguments and base URLs
// that NormalizeBaseUrl rejects are errors. Needs no QApplication, so --help
// and --version answer without a display.
ParsedStartupOptions ParseStartupOptions(const QStringList& arguments);

// Why no window can be shown, as one line for stderr; empty when a display
// can be expected. The platforms are platformOption (-platform), else
// QT_QPA_PLATFORM, else Qt's default (X11 or Wayland). environment reads a
// variable, "" when unset. Platforms that need no display server
// (offscreen, minimal, vnc…) always pass.
QString MissingDisplayReason(const QString& platformOption,
                             const std::function<QString(const char*)>& environment);

// The endpoints of this run, each from the most specific source: an explicit
// option, then --demo (demoBase for all three), then fromEnvironment.
net::EndpointConfig ResolveEndpoints(const StartupOptions& options,
                                     net::EndpointConfig fromEnvironment,
                                     const std::string& demoBase);

}  // namespace mofeng::ui
