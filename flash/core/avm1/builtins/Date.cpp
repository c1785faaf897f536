// Date: a moment as milliseconds since 1970 UTC (NaN: invalid), read and
// set by local or UTC fields. The engine gives the wall clock and the time
// zone, so tests can fix both.
#include <chrono>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/DateText.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

using Fields = DateFields;

Fields split(double t) { return splitDate(t); }

double join(const Fields& f) {
    for (double v : {f.year, f.month, f.date, f.hours, f.minutes, f.seconds, f.ms})
        if (!std::isfinite(v)) return std::nan("");
    double y = f.year + std::floor(f.month / 12);
    double m = std::fmod(f.month, 12);
    if (m < 0) m += 12;
    double days = daysFromCivil(y, m + 1, 1) + std::trunc(f.date) - 1;
    double t = days * kMsPerDay + std::trunc(f.hours) * 3600000 + std::trunc(f.minutes) * 60000 +
               std::trunc(f.seconds) * 1000 + std::trunc(f.ms);
    return std::fabs(t) > 8.64e15 ? std::nan("") : t;
}

double offsetAt(NativeCall& c, double utcMs) {
    return c.engine().localOffset ? c.engine().localOffset(utcMs) : systemZoneOffset(utcMs);
}

double now(NativeCall& c) {
    if (c.engine().wallClock) return c.engine().wallClock();
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double toLocal(NativeCall& c, double t) { return t + offsetAt(c, t) * 60000; }
double fromLocal(NativeCall& c, double l) {
    if (!std::isfinite(l)) return l;
    return l - offsetAt(c, l - offsetAt(c, l) * 60000) * 60000;
}

double& timeOf(NativeCall& c, bool& ok) {
    static double none;
    ScriptObject* o = c.self();
    ok = o && o->internal.type == Value::Number;
    none = std::nan("");
    return ok ? o->internal.number : none;
}

std::string format(NativeCall& c, double t) { return dateText(t, offsetAt(c, t)); }

// new Date(), new Date(ms), new Date(year, month[, date, hours, minutes, seconds, ms])
Value ctor(NativeCall& c) {
    double t;
    if (c.args.empty()) {
        t = now(c);
    } else if (c.args.size() == 1) {
        t = c.num(0);
        t = std::isfinite(t) && std::fabs(t) <= 8.64e15 ? std::trunc(t) : std::nan("");
    } else {
        Fields f{c.num(0), c.num(1), c.num(2, 1), c.num(3, 0), c.num(4, 0), c.num(5, 0), c.num(6, 0), 0};
        if (f.year >= 0 && f.year <= 99) f.year += 1900;
        t = fromLocal(c, join(f));
    }
    // Date() as a function: the time now, as text.
    if (!c.constructing) return Value::fromString(format(c, now(c)));
    if (ScriptObject* o = c.self()) {
        o->internal = Value::fromNumber(t);
        o->isDate = true;
    }
    return Value();
}

// Getters: which field, in UTC or local time.
enum Field { Year, FullYear, Month, Date, Day, Hours, Minutes, Seconds, Milliseconds };

double fieldOf(const Fields& f, Field which) {
    switch (which) {
        case Year:
            return f.year - 1900;
        case FullYear:
            return f.year;
        case Month:
            return f.month;
        case Date:
            return f.date;
        case Day:
            return f.day;
        case Hours:
            return f.hours;
        case Minutes:
            return f.minutes;
        case Seconds:
            return f.seconds;
        case Milliseconds:
            return f.ms;
    }
    return 0;
}

Value get(NativeCall& c, Field which, bool utc) {
    bool ok;
    double t = timeOf(c, ok);
    if (!ok || !std::isfinite(t)) return Value::fromNumber(std::nan(""));
    return Value::fromNumber(fieldOf(split(utc ? t : toLocal(c, t)), which));
}

// Setters: the first field set and how many may follow it (setHours(h, m, s, ms)).
Value set(NativeCall& c, Field first, bool utc) {
    bool ok;
    double& t = timeOf(c, ok);
    if (!ok) return Value::fromNumber(std::nan(""));
    double base = std::isfinite(t) ? (utc ? t : toLocal(c, t)) : 0;
    Fields f = split(base);
    double* order[] = {&f.year, &f.month, &f.date, &f.hours, &f.minutes, &f.seconds, &f.ms};
    int start = first == FullYear || first == Year ? 0
                : first == Month                   ? 1
                : first == Date                    ? 2
                : first == Hours                   ? 3
                : first == Minutes                 ? 4
                : first == Seconds                 ? 5
                                                   : 6;
    int limit = start <= 2 ? 3 : 7;
    for (size_t i = 0; i < c.args.size() && start + static_cast<int>(i) < limit; ++i)
        *order[start + i] = c.num(i);
    if (c.args.empty()) *order[start] = std::nan("");
    if (first == Year && f.year >= 0 && f.year <= 99) f.year += 1900;
    double joined = join(f);
    t = utc ? joined : fromLocal(c, joined);
    return Value::fromNumber(t);
}

#define DATE_GETTER(Name, F, UTC) \
    Value Name(NativeCall& c) { return get(c, F, UTC); }
#define DATE_SETTER(Name, F, UTC) \
    Value Name(NativeCall& c) { return set(c, F, UTC); }
DATE_GETTER(getFullYear, FullYear, false)
DATE_GETTER(getYear, Year, false)
DATE_GETTER(getMonth, Month, false)
DATE_GETTER(getDate, Date, false)
DATE_GETTER(getDay, Day, false)
DATE_GETTER(getHours, Hours, false)
DATE_GETTER(getMinutes, Minutes, false)
DATE_GETTER(getSeconds, Seconds, false)
DATE_GETTER(getMilliseconds, Milliseconds, false)
DATE_GETTER(getUTCFullYear, FullYear, true)
DATE_GETTER(getUTCYear, Year, true)
DATE_GETTER(getUTCMonth, Month, true)
DATE_GETTER(getUTCDate, Date, true)
DATE_GETTER(getUTCDay, Day, true)
DATE_GETTER(getUTCHours, Hours, true)
DATE_GETTER(getUTCMinutes, Minutes, true)
DATE_GETTER(getUTCSeconds, Seconds, true)
DATE_GETTER(getUTCMilliseconds, Milliseconds, true)
DATE_SETTER(setFullYear, FullYear, false)
DATE_SETTER(setYear, Year, false)
DATE_SETTER(setMonth, Month, false)
DATE_SETTER(setDate, Date, false)
DATE_SETTER(setHours, Hours, false)
DATE_SETTER(setMinutes, Minutes, false)
DATE_SETTER(setSeconds, Seconds, false)
DATE_SETTER(setMilliseconds, Milliseconds, false)
DATE_SETTER(setUTCFullYear, FullYear, true)
DATE_SETTER(setUTCMonth, Month, true)
DATE_SETTER(setUTCDate, Date, true)
DATE_SETTER(setUTCHours, Hours, true)
DATE_SETTER(setUTCMinutes, Minutes, true)
DATE_SETTER(setUTCSeconds, Seconds, true)
DATE_SETTER(setUTCMilliseconds, Milliseconds, true)
#undef DATE_GETTER
#undef DATE_SETTER

Value getTime(NativeCall& c) {
    bool ok;
    double t = timeOf(c, ok);
    return Value::fromNumber(ok ? t : std::nan(""));
}

Value setTime(NativeCall& c) {
    bool ok;
    double& t = timeOf(c, ok);
    if (!ok) return Value::fromNumber(std::nan(""));
    double v = c.num(0);
    t = std::isfinite(v) && std::fabs(v) <= 8.64e15 ? std::trunc(v) : std::nan("");
    return Value::fromNumber(t);
}

Value getTimezoneOffset(NativeCall& c) {
    bool ok;
    double t = timeOf(c, ok);
    if (!ok || !std::isfinite(t)) return Value::fromNumber(std::nan(""));
    return Value::fromNumber(-offsetAt(c, t));
}

Value toString(NativeCall& c) {
    bool ok;
    double t = timeOf(c, ok);
    return Value::fromString(format(c, ok ? t : std::nan("")));
}

// Date.UTC(year, month[, date, hours, minutes, seconds, ms])
Value utc(NativeCall& c) {
    Fields f{c.num(0), c.num(1), c.num(2, 1), c.num(3, 0), c.num(4, 0), c.num(5, 0), c.num(6, 0), 0};
    if (f.year >= 0 && f.year <= 99) f.year += 1900;
    return Value::fromNumber(join(f));
}

}  // namespace

