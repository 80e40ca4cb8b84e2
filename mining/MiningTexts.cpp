#include "mining/MiningTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::mining {

MOFENG_GBK_TEXT(LevelOneLabel, "一级淘词")
MOFENG_GBK_TEXT(LevelTwoLabel, "二级淘词")
MOFENG_GBK_TEXT(LevelThreeLabel, "三级淘词")
MOFENG_GBK_TEXT(MiningDoneLabel, "淘词完毕")
MOFENG_GBK_TEXT(RowLimitLabel, "已达行数上限，淘词停止")
MOFENG_GBK_TEXT(MustContainMissingMessage,
                "一定要输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’字")
MOFENG_GBK_TEXT(MustContainTooLongMessage,
                "一字定江山：精准匹配的话只能输入一个能区别于其他关键词的字，例如：连衣裙，"
                "可以输入‘裙’字")
MOFENG_GBK_TEXT(RunInProgressMessage, "正在淘词，请等本次淘词完成后再开始")
MOFENG_GBK_TEXT(SaveSucceededMessage, "保存成功")
MOFENG_GBK_TEXT(SaveFailedMessage, "保存失败")
MOFENG_GBK_TEXT(SentToMainWindowMessage, "传送完毕")
MOFENG_GBK_TEXT(SuggestWeightCaption, "联想热度")

#undef MOFENG_GBK_TEXT

}  // namespace mofeng::mining
