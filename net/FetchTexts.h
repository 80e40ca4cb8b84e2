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

}  // namespace mofeng::net
