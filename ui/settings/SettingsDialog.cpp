#include "ui/settings/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <chrono>
#include <string>

#include "net/FetchSettings.h"
#include "net/HttpFetch.h"
#include "net/RunSettings.h"
#include "runtime/CodePage.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/settings/HistoryBox.h"
#include "ui/settings/RememberedSettings.h"
#include "ui/settings/SettingsResolution.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {
namespace {

QString Address(const std::string& base) {
    return QString::fromStdString(base);
}

QString OrDefault(const QString& text, long long fallback) {
    return text.trimmed().isEmpty() ? QString::number(fallback) : text;
}

QLineEdit* AddEdit(QFormLayout* form, const QString& label, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    form->addRow(label, edit);
    return edit;
}

QGroupBox* Group(const QString& title, QFormLayout*& form) {
    auto* box = new QGroupBox(title);
    form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return box;
}

}  // namespace

SettingsDialog::SettingsDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("设置"));

    // What the next run would use: the applied texts, the defaults for
    // numbers left empty, the endpoints in force.
    const SettingsTexts& applied = context.Settings();
    const net::FetchSettings fetchDefaults;
    const net::TransportLimits limitDefaults;
    m_shown = applied;
    m_shown.retries = OrDefault(applied.retries, fetchDefaults.retries);
    m_shown.delayMs = OrDefault(applied.delayMs, fetchDefaults.minInterval.count());
    m_shown.connectTimeoutS = OrDefault(
        applied.connectTimeoutS,
        std::chrono::duration_cast<std::chrono::seconds>(limitDefaults.connectTimeout).count());
    m_shown.stallTimeoutS = OrDefault(
        applied.stallTimeoutS,
        std::chrono::duration_cast<std::chrono::seconds>(limitDefaults.stallTimeout).count());
    m_shown.searchUrl = Address(context.Endpoints().searchBase);
    m_shown.indexUrl = Address(context.Endpoints().indexBase);
    m_shown.suggestUrl = Address(context.Endpoints().suggestBase);
    m_shown.h5Url = Address(context.Endpoints().h5Base);
    m_shown.searchSource = context.Endpoints().searchSource == net::SearchSource::H5
                               ? QStringLiteral("h5")
                               : QStringLiteral("page");
    m_shown.jobs = context.Jobs();
    m_shown.restoreSession = QSettings().value(QLatin1String(kRestoreSessionKey), true).toBool();

    QFormLayout* form = nullptr;
    QGroupBox* fetching = Group(QStringLiteral("请求"), form);
    m_retries =
        AddEdit(form, QStringLiteral("失败后重试次数（0～10）："), "retries", m_shown.retries);
    m_delayMs =
        AddEdit(form, QStringLiteral("请求间隔（毫秒，0～60000）："), "delayMs", m_shown.delayMs);
    m_connectTimeout = AddEdit(form, QStringLiteral("连接超时（秒，1～600）："), "connectTimeoutS",
                               m_shown.connectTimeoutS);
    m_stallTimeout = AddEdit(form, QStringLiteral("无响应超时（秒，1～600）："), "stallTimeoutS",
                             m_shown.stallTimeoutS);
    m_proxy = AddEdit(form, QStringLiteral("代理："), "proxy", m_shown.proxy);
    m_proxy->setPlaceholderText(
        QStringLiteral("http://、https:// 或 socks5://主机:端口；空：系统设置"));
    m_caFile = AddEdit(form, QStringLiteral("证书颁发机构文件："), "caFile", m_shown.caFile);
    m_caFile->setPlaceholderText(
        QStringLiteral("检查加密连接的网络所需的 PEM 证书文件；空：只用系统证书"));
    m_jobs = new QSpinBox;
    m_jobs->setObjectName(QStringLiteral("jobs"));
    m_jobs->setRange(1, 16);
    m_jobs->setValue(m_shown.jobs);
    form->addRow(QStringLiteral("同时进行的请求（1～16）："), m_jobs);

    QGroupBox* login = Group(QStringLiteral("登录"), form);
    m_cookieFile = new QLineEdit(m_shown.cookieFile);
    m_cookieFile->setObjectName(QStringLiteral("cookieFile"));
    m_cookieFile->setPlaceholderText(QStringLiteral("浏览器导出的 cookies.txt"));
    m_browse = new QPushButton(QStringLiteral("浏览…"));
    m_browse->setObjectName(QStringLiteral("browseCookieFile"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_cookieFile, 1);
    fileRow->addWidget(m_browse);
    form->addRow(QStringLiteral("Cookie 文件："), fileRow);
    m_cookie = AddEdit(form, QStringLiteral("Cookie："), "cookie", m_shown.cookie);
    m_cookie->setEchoMode(QLineEdit::Password);
    m_cookie->setPlaceholderText(QStringLiteral("粘贴 Cookie 请求头；只留在内存中，不会保存"));

    QGroupBox* servers = Group(QStringLiteral("服务器地址"), form);
    m_searchUrl = AddEdit(form, QStringLiteral("搜索页："), "searchUrl", m_shown.searchUrl);
    m_indexUrl = AddEdit(form, QStringLiteral("指数："), "indexUrl", m_shown.indexUrl);
    m_suggestUrl = AddEdit(form, QStringLiteral("联想词："), "suggestUrl", m_shown.suggestUrl);
    m_h5Url = AddEdit(form, QStringLiteral("h5 接口："), "h5Url", m_shown.h5Url);
    m_searchSource = new QComboBox;
    m_searchSource->setObjectName(QStringLiteral("searchSource"));
    m_searchSource->addItem(QStringLiteral("搜索页"), QStringLiteral("page"));
    m_searchSource->addItem(QStringLiteral("h5 接口（需要登录 Cookie）"), QStringLiteral("h5"));
    m_searchSource->setCurrentIndex(m_searchSource->findData(m_shown.searchSource));
    form->addRow(QStringLiteral("搜索来源："), m_searchSource);
    m_check = new QPushButton(QStringLiteral("检测接口"));
    m_check->setObjectName(QStringLiteral("checkEndpoints"));
    m_check->setToolTip(QStringLiteral("用上面的设置向每个接口各请求一次，看它们是否仍可用"));
    m_checkResult = new QLabel;
    m_checkResult->setObjectName(QStringLiteral("checkResult"));
    m_checkResult->setWordWrap(true);
    m_checkResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(m_check, m_checkResult);
    connect(m_check, &QPushButton::clicked, this, &SettingsDialog::CheckEndpoints);

    m_restoreSession = new QCheckBox(QStringLiteral("启动时恢复上次的列表"));
    m_restoreSession->setObjectName(QStringLiteral("restoreSession"));
    m_restoreSession->setChecked(m_shown.restoreSession);

    m_suggestionTags =
        new QCheckBox(QStringLiteral("淘词时加入联想标签（关键词 + 联想词回复中的标签）"));
    m_suggestionTags->setObjectName(QStringLiteral("suggestionTags"));
    m_suggestionTags->setChecked(m_shown.suggestionTags);

    m_suggestWeight = new QCheckBox(QStringLiteral("联想热度（查询时每个关键词多问一次联想词）"));
    m_suggestWeight->setObjectName(QStringLiteral("suggestWeight"));
    m_suggestWeight->setChecked(m_shown.suggestWeight);

    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("settingsError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_error->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(m_browse, &QPushButton::clicked, this, &SettingsDialog::BrowseCookieFile);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fetching);
    layout->addWidget(login);
    layout->addWidget(servers);
    layout->addWidget(m_restoreSession);
    layout->addWidget(m_suggestionTags);
    layout->addWidget(m_suggestWeight);
    layout->addWidget(new HistoryBox(SessionDatabaseFilePath(), this));
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

SettingsTexts SettingsDialog::Entered() const {
    SettingsTexts texts;
    texts.retries = m_retries->text().trimmed();
    texts.delayMs = m_delayMs->text().trimmed();
    texts.connectTimeoutS = m_connectTimeout->text().trimmed();
    texts.stallTimeoutS = m_stallTimeout->text().trimmed();
    texts.proxy = m_proxy->text().trimmed();
    texts.caFile = m_caFile->text().trimmed();
    texts.cookieFile = m_cookieFile->text().trimmed();
    texts.cookie = m_cookie->text().trimmed();
    texts.searchUrl = m_searchUrl->text().trimmed();
    texts.indexUrl = m_indexUrl->text().trimmed();
    texts.suggestUrl = m_suggestUrl->text().trimmed();
    texts.h5Url = m_h5Url->text().trimmed();
    texts.searchSource = m_searchSource->currentData().toString();
    texts.jobs = m_jobs->value();
    texts.restoreSession = m_restoreSession->isChecked();
    texts.suggestionTags = m_suggestionTags->isChecked();
    texts.suggestWeight = m_suggestWeight->isChecked();
    return texts;
}

QString SettingsDialog::ErrorText() const {
    return m_error->text();
}

void SettingsDialog::accept() {
    const SettingsTexts entered = Entered();
    std::string error;
    if (!ApplySettingsTexts(m_context, entered, error)) {
        ShowError(error);
        return;
    }
    RememberSettings(entered, m_shown);
    m_error->clear();
    m_error->hide();
    QDialog::accept();
}

QString SettingsDialog::CheckText() const {
    return m_checkResult->text();
}

void SettingsDialog::CheckEndpoints() {
    net::RunSettings settings;
    std::string error;
    if (!ResolveDialogTexts(m_context, Entered(), settings, error)) {
        ShowError(error);
        return;
    }
    m_error->clear();
    m_error->hide();
    m_check->setEnabled(false);
    m_checkResult->setText(QStringLiteral("正在检测…"));
    m_tasks.Start([this, endpoints = settings.endpoints,
                   fetch = settings.fetch](const runtime::CancelToken& cancel) {
        std::vector<app::EndpointCheckResult> results =
            app::CheckEndpoints(endpoints, fetch, &cancel);
        if (cancel.IsCancelled()) {
            return;
        }
        // Dropped by Qt if the dialog is gone by then.
        QMetaObject::invokeMethod(
            this, [this, results = std::move(results)] { ShowCheck(results); },
            Qt::QueuedConnection);
    });
}

void SettingsDialog::ShowCheck(const std::vector<app::EndpointCheckResult>& results) {
    auto text = [](std::string_view gbk) {
        return QString::fromStdString(runtime::GbkToUtf8(std::string(gbk)));
    };
    QStringList lines;
    for (const app::EndpointCheckResult& result : results) {
        QString line = text(app::EndpointName(result.endpoint)) + QStringLiteral("：") +
                       text(app::VerdictText(result.verdict));
        if (!result.reason.empty()) {
            line += QStringLiteral("（") + text(result.reason) + QStringLiteral("）");
        }
        lines << line;
    }
    m_checkResult->setText(lines.join(QLatin1Char('\n')));
    m_check->setEnabled(true);
}

void SettingsDialog::BrowseCookieFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择 Cookie 文件"), m_cookieFile->text(),
                                     QStringLiteral("Cookie 文件 (*.txt);;所有文件 (*)"));
    if (!path.isEmpty()) {
        m_cookieFile->setText(path);
    }
}

