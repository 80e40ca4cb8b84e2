#pragma once

#include <string>

// Fixed texts of the fetch policy's failure reasons, as GBK bytes.
namespace mofeng::net {

const std::string& NeedsLoginReason();      // "需要登录或验证"
const std::string& ServerAnsweredReason();  // "服务器返回", then " N"
const std::string& UnusableUrlReason();     // "地址无效"
const std::string& KeywordTooLongReason();  // "关键词过长，请求地址超过", then " N 字节"
const std::string& BytesUnit();             // "字节"
const std::string& ConnectFailedReason();     // "连接失败"
const std::string& ConnectTimeoutReason();    // "连接超时"
const std::string& StalledReason();           // "传输停滞"
const std::string& DeadlineReason();          // "超过总时限"
const std::string& DroppedReason();           // "连接中断"
const std::string& BodyTooLargeReason();      // "回复过大"
const std::string& TooManyRedirectsReason();  // "重定向过多"
const std::string& CancelledReason();         // "已取消"
const std::string& UnresolvedHostReason();    // "无法解析主机名"
const std::string& BadCertificateReason();    // "证书无效", then "：why" where known
const std::string& FullWidthColon();          // "："
const std::string& TlsHandshakeReason();      // "TLS 握手失败"
const std::string& RetriedPrefix();           // "，已重试", then " N 次"
const std::string& TimesUnit();               // "次"
// The reason of a lookup that a host marked unavailable did not get.
const std::string& HostUnavailableReason();  // "接口不可用：连续 5 次连接失败"

// What was wrong with a refused certificate.
const std::string& UnreadableCaFileProblem();  // "证书颁发机构文件无法读取"
const std::string& NameMismatchProblem();      // "与主机名不符"
const std::string& NotYetValidProblem();       // "尚未生效"
const std::string& ExpiredProblem();           // "已过期"
const std::string& SelfSignedProblem();        // "自签名"
const std::string& UntrustedIssuerProblem();   // "颁发机构不受信任"

// The lookup outcomes, in the order of LookupOutcome.
const std::string& NormalOutcome();      // "正常"
const std::string& NoDataOutcome();      // "无数据"
const std::string& PartialOutcome();     // "部分"
const std::string& FailedOutcome();      // "失败"
const std::string& BlockedOutcome();     // "被拦截"
const std::string& NotQueriedOutcome();  // "未查询"

}  // namespace mofeng::net
