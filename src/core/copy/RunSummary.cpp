#include "core/copy/RunSummary.h"

namespace tavelin {

std::string RunSummary::line(const LocalDateTime& when, std::int64_t totalFiles,
                             std::int64_t filesCopied, const std::string& sizeText) {
    return "Last run @ " + when.display() + " -:- " + std::to_string(totalFiles) + " Files Scaned" +
           " -:- " + std::to_string(filesCopied) + " Files copied -:- Copy Size = " + sizeText +
           " Bytes";
}

std::string RunSummary::line(const LocalDateTime& when, std::int64_t totalFiles,
                             std::int64_t filesCopied, std::int64_t bytesCopied) {
    return line(when, totalFiles, filesCopied, std::to_string(bytesCopied));
}

} // namespace tavelin
