#include "sim/ModifierVocabulary.h"

#include <array>

namespace mofeng::sim {
namespace {

constexpr std::array kModifiers = {
    Modifier{"夏", false},     Modifier{"新款", true},    Modifier{"女", false},
    Modifier{"韩版", true},    Modifier{"2026", true},    Modifier{"显瘦", false},
    Modifier{"长款", false},   Modifier{"雪纺", true},    Modifier{"碎花", true},
    Modifier{"大码", true},    Modifier{"夏季", true},    Modifier{"修身", false},
    Modifier{"气质", false},   Modifier{"复古", true},    Modifier{"法式", true},
    Modifier{"小个子", true},  Modifier{"高腰", false},   Modifier{"收腰", false},
    Modifier{"宽松", false},   Modifier{"纯棉", true},    Modifier{"真丝", true},
    Modifier{"蕾丝", true},    Modifier{"针织", true},    Modifier{"白色", true},
    Modifier{"黑色", true},    Modifier{"学生", false},   Modifier{"通勤", false},
    Modifier{"仙女", false},   Modifier{"网红", true},    Modifier{"春秋", false},
    Modifier{"百搭", false},   Modifier{"薄款", false},   Modifier{"ins", true},
    Modifier{"chic", false},   Modifier{"v领", false},    Modifier{"a字", false},
    Modifier{"2025", true},    Modifier{"中长款", false}, Modifier{"短款", false},
    Modifier{"吊带", false},   Modifier{"无袖", false},   Modifier{"长袖", false},
    Modifier{"印花", true},    Modifier{"孕妇", true},    Modifier{"中老年", true},
    Modifier{"套装", false},   Modifier{"XL", false},     Modifier{"小众", false},
    Modifier{"设计感", false}, Modifier{"赫本风", false}, Modifier{"polo", false},
    Modifier{"冰丝", true},    Modifier{"方领", false},   Modifier{"泡泡袖", false},
    Modifier{"温柔风", false}, Modifier{"新中式", true},  Modifier{"沙滩", true},
    Modifier{"度假", false},   Modifier{"婚礼", false},   Modifier{"oversize", false},
};

constexpr std::array<std::string_view, 14> kDriftCores = {
    "半身裙", "衬衫",   "T恤",      "牛仔裤", "阔腿裤", "防晒衣", "百褶裙",
    "睡裙",   "吊带裙", "西装外套", "凉鞋",   "背心",   "短裤",   "针织开衫",
};

}  // namespace

std::span<const Modifier> Modifiers() {
    return kModifiers;
}

std::span<const std::string_view> DriftCores() {
    return kDriftCores;
}

}  // namespace mofeng::sim
