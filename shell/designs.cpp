// The four window designs. Places are top-left corners in the parent's client area; window
// sizes are outer sizes, frame and caption included.
#include "catalogue/catalogue.h"
#include "cloudplay/cloud_play.h"
#include "filmpage/film_play.h"
#include "resources/resources.h"
#include "shell/hosts.h"
#include "shell/main_window.h"
#include "shell/windows.h"

// The designs are tables: one control per record, laid out for reading against each other.
// clang-format off
namespace {

constexpr Rgb White{255, 255, 255};
constexpr Rgb Black{0, 0, 0};
constexpr FontDesign ButtonFont{"微软雅黑", 14};
constexpr FontDesign EditFont{"微软雅黑", 12};

constexpr ColumnDesign FilmListColumns[] = {
    {.heading = "影片名称", .width = 300, .alignment = Alignment::Left},
    {.heading = "更新日期", .width = 100, .alignment = Alignment::Centre},
    {.heading = "地址", .width = 0, .alignment = Alignment::Left},
};

const ControlDesign MainWindowControls[] = {
    {.name = "超文本浏览框2", .kind = ControlKind::HtmlView, .parent = "画板2",
     .x = 0, .y = -16, .width = 208, .height = 80,
     .text = QORVELLA_AD_SERVER "/ads/zanzhu.htm",
     .browser = {.zoom = 2, .silent = false}},
    {.name = "画板2", .kind = ControlKind::Canvas, .parent = "图片框1",
     .x = 720, .y = 8, .width = 208, .height = 64},
    {.name = "图片框2", .kind = ControlKind::PictureBox, .parent = "图片框1",
     .x = 88, .y = 8, .width = 136, .height = 56,
     .picture = &LogoPictureImage, .pictureMode = PictureMode::TopLeft},
    {.name = "图片框4", .kind = ControlKind::PictureBox, .parent = "图片框1",
     .x = 40, .y = 16, .width = 48, .height = 48,
     .picture = &ProgramIconImage, .pictureMode = PictureMode::CentredFitted,
     .background = Rgb{22, 156, 214}},
    {.name = "超文本浏览框1", .kind = ControlKind::HtmlView, .parent = "画板1",
     .x = -10, .y = -16, .width = 490, .height = 80,
     .text = QORVELLA_AD_SERVER "/ads/mtpx.htm",
     .browser = {.zoom = 2, .silent = false}},
    {.name = "画板1", .kind = ControlKind::Canvas, .parent = "图片框1",
     .x = 240, .y = 8, .width = 472, .height = 64},
    {.name = "标签5", .kind = ControlKind::Label,
     .x = 8, .y = 107, .width = 280, .height = 24,
     .text = "小提示：双击影片名称既可在线播放", .textColour = Rgb{255, 0, 0}},
    {.name = "图片框3", .kind = ControlKind::PictureBox,
     .x = 0, .y = 601, .width = 896, .height = 47,
     .picture = &FooterPictureImage, .pictureMode = PictureMode::Stretched},
    {.name = "超级列表框1", .kind = ControlKind::ReportList,
     .x = 291, .y = 107, .width = 601, .height = 494,
     .textColour = Black, .background = White, .font = {"微软雅黑", 14},
     .frame = FrameStyle::ThinLine, .list = {.columns = FilmListColumns},
     .onDoubleClick = FilmListDoubleClicked},
    {.name = "超级按钮_迅雷会员", .kind = ControlKind::OwnerDrawnButton,
     .x = -4, .y = 427, .width = 295, .height = 62, .text = "免费迅雷会员",
     .textColour = White, .background = Rgb{128, 128, 255}, .hotBackground = Rgb{106, 106, 255},
     .font = ButtonFont, .onClick = MemberLinkClicked},
    {.name = "超级按钮_免费云播", .kind = ControlKind::OwnerDrawnButton,
     .x = -4, .y = 354, .width = 295, .height = 62, .text = "免费在线云播",
     .textColour = White, .background = Rgb{255, 106, 106}, .hotBackground = Rgb{215, 78, 38},
     .font = ButtonFont, .onClick = FreeCloudPlayClicked},
    {.name = "时钟2", .kind = ControlKind::Timer, .parent = "图片框1",
     .period = 0, .onTimer = PauseTimerTick},
    {.name = "时钟1", .kind = ControlKind::Timer, .parent = "图片框1",
     .period = 30, .onTimer = FrameTimerTick},
    {.name = "标签2", .kind = ControlKind::Label, .parent = "图片框1",
     .x = 72, .y = 72, .width = 136, .height = 24, .text = "正在获取影片信息.....",
     .textColour = White, .background = Rgb{9, 158, 223}, .font = {"微软雅黑", 15},
     .hidden = true},
    {.name = "标签1", .kind = ControlKind::Label, .parent = "图片框1",
     .x = 40, .y = 73, .width = 32, .height = 24, .text = "标签",
     .textColour = White, .background = Rgb{7, 156, 220}, .font = {"", 16},
     .hidden = true},
    {.name = "超级按钮_3D", .kind = ControlKind::OwnerDrawnButton,
     .x = -4, .y = 282, .width = 295, .height = 62, .text = "3D电影专区",
     .textColour = White, .background = Rgb{0, 163, 0}, .hotBackground = Rgb{0, 153, 0},
     .font = ButtonFont, .onClick = Category3dClicked},
    {.name = "超级按钮_BD高清", .kind = ControlKind::OwnerDrawnButton,
     .x = -4, .y = 210, .width = 295, .height = 62, .text = "BD高清",
     .textColour = White, .background = Rgb{92, 169, 239}, .hotBackground = Rgb{0, 136, 255},
     .font = ButtonFont, .onClick = CategoryBdClicked},
    {.name = "超级按钮_最新电影", .kind = ControlKind::OwnerDrawnButton,
     .x = -4, .y = 139, .width = 295, .height = 62, .text = "最新热门电影",
     .textColour = White, .background = Rgb{255, 128, 0}, .hotBackground = Rgb{225, 83, 6},
     .font = ButtonFont, .onClick = CategoryLatestClicked},
    {.name = "图片框1", .kind = ControlKind::PictureBox,
     .x = -40, .y = 0, .width = 936, .height = 104,
     .picture = &BannerPictureImage, .pictureMode = PictureMode::Stretched},
};

const ControlDesign FilmPlayWindowControls[] = {
    {.name = "互联网浏览器1", .kind = ControlKind::WebBrowser, .parent = "画板1",
     .x = 0, .y = 0, .width = 776, .height = 416,
     .browser = {.silent = true, .offline = false, .dropTarget = true,
                 .registerAsBrowser = false}},
    {.name = "画板1", .kind = ControlKind::Canvas,
     .x = 0, .y = 0, .width = 776, .height = 416},
    {.name = "编辑框2", .kind = ControlKind::EditBox,
     .x = 2, .y = 416, .width = 768, .height = 111,
     .textColour = Black, .background = White, .font = EditFont,
     .frame = FrameStyle::ThinLine, .alignment = Alignment::Left,
     .edit = {.multiLine = true, .readOnly = true, .verticalScrollBar = true,
              .maxLength = 0}},
};

const ControlDesign CloudLinkWindowControls[] = {
    {.name = "超级按钮1", .kind = ControlKind::OwnerDrawnButton,
     .x = 608, .y = 208, .width = 160, .height = 32, .text = "云种子搜索器免费下载",
     .textColour = White, .background = Rgb{0, 136, 255}, .hotBackground = Rgb{0, 136, 255},
     .font = ButtonFont, .onClick = SeedSearcherClicked},
    {.name = "超级按钮_播放", .kind = ControlKind::OwnerDrawnButton,
     .x = 608, .y = 160, .width = 160, .height = 32, .text = "播放",
     .textColour = White, .background = Rgb{149, 215, 241}, .hotBackground = Rgb{128, 207, 238},
     .font = ButtonFont, .onClick = PlayClicked},
    {.name = "编辑框1", .kind = ControlKind::EditBox,
     .x = 16, .y = 160, .width = 584, .height = 32,
     .text = "请在此输入视频链接（thunder、ftp、http、ed2k、magnet、xplan、bt）",
     .textColour = Rgb{8, 168, 218}, .background = White, .font = EditFont,
     .frame = FrameStyle::ThinSunken, .alignment = Alignment::Left,
     .edit = {.multiLine = false, .readOnly = false, .horizontalScroll = true, .maxLength = 0}},
    {.name = "图片框1", .kind = ControlKind::PictureBox,
     .x = 0, .y = 0, .width = 784, .height = 112,
     .picture = &CloudBannerPictureImage, .pictureMode = PictureMode::Stretched},
};

const ControlDesign CloudPlayerWindowControls[] = {
    {.name = "播放器", .kind = ControlKind::HtmlView,
     .x = 0, .y = 0, .width = 970, .height = 700,
     .browser = {.zoom = 2, .silent = true}},
};

}  // namespace

