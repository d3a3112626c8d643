#include "calculators/help_texts.h"

#include <initializer_list>
#include <string_view>

namespace kit {

namespace {

std::string joinLines(std::initializer_list<std::string_view> lines) {
    std::string out;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) out += "\r\n";
        out += line;
        first = false;
    }
    return out;
}

std::string rule(int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += "─";
    return out;
}

}  // namespace

HelpText arfcnHelp() {
    return {"频点频率互换",
            joinLines({"频点频率互换 - 使用说明",
                       "",
                       "━━ LTE EARFCN 计算公式 ━━",
                       "  F_DL = F_DL_low + 0.1 × (N - N_Offs)",
                       "  N    = (F - F_DL_low) / 0.1 + N_Offs",
                       "",
                       "━━ NR NR-ARFCN 计算公式 ━━",
                       "  FR1: F = 0.005 × N  (MHz)",
                       "  3000-24250 MHz: F = 3000 + 0.015×(N-600000)",
                       "  FR2: F = 24250.08 + 0.06×(N-2016667)",
                       "",
                       "━━━━━ LTE 主流频段 ━━━━━",
                       "Band  模式  下行(MHz)    上行(MHz)    运营商",
                       rule(41),
                       " B1     FDD   2110-2170   1920-1980   联通",
                       " B3     FDD   1805-1880   1710-1785   移动/电信",
                       " B5     FDD    869-894     824-849    电信",
                       " B8     FDD    925-960     880-915    移动",
                       " B34    TDD   2010-2025   (同)       移动",
                       " B38    TDD   2570-2620   (同)       移动",
                       " B39    TDD   1880-1920   (同)       移动",
                       " B40    TDD   2300-2400   (同)       移动",
                       " B41    TDD   2496-2690   (同)       移动/电信",
                       "",
                       "━━━━━ NR 主流频段 ━━━━━",
                       "Band  模式  频率范围(MHz)   运营商",
                       rule(35),
                       " n1     FDD   1920-2170   电信/联通",
                       " n3     FDD   1710-1880   移动/电信",
                       " n28    FDD    703-803    广电",
                       " n41    TDD   2496-2690   移动",
                       " n78    TDD   3300-3800   电信/联通",
                       " n79    TDD   4400-5000   移动/广电"})};
}

HelpText downtiltHelp() {
    return {"站高倾角距离",
            joinLines({"站高倾角距离计算 - 使用说明",
                       "输入站高和下倾角，计算覆盖距离。",
                       "",
                       "━━ 行业标准公式 ━━",
                       "  覆盖距离: R = H / tan(θ)",
                       "  θ = 合成下倾角 = 机械下倾 + 电下倾",
                       "  α = 垂直面半功率角 (3dB波束宽度)",
                       "",
                       "━━ 波束覆盖范围 ━━",
                       "  近端: H / tan(θ + α/2)  [波束上边界]",
                       "  3dB点: H / tan(θ)         [主覆盖距离]",
                       "  远端: H / tan(θ - α/2)  [波束下边界]",
                       "",
                       "━━ 参数说明 ━━",
                       "  H  : 天线挂高(m)",
                       "  α  : 垂直波束宽度(默认7°)",
                       "",
                       "━━ 图示说明 ━━",
                       "  红色虚线: 波束上边界(近端)",
                       "  蓝色虚线: 波束下边界(远端)",
                       "  绿色实线: 3dB点(主覆盖距离)",
                       "",
                       "注: 当θ < α/2时，波束下边界超过",
                       "水平线，远端显示“超水平线”。"})};
}

HelpText roofEdgeHelp() {
    return {"楼面效应下倾角",
            joinLines({"楼面效应允许的最大下倾角 - 说明",
                       "",
                       "━━ 计算公式 ━━",
                       "  θ = arctan(H/L) - α/2",
                       "",
                       "━━ 参数说明 ━━",
                       "  H : 天线挂高(m)",
                       "      天线距离楼面顶部的高度",
                       "  L : 水平距离(m)",
                       "      天线距离楼边最远距离",
                       "  α : 10dB功率角(默认24°)",
                       "      天线垂直面10dB波束宽度",
                       "",
                       "━━ 背景知识 ━━",
                       "  楼面效应是指当天线安装在楼顶时，",
                       "  下倾角过大会导致信号被楼体",
                       "  反射/遮挡，产生多径干扰。",
                       "",
                       "  最大下倾角保证波束的上边界",
                       "  刚好不会照射到楼面上。",
                       "",
                       "━━ 常见参考值 ━━",
                       "  10dB功率角α 通常为 6°~15°",
                       "  典型天线挂高 5~15m",
                       "  水平距离 10~50m"})};
}

HelpText powerHelp() {
    return {"功率单位互换",
            joinLines({"功率单位互换 - 计算公式",
                       "",
                       "━━ 转换公式 ━━",
                       "  P(dBm) = 10 × log10(P(mW))",
                       "  P(W)   = 10^((dBm-30)/10)",
                       "  P(dBm) = 10×log10(W) + 30",
                       "",
                       "━━ 速记 ━━",
                       "  0 dBm  = 1 mW",
                       "  30 dBm = 1 W",
                       "  +3 dB  ≈ ×2 (功率翻倍)",
                       "  +10 dB = ×10",
                       "",
                       "━━━━ dB 速查表 ━━━━",
                       " dB值     倍数        dB值     倍数",
                       rule(38),
                       " 1 dB    1.26x       10 dB   10x",
                       " 2 dB    1.58x       20 dB   100x",
                       " 3 dB    2x          30 dB   1000x",
                       " 6 dB    4x          40 dB   10000x",
                       "-3 dB    0.5x       -10 dB   0.1x"})};
}

HelpText baseHelp() {
    return {"进制转换",
            joinLines({"进制转换 - 使用说明",
                       "",
                       "支持四种进制互转：",
                       "  十六进制 (0-9, A-F)",
                       "  十进制   (0-9)",
                       "  八进制   (0-7)",
                       "  二进制   (0-1)",
                       "",
                       "━━ 转换方法 ━━",
                       "  任意进制 → 十进制 (按权展开)",
                       "  十进制   → 任意进制 (除基取余)",
                       "",
                       "━━━━ 通信常用对照 ━━━━",
                       "参数      十进制      十六进制",
                       rule(30),
                       "PCI       0-503      000-1F7",
                       "VLAN ID   1-4094     001-FFE",
                       "EARFCN    0-65535    0000-FFFF",
                       "",
                       "示例：",
                       "  PCI 255 = 十六进制 FF = 二进制 1111 1111",
                       "  VLAN 100 = 十六进制 64 = 八进制 144"})};
}

HelpText rateHelp() {
    return {"速率单位互转",
            joinLines({"速率单位互转 - 使用说明",
                       "",
                       "支持四种单位：",
                       "  Gbps  - 吉比特/秒",
                       "  Mbps  - 兆比特/秒",
                       "  Kbps  - 千比特/秒",
                       "  MB/s  - 兆字节/秒",
                       "",
                       "━━ 换算关系 ━━",
                       "  1 Gbps = 1000 Mbps",
                       "  1 Mbps = 1000 Kbps",
                       "  1 MB/s = 8 Mbps",
                       "",
                       "━━━━ 参考速率 ━━━━",
                       "技术类型          最大速率",
                       rule(32),
                       "LTE Cat4           150 Mbps",
                       "LTE Cat6           300 Mbps",
                       "LTE Cat12          600 Mbps",
                       "5G NR              10 Gbps",
                       "1000M 宽带         1 Gbps",
                       "100M 宽带          100 Mbps"})};
}

}  // namespace kit