void SettingsDialog::ShowError(const std::string& error) {
    struct Field {
        const char* option;  // how the resolution names the setting
        QLineEdit* edit;
        QString message;
        bool withDetail;  // the detail quotes no credential
    };
    const QString address =
        QStringLiteral("不是可用的地址：应为 http:// 或 https:// 加主机名，可带端口。");
    // "--cookie-file" before "--cookie", which it begins with.
    const Field fields[] = {
        {"--retries", m_retries, QStringLiteral("「重试次数」须为 0 到 10 的整数。"), false},
        {"--delay-ms", m_delayMs, QStringLiteral("「请求间隔」须为 0 到 60000 的整数。"), false},
        {"--connect-timeout-s", m_connectTimeout,
         QStringLiteral("「连接超时」须为 1 到 600 的整数。"), false},
        {"--stall-timeout-s", m_stallTimeout,
         QStringLiteral("「无响应超时」须为 1 到 600 的整数。"), false},
        {"--ca-file", m_caFile, QStringLiteral("「证书颁发机构文件」无法使用。"), true},
        {"--cookie-file", m_cookieFile, QStringLiteral("「Cookie 文件」无法使用。"), true},
        {"--cookie", m_cookie, QStringLiteral("「Cookie」的格式不对。"), true},
        {"--proxy", m_proxy,
         QStringLiteral("「代理」不是可用的代理地址：应为 http://、https:// 或 socks5:// "
                        "加主机和端口。"),
         false},  // a proxy URL may carry a password
        {"--search-url", m_searchUrl, QStringLiteral("「搜索页」") + address, false},
        {"--index-url", m_indexUrl, QStringLiteral("「指数」") + address, false},
        {"--suggest-url", m_suggestUrl, QStringLiteral("「联想词」") + address, false},
        {"--h5-url", m_h5Url, QStringLiteral("「h5 接口」") + address, false},
    };
    QString text = QStringLiteral("设置有误，未应用：") + QString::fromStdString(error);
    for (const Field& field : fields) {
        if (error.rfind(field.option, 0) != 0) {
            continue;
        }
        text = QStringLiteral("设置有误，未应用。") + field.message;
        if (field.withDetail) {
            text += QStringLiteral("\n（") + QString::fromStdString(error) + QStringLiteral("）");
        }
        field.edit->setFocus();
        field.edit->selectAll();
        break;
    }
    m_error->setText(text);
    m_error->show();
}

SettingsDialog* OpenSettingsDialog(AppContext& context, QWidget* parent,
                                   std::function<void()> closed) {
    auto* dialog = new SettingsDialog(context, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (closed) {
        QObject::connect(dialog, &QDialog::finished, dialog, [closed](int) { closed(); });
    }
    dialog->open();
    return dialog;
}

}  // namespace mofeng::ui
