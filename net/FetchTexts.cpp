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
MOFENG_GBK_TEXT(HostUnavailableReason, "接口不可用：连续 5 次连接失败")

MOFENG_GBK_TEXT(UnreadableCaFileProblem, "证书颁发机构文件无法读取")
MOFENG_GBK_TEXT(NameMismatchProblem, "与主机名不符")
MOFENG_GBK_TEXT(NotYetValidProblem, "尚未生效")
MOFENG_GBK_TEXT(ExpiredProblem, "已过期")
MOFENG_GBK_TEXT(SelfSignedProblem, "自签名")
MOFENG_GBK_TEXT(UntrustedIssuerProblem, "颁发机构不受信任")

MOFENG_GBK_TEXT(NormalOutcome, "正常")
MOFENG_GBK_TEXT(NoDataOutcome, "无数据")
MOFENG_GBK_TEXT(PartialOutcome, "部分")
MOFENG_GBK_TEXT(FailedOutcome, "失败")
MOFENG_GBK_TEXT(BlockedOutcome, "被拦截")
MOFENG_GBK_TEXT(NotQueriedOutcome, "未查询")

}  // namespace mofeng::net
