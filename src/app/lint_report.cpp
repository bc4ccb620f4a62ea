#include "app/lint_report.h"

#include "engine/resources/resource.h"

#include <algorithm>

namespace glint {

void LintReport::error(const std::string& path, int line, const std::string& text) {
    ++errors_;
    write(path, line, "error", text);
}

void LintReport::warning(const std::string& path, int line, const std::string& text) {
    ++warnings_;
    write(path, line, "warning", text);
}

// A finding without a known line points at the file's first one, so that
// editors that jump to PATH:LINE still open the file.
void LintReport::write(const std::string& path, int line, const char* severity, const std::string& text) {
    std::fprintf(out_, "%s:%d: %s: %s\n", path.c_str(), std::max(line, 1), severity, text.c_str());
}

const std::string& LintSources::text(const std::string& path) {
    auto found = texts_.find(path);
    if (found != texts_.end())
        return found->second;
    std::string& text = texts_[path];
    char* data = nullptr;
    int32_t size = 0;
    if (resourceLoadFile(resolveDataPath(path.c_str()), &data, &size)) {
        text.assign(data, static_cast<size_t>(size));
        delete[] data;
    }
    return text;
}

int LintSources::lineOf(const std::string& path, std::string_view needle) {
    const std::string& content = text(path);
    size_t at = needle.empty() ? std::string::npos : content.find(needle);
    if (at == std::string::npos)
        return 0;
    return 1 + static_cast<int>(std::count(content.begin(), content.begin() + static_cast<long>(at), '\n'));
}

bool gameHasFile(const std::string& path) {
    KResourceEntryInfo info;
    return resourceGetInfo(resolveDataPath(path.c_str()), &info) && !info.isDirectory;
}

std::string_view fileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace glint
