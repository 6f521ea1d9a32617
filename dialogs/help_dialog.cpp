// The help dialog's texts, and showHelpDialog.
#include "dialogs/help_dialog.h"

#include <initializer_list>

#include "app/GameLauncher.h"
#include "platform/text.h"

namespace ludexa {
namespace {

// Sixty-two characters, as the heading line has always been long.
constexpr wchar_t kHeading[] = L"欢迎使用 Ludexa 游戏库！把所有游戏收进一个窗口，鼠标、键盘或手柄都能轻松浏览、搜索、启动，下面是使用说明和手柄按键。";
static_assert(sizeof kHeading / sizeof kHeading[0] - 1 == 62);

using Section = std::initializer_list<const char*>;

// Paragraphs one empty line apart, sections two; no line break at the end.
std::string joinSections(std::initializer_list<Section> sections) {
    std::string text;
    bool firstSection = true;
    for (const auto& section : sections) {
        if (!firstSection) text += "\n\n\n";
        firstSection = false;
        bool firstLine = true;
        for (const char* line : section) {
            if (!firstLine) text += "\n\n";
            firstLine = false;
            text += line;
        }
    }
    return text;
}

}  // namespace

HelpContent helpContent() {
    HelpContent content;
    content.heading = wstringToUtf8(kHeading);
    content.guideCaption = "使用说明";
    content.guide = joinSections({
        {"【快速上手】",
         "1. 把游戏快捷方式放到一个文件夹里（建议用游戏正规名称命名快捷方式）",
         "2. 打开Ludexa，点击“添加游戏”，选择快捷方式所在文件夹，程序自动识别添加",
         "3. 点击“生成资源”，程序会在 media 目录下为每个游戏创建资源文件夹。右键游戏图标点“资源目录”可进入",
         "4. 在资源文件夹放入图片（jpg/png/bmp/webp/avif/gif）和 txt 文本，点击游戏图标即可显示",
         "5. 点击“管理分类”自定义添加游戏分类，右键游戏图标点“游戏设置”选择所属分类"},
        {"【进阶用法】",
         "• 设置：可更改字体、字号、图片类型、休眠方式、手柄模式",
         "• 换肤：点击“换肤”按钮更换菜单皮肤",
         "• 休眠：点击“休眠”开启/关闭休眠功能",
         "• 右键菜单：收藏游戏、统计容量、添加存档目录",
         "• 图标区空白处右键：调整图标大小、排序方式、导入游戏平台",
         "• Ctrl+滚轮：文本区快速调字号，图标区快速调图标大小",
         "• 搜索：支持中文或拼音首字母搜索游戏",
         "• 界面:可以拖动框架分配图片、文字、图标区域大小",
         "• 显示:点击“无框/全屏/窗口”按钮可以更改游戏菜单显示模式",
         "• 辅助工具：用“Ludexa助手”批量添加图片、介绍和分类"},
    });
    content.gamepadCaption = "手柄按键功能表";
    content.gamepad = joinSections({
        {"【Xbox模式手柄按键功能】",
         "A 键：启动游戏 / 选中",
         "B 键：返回图标区",
         "X 键：收藏 / 取消收藏",
         "Y 键：打开 / 关闭软键盘",
         "LB：向左切换分类",
         "RB：向右切换分类",
         "左摇杆：移动焦点（上下左右导航）",
         "右摇杆：滚动文本区",
         "十字键：在分类栏中上下选择",
         "Start：切换全屏 / 窗口"},
        {"【其他模式说明】",
         "Switch：A/B、X/Y 位置互换",
         "PS：□/X/O/△ 映射到 X/A/B/Y",
         "其它：十字键和左摇杆互换（无摇杆手柄）"},
    });
    return content;
}

void GameLauncher::showHelpDialog() {
    {
        const ModalRepaint repaint([this] { render(); });
        runHelpDialog(helpContent(), nativeHandle());
    }
    discardInputAfterModal();
}

}  // namespace ludexa
