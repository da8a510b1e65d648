#include "options.h"

#include <cstdlib>

Options::Options(std::string command, std::set<std::string> valued, std::set<std::string> switches)
    : command_(std::move(command)), valued_(std::move(valued)), switches_(std::move(switches))
{
}

bool Options::parse(const Arguments& arguments, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
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
            values_[argument] = arguments[++i];
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
    return it == values_.end() ? fallback : it->second;
}

bool Options::integer(const std::string& name, long low, long high, long& out, std::string& error) const
{
    auto it = values_.find(name);
    if (it == values_.end())
        return true;
    char* end = nullptr;
    const long parsed = std::strtol(it->second.c_str(), &end, 10);
    if (it->second.empty() || *end || parsed < low || parsed > high) {
        error = command_ + ": " + name + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not '" + it->second + "'";
        return false;
    }
    out = parsed;
    return true;
}
