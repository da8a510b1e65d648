#include "options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool parseWhole(const std::string& text, long& out)
{
    const char* const end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, out, 10);
    return !text.empty() && failure == std::errc() && stop == end;
}

std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// "a, b or c"
std::string listed(const std::vector<std::string>& words)
{
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return text;
}

size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The table's name nearest to a misspelt one, or "" when none is near enough to be meant.
std::string nearestName(const OptionTable& table, const std::string& written)
{
    std::string best;
    size_t bestDistance = 3;
    for (const OptionEntry& entry : table)
        for (const std::string& name : {entry.name, entry.alias})
            if (name.size() > 2 && editDistance(written, name) < bestDistance) {
                bestDistance = editDistance(written, name);
                best = name;
            }
    return best;
}

std::string leadOf(const OptionEntry& entry)
{
    const std::string value = entry.placeholder.empty() ? "" : " " + entry.placeholder;
    if (entry.alias.empty())
        return entry.name + value;
    // A short name goes first and its value once: "-o, --output OUT".
    if (entry.alias.rfind("--", 0) != 0)
        return entry.alias + ", " + entry.name + value;
    return entry.name + value + ", " + entry.alias + value;
}

} // namespace

OptionEntry OptionEntry::alsoNamed(std::string other) const
{
    OptionEntry entry = *this;
    entry.alias = std::move(other);
    return entry;
}

OptionEntry OptionEntry::ofKind(OptionKind other) const
{
    OptionEntry entry = *this;
    entry.kind = other;
    return entry;
}

OptionEntry switchOption(std::string name, std::string help)
{
    return textOption(std::move(name), "", std::move(help)).ofKind(OptionKind::Switch);
}

OptionEntry textOption(std::string name, std::string placeholder, std::string help)
{
    OptionEntry entry;
    entry.name = std::move(name);
    entry.placeholder = std::move(placeholder);
    entry.help = std::move(help);
    return entry;
}

OptionEntry wholeNumberOption(std::string name, std::string placeholder, long low, long high, std::string help)
{
    return numberOption(std::move(name), std::move(placeholder), static_cast<double>(low), static_cast<double>(high),
                        std::move(help))
        .ofKind(OptionKind::WholeNumber);
}

OptionEntry numberOption(std::string name, std::string placeholder, double low, double high, std::string help)
{
    OptionEntry entry = textOption(std::move(name), std::move(placeholder), std::move(help)).ofKind(OptionKind::Number);
    entry.low = low;
    entry.high = high;
    return entry;
}

OptionEntry choiceOption(std::string name, std::vector<std::string> choices, std::string help)
{
    std::string placeholder;
    for (const std::string& choice : choices)
        placeholder += (placeholder.empty() ? "" : "|") + choice;
    OptionEntry entry = textOption(std::move(name), placeholder, std::move(help)).ofKind(OptionKind::Choice);
    entry.choices = std::move(choices);
    return entry;
}

OptionTable joinTables(OptionTable first, const std::vector<OptionTable>& more)
{
    for (const OptionTable& table : more)
        first.insert(first.end(), table.begin(), table.end());
    return first;
}

std::string optionHelp(const OptionTable& table)
{
    size_t width = 0;
    for (const OptionEntry& entry : table)
        width = std::max(width, leadOf(entry).size());
    const std::string indent(2 + width + 2, ' ');
    std::string text;
    for (const OptionEntry& entry : table) {
        const std::string lead = leadOf(entry);
        text += "  " + lead + std::string(width + 2 - lead.size(), ' ');
        for (size_t start = 0; start < entry.help.size();) {
            const size_t end = std::min(entry.help.find('\n', start), entry.help.size());
            text += (start == 0 ? "" : indent) + entry.help.substr(start, end - start) + "\n";
            start = end + 1;
        }
    }
    return text;
}

Options::Options(std::string command, OptionTable table) : command_(std::move(command)), table_(std::move(table))
{
}

const OptionEntry* Options::find(const std::string& written) const
{
    for (const OptionEntry& entry : table_)
        if (written == entry.name || (!entry.alias.empty() && written == entry.alias))
            return &entry;
    return nullptr;
}

const OptionEntry& Options::entryNamed(const std::string& name) const
{
    for (const OptionEntry& entry : table_)
        if (entry.name == name)
            return entry;
    std::fprintf(stderr, "stillset-host: %s has no option %s in its table\n", command_.c_str(), name.c_str());
    std::abort();
}

bool Options::check(const OptionEntry& entry, const std::string& written, const std::string& value, std::string& error) const
{
    long whole = 0;
    double number = 0;
    switch (entry.kind) {
    case OptionKind::WholeNumber:
        if (parseWhole(value, whole) && whole >= entry.low && whole <= entry.high)
            return true;
        error = written + " takes a whole number from " + numberText(entry.low) + " to " + numberText(entry.high);
        break;
    case OptionKind::Number:
        if (parseDecimal(value, number) && number >= entry.low && number <= entry.high)
            return true;
        error = written + " takes a number from " + numberText(entry.low) + " to " + numberText(entry.high);
        break;
    case OptionKind::Choice:
        if (std::find(entry.choices.begin(), entry.choices.end(), value) != entry.choices.end())
            return true;
        error = written + " takes " + listed(entry.choices);
        break;
    default:
        return true;
    }
    error += ", not '" + value + "'";
    return false;
}

bool Options::parse(const Arguments& arguments, std::string& error)
{
    std::map<std::string, std::string> writtenAs; // the name each option was first given by
    const std::string hint = tryHelp(command_);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (isHelp(argument)) {
            help_ = true;
            continue;
        }
        const OptionEntry* entry = find(argument);
        if (!entry && argument.rfind("--", 0) != 0) {
            positional_.push_back(argument);
            continue;
        }
        if (!error.empty())
            continue; // only looking for --help now
        if (!entry) {
            const std::string nearest = nearestName(table_, argument);
            error = "unknown option '" + argument + "'" + (nearest.empty() ? "" : "; did you mean " + nearest + "?") + hint;
            continue;
        }
        const auto [first, added] = writtenAs.emplace(entry->name, argument);
        if (!added && first->second != argument) {
            error = first->second + " and " + argument + " name the same thing; give one";
            continue;
        }
        if (entry->kind == OptionKind::Switch) {
            values_[entry->name];
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value" + hint;
            continue;
        }
        const std::string& value = arguments[++i];
        if (check(*entry, argument, value, error))
            values_[entry->name].push_back(value);
    }
    if (help_)
        error.clear();
    return error.empty();
}

bool Options::has(const std::string& name) const
{
    return values_.count(entryNamed(name).name) > 0;
}

std::string Options::value(const std::string& name, const std::string& fallback) const
{
    const std::vector<std::string>& given = values(name);
    return given.empty() ? fallback : given.back();
}

const std::vector<std::string>& Options::values(const std::string& name) const
{
    static const std::vector<std::string> none;
    auto it = values_.find(entryNamed(name).name);
    return it == values_.end() ? none : it->second;
}

long Options::wholeNumber(const std::string& name, long fallback) const
{
    long out = fallback;
    return has(name) && parseWhole(value(name), out) ? out : fallback;
}

double Options::number(const std::string& name, double fallback) const
{
    double out = fallback;
    return has(name) && parseDecimal(value(name), out) ? out : fallback;
}

bool isHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

std::string tryHelp(const std::string& command)
{
    return " (try stillset-host " + command + " --help)";
}

bool parseDecimal(const std::string& text, double& out)
{
    const char* const end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, out, std::chars_format::fixed);
    return !text.empty() && failure == std::errc() && stop == end && std::isfinite(out);
}