const WindowDesign MainWindowDesign{
    .name = "MainWindow", .width = 901, .height = 675,
    .caption = "QorvellaV2.0版                  ",  // 18 trailing spaces
    .minimiseBox = true, .maximiseBox = false, .dragByClientArea = true,
    .background = White, .icon = &ProgramIconImage, .controls = MainWindowControls,
    .onCreated = MainWindowCreated, .onDestroying = MainWindowDestroying};

const WindowDesign FilmPlayWindowDesign{
    .name = "FilmPlayWindow", .width = 781, .height = 555, .caption = "在线播放",
    .minimiseBox = true, .maximiseBox = false, .icon = &ProgramIconImage,
    .controls = FilmPlayWindowControls, .onCreated = FilmPlayWindowCreated};

const WindowDesign CloudLinkWindowDesign{
    .name = "CloudLinkWindow", .width = 785, .height = 283, .caption = "免费在线云播放器",
    .minimiseBox = false, .maximiseBox = false, .icon = &ProgramIconImage,
    .controls = CloudLinkWindowControls};

const WindowDesign CloudPlayerWindowDesign{
    .name = "CloudPlayerWindow", .width = 970, .height = 700, .caption = "",
    .minimiseBox = true, .maximiseBox = false, .icon = &ProgramIconImage,
    .controls = CloudPlayerWindowControls, .onCreated = CloudPlayerWindowCreated,
    .onDestroying = CloudPlayerWindowDestroying};
// clang-format on
