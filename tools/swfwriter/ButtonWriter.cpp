#include "tools/swfwriter/ButtonWriter.h"

namespace swfw {

static void writeRecords(BitWriter& w, const std::vector<ButtonRecord>& records, bool version2) {
    for (const ButtonRecord& r : records) {
        w.u8(r.states & 0x0F);
        w.u16(r.characterId);
        w.u16(r.depth);
        writeMatrix(w, r.matrix);
        if (version2) writeCxForm(w, r.cxform, true);
    }
    w.u8(0);
}

Bytes defineButton(uint16_t id, const std::vector<ButtonRecord>& records, const Bytes& releaseActions) {
    BitWriter w;
    w.u16(id);
    writeRecords(w, records, false);
    w.bytes(releaseActions);
    w.u8(0);
    return tag(7, w.data());
}

Bytes defineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                    const std::vector<ButtonCondAction>& actions, bool trackAsMenu) {
    BitWriter rec;
    writeRecords(rec, records, true);
    const Bytes& recBytes = rec.data();
    BitWriter w;
    w.u16(id);
    w.u8(trackAsMenu ? 1 : 0);
    w.u16(actions.empty() ? 0 : static_cast<uint16_t>(2 + recBytes.size()));
    w.bytes(recBytes);
    for (size_t i = 0; i < actions.size(); ++i) {
        const ButtonCondAction& a = actions[i];
        bool last = i + 1 == actions.size();
        w.u16(last ? 0 : static_cast<uint16_t>(4 + a.actions.size() + 1));
        w.u16(a.conditions);
        w.bytes(a.actions);
        w.u8(0);
    }
    return tag(34, w.data());
}

Bytes defineButtonCxform(uint16_t id, const CxForm& cx) {
    BitWriter w;
    w.u16(id);
    writeCxForm(w, cx, false);
    return tag(23, w.data());
}

Bytes placeWithEvents(uint16_t characterId, uint16_t depth, const std::string& name, const Matrix& m,
                      const std::vector<ClipEventHandler>& handlers, int version) {
    bool wide = version >= 6;
    BitWriter w;
    w.u8(0x80 | 0x20 | 0x04 | 0x02);  // clip actions, name, matrix, character
    w.u16(depth);
    w.u16(characterId);
    writeMatrix(w, m);
    w.str(name);
    w.u16(0);
    uint32_t all = 0;
    for (const ClipEventHandler& h : handlers) all |= h.events;
    wide ? w.u32(all) : w.u16(static_cast<uint16_t>(all));
    for (const ClipEventHandler& h : handlers) {
        wide ? w.u32(h.events) : w.u16(static_cast<uint16_t>(h.events));
        w.u32(static_cast<uint32_t>(h.actions.size() + 1));
        w.bytes(h.actions);
        w.u8(0);
    }
    wide ? w.u32(0) : w.u16(0);
    return tag(26, w.data());
}

}  // namespace swfw
