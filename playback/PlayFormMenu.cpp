#include "playback/PlayFormMenu.h"

namespace kv {

const MenuSpec kPlayFormMenuSpec[] = {
    {0, "pmiFullScreen", "全屏幕"},
    {0, "N1", "-"},
    {0, "pmiPlay", "播放"},
    {0, "pmiStop", "停止"},
    {0, "pmiBack", "回退10帧"},
    {0, "pmiForward", "前进10帧"},
    {0, "pmiFront", "上一文件"},
    {0, "pmiNext", "下一文件  "},
    {0, "pmiJumpToFrame", "跳到指定帧..."},
    {0, "pmiPlayArea", "播放指定区域..."},
    {0, "pmiPlayFile", "播放文件..."},
    {0, "N2", "-"},
    {0, "pmiAutoControl", "自动跳过停顿的帧"},
    {0, "pmiQuality", "画面质量"},
    {1, "pmiHighQulity", "高", mfRadio | mfChecked, 2},
    {1, "pmiMiddleQulity", "中", mfRadio, 2},
    {1, "pmiLowQulity", "低", mfRadio, 2},
    {0, "pmiZoom", "画面缩放"},
    {1, "pmiZoomIn", "放大"},
    {1, "pmiZoomOut", "缩小"},
    {1, "pmiNormalSize", "正常大小"},
    {0, "pmiMultiPicture", "多画面点播"},
    {1, "pmiMulitPicture", "4  画面", 0, 0, 4},
    {1, "pmiMulitPicture9", "9  画面", 0, 0, 9},
    {1, "pmiMulitPicture16", "16 画面", 0, 0, 16},
    {1, "pmiMulitPicture25", "25 画面", 0, 0, 25},
    {1, "pmiMulitPicture36", "36 画面", 0, 0, 36},
    {0, "pmiShieldOuterPictureOfScene", "屏蔽场景外部画面"},
    {0, "pmiKeepScale", "维持画面显示比例", mfChecked},
    {0, "N3", "-"},
    {0, "pmiProperty", "属性..."},
    {0, "pmiSaveAs", "文件另存为..."},
    {0, "pmiSavePicture", "保存当前画面..."},
    {0, "pmiSetWallPaper", "设为桌面背景..."},
    {0, "pmiAddToFav", "添加到收藏夹..."},
    {0, "N4", "-"},
    {0, "pmiClose", "退出"},
};
const std::size_t kPlayFormMenuCount = sizeof(kPlayFormMenuSpec) / sizeof(kPlayFormMenuSpec[0]);

}  // namespace kv
