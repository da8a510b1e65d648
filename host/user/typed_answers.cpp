// Reading what a person typed as an answer.
#include "user/typed_answers.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isFolder(const std::string& path)
{
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

namespace hx {

std::string completePath(const std::string& typed)
{
    const size_t slash = typed.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : typed.substr(0, slash + 1);
    const std::string start = slash == std::string::npos ? typed : typed.substr(slash + 1);
    std::vector<std::string> matches;
    if (DIR* listing = opendir(folder.c_str())) {
        while (dirent* entry = readdir(listing)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name.compare(0, start.size(), start) == 0 &&
                (name[0] != '.' || !start.empty()))
                matches.push_back(name);
        }
        closedir(listing);
    }
    if (matches.empty())
        return typed;
    std::string common = matches[0];
    for (const std::string& name : matches)
        common.erase(std::mismatch(common.begin(), common.end(), name.begin(), name.end()).first, common.end());
    std::string completed = (slash == std::string::npos ? "" : folder) + common;
    if (matches.size() == 1 && isFolder(completed))
        completed += '/';
    return completed;
}

std::optional<std::vector<int32_t>> parseRectangle(const std::string& text)
{
    std::istringstream in(text);
    std::vector<int32_t> values;
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(word.c_str(), &end, 10);
        if (errno || *end || value < -32768 || value > 32767)
            return std::nullopt;
        values.push_back(static_cast<int32_t>(value));
    }
    return values.size() == 4 ? std::optional<std::vector<int32_t>>(values) : std::nullopt;
}

std::optional<std::vector<size_t>> parseChoices(const std::string& text, const std::vector<std::string>& offered,
                                                std::string& unknown)
{
    std::vector<size_t> chosen;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        part = trimmed(part);
        if (part.empty())
            continue;
        if (part == "*") {
            for (size_t i = 0; i < offered.size(); ++i)
                chosen.push_back(i);
            continue;
        }
        const auto named = std::find(offered.begin(), offered.end(), part);
        if (named != offered.end()) {
            chosen.push_back(static_cast<size_t>(named - offered.begin()));
            continue;
        }
        char* end = nullptr;
        const unsigned long position = std::strtoul(part.c_str(), &end, 10);
        if (*end || part[0] == '-' || position < 1 || position > offered.size()) {
            unknown = part;
            return std::nullopt;
        }
        chosen.push_back(position - 1);
    }
    return chosen;
}

} // namespace hx
