// The numbered movie-clip properties of GetProperty/SetProperty and of
// members such as clip._x.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Frame.h"

namespace flash {

int propertyIndex(const std::string& name) {
    static const char* const names[] = {
        "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
        "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
        "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
        "_ymouse"};
    if (name.empty() || name[0] != '_') return -1;
    std::string folded = foldCase(name);
    for (int i = 0; i < static_cast<int>(sizeof names / sizeof names[0]); ++i)
        if (folded == names[i]) return i;
    return -1;
}

Value Avm1::getProperty(DisplayObject* c, int index) {
    if (!c) return Value();
    const Matrix& m = c->matrix;
    switch (index) {
        case 0:
            return Value::fromNumber(m.tx / 20.0);
        case 1:
            return Value::fromNumber(m.ty / 20.0);
        case 2:
            return Value::fromNumber(std::sqrt(m.a * m.a + m.b * m.b) * 100.0);
        case 3:
            return Value::fromNumber(std::sqrt(m.c * m.c + m.d * m.d) * 100.0);
        case 4:
            return Value::fromNumber(c->currentFrame + 1);
        case 5: {
            // A movie still arriving has the frames its header announces.
            const MovieDef& md = engine_.movieOf(c);
            if (c->timeline == &md.root() && !md.complete())
                return Value::fromNumber(std::max(c->frameCount(), static_cast<int>(md.header().frameCount)));
            return Value::fromNumber(c->frameCount());
        }
        case 12:
            return Value::fromNumber(c->frameCount());
        case 6:
            return Value::fromNumber(c->cxform.aMul * 100.0 / 256.0);
        case 7:
            return boolResult(c->visible);
        case 8:
        case 9: {
            Rect b = engine_.boundsOf(c, c->matrix);
            return Value::fromNumber((index == 8 ? b.width() : b.height()) / 20.0);
        }
        case 10:
            return Value::fromNumber(std::atan2(m.b, m.a) * 180.0 / 3.14159265358979323846);
        case 14:
            return Value::fromString(c->dropTarget);
        case 15:
            return Value::fromString("file:///movie.swf");
        case 20:
        case 21: {
            Matrix inv;
            if (!engine_.worldMatrix(c).invert(inv)) return Value::fromNumber(0);
            double x = engine_.mouseX(), y = engine_.mouseY();
            if (x < -1e8) x = y = 0;
            return Value::fromNumber(std::round((index == 20 ? inv.mapX(x, y) : inv.mapY(x, y)) / 20.0));
        }
        case 11:
            return Value::fromString(engine_.targetPath(c));
        case 13:
            return Value::fromString(c->name);
        case 16:
            return Value::fromNumber(1);
        case 17:
            return boolResult(engine_.focusRect);
        case 19:
            return Value::fromString("HIGH");
        default:
            return Value();
    }
}

void Avm1::setProperty(DisplayObject* c, int index, const Value& v) {
    if (!c || c == engine_.root()) {
        if (!c) return;
    }
    double d = toNumber(v, version_);
    Matrix& m = c->matrix;
    bool finite = std::isfinite(d);
    switch (index) {
        case 0:
            if (finite) m.tx = d * 20.0;
            break;
        case 1:
            if (finite) m.ty = d * 20.0;
            break;
        case 2:
        case 3: {
            if (!finite) return;
            double* p = index == 2 ? &m.a : &m.c;
            double* q = index == 2 ? &m.b : &m.d;
            double len = std::sqrt(*p * *p + *q * *q);
            double s = d / 100.0;
            if (len > 0) {
                *p *= s / len;
                *q *= s / len;
            } else if (index == 2) {
                *p = s;
            } else {
                *q = s;
            }
            break;
        }
        case 6:
            if (finite)
                c->cxform.aMul = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, d * 2.56)));
            break;
        case 7:
            c->visible = toBoolean(v, version_);
            return;
        case 17:  // _focusrect: one setting for the whole player
            engine_.focusRect = toBoolean(v, version_);
            return;
        case 8:
        case 9: {
            // A width or height: the scale that gives it.
            if (!finite || d < 0) return;
            Rect b = engine_.boundsOf(c, Matrix());
            double size = index == 8 ? b.width() : b.height();
            if (size <= 0) return;
            double* p = index == 8 ? &m.a : &m.d;
            double* q = index == 8 ? &m.b : &m.c;
            double len = std::sqrt(*p * *p + *q * *q);
            double s = d * 20.0 / size;
            if (len > 0) {
                *p *= s / len;
                *q *= s / len;
            } else {
                *p = s;
            }
            break;
        }
        case 10: {
            if (!finite) return;
            double sx = std::sqrt(m.a * m.a + m.b * m.b), sy = std::sqrt(m.c * m.c + m.d * m.d);
            double r = d * 3.14159265358979323846 / 180.0;
            m.a = sx * std::cos(r);
            m.b = sx * std::sin(r);
            m.c = -sy * std::sin(r);
            m.d = sy * std::cos(r);
            break;
        }
        case 13:
            c->name = toString(v, version_);
            return;
        default:
            return;
    }
    c->scriptTransformed = true;
}
}  // namespace flash
