#include "net/FetchTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::net {

MOFENG_GBK_TEXT(NeedsLoginReason, "需要登录或验证")
MOFENG_GBK_TEXT(ServerAnsweredReason, "服务器返回")
MOFENG_GBK_TEXT(UnusableUrlReason, "地址无效")
MOFENG_GBK_TEXT(KeywordTooLongReason, "关键词过长，请求地址超过")
MOFENG_GBK_TEXT(BytesUnit, "字节")
MOFENG_GBK_TEXT(ConnectFailedReason, "连接失败")
MOFENG_GBK_TEXT(ConnectTimeoutReason, "连接超时")
MOFENG_GBK_TEXT(StalledReason, "传输停滞")
MOFENG_GBK_TEXT(DeadlineReason, "超过总时限")
MOFENG_GBK_TEXT(DroppedReason, "连接中断")
MOFENG_GBK_TEXT(BodyTooLargeReason, "回复过大")
MOFENG_GBK_TEXT(TooManyRedirectsReason, "重定向过多")
MOFENG_GBK_TEXT(CancelledReason, "已取消")
MOFENG_GBK_TEXT(UnresolvedHostReason, "无法解析主机名")
MOFENG_GBK_TEXT(BadCertificateReason, "证书无效")
MOFENG_GBK_TEXT(FullWidthColon, "：")
MOFENG_GBK_TEXT(TlsHandshakeReason, "TLS 握手失败")
MOFENG_GBK_TEXT(RetriedPrefix, "，已重试")
MOFENG_GBK_TEXT(TimesUnit, "次")

}  // namespace mofeng::net
