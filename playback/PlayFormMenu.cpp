#include "playback/PlayFormMenu.h"

namespace kv {

const MenuSpec kPlayFormMenuSpec[] = {
    {0, "pmiPlay", "播放"},
    {0, "pmiStop", "停止"},
    {0, "N1", "-"},
    {0, "pmiQuality", "画面质量"},
    {1, "pmiHighQulity", "高", mfRadio | mfChecked, 2},
    {1, "pmiMiddleQulity", "中", mfRadio, 2},
    {1, "pmiLowQulity", "低", mfRadio, 2},
    {0, "pmiZoom", "画面缩放"},
    {1, "pmiZoomIn", "放大"},
    {1, "pmiZoomOut", "缩小"},
    {1, "pmiNormalSize", "正常大小"},
    {0, "pmiShieldOuterPictureOfScene", "屏蔽场景外部画面"},
    {0, "pmiKeepScale", "维持画面显示比例", mfChecked},
    {0, "pmiAutoControl", "自动跳过停顿的帧"},
    {0, "N2", "-"},
    {0, "pmiFullScreen", "全屏显示"},
    {0, "N3", "-"},
    {0, "pmiProperty", "属性..."},
};
const std::size_t kPlayFormMenuCount = sizeof(kPlayFormMenuSpec) / sizeof(kPlayFormMenuSpec[0]);

}  // namespace kv
