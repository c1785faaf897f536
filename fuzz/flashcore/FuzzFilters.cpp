// Filter lists as read from PlaceObject3: any bytes are parsed as a
// FILTERLIST and every filter read is applied to a small layer drawn from
// the input, at a view scale taken from the input, then composited by
// every blend mode. Only the first few filters are applied, so that one
// input costs bounded time (the parser still reads the whole list). The
// last 16 bytes also give a colour transform applied to the result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Filter.h"
#include "flash/core/raster/BlendStage.h"
#include "flash/core/raster/FilterStage.h"
#include "flash/core/raster/LayerColor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int w = 1 + data[0] % 40, h = 1 + data[1] % 40;
    const float scale = 0.25f + (data[2] % 16) * 0.25f;
    flash::ByteReader r(data + 3, size - 3);
    flash::FilterList filters;
    flash::readFilterList(r, filters);
    std::vector<uint32_t> layer(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < layer.size(); ++i) {
        uint8_t v = data[i % size];
        uint32_t a = v;
        layer[i] = a << 24 | (a * 3 / 4) << 16 | (a / 2) << 8 | (a / 3);  // premultiplied
    }
    flash::FilterStage stage;
    const size_t applied = std::min<size_t>(filters.size(), 3);
    for (size_t i = 0; i < applied; ++i)
        stage.apply(filters[i], scale, scale * 0.5f, flash::LayerPixels{layer.data(), w, h, w});
    if (size >= 19) {
        const uint8_t* t = data + size - 16;
        auto v = [&](int i) { return static_cast<int16_t>(t[2 * i] | t[2 * i + 1] << 8); };
        const flash::ColorTransform cx{v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7)};
        flash::transformLayerSpan(cx, layer.data(), layer.data(), static_cast<int>(layer.size()));
    }
    std::vector<uint32_t> target(layer.size(), 0xFF336699u);
    for (int mode = 1; mode <= 14; ++mode)
        flash::blendLayerSpan(static_cast<flash::BlendMode>(mode), target.data(), layer.data(),
                              mode % 2 ? data : nullptr, static_cast<int>(std::min(layer.size(), size)));
    return 0;
}
