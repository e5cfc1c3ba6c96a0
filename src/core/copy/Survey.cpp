#include "copy/Survey.h"

#include "copy/FolderWalk.h"
#include "copy/FolderWalkVisitor.h"
#include "copy/PathRules.h"

namespace tavelin {

namespace {

class SurveyVisitor final : public FolderWalkVisitor {
public:
    explicit SurveyVisitor(SurveyResult& result) : result_(result) {}

    void enterFolder(const std::string&, const std::string&) override {}
    void leaveFolder() override {}
    void subfolder() override { ++result_.totals.totalFolders; }
    void file(int, const char*, const struct stat& st, const std::string&) override {
        ++result_.totals.totalFiles;
        result_.totals.totalSize += st.st_size;
    }
    void failure(const std::string& path, const std::string& reason) override {
        result_.failures.push_back({path, reason});
    }
    bool stopRequested() const override { return false; }

private:
    SurveyResult& result_;
};

} // namespace

std::string Survey::folderToSkip(const PathRules& rules, const Selection& selection) {
    if (!selection.subfolders || selection.destinationRoot.empty()) {
        return {};
    }
    const std::string base = rules.destinationBase(selection.sourceRoot, selection.destinationRoot,
                                                   selection.typedDestination);
    const std::string source = PathRules::normalized(selection.sourceRoot);
    if (PathRules::normalized(base) != source && PathRules::isSameOrInside(base, source)) {
        return PathRules::normalized(base);
    }
    return {};
}

Result<SurveyResult> Survey::CountFiles(const Selection& selection) const {
    return Size_Of_All_Files_Found_Under(selection.sourceRoot, selection.pattern,
                                         selection.subfolders, folderToSkip(rules_, selection));
}

Result<SurveyResult> Survey::Size_Of_All_Files_Found_Under(const std::string& path_to_search,
                                                           const std::string& file_to_search_for,
                                                           bool subfolders,
                                                           const std::string& skip) const {
    const WildcardPattern pattern(file_to_search_for);
    FolderWalk walk(pattern, subfolders);
    if (!skip.empty()) {
        walk.skipFolder(skip);
    }
    SurveyResult result;
    SurveyVisitor visitor(result);
    if (auto ok = walk.walk(path_to_search, visitor); !ok) {
        return std::unexpected(ok.error());
    }
    return result;
}

} // namespace tavelin
