// The bitmap, font and text tags of a movie's dictionary.
#include <algorithm>

#include "flash/core/Movie.h"

namespace flash {

namespace {

enum AssetTag : uint16_t {
    kDefineBits = 6,
    kJpegTables = 8,
    kDefineFont = 10,
    kDefineText = 11,
    kDefineFontInfo = 13,
    kDefineBitsLossless = 20,
    kDefineBitsJpeg2 = 21,
    kDefineText2 = 33,
    kDefineBitsJpeg3 = 35,
    kDefineBitsLossless2 = 36,
    kDefineEditText = 37,
    kDefineFont2 = 48,
    kDefineFontInfo2 = 62,
    kDefineFont3 = 75,
};

}  // namespace

void MovieDef::resolveBitmaps(ShapeData& shape) const {
    auto resolve = [&](FillStyle& f) {
        if (f.kind != FillKind::Bitmap) return;
        f.bitmap = bitmap(f.bitmapId);
    };
    for (ShapeLayer& L : shape.layers) {
        for (FillStyle& f : L.fills) resolve(f);
        for (LineStyle& l : L.lines) resolve(l.fill);
    }
}

void MovieDef::resolveBitmaps(MorphData& morph) const {
    for (MorphFill& f : morph.fills)
        for (FillStyle* s : {&f.start, &f.end}) {
            if (s->kind != FillKind::Bitmap) continue;
            s->bitmap = bitmap(s->bitmapId);
        }
}

const BitmapData* MovieDef::bitmap(uint16_t id) const {
    auto it = bitmaps_.find(id);
    return it == bitmaps_.end() ? nullptr : it->second.get();
}

const FontData* MovieDef::font(uint16_t id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : it->second.get();
}

void MovieDef::addTextCharacter(uint16_t id, std::unique_ptr<ShapeData> shape,
                                std::unique_ptr<EditTextDef> def) {
    if (characters_.count(id)) return;
    auto c = std::make_unique<Character>();
    c->kind = Character::Shape;
    c->shape = std::move(shape);
    c->editText = std::move(def);
    c->text = true;
    characters_[id] = std::move(c);
}

void MovieDef::parseAssetTag(uint16_t code, ByteReader& r) {
    uint16_t id = 0;
    auto fonts = [this](uint16_t fid) { return font(fid); };
    switch (code) {
        case kJpegTables:
            if (jpegTables_.empty()) jpegTables_.assign(r.cursor(), r.cursor() + r.remaining());
            break;
        case kDefineBits:
        case kDefineBitsJpeg2:
        case kDefineBitsJpeg3:
        case kDefineBitsLossless:
        case kDefineBitsLossless2: {
            std::unique_ptr<BitmapData> bmp =
                code == kDefineBitsLossless || code == kDefineBitsLossless2
                    ? parseDefineBitsLossless(r, code == kDefineBitsLossless2, id, bitmapBudget_)
                    : parseDefineBitsJpeg(r, code, jpegTables_, id);
            if (bmp && !bitmaps_.count(id)) bitmaps_[id] = std::move(bmp);
            break;
        }
        case kDefineFont:
        case kDefineFont2:
        case kDefineFont3: {
            auto font = parseDefineFont(r, code, id);
            if (font && !fonts_.count(id)) fonts_[id] = std::move(font);
            break;
        }
        case kDefineFontInfo:
        case kDefineFontInfo2:
            parseDefineFontInfo(r, code, [this](uint16_t fid) -> FontData* {
                auto it = fonts_.find(fid);
                return it == fonts_.end() ? nullptr : it->second.get();
            });
            break;
        case kDefineText:
        case kDefineText2: {
            auto shape = parseDefineText(r, code, fonts, textEdgeBudget_, id);
            if (shape) addTextCharacter(id, std::move(shape), nullptr);
            break;
        }
        case kDefineEditText: {
            auto def = std::make_unique<EditTextDef>();
            if (!parseEditTextRecord(r, header_.version, fonts, *def, id)) break;
            auto shape = layoutEditText(*def, def->initialText, textEdgeBudget_);
            // Only a field bound to a variable needs its record while playing.
            if (def->variable.empty()) def.reset();
            addTextCharacter(id, std::move(shape), std::move(def));
            break;
        }
        default:
            break;
    }
}

}  // namespace flash
