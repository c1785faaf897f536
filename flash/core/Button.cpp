#include "flash/core/Button.h"

namespace flash {

static bool readRecords(ByteReader& r, bool version2, ButtonDef& out) {
    while (r.remaining() > 0) {
        uint8_t flags = r.u8();
        if (flags == 0) return true;
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = r.matrix();
        if (version2) {
            rec.hasCxform = true;
            rec.cxform = r.cxform(true);
            if (flags & 0x10) {
                auto list = std::make_shared<FilterList>();
                if (!readFilterList(r, *list)) return false;
                rec.filters = std::move(list);
            }
            if (flags & 0x20) rec.blendMode = blendModeFromByte(r.u8());
        }
        if (r.overflow()) return false;
        if (out.records.size() < 4096) out.records.push_back(rec);
    }
    return true;  // a missing end byte: keep what was read
}

bool parseDefineButton(ByteReader& r, int tagCode, uint16_t& id, ButtonDef& out) {
    id = r.u16();
    if (r.overflow()) return false;
    if (tagCode == 7) {
        if (!readRecords(r, false, out)) return !out.records.empty();
        // The rest is one action block, run on release over the button.
        if (r.remaining() > 0) out.actions.push_back({kOverDownToOverUp, r.cursor(), r.remaining()});
        return true;
    }
    out.trackAsMenu = (r.u8() & 0x01) != 0;
    size_t offsetField = r.pos();
    uint16_t actionOffset = r.u16();
    if (r.overflow()) return false;
    if (!readRecords(r, true, out)) return !out.records.empty();
    if (actionOffset == 0) return true;
    r.seek(offsetField + actionOffset);
    while (r.remaining() >= 4 && out.actions.size() < 256) {
        size_t start = r.pos();
        uint16_t size = r.u16();
        uint16_t cond = r.u16();
        size_t end = size == 0 ? r.size() : start + size;
        if (end > r.size() || end < r.pos()) end = r.size();
        out.actions.push_back({cond, r.cursor(), end - r.pos()});
        if (size == 0) break;
        r.seek(end);
    }
    return true;
}

void applyButtonCxform(ByteReader& r, ButtonDef& button) {
    std::vector<ColorTransform> list;
    while (r.remaining() > 0 && list.size() < button.records.size()) {
        ColorTransform c = r.cxform(false);
        if (r.overflow()) break;
        list.push_back(c);
    }
    if (list.empty()) return;
    for (size_t i = 0; i < button.records.size(); ++i) {
        button.records[i].hasCxform = true;
        button.records[i].cxform =
            list.size() == 1 ? list[0] : (i < list.size() ? list[i] : ColorTransform());
    }
}

void parseClipActions(ByteReader& r, int version, std::vector<ClipAction>& out) {
    bool wide = version >= 6;
    r.u16();                   // reserved
    wide ? r.u32() : r.u16();  // all events
    while (!r.overflow() && r.remaining() > 0 && out.size() < 64) {
        uint32_t events = wide ? r.u32() : r.u16();
        if (events == 0 || r.overflow()) break;
        uint32_t size = r.u32();
        if (r.overflow()) break;
        size_t start = r.pos();
        size_t end = size > r.remaining() ? r.size() : start + size;
        if (events & 0x20000) r.u8();  // key code of a key press handler
        if (r.pos() <= end) out.push_back({events, r.cursor(), end - r.pos()});
        r.seek(end);
    }
}

}  // namespace flash
