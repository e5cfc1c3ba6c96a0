#include "cli/ProgressLine.h"

#include <ostream>

namespace tavelin::cli {

ProgressLine::ProgressLine(std::ostream& err, bool enabled, const std::atomic<bool>& stop)
    : err_(err), enabled_(enabled), stop_(stop) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::surveyFinished(const SurveyTotals& totals) {
    totals_ = totals;
    draw(RunProgress{}, true);
}

void ProgressLine::fileDone(const RunProgress& progress) {
    draw(progress, false);
}

void ProgressLine::folderEntered(const RunProgress& progress) {
    draw(progress, false);
}

bool ProgressLine::stopRequested() const {
    return stop_.load(std::memory_order_relaxed);
}

void ProgressLine::draw(const RunProgress& p, bool force) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) {
        return;
    }
    lastDraw_ = now;
    drawn_ = true;
    err_ << "\r\033[K files " << p.filesLooked << " of " << totals_.totalFiles << ", copied "
         << p.filesCopied << ", bytes " << p.bytesCopied << " of " << totals_.totalSize
         << std::flush;
}

void ProgressLine::finish() {
    if (drawn_) {
        err_ << "\r\033[K" << std::flush;
        drawn_ = false;
    }
}

} // namespace tavelin::cli
