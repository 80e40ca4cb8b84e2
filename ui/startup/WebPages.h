#pragma once

#include <QString>
#include <QUrl>

namespace mofeng::ui {

// The two web pages the main window opens in the default browser.
struct WebPages {
    QUrl site;      // "青禾软件官网"
    QUrl tutorial;  // the "视频教程" link

    // Defaults: help/index.html in programDir (or, installed, in the data
    // folder beside it: share/mofeng), the tutorial at its "#tutorial"
    // anchor. MOFENG_SITE_URL and MOFENG_TUTORIAL_URL replace either one when
    // they hold an absolute URL; anything else is ignored.
    static WebPages FromEnvironment(const QString& programDir);
};

}  // namespace mofeng::ui