void installDate(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Date", ctor);
    if (!proto) return;
    realm.protos().date = proto;
    realm.methods(*proto, {{"getFullYear", getFullYear},
                           {"getYear", getYear},
                           {"getMonth", getMonth},
                           {"getDate", getDate},
                           {"getDay", getDay},
                           {"getHours", getHours},
                           {"getMinutes", getMinutes},
                           {"getSeconds", getSeconds},
                           {"getMilliseconds", getMilliseconds},
                           {"getUTCFullYear", getUTCFullYear},
                           {"getUTCYear", getUTCYear},
                           {"getUTCMonth", getUTCMonth},
                           {"getUTCDate", getUTCDate},
                           {"getUTCDay", getUTCDay},
                           {"getUTCHours", getUTCHours},
                           {"getUTCMinutes", getUTCMinutes},
                           {"getUTCSeconds", getUTCSeconds},
                           {"getUTCMilliseconds", getUTCMilliseconds},
                           {"setFullYear", setFullYear},
                           {"setYear", setYear},
                           {"setMonth", setMonth},
                           {"setDate", setDate},
                           {"setHours", setHours},
                           {"setMinutes", setMinutes},
                           {"setSeconds", setSeconds},
                           {"setMilliseconds", setMilliseconds},
                           {"setUTCFullYear", setUTCFullYear},
                           {"setUTCMonth", setUTCMonth},
                           {"setUTCDate", setUTCDate},
                           {"setUTCHours", setUTCHours},
                           {"setUTCMinutes", setUTCMinutes},
                           {"setUTCSeconds", setUTCSeconds},
                           {"setUTCMilliseconds", setUTCMilliseconds},
                           {"getTime", getTime},
                           {"setTime", setTime},
                           {"valueOf", getTime},
                           {"getTimezoneOffset", getTimezoneOffset},
                           {"toString", toString}});
    const Value* ctorValue = realm.global.find(realm.key("Date"));
    if (ctorValue && ctorValue->type == Value::Object) realm.method(*ctorValue->object, "UTC", utc);
}

}  // namespace flash
