// Options of the host program's commands. Each command has one table of option entries; its parser,
// the checks of the values and its help text all come from that table.
#ifndef STILLSET_HOST_OPTIONS_H
#define STILLSET_HOST_OPTIONS_H

#include <map>
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

enum class OptionKind {
    Switch,      // no value
    Text,        // any value
    WholeNumber, // decimal digits within [low, high]
    Number,      // a decimal number within [low, high]
    Choice,      // one of `choices`
};

struct OptionEntry {
    std::string name;                 // "--seconds"
    OptionKind kind = OptionKind::Text;
    std::string placeholder;          // what the help calls the value: "S", "FILE"
    std::string help;                 // a line break continues it under the first line
    double low = 0, high = 0;         // a number's range
    std::vector<std::string> choices; // a choice's values
    std::string alias;                // another name of the option ("-o", "--crf"); giving both is refused

    // The entry with another name for the option.
    OptionEntry alsoNamed(std::string other) const;
    OptionEntry ofKind(OptionKind other) const;
};

// One-line table entries.
OptionEntry switchOption(std::string name, std::string help);
OptionEntry textOption(std::string name, std::string placeholder, std::string help);
OptionEntry wholeNumberOption(std::string name, std::string placeholder, long low, long high, std::string help);
OptionEntry numberOption(std::string name, std::string placeholder, double low, double high, std::string help);
OptionEntry choiceOption(std::string name, std::vector<std::string> choices, std::string help);

using OptionTable = std::vector<OptionEntry>;
// `first` followed by the entries of `more`: a command's own options and the groups it shares.
OptionTable joinTables(OptionTable first, const std::vector<OptionTable>& more);

// The help lines of the table, one option a line, the texts lined up in one column.
std::string optionHelp(const OptionTable& table);

class Options {
public:
    Options(std::string command, OptionTable table);
    // Reads the arguments; anything not starting with "-" is a positional argument. --help (or -h)
    // in place of an option asks for help, whatever else is wrong. False with a one-line message (no
    // command name) for an unknown option, a missing value or a value the table does not allow.
    bool parse(const Arguments& arguments, std::string& error);
    bool helpAsked() const { return help_; }
    const std::string& command() const { return command_; }
    const std::vector<std::string>& positional() const { return positional_; }
    const OptionTable& table() const { return table_; }

    // The lookups take an option's name in the table; any other name is a mistake in the program,
    // which stops it at once rather than quietly finding nothing.
    bool has(const std::string& name) const;
    // The last value given for `name`, or `fallback`.
    std::string value(const std::string& name, const std::string& fallback = "") const;
    // Every value given for `name`, in order: an option may be repeated.
    const std::vector<std::string>& values(const std::string& name) const;
    // A number option's last value, checked by parse(), or `fallback`.
    long wholeNumber(const std::string& name, long fallback) const;
    double number(const std::string& name, double fallback) const;

private:
    const OptionEntry& entryNamed(const std::string& name) const;
    const OptionEntry* find(const std::string& written) const;
    bool check(const OptionEntry& entry, const std::string& written, const std::string& value, std::string& error) const;

    std::string command_;
    OptionTable table_;
    std::map<std::string, std::vector<std::string>> values_; // by the entry's name; switches have no values
    std::vector<std::string> positional_;
    bool help_ = false;
};

bool isHelp(const std::string& argument);
// " (try stillset-host COMMAND --help)", the end of a usage error.
std::string tryHelp(const std::string& command);

// A number as people write it: decimal digits with an optional sign and fraction, nothing else (no
// hexadecimal, exponent, spaces, "inf" or "nan"); false for anything else.
bool parseDecimal(const std::string& text, double& out);

#endif
