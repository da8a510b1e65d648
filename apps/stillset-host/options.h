// Options of the host program's commands: "--name value" pairs and "--flag" switches.
#ifndef STILLSET_HOST_OPTIONS_H
#define STILLSET_HOST_OPTIONS_H

#include "commands.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class Options {
public:
    // `valued` names the options that take a value, `switches` those that do not; anything else
    // not starting with "--" is a positional argument. "-o" stands for "--output" where that is valued.
    Options(std::string command, std::set<std::string> valued, std::set<std::string> switches);
    // False with a one-line message for an unknown option or a missing value.
    bool parse(const Arguments& arguments, std::string& error);
    bool helpAsked() const { return help_; }
    bool has(const std::string& name) const { return values_.count(name) || switchesSet_.count(name); }
    // The last value given for `name`, or `fallback`.
    std::string value(const std::string& name, const std::string& fallback = "") const;
    // Every value given for `name`, in order: an option may be repeated.
    const std::vector<std::string>& values(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }
    const std::string& command() const { return command_; }
    // An integer option within [low, high], written in decimal; false with a message when it is not one.
    bool integer(const std::string& name, long low, long high, long& out, std::string& error) const;

private:
    std::string command_;
    std::set<std::string> valued_, switches_;
    std::map<std::string, std::vector<std::string>> values_;
    std::set<std::string> switchesSet_;
    std::vector<std::string> positional_;
    bool help_ = false;
};

// A number as people write it: decimal digits with an optional sign and fraction, nothing else (no
// hexadecimal, exponent, spaces, "inf" or "nan"); false for anything else.
bool parseDecimal(const std::string& text, double& out);

#endif
