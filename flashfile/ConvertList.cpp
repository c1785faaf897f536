#include "flashfile/ConvertList.h"

#include <stdexcept>
#include <utility>

#include "platform/AnsiText.h"
#include "platform/ExclusiveFile.h"

namespace kv {

const char* ConvertStateText(ConvertState state) {
    switch (state) {
        case ConvertState::Ready:
            return "准备就绪";
        case ConvertState::Converting:
            return "正在转换";
        case ConvertState::Converted:
            return "转换成功";
        case ConvertState::Failed:
            break;
    }
    return "转换失败";
}

const char* ConvertTargetExt(int mode) { return mode == kSwfToExe ? ".exe" : ".swf"; }
const char* ConvertSourceExt(int mode) { return mode == kSwfToExe ? ".swf" : ".exe"; }

std::string ConvertTargetFor(const std::string& source, const std::string& savePath, int mode) {
    std::string stem = savePath.empty() ? source : savePath + AnsiExtractFileName(source);
    std::string ext = AnsiExtractFileExt(stem);
    return stem.substr(0, stem.size() - ext.size()) + ConvertTargetExt(mode);
}

void ConvertList::add(const std::string& source, const std::string& savePath, int mode) {
    ConvertRow r;
    r.source = source;
    r.target = ConvertTargetFor(source, savePath, mode);
    rows.push_back(std::move(r));
}

bool ConvertList::moveUp(std::size_t row) {
    if (row == 0 || row >= rows.size()) return false;
    std::swap(rows[row - 1].source, rows[row].source);
    std::swap(rows[row - 1].target, rows[row].target);
    return true;
}

bool ConvertList::moveDown(std::size_t row) { return row + 1 < rows.size() && moveUp(row + 1); }

void ConvertList::removeTicked(bool ticked) {
    for (std::size_t i = rows.size(); i-- > 0;)
        if (rows[i].ticked == ticked) rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
}

void ConvertList::tickAll(bool ticked) {
    for (auto& r : rows) r.ticked = ticked;
}

void ConvertList::invertTicks() {
    for (auto& r : rows) r.ticked = !r.ticked;
}

std::size_t ConvertList::tickedCount() const {
    std::size_t n = 0;
    for (const auto& r : rows) n += r.ticked;
    return n;
}

void ConvertList::retarget(const std::string& savePath) {
    for (auto& r : rows) r.target = savePath + AnsiExtractFileName(r.target);
}

namespace {

struct RunStopped : std::runtime_error {
    RunStopped() : std::runtime_error("conversion run stopped") {}
};

}  // namespace

bool RunConversion(ConvertList& list, const ConvertRunHooks& hooks) {
    auto stopped = [&] { return hooks.stopped && hooks.stopped(); };
    std::size_t done = 0;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        if (!list.rows[i].ticked) continue;
        if (stopped()) return false;
        list.rows[i].state = ConvertState::Converting;
        if (hooks.rowChanged) hooks.rowChanged(i);
        CopyWatch watch;
        watch.progress = [&](uint64_t bytes, uint64_t total) {
            if (hooks.progress && total > 0)
                hooks.progress(static_cast<double>(done) +
                               static_cast<double>(bytes) / static_cast<double>(total));
            if (stopped()) throw RunStopped();  // the copy's temporary file goes with it
        };
        bool ok = false;
        try {
            ok = hooks.convert(list.rows[i], watch);
        } catch (const std::exception&) {
            ok = false;
        }
        ConvertRow& row = list.rows[i];  // the hooks may not add rows, but keep the reference fresh
        row.written = ok ? watch.written : 0;
        row.state = ok ? ConvertState::Converted : ConvertState::Failed;
        ++done;
        if (hooks.progress) hooks.progress(static_cast<double>(done));
        if (hooks.rowChanged) hooks.rowChanged(i);
        if (!ok) return false;
    }
    return true;
}

std::vector<std::string> ConvertedTargets(const ConvertList& list) {
    std::vector<std::string> out;
    for (std::size_t i = list.rows.size(); i-- > 0;)
        if (list.rows[i].ticked && list.rows[i].state == ConvertState::Converted)
            out.push_back(list.rows[i].target);
    return out;
}

namespace {

bool hasSize(const std::string& path, uint64_t expected) {
    ExclusiveFile f;
    uint64_t size = 0;
    return f.open(path, ExclusiveFile::Mode::ReadShared) == ExclusiveFile::OpenStatus::Ok && f.size(size) &&
           size == expected;
}

}  // namespace

std::size_t DeleteConvertedSources(ConvertList& list) {
    std::size_t deleted = 0;
    for (std::size_t i = list.rows.size(); i-- > 0;) {
        ConvertRow& r = list.rows[i];
        if (!r.ticked || r.state != ConvertState::Converted) continue;
        if (hasSize(r.target, r.written) && ExclusiveFile::remove(r.source)) {
            list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(i));
            ++deleted;
        } else {
            r.state = ConvertState::Failed;
        }
    }
    return deleted;
}

bool ConvertRowFile(const ConvertRow& row, int mode, const std::string& stub, CopyWatch& watch) {
    if (mode == kSwfToExe) {
        SwfToExe(row.source, row.target, stub, &watch);
        return true;
    }
    return ExeToSwf(row.source, row.target, &watch);
}

}  // namespace kv
