#include "options.h"

#include <charconv>
#include <cmath>

namespace {

const std::string kOutput = "--output";

} // namespace

Options::Options(std::string command, std::set<std::string> valued, std::set<std::string> switches)
    : command_(std::move(command)), valued_(std::move(valued)), switches_(std::move(switches))
{
}

bool Options::parse(const Arguments& arguments, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        // "-o" is the one short option: the output of the commands that write one.
        const std::string& argument = arguments[i] == "-o" && valued_.count("--output") ? kOutput : arguments[i];
        if (isHelp(argument)) {
            help_ = true;
            return true;
        }
        if (argument.rfind("--", 0) != 0) {
            positional_.push_back(argument);
        } else if (switches_.count(argument)) {
            switchesSet_.insert(argument);
        } else if (valued_.count(argument)) {
            if (i + 1 >= arguments.size()) {
                error = command_ + ": " + argument + " needs a value (try " + command_ + " --help)";
                return false;
            }
            values_[argument].push_back(arguments[++i]);
        } else {
            error = command_ + ": unknown option '" + argument + "' (try " + command_ + " --help)";
            return false;
        }
    }
    return true;
}

std::string Options::value(const std::string& name, const std::string& fallback) const
{
    auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second.back();
}

const std::vector<std::string>& Options::values(const std::string& name) const
{
    static const std::vector<std::string> none;
    auto it = values_.find(name);
    return it == values_.end() ? none : it->second;
}

bool Options::integer(const std::string& name, long low, long high, long& out, std::string& error) const
{
    if (!has(name))
        return true;
    const std::string text = value(name);
    long parsed = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed, 10);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) {
        error = command_ + ": " + name + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not '" + text + "'";
        return false;
    }
    out = parsed;
    return true;
}

bool parseDecimal(const std::string& text, double& out)
{
    const char* const end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, out, std::chars_format::fixed);
    return !text.empty() && failure == std::errc() && stop == end && std::isfinite(out);
}
