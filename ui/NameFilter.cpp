#include "ui/NameFilter.h"

#include <cstring>

#include "ui/Edit.h"
#include "ui/UiServices.h"

namespace kv {

const NameFilter kPlayListNameFilter{"-\\/:*?\"<>|", "播放列表名称中不能包含下列任何字符之一:"};
const NameFilter kFileNameFilter{"\\/:*?\"<>|", "文件名不能包含下列任何字符之一:"};

bool nameFilterRefuses(const NameFilter& filter, unsigned key) {
    return key > 0 && key < 0x80 && std::strchr(filter.refused, static_cast<int>(key)) != nullptr;
}

std::string nameFilterWarning(const NameFilter& filter) {
    std::string text = filter.prefix;
    text += "\r\r     ";
    for (const char* p = filter.refused; *p; ++p) {
        if (p != filter.refused) text += ' ';
        text += *p;
    }
    return text;
}

void useNameFilter(Edit& edit, const NameFilter& filter) {
    Edit* field = &edit;
    edit.onKeyPress = [field, filter](unsigned& key) {
        if (!nameFilterRefuses(filter, key)) return;
        key = 0;
        showWarning(GetAncestor(field->handle(), GA_ROOT), nameFilterWarning(filter));
    };
}

}  // namespace kv
