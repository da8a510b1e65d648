// Writes the header of the string catalogue's names: every entry "NUMBER<TAB>TEXT" of the catalogue
// has a line "# name: kStrName" right above it, and the header gives each name its number.
// Usage: string_ids_header CATALOGUE HEADER. A catalogue that breaks the rule is refused with the
// line that breaks it, and the header is left as it was.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace {

struct Failure {
    std::string why;
};

constexpr char kNamePrefix[] = "# name: ";

bool isIdentifier(const std::string& name)
{
    if (name.size() < 5 || name.compare(0, 4, "kStr") != 0 || !std::isupper(static_cast<unsigned char>(name[4])))
        return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

// The entry's number when the line is an entry (digits, then a tab), else nothing.
std::optional<long> entryNumber(const std::string& line)
{
    size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
        ++digits;
    if (digits == 0 || digits > 9 || digits >= line.size() || line[digits] != '\t')
        return std::nullopt;
    return std::stol(line.substr(0, digits));
}

// Name to number, in the catalogue's order of numbers.
std::map<long, std::string> readNames(std::istream& in)
{
    std::map<long, std::string> names;
    std::set<std::string> seen;
    std::optional<std::string> pending;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = "line " + std::to_string(n) + ": ";
        if (line.compare(0, sizeof kNamePrefix - 1, kNamePrefix) == 0) {
            const std::string name = line.substr(sizeof kNamePrefix - 1);
            if (pending)
                throw Failure{where + "a second name before the entry of " + *pending};
            if (!isIdentifier(name))
                throw Failure{where + "\"" + name + "\" is not a name of the form kStrName"};
            if (!seen.insert(name).second)
                throw Failure{where + name + " names two entries"};
            pending = name;
        } else if (const std::optional<long> number = entryNumber(line)) {
            if (!pending)
                throw Failure{where + "entry " + std::to_string(*number) + " has no name line above it"};
            if (!names.empty() && *number <= names.rbegin()->first)
                throw Failure{where + "entry " + std::to_string(*number) + " is not above the one before"};
            names[*number] = *pending;
            pending.reset();
        } else if (pending) {
            throw Failure{where + *pending + " is not followed by its entry"};
        } else if (!line.empty() && line[0] != '#') {
            throw Failure{where + "neither an entry, a name nor a comment"};
        }
    }
    if (pending)
        throw Failure{"the end: " + *pending + " is not followed by its entry"};
    return names;
}

std::string headerText(const std::map<long, std::string>& names)
{
    std::ostringstream out;
    out << "// Made by the build from resources/stillset/strings.txt: the catalogue's strings by name.\n"
           "#ifndef STILLSET_STRING_IDS_H\n#define STILLSET_STRING_IDS_H\n\n#include <cstdint>\n\n";
    for (const auto& [number, name] : names)
        out << "inline constexpr int32_t " << name << " = " << number << ";\n";
    out << "\n#endif\n";
    return out.str();
}

// The header is replaced whole, and only when it changes, so that nothing rebuilds for nothing.
void writeHeader(const std::string& path, const std::string& text)
{
    std::ifstream old(path, std::ios::binary);
    if (old) {
        std::ostringstream current;
        current << old.rdbuf();
        if (current.str() == text)
            return;
    }
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out)
            throw Failure{"cannot write " + temporary};
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::remove(temporary.c_str());
        throw Failure{"cannot rename " + temporary + ": " + why};
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: string_ids_header CATALOGUE HEADER\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in)
            throw Failure{"cannot read the catalogue"};
        writeHeader(argv[2], headerText(readNames(in)));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "string_ids_header: %s: %s\n", argv[1], failure.why.c_str());
        return 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "string_ids_header: %s: %s\n", argv[1], failure.what());
        return 1;
    }
    return 0;
}
